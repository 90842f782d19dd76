#include "SaveAs.h"

#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "HandlerGuard.h"
#include "ModelFiles.h"
#include "Placement.h"
#include "SaveModel.h"
#include "UserModels.h"

namespace {

constexpr int kFontPixels = 12;
constexpr int kMaxTrajectoryName = 1000;

// Blanks are the codes up to 32, as the save flow trims them.
bool IsBlank(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 32; });
}

// Clearing a combo box's items would also clear its text, which is meant to carry over.
void RefillKeepingText(QComboBox* box, const QStringList& items)
{
    const QString text = box->currentText();
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setEditText(text);
}

QComboBox* NewModelList(const char* name, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);   // Enter means "Save", not "add what I typed to the list"
    box->completer()->setCaseSensitivity(Qt::CaseSensitive);   // "open" is another command than "OPEN"
    return box;
}

}  // namespace

TFSaveAs::TFSaveAs(const QString& programDir, QWidget* parent) : QDialog(parent), FProgramDir(programDir)
{
    setWindowTitle("Save last command as model");
    setFixedSize(319, 185);
    QFont dialogFont = font();
    dialogFont.setPixelSize(kFontPixels);
    setFont(dialogFont);

    Label1 = Place(new QLabel("Model name", this), "Label1", 8, 16, 85, 21);
    CBModels = NewModelList("CBModels", this);
    CBModels->setGeometry(96, 16, 193, 21);
    Label3 = Place(new QLabel("File of model", this), "Label3", 8, 56, 85, 21);
    CBFileModel = NewModelList("CBFileModel", this);
    CBFileModel->setGeometry(96, 56, 193, 21);
    Label2 = Place(new QLabel("File etalon", this), "Label2", 8, 98, 85, 21);
    FName = Place(new QLineEdit(this), "FName", 96, 96, 169, 25);
    Button3 = Place(new QPushButton("...", this), "Button3", 264, 96, 25, 25);
    Button3->setAutoDefault(false);
    LReason = Place(new QLabel(this), "LReason", 8, 122, 303, 20);
    Button1 = Place(new QPushButton("Save", this), "Button1", 48, 144, 75, 25);
    Button1->setDefault(true);
    Button2 = Place(new QPushButton("Cancel", this), "Button2", 192, 144, 75, 25);
    Button2->setAutoDefault(false);

    Save = new QFileDialog(this, QString(), QString(), "Voice Command Files (*.trj)");
    Save->setObjectName("Save");
    Save->setOptions(QFileDialog::DontUseNativeDialog);
    Save->setAcceptMode(QFileDialog::AcceptSave);
    Save->setDefaultSuffix("trj");

    // Picking an item selects it; typed text selects the item it equals exactly, or none, and stays as typed.
    const auto typed = [this](QComboBox* box, void (TFSaveAs::*handler)(int)) {
        return [this, box, handler](const QString& text) {
            const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (index != box->currentIndex()) {
                box->setCurrentIndex(index);
                box->setEditText(text);
            }
            (this->*handler)(index);
        };
    };
    connect(CBModels, &QComboBox::activated, this, &TFSaveAs::CBModelsChange);
    connect(CBFileModel, &QComboBox::activated, this, &TFSaveAs::CBFileModelChange);
    connect(CBModels->lineEdit(), &QLineEdit::textEdited, this, typed(CBModels, &TFSaveAs::CBModelsChange));
    connect(CBModels, &QComboBox::currentTextChanged, this, &TFSaveAs::ProposeTrajectoryName);
    connect(CBFileModel->lineEdit(), &QLineEdit::textEdited, this, typed(CBFileModel, &TFSaveAs::CBFileModelChange));
    const auto guarded = [this](void (TFSaveAs::*handler)()) {
        return [this, handler] { RunGuarded(this, [this, handler] { (this->*handler)(); }); };
    };
    connect(Button3, &QPushButton::clicked, this, guarded(&TFSaveAs::Button3Click));
    connect(Button1, &QPushButton::clicked, this, guarded(&TFSaveAs::Button1Click));
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TFSaveAs::SetModels(const QStringList& names, const QStringList& files)
{
    RefillKeepingText(CBModels, names);
    RefillKeepingText(CBFileModel, files);
    LReason->clear();
    ProposeTrajectoryName();
}

void TFSaveAs::ProposeTrajectoryName()
{
    // A listed command's takes are named after its description file ("open.vcm": open1, open2 ...), a new
    // command's after the name typed.
    const int listed = CBModels->findText(CBModels->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    const QString stem = listed >= 0 ? QFileInfo(CBFileModel->itemText(listed)).completeBaseName()
                                     : CBModels->currentText().trimmed();
    const std::string command = stem.toStdString();
    if (!IsValidModelFileName(command))
        return;
    FName->setText(QString::fromStdString(FreeTrajectoryName(ModelsFolder(FProgramDir.toStdString()), command)));
}

QString TFSaveAs::CommandName() const
{
    return CBModels->currentText();
}

QString TFSaveAs::TrajectoryName() const
{
    return FName->text();
}

void TFSaveAs::SetTrajectoryName(const QString& name)
{
    FName->setText(name);
}

// The two lists hold the names and the description files of the same commands in the same order. A list
// whose selection changes shows the item selected; with none selected, the file list shows the file a new
// command of the typed name gets, or no text when nothing is typed.
void TFSaveAs::CBModelsChange(int index)
{
    if (CBFileModel->currentIndex() != index)
        CBFileModel->setCurrentIndex(index);
    // A new command's description is made under its own name: the field shows which file that is.
    if (index < 0 && !IsBlank(CBModels->currentText()))
        CBFileModel->setEditText("Models/" + CBModels->currentText() + ".vcm");
}

void TFSaveAs::CBFileModelChange(int index)
{
    if (CBModels->currentIndex() != index)
        CBModels->setCurrentIndex(index);
}

void TFSaveAs::Button3Click()
{
    Save->setDirectory(QString::fromStdString(ResolveModelPath(ModelsFolder(FProgramDir.toStdString()) + "Data")));
    if (Save->exec() != QDialog::Accepted)
        return;
    FName->setText(QFileInfo(Save->selectedFiles().value(0)).fileName().left(kMaxTrajectoryName));
}

void TFSaveAs::Button1Click()
{
    if (IsBlank(CBModels->currentText()) || IsBlank(CBFileModel->currentText()) || IsBlank(FName->text()))
        return Refuse("Fill in all three fields.");
    if (!IsValidModelFileName(CommandName().toStdString()))
        return Refuse("A model name is not .. and holds no / \\ or control characters.");
    if (!IsValidModelFileName(TrajectoryFileName(FName->text().toStdString())))
        return Refuse("A file name holds no / \\ or control characters.");
    accept();
}

void TFSaveAs::Refuse(const QString& reason)
{
    QApplication::beep();
    LReason->setText(reason);
}
