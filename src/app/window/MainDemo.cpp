#include "MainDemo.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTimer>
#include <QWindow>
#include <filesystem>

#include "ApplicationSetUp.h"
#include "ExampleWarningText.h"
#include "HandlerGuard.h"
#include "HandsFreeListener.h"
#include "MainThreadQueue.h"
#include "MessageText.h"
#include "PercentText.h"
#include "PlayBuffer.h"
#include "SaveAs.h"
#include "SaveModel.h"
#include "SignalFormat.h"
#include "Sovo.h"
#include "SovoMicInput.h"
#include "UserModels.h"

namespace {

constexpr int32_t kFallbackBlockSize = 2000;
constexpr int kRecordingMeterMs = 50;
const QString kNothingHeardText = "Ничего не услышано";
const QString kNoSpeechInFileText = "В файле нет речи";

// Grid row r (row 0 being the headings) is table row r - 1.
void SetCell(QTableWidget* grid, int gridRow, int column, const QString& text)
{
    QTableWidgetItem* item = grid->item(gridRow - 1, column);
    if (item == nullptr)
        grid->setItem(gridRow - 1, column, new QTableWidgetItem(text));
    else
        item->setText(text);
}

QString CellText(const QTableWidget* grid, int gridRow, int column)
{
    const QTableWidgetItem* item = grid->item(gridRow - 1, column);
    return item == nullptr ? QString() : item->text();
}

void SetGridRowCount(QTableWidget* grid, int gridRows)
{
    grid->setRowCount(gridRows - 1);
}

int GridRowCount(const QTableWidget* grid)
{
    return grid->rowCount() + 1;
}

// Tenths of a percent with the user's decimal separator.
QString LocalePercent(double value)
{
    return QString::fromStdString(PercentText(value)).replace('.', QLocale().decimalPoint());
}

}  // namespace

template <typename Sender, typename Signal>
void TMainForm::Bind(Sender* sender, Signal signal, void (TMainForm::*handler)())
{
    connect(sender, signal, this, [this, handler] { RunGuarded(this, [this, handler] { (this->*handler)(); }); });
}

TMainForm::TMainForm(const QString& programDir, TMatchMode matchMode, QWidget* parent)
    : QMainWindow(parent), FProgramDir(QFile::encodeName(programDir).toStdString())
{
    CreateControls();
    FRecordingMeter = new QTimer(this);
    FRecordingMeter->setInterval(kRecordingMeterMs);
    connect(FRecordingMeter, &QTimer::timeout, this, [this] { ShowRecordingLevel(); });
    CBAligned->setChecked(matchMode == TMatchMode::Aligned);
    FSaveAs = new TFSaveAs(programDir, this);
    Bind(BOpen, &QPushButton::clicked, &TMainForm::BOpenClick);
    Bind(CBMic, &QCheckBox::toggled, &TMainForm::CBMicClick);
    Bind(CBHandsFree, &QCheckBox::toggled, &TMainForm::CBHandsFreeClick);
    Bind(CBAligned, &QCheckBox::toggled, &TMainForm::CBAlignedClick);
    Bind(BPlay, &QPushButton::clicked, &TMainForm::BPlayClick);
    Bind(CBReject, &QCheckBox::toggled, &TMainForm::CBRejectClick);
    Bind(BClear, &QPushButton::clicked, &TMainForm::BClearClick);
    Bind(BSaveModel, &QPushButton::clicked, &TMainForm::SaveModelWithListeningPaused);
    // The level meter's thread hands its levels to the main thread through the queue; the event loop runs them.
    MainThreadQueue().SetOnPosted([] {
        QMetaObject::invokeMethod(qApp, [] { MainThreadQueue().Drain(); }, Qt::QueuedConnection);
    });
    createWinId();
    windowHandle()->installEventFilter(this);
    FormCreate();
}

TMainForm::~TMainForm()
{
    // The facade refers to the input, and the listener to the facade: the input goes first (its last blocks
    // may still reach the listener), then the listener.
    ReleaseInput();
    FHandsFree.reset();
    FSovo.reset();
}

std::string TMainForm::ModelsDir() const
{
    return ModelsFolder(FProgramDir);
}

// "Models/open.vcm" rather than the whole path: the list is narrow.
std::string TMainForm::RelativeToProgram(const std::string& fileName) const
{
    return fileName.starts_with(FProgramDir) ? fileName.substr(FProgramDir.size()) : fileName;
}

