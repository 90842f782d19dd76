#pragma once
// The main window: opens WAV files or records the microphone while Ctrl is held, or listens to it hands-free,
// shows each recognition result and every command model's last score, plays the last utterance back and saves
// it as a model.
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "BufferObject.h"
#include "MatchMode.h"
#include "RejectionChoice.h"

class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTextEdit;
class QTimer;
class QWidget;
class TFSaveAs;
class THandsFreeListener;
class TSovoInput;
class TSovoObject;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // programDir (ending with a separator) holds Models/: the phoneme and command models are loaded from
    // there and saved models go there. matchMode: how commands are matched until the user changes it.
    explicit TMainForm(const QString& programDir, TMatchMode matchMode = TMatchMode::Classic,
                       QWidget* parent = nullptr);
    ~TMainForm() override;

protected:
    // Key preview: sees every key of the window before the focused control does.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void FormCreate();
    void FormKeyDown(const QKeyEvent& event);
    void FormKeyUp(const QKeyEvent& event);
    void BOpenClick();
    void CBMicClick();
    void CBHandsFreeClick();
    void CBAlignedClick();
    void BPlayClick();
    void BClearClick();
    void BSaveModelClick();
    void SaveModelWithListeningPaused();

    void LoadCommandModels();
    void ListCommandModels();
    void ShowResult(TSovoObject& sender, const std::string& commandName);
    void ShowLevel(int32_t level, int32_t maxLevel);
    void ShowProgress(int32_t position, int32_t total);
    void UtteranceEnd();
    void ShowRecordingLevel();
    // The WAV file the user picks in a file dialog; empty when they cancel.
    QString ChooseWaveFile();
    // A block of the microphone's running stream, while hands-free.
    void ListenTo(const int16_t* samples, int32_t count);
    // Runs action with hands-free listening paused; what is said meanwhile is not taken for a command.
    void WithListeningPaused(const std::function<void()>& action);

    void ReleaseInput();
    void InstallFileInput(int32_t blockSize);
    void InstallMicInput();
    // After a failed microphone set-up: says why and ends in file mode.
    void FallBackToFileInput(const std::string& cause);
    // "Отклонять не команды" ticked or cleared: remembered for the matcher in use, and applied.
    void CBRejectClick();
    TMatchMode ChosenMatchMode() const;
    std::string ModelsDir() const;
    std::string RelativeToProgram(const std::string& fileName) const;
    // Connects a control's signal to a handler that runs through the error box.
    template <typename Sender, typename Signal>
    void Bind(Sender* sender, Signal signal, void (TMainForm::*handler)());

    std::string FProgramDir;
    QString FWaveFileName;
    QString FOpenFolder;                   // where the next file dialog opens: the last file's folder
    std::unique_ptr<TSovoObject> FSovo;
    TBufferObject FBuffer;                 // the last recognized utterance, for playback
    std::unique_ptr<TSovoInput> FInput;    // the facade refers to it as its Input
    std::unique_ptr<THandsFreeListener> FHandsFree;   // while "Hands-free" is ticked
    bool FListeningPaused = false;
    int64_t FResultsShown = 0;
    QTimer* FRecordingMeter;               // shows the recording's level while Ctrl is held

    QWidget* Panel1;
    QProgressBar* PBLevel;
    QPushButton* BOpen;
    QProgressBar* PBScan;
    QCheckBox* CBMic;
    QCheckBox* CBHandsFree;
    QPushButton* BClear;
    QTextEdit* RichEdit1;
    QGroupBox* GroupBox1;
    QPushButton* BPlay;
    QPushButton* BSaveModel;
    QWidget* Panel2;
    QLabel* Label2;
    QLabel* Label3;
    QTableWidget* GridRes;
    QTableWidget* SGModels;
    QCheckBox* CBAligned;
    QCheckBox* CBReject;
    TRejectionChoice FRejection;
    QLabel* LStatus;                       // says why an utterance gave no result
    TFSaveAs* FSaveAs;
};
