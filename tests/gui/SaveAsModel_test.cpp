// "Save as model": the dialog filled, checked and answered as a user would, and what the save writes.
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <filesystem>

#include "GuiTest.h"
#include "MainDemo.h"
#include "SaveAs.h"

namespace {


// The user's answers: the texts typed into the three fields (nullptr: leave it), or a command picked from the list.
struct TAnswer {
    const char* command = nullptr;
    int pickCommand = -1;   // how many times "Down" is pressed in the model list
    const char* file = nullptr;
    const char* trajectory = nullptr;
};

QComboBox* List(const TFSaveAs& dialog, const char* name)
{
    return Control<QComboBox>(dialog, name);
}

void Type(QLineEdit* edit, const char* text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void Fill(TFSaveAs* dialog, const TAnswer& answer)
{
    if (answer.command != nullptr)
        Type(List(*dialog, "CBModels")->lineEdit(), answer.command);
    for (int i = 0; i < answer.pickCommand; ++i)
        QTest::keyClick(List(*dialog, "CBModels"), Qt::Key_Down);
    if (answer.file != nullptr)
        Type(List(*dialog, "CBFileModel")->lineEdit(), answer.file);
    if (answer.trajectory != nullptr)
        Type(Control<QLineEdit>(*dialog, "FName"), answer.trajectory);
}

void ClickSave(TMainForm& window, const std::function<void(TFSaveAs*)>& inDialog)
{
    TModalScript script;
    script.Then<TFSaveAs>(inDialog);
    QTest::mouseClick(Control<QPushButton>(window, "BSaveModel"), Qt::LeftButton);
    QVERIFY(script.AllStepsRan());
    QCOMPARE(script.Unanswered(), 0);
}

void Press(TFSaveAs* dialog, const char* button)
{
    QTest::mouseClick(Control<QPushButton>(*dialog, button), Qt::LeftButton);
}

// Saves with these answers; returns the text of the error box that the save shows.
QString SaveExpectingError(TMainForm& window, const TAnswer& answer)
{
    QString message;
    TModalScript errorBox;
    errorBox.Then<TFSaveAs>([](TFSaveAs*) {}).ReadMessage(message);
    ClickSave(window, [&answer](TFSaveAs* dialog) {
        Fill(dialog, answer);
        Press(dialog, "Button1");
    });
    return errorBox.AllStepsRan() ? message : QString("(no error box)");
}

const char* const kOpenDescription = "\r\n;File description of voice command\r\ncommand=open\r\nmodel=DATA\\open1.trj\r\n\r\nmodel=DATA\\open2.trj\r\n";

}  // namespace

class SaveAsModelTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        folder = std::make_unique<TProgramFolder>();
        QCOMPARE(folder->Read("Models/open.vcm"), std::string(kOpenDescription));
        window = ShowWindow(*folder);
        OpenFile(*window, GoldenWav("open_test1"));
    }

    void cleanup()
    {
        window.reset();
        folder.reset();
    }

    void newCommandGetsItsDescriptionAndTakesPartAtOnce()
    {
        ClickSave(*window, [](TFSaveAs* dialog) {
            Fill(dialog, {.command = "Brand new", .file = "-", .trajectory = " brand1 "});
            Press(dialog, "Button1");
        });
        QCOMPARE(folder->Read("Models/Brand new.vcm"),
                 std::string("\r\n;File description of voice command\r\ncommand=Brand new\r\nmodel=DATA\\brand1.trj\r\n"));
        QVERIFY(std::filesystem::is_regular_file(folder->Path() / "Models/Data/brand1.trj"));
        // Reloaded and listed with empty scores; the result grid keeps its row.
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "SGModels")),
                 QStringList({"BRANDNEW||", "CLOSE||", "OPEN||", "STOP||"}));
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "GridRes")), QStringList({"OPEN|95.1%|50.9%"}));

        // The same utterance now matches its own trajectory.
        OpenFile(*window, GoldenWav("open_test1"));
        QVERIFY(GridRows(Control<QTableWidget>(*window, "GridRes"))[1].startsWith("BRANDNEW|100%|"));

        // Shown again: the lists hold the reloaded commands, the command carries over and the trajectory name
        // proposed is its next free one.
        ClickSave(*window, [](TFSaveAs* dialog) {
            QComboBox* models = List(*dialog, "CBModels");
            QCOMPARE(models->count(), 4);
            QCOMPARE(models->itemText(0), QString("BRANDNEW"));
            QCOMPARE(List(*dialog, "CBFileModel")->itemText(0), QString("Models/Brand new.vcm"));
            QCOMPARE(models->currentText(), QString("Brand new"));
            QCOMPARE(Control<QLineEdit>(*dialog, "FName")->text(), QString("Brand new1"));
            Press(dialog, "Button2");
        });
    }

    void pickedCommandGetsTheNewTrajectoryListed()
    {
        ClickSave(*window, [](TFSaveAs* dialog) {
            Fill(dialog, {.pickCommand = 2, .trajectory = "open3"});
            QCOMPARE(List(*dialog, "CBModels")->currentText(), QString("OPEN"));
            QCOMPARE(List(*dialog, "CBFileModel")->currentText(), QString("Models/open.vcm"));
            QTest::keyClick(List(*dialog, "CBModels"), Qt::Key_Return);   // Enter means "Save"
        });
        QCOMPARE(folder->Read("Models/open.vcm"), std::string(kOpenDescription) + "\r\nmodel=DATA\\open3.trj\r\n");
        QVERIFY(std::filesystem::is_regular_file(folder->Path() / "Models/Data/open3.trj"));
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "SGModels")), QStringList({"CLOSE||", "OPEN||", "STOP||"}));
    }

    // A take of another word is different from OPEN's examples: the user is asked, and "No" writes nothing.
    void differentExampleIsSavedOnlyWhenTheUserSaysSo_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("no") << int(QMessageBox::No);
        QTest::newRow("yes") << int(QMessageBox::Yes);
    }

    void differentExampleIsSavedOnlyWhenTheUserSaysSo()
    {
        QFETCH(int, answer);
        OpenFile(*window, GoldenWav("stop_test1"));
        QString question;
        TModalScript box;
        box.Then<TFSaveAs>([](TFSaveAs*) {}).Then<QMessageBox>([&question, answer](QMessageBox* shown) {
            question = shown->text();
            shown->button(static_cast<QMessageBox::StandardButton>(answer))->click();
        });
        ClickSave(*window, [](TFSaveAs* dialog) {
            Fill(dialog, {.pickCommand = 2, .trajectory = "open3"});
            Press(dialog, "Button1");
        });
        QVERIFY(box.AllStepsRan());
        QCOMPARE(question, QString("Пример совсем не похож на другие примеры команды 'OPEN'.\n\nСохранить пример всё равно?"));
        const bool saved = answer == QMessageBox::Yes;
        QCOMPARE(std::filesystem::exists(folder->Path() / "Models/Data/open3.trj"), saved);
        QCOMPARE(folder->Read("Models/open.vcm") != kOpenDescription, saved);
    }

    // A take saved under an existing trajectory name (here in another letter case) replaces the earlier take
    // only when the user says so; then only the trajectory file is rewritten, under its own name.
    void existingTrajectoryIsReplacedOnlyWhenTheUserSaysSo_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << static_cast<int>(QMessageBox::Yes);
        QTest::newRow("no") << static_cast<int>(QMessageBox::No);
    }

    void existingTrajectoryIsReplacedOnlyWhenTheUserSaysSo()
    {
        QFETCH(int, answer);
        const std::string before = folder->Read("Models/Data/open2.trj");
        QString question;
        TModalScript box;
        box.Then<TFSaveAs>([](TFSaveAs*) {}).Then<QMessageBox>([&question, answer](QMessageBox* shown) {
            question = shown->text();
            shown->button(static_cast<QMessageBox::StandardButton>(answer))->click();
        });
        ClickSave(*window, [](TFSaveAs* dialog) {
            Fill(dialog, {.command = "OPEN", .trajectory = "OPEN2.trj"});
            QCOMPARE(List(*dialog, "CBFileModel")->currentText(), QString("Models/open.vcm"));
            Press(dialog, "Button1");
        });
        QVERIFY(box.AllStepsRan());
        QCOMPARE(question, QString("Пример 'OPEN2.trj' уже сохранён.\n\nЗаменить его новым?"));
        QCOMPARE(folder->Read("Models/open.vcm"), std::string(kOpenDescription));
        QCOMPARE(folder->Read("Models/Data/open2.trj") != before, answer == QMessageBox::Yes);
        QVERIFY(!std::filesystem::exists(folder->Path() / "Models/Data/OPEN2.trj"));
    }

    // The dialog proposes the command's description file and its next free trajectory name, each time anew:
    // saving take after take with what it proposes keeps every take.
    void proposedNamesAreTheCommandsFileAndNextFreeTake()
    {
        const QStringList expected = {"open3", "open4"};
        for (const QString& proposal : expected) {
            ClickSave(*window, [&proposal](TFSaveAs* dialog) {
                Fill(dialog, {.pickCommand = 2});
                QCOMPARE(Control<QLineEdit>(*dialog, "FName")->text(), proposal);
                QCOMPARE(List(*dialog, "CBFileModel")->currentText(), QString("Models/open.vcm"));
                Fill(dialog, {.command = "Brand new"});
                QCOMPARE(Control<QLineEdit>(*dialog, "FName")->text(), QString("Brand new1"));
                QCOMPARE(List(*dialog, "CBFileModel")->currentText(), QString("Models/Brand new.vcm"));
                Fill(dialog, {.pickCommand = 2});
                Press(dialog, "Button1");
            });
            QVERIFY(std::filesystem::is_regular_file(folder->Path() / "Models/Data" / (proposal + ".trj").toStdString()));
        }
        QCOMPARE(folder->Read("Models/open.vcm"),
                 std::string(kOpenDescription) + "\r\nmodel=DATA\\open3.trj\r\n\r\nmodel=DATA\\open4.trj\r\n");
    }

    // The trajectory cannot be written: the error is shown, the description is left alone, nothing reloads.
    void failedTrajectoryWriteIsShownAndListsNothing()
    {
        std::filesystem::create_directories(folder->Path() / "Models/Data/blocked.trj");
        const QString message = SaveExpectingError(*window, {.pickCommand = 2, .trajectory = "blocked"});
        QVERIFY2(message.startsWith("Ошибка создания файла '") && message.endsWith("blocked.trj'"), qPrintable(message));
        QCOMPARE(folder->Read("Models/open.vcm"), std::string(kOpenDescription));
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "SGModels"))[1], QString("OPEN|95.1%|"));
    }

    // Descriptions broken since start-up: the save goes through, the reload names them in one message, and
    // the list holds exactly the commands the recognizer has, so every score stands beside its own name.
    void reloadWithBrokenDescriptionsListsWhatLoaded()
    {
        folder->Write("Models/a.vcm", "command=a\r\nnonsense\r\n");
        folder->Write("Models/ca.vcm", "command=ca\r\nmodel=DATA\\missing.trj\r\n");
        const QString message =
            SaveExpectingError(*window, {.command = "Brand new", .file = "-", .trajectory = "brand1"});
        QVERIFY2(message.startsWith("Не загружены описания команд:\n") && message.contains("a.vcm: ") &&
                     message.contains("ca.vcm: "),
                 qPrintable(message));
        const QStringList listed({"BRANDNEW||", "CLOSE||", "OPEN||", "STOP||"});
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "SGModels")), listed);

        OpenFile(*window, GoldenWav("open_test1"));
        QVERIFY(GridRows(Control<QTableWidget>(*window, "GridRes")).last().startsWith("BRANDNEW|100%|"));
        const QStringList scored = GridRows(Control<QTableWidget>(*window, "SGModels"));
        QCOMPARE(scored.size(), listed.size());
        QVERIFY2(scored[0].startsWith("BRANDNEW|100%|") && scored[2].startsWith("OPEN|95.1%|"),
                 qPrintable(scored.join(", ")));
    }

    // A new command whose description file is another command's: the save is refused with the reason and
    // nothing is written, instead of the example silently joining that command.
    void newCommandWithAnotherCommandsDescriptionIsRefused()
    {
        folder->Write("Models/close.vcm", "command=shut\r\nmodel=DATA\\close1.trj\r\n");
        window = ShowWindow(*folder);
        OpenFile(*window, GoldenWav("close_test1"));
        const auto files = folder->ModelFiles();
        QCOMPARE(SaveExpectingError(*window, {.command = "close", .file = "-", .trajectory = "close9"}),
                 "Файл '" + folder->ProgramDir() + "Models/close.vcm' описывает другую команду 'SHUT'");
        QVERIFY(folder->ModelFiles() == files);
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "SGModels")).value(0).section('|', 0, 0), QString("SHUT"));
    }

    void cancelWritesNothing_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Cancel") << false;
        QTest::newRow("Esc") << true;
    }

    void cancelWritesNothing()
    {
        QFETCH(bool, escape);
        const auto files = folder->ModelFiles();
        ClickSave(*window, [escape](TFSaveAs* dialog) {
            Fill(dialog, {.command = "Brand new", .file = "-", .trajectory = "brand1"});
            if (escape)
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                Press(dialog, "Button2");
        });
        QVERIFY(folder->ModelFiles() == files);
        // Not reloaded: the scores stay.
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "SGModels"))[1], QString("OPEN|95.1%|"));
    }

    // Blank fields and names that would write outside the model folder: a beep, a reason, the dialog stays.
    void refusedAnswersKeepTheDialogOpen_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("trajectory");
        QTest::newRow("blank command") << " \t" << "-" << "t1";
        QTest::newRow("blank file") << "NEW" << "  " << "t1";
        QTest::newRow("blank trajectory") << "NEW" << "-" << " ";
        QTest::newRow("command with ..") << "../evil" << "-" << "t1";
        QTest::newRow("command with /") << "a/b" << "-" << "t1";
        QTest::newRow("command with \\") << "a\\b" << "-" << "t1";
        QTest::newRow("trajectory with ..") << "NEW" << "-" << "..\\t1";
        QTest::newRow("trajectory with /") << "NEW" << "-" << "sub/t1";
    }

    void refusedAnswersKeepTheDialogOpen()
    {
        QFETCH(QString, command);
        QFETCH(QString, file);
        QFETCH(QString, trajectory);
        const auto files = folder->ModelFiles();
        ClickSave(*window, [&](TFSaveAs* dialog) {
            List(*dialog, "CBModels")->setEditText(command);
            List(*dialog, "CBFileModel")->setEditText(file);
            Control<QLineEdit>(*dialog, "FName")->setText(trajectory);
            Press(dialog, "Button1");
            QVERIFY(dialog->isVisible());
            QVERIFY(!Control<QLabel>(*dialog, "LReason")->text().isEmpty());
            Press(dialog, "Button2");
        });
        QVERIFY(folder->ModelFiles() == files);
    }

    // "..." offers the model data folder and takes only the chosen file's name.
    void browseTakesTheFileNameOnly()
    {
        std::filesystem::create_directories(folder->Path() / "elsewhere");
        const std::string picked = (folder->Path() / "elsewhere/picked.trj").string();
        ClickSave(*window, [&](TFSaveAs* dialog) {
            TModalScript browse;
            browse.Then<QFileDialog>([&](QFileDialog* save) {
                QCOMPARE(QFileInfo(save->directory().absolutePath()).canonicalFilePath(),
                         QFileInfo(QString::fromStdString((folder->Path() / "Models/Data").string())).canonicalFilePath());
            });
            browse.ChooseFile(picked);
            Press(dialog, "Button3");
            QCOMPARE(Control<QLineEdit>(*dialog, "FName")->text(), QString("picked.trj"));
            Press(dialog, "Button2");
        });
    }

private:
    std::unique_ptr<TProgramFolder> folder;
    std::unique_ptr<TMainForm> window;
};

PARLANTO_GUI_TEST_MAIN(SaveAsModelTest)
#include "SaveAsModel_test.moc"