// A step that fails shows its error and the start-up goes on, so that the window always ends with its
// handlers wired and an input installed: at worst it recognizes with fewer (or no) models.
void TMainForm::FormCreate()
{
    setWindowTitle(kProgramName);
    FOpenFolder = QFile::decodeName(FProgramDir.c_str());
    FSovo = std::make_unique<TSovoObject>();
    FSovo->KeepUtteranceSamples(true);
    RunGuarded(this, [this] { FSovo->Phoneme->LoadModels(ModelsDir(), "phm"); });
    RunGuarded(this, [this] { LoadCommandModels(); });
    FSovo->OnResult = [this](TSovoObject& sender, const std::string& commandName) {
        ShowResult(sender, commandName);
    };
    FSovo->SetOnUtteranceEnd([this] { UtteranceEnd(); });
    SetGridRowCount(GridRes, 2);
    CBAlignedClick();
    RunGuarded(this, [this] { CBMicClick(); });
}

// Results, model scores and saved models mean the same in both modes; only the comparison differs. Each
// matcher keeps its own choice about rejection.
void TMainForm::CBAlignedClick()
{
    const TMatchMode mode = ChosenMatchMode();
    FSovo->SetMatchMode(mode);
    const QSignalBlocker shownOnly(CBReject);
    CBReject->setChecked(FRejection.IsOn(mode));
    FSovo->SetRejection(FRejection.For(mode));
}

void TMainForm::CBRejectClick()
{
    const TMatchMode mode = ChosenMatchMode();
    FRejection.Set(mode, CBReject->isChecked());
    FSovo->SetRejection(FRejection.For(mode));
}

TMatchMode TMainForm::ChosenMatchMode() const
{
    return CBAligned->isChecked() ? TMatchMode::Aligned : TMatchMode::Classic;
}

void TMainForm::LoadCommandModels()
{
    try {
        FSovo->Dictionary->LoadModels(ModelsDir(), "vcm");
    } catch (...) {
        ListCommandModels();   // the grid shows what did load
        throw;
    }
    ListCommandModels();
}

void TMainForm::ListCommandModels()
{
    const int32_t count = FSovo->Dictionary->ModelCount();
    SGModels->clearContents();
    SetGridRowCount(SGModels, count + 1);
    for (int32_t i = 0; i < count; ++i) {
        SetCell(SGModels, i + 1, 0, QString::fromStdString(FSovo->Dictionary->GetModel(i)->Name));
        SetCell(SGModels, i + 1, 1, QString());
        SetCell(SGModels, i + 1, 2, QString());
    }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle() && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        RunGuarded(this, [&] {
            if (event->type() == QEvent::KeyPress)
                FormKeyDown(key);
            else
                FormKeyUp(key);
        });
    }
    return QMainWindow::eventFilter(watched, event);   // the focused control still gets the key
}

// Push-to-talk: any key pressed with Ctrl held (Ctrl itself and every auto-repeat) keeps the utterance
// starting afresh and the recording running; a key released without Ctrl held ends the recording.
void TMainForm::FormKeyDown(const QKeyEvent& event)
{
    if (!CBMic->isChecked() || !event.modifiers().testFlag(Qt::ControlModifier))
        return;
    PBScan->show();
    LStatus->clear();   // the last utterance's message goes with it
    repaint();
    // Push-to-talk takes the pre-processor over from a hands-free utterance in progress.
    if (FHandsFree)
        FHandsFree->Reset();
    FSovo->Restart();
    if (!FInput->IsRecording()) {
        FInput->Start();
        FRecordingMeter->start();
    }
}

void TMainForm::FormKeyUp(const QKeyEvent& event)
{
    if (!CBMic->isChecked() || event.modifiers().testFlag(Qt::ControlModifier))
        return;
    FRecordingMeter->stop();
    if (FInput->IsRecording())
        FInput->Stop();
}

// A dialog of its own for every open: one kept between opens would offer the last file's whole path in its name
// field, where typing appends to it, and could leave its completion list over the window, taking the next click.
QString TMainForm::ChooseWaveFile()
{
    QFileDialog open(this, QString(), FOpenFolder, "Wave Files (*.wav)");
    open.setObjectName("Open");
    open.setOptions(QFileDialog::DontUseNativeDialog);
    open.setFileMode(QFileDialog::ExistingFile);
    open.setDefaultSuffix("wav");
    if (open.exec() != QDialog::Accepted)
        return QString();
    const QString fileName = open.selectedFiles().value(0);
    FOpenFolder = QFileInfo(fileName).absolutePath();
    return fileName;
}

