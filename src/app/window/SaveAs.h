#pragma once
// The "Save last command as model" dialog: collects the command name, its description file and the name of
// the trajectory file to write. It writes nothing itself; the main window does, once the dialog says OK.
#include <QDialog>
#include <QStringList>

class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;

class TFSaveAs : public QDialog {
    Q_OBJECT
public:
    // programDir ends with a separator; "..." browses its model data folder.
    TFSaveAs(const QString& programDir, QWidget* parent);

    // Empties both lists and fills them with the commands' names and description files, in the same order;
    // the texts typed or picked last time stay, and the trajectory name proposed is the command's next free one.
    void SetModels(const QStringList& names, const QStringList& files);
    QString CommandName() const;          // as typed, blanks included
    QString TrajectoryName() const;
    void SetTrajectoryName(const QString& name);

private:
    void CBModelsChange(int index);
    void CBFileModelChange(int index);
    // The command's next free trajectory name ("open2" when open1.trj exists), so that a new take never
    // replaces an earlier one unnoticed.
    void ProposeTrajectoryName();
    void Button3Click();
    void Button1Click();
    // Beeps and keeps the dialog open, saying why.
    void Refuse(const QString& reason);

    QString FProgramDir;
    QLabel* Label1;
    QComboBox* CBModels;
    QLabel* Label3;
    QComboBox* CBFileModel;
    QLabel* Label2;
    QLineEdit* FName;
    QPushButton* Button3;
    QPushButton* Button1;
    QPushButton* Button2;
    QLabel* LReason;
    QFileDialog* Save;
};