void TMainForm::BOpenClick()
{
    const QString fileName = ChooseWaveFile();
    if (fileName.isEmpty())
        return;
    const bool couldPlay = BPlay->isEnabled();
    const bool couldClear = BClear->isEnabled();
    const QString previousTitle = windowTitle();
    BPlay->setEnabled(false);
    BOpen->setEnabled(false);
    BClear->setEnabled(false);
    FWaveFileName = fileName;
    setWindowTitle(kProgramName + " - " + FWaveFileName);
    LStatus->clear();   // the last utterance's message goes with it
    repaint();
    try {
        auto& fileInput = dynamic_cast<TSovoFileInput&>(*FInput);   // "Open file" is enabled in file mode only
        fileInput.SetName(QFile::encodeName(FWaveFileName).toStdString());
        FSovo->Restart();
        fileInput.Start();
    } catch (...) {
        // A file that cannot be read leaves the last utterance's buttons and the title as they were.
        BOpen->setEnabled(true);
        BPlay->setEnabled(couldPlay);
        BClear->setEnabled(couldClear);
        setWindowTitle(previousTitle);
        throw;
    }
    BOpen->setEnabled(true);
}

void TMainForm::CBMicClick()
{
    ReleaseInput();
    if (CBMic->isChecked()) {
        try {
            InstallMicInput();
        } catch (const std::exception& e) {
            FallBackToFileInput(e.what());
        }
        return;
    }
    // Hands-free is a way of listening to the microphone: without it, it goes.
    CBHandsFree->setChecked(false);
    CBHandsFree->setEnabled(false);
    InstallFileInput(kInputBlockSize);
    PBLevel->hide();
    BOpen->setEnabled(true);
    BPlay->setEnabled(false);
    PBScan->hide();
}

void TMainForm::InstallMicInput()
{
    auto input = std::make_unique<TSovoMicInput>(kInputBlockSize, kChannels, kSampleRate, kBytesPerSample);
    TSovoMicInput& mic = *input;
    FSovo->SetInput(input.get());
    FInput = std::move(input);
    mic.SetOnLevel([this](int32_t level, int32_t maxLevel) { ShowLevel(level, maxLevel); });
    mic.OnProgress = [this](int32_t position, int32_t total) { ShowProgress(position, total); };
    PBLevel->show();
    BOpen->setEnabled(false);
    BPlay->setEnabled(false);
    PBScan->hide();
    CBHandsFree->setEnabled(true);
}

void TMainForm::CBHandsFreeClick()
{
    auto* mic = dynamic_cast<TSovoMicInput*>(FInput.get());
    if (CBHandsFree->isChecked() && mic != nullptr) {
        // Noise, pauses and the room's own sounds are what a hands-free utterance brings along.
        CBAligned->setChecked(true);
        FHandsFree = std::make_unique<THandsFreeListener>(*FSovo);
        mic->SetOnListen([this](const int16_t* samples, int32_t count) { ListenTo(samples, count); });
        return;
    }
    if (mic != nullptr)
        mic->SetOnListen(nullptr);
    FHandsFree.reset();
}

void TMainForm::ListenTo(const int16_t* samples, int32_t count)
{
    if (FHandsFree && !FListeningPaused)
        FHandsFree->AddSamples(samples, count);
}

void TMainForm::WithListeningPaused(const std::function<void()>& action)
{
    FListeningPaused = true;
    // However the action ends, listening starts afresh: what was heard meanwhile is no command.
    const auto resume = qScopeGuard([this] {
        FListeningPaused = false;
        if (FHandsFree)
            FHandsFree->Reset();
    });
    action();
}

void TMainForm::FallBackToFileInput(const std::string& cause)
{
    ReleaseInput();
    QMessageBox::warning(this, kProgramName,
                         QString::fromStdString(DisplayText("Ошибка создания объекта записи с микрофона.\r\r" + cause)));
    CBMic->setChecked(false);   // installs a file input, as the box cleared by hand does
    ReleaseInput();
    InstallFileInput(kFallbackBlockSize);
}

void TMainForm::ReleaseInput()
{
    if (FInput) {
        FInput.reset();
        FSovo->SetInput(nullptr);
    }
}

void TMainForm::InstallFileInput(int32_t blockSize)
{
    auto input = std::make_unique<TSovoFileInput>(blockSize, kChannels, kSampleRate, kBytesPerSample);
    input->OnProgress = [this](int32_t position, int32_t total) { ShowProgress(position, total); };
    FSovo->SetInput(input.get());
    FInput = std::move(input);
}

void TMainForm::BClearClick()
{
    SetGridRowCount(GridRes, 2);
    for (int column = 0; column < 3; ++column)
        SetCell(GridRes, 1, column, QString());
}

void TMainForm::ShowResult(TSovoObject& sender, const std::string& commandName)
{
    ++FResultsShown;
    LStatus->clear();
    int row = 1;
    if (!CellText(GridRes, 1, 0).trimmed().isEmpty()) {
        row = GridRowCount(GridRes);
        SetGridRowCount(GridRes, row + 1);
    }
    // A rejected utterance is shown for what it was; its scores stay for the user to see.
    SetCell(GridRes, row, 0, sender.Accepted ? QString::fromStdString(commandName) : QString(kNotACommandText));
    SetCell(GridRes, row, 1, LocalePercent(sender.Like));
    SetCell(GridRes, row, 2, LocalePercent(sender.Distance));
    GridRes->setCurrentCell(GridRes->rowCount() - 1, 0);
    GridRes->setFocus();

    CBMic->setEnabled(true);
    PBScan->hide();
    BClear->setEnabled(true);
    BPlay->setEnabled(true);

    // Play gives back what was said, as it came in: the pre-processor's atoms overlap at the start and miss
    // the first half frame, so they are no recording.
    FBuffer.Clear();
    FBuffer.Append(FSovo->UtteranceSamples().Data(), FSovo->UtteranceSamples().Count());
    // A large vocabulary's commands that were no contenders show the bound their score stays under.
    for (int32_t i = 0; i < FSovo->Dictionary->ModelCount(); ++i) {
        const TVoiceCommandModel& model = *FSovo->Dictionary->GetModel(i);
        SetCell(SGModels, i + 1, 1, (model.LastScoreExact ? "" : "≤ ") + LocalePercent(model.LastScore));
    }
    BSaveModel->setEnabled(true);
}

void TMainForm::ShowProgress(int32_t position, int32_t total)
{
    PBScan->show();
    PBScan->setMaximum(total);
    PBScan->setValue(position);
    PBScan->repaint();   // the event loop waits until the whole utterance is recognized
}

void TMainForm::ShowLevel(int32_t level, int32_t maxLevel)
{
    PBLevel->setMaximum(maxLevel);
    PBLevel->setValue(level);
}

void TMainForm::UtteranceEnd()
{
    const int64_t resultsBefore = FResultsShown;
    FSovo->RecognizeUtterance();
    // A Ctrl tap, silence or a file without sound gives no result; the user still sees the press end.
    if (FResultsShown == resultsBefore) {
        PBScan->hide();
        LStatus->setText(CBMic->isChecked() ? kNothingHeardText : kNoSpeechInFileText);
    }
}

// While Ctrl is held the level meter's thread is off and the recorder has the device: its latest buffer
// shows how loud the voice comes in.
void TMainForm::ShowRecordingLevel()
{
    if (const auto* mic = dynamic_cast<const TSovoMicInput*>(FInput.get()))
        ShowLevel(mic->RecordingLevel(), TSovoMicLevelShowing::kMaxLevel);
}

void TMainForm::BPlayClick()
{
    WithListeningPaused([this] {
        PlayBuffer(FBuffer.Data(), FBuffer.Count(), kChannels, kSampleRate, kBytesPerSample);
        // The microphone heard the loudspeaker meanwhile, and the device kept it: it is no command.
        if (FHandsFree)
            FInput->Reset();
    });
}

// While the dialog is open, a command heard hands-free would replace the utterance being saved.
void TMainForm::SaveModelWithListeningPaused()
{
    WithListeningPaused([this] { BSaveModelClick(); });
}

void TMainForm::BSaveModelClick()
{
    QStringList names, files;
    for (int32_t i = 0; i < FSovo->Dictionary->ModelCount(); ++i) {
        const TVoiceCommandModel& model = *FSovo->Dictionary->GetModel(i);
        names << QString::fromStdString(model.Name);
        files << QFile::decodeName(RelativeToProgram(model.FileName).c_str());
    }
    FSaveAs->SetModels(names, files);
    if (FSaveAs->exec() != QDialog::Accepted)
        return;
    FSaveAs->SetTrajectoryName(QString::fromStdString(TrajectoryFileName(FSaveAs->TrajectoryName().toStdString())));
    // An earlier take is replaced only when the user says so.
    if (std::filesystem::is_regular_file(TrajectoryPath(ModelsDir(), FSaveAs->TrajectoryName().toStdString())) &&
        QMessageBox::question(this, kProgramName, ReplaceQuestion(FSaveAs->TrajectoryName()), QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::No) != QMessageBox::Yes)
        return;
    // A doubtful example is the user's to keep or not: nothing is written unless they say so.
    const std::vector<TExampleWarning> warnings =
        CheckExample(std::span<const int16_t>(FBuffer.Data(), static_cast<size_t>(FBuffer.Count())),
                     FSovo->Dictionary->Trajectory, FindCommand(*FSovo->Dictionary, FSaveAs->CommandName().toStdString()));
    if (!warnings.empty() && QMessageBox::question(this, kProgramName, ExampleQuestion(warnings, FSaveAs->CommandName())) !=
                                 QMessageBox::Yes)
        return;
    SaveLastCommandAsModel(*FSovo->Dictionary, ModelsDir(), FSaveAs->CommandName().toStdString(),
                           FSaveAs->TrajectoryName().toStdString());
    LoadCommandModels();
}
