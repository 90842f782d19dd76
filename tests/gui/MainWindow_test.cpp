// The main window in file mode, driven through its controls and dialogs as a user would.
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QStyleOptionGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QHeaderView>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <filesystem>
#include <memory>

#include "FileRecognizer.h"
#include "GuiTest.h"
#include "MainDemo.h"
#include "PercentText.h"

namespace {

const QString kFormatMessage = "Не поддерживаемый формат файла.\nПока работаю только с файлами:\n"
                               "22050 16 бит Моно\n(метод <SetName> объект <FileInput>)";

bool Enabled(const TMainForm& window, const char* button)
{
    return Control<QPushButton>(window, button)->isEnabled();
}

// A PCM WAV of silence in any format.
std::string WriteWav(const TempDir& dir, const std::string& name, int channels, int rate, int bits)
{
    const int blockAlign = channels * bits / 8;
    const uint32_t dataBytes = 4410u * static_cast<uint32_t>(blockAlign);
    std::string bytes = "RIFF" + TempDir::Le32(36 + dataBytes) + "WAVEfmt " + TempDir::Le32(16) +
                        TempDir::Le16(1) + TempDir::Le16(static_cast<uint16_t>(channels)) +
                        TempDir::Le32(static_cast<uint32_t>(rate)) +
                        TempDir::Le32(static_cast<uint32_t>(rate * blockAlign)) +
                        TempDir::Le16(static_cast<uint16_t>(blockAlign)) + TempDir::Le16(static_cast<uint16_t>(bits)) +
                        "data" + TempDir::Le32(dataBytes) + std::string(dataBytes, '\0');
    return dir.Write(name, bytes);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startState()
    {
        TProgramFolder folder;
        auto window = ShowWindow(folder);
        QCOMPARE(window->windowTitle(), QString("Brenvik Parlanto"));
        QVERIFY(Enabled(*window, "BOpen"));
        QVERIFY(Enabled(*window, "BClear"));
        QVERIFY(!Enabled(*window, "BPlay"));
        QVERIFY(!Enabled(*window, "BSaveModel"));
        QVERIFY(!Control<QCheckBox>(*window, "CBMic")->isChecked());
        QVERIFY(!Control<QCheckBox>(*window, "CBAligned")->isChecked());
        QVERIFY(Control<QProgressBar>(*window, "PBLevel")->isHidden());
        QVERIFY(Control<QProgressBar>(*window, "PBScan")->isHidden());

        const auto* results = Control<QTableWidget>(*window, "GridRes");
        QCOMPARE(GridHeadings(results), QStringList({"Near model", "Like", "Distance"}));
        QCOMPARE(GridRows(results), QStringList({"||"}));
        const auto* models = Control<QTableWidget>(*window, "SGModels");
        QCOMPARE(GridHeadings(models), QStringList({"Model name", "Last result", ""}));
        QCOMPARE(GridRows(models), QStringList({"CLOSE||", "OPEN||", "STOP||"}));
    }

    void resultsFillRowOneThenAccumulateUntilCleared()
    {
        TProgramFolder folder;
        auto window = ShowWindow(folder);
        auto* results = Control<QTableWidget>(*window, "GridRes");

        OpenFile(*window, GoldenWav("open_test1"));
        QCOMPARE(window->windowTitle(), "Brenvik Parlanto - " + QString::fromStdString(GoldenWav("open_test1")));
        QCOMPARE(GridRows(results), QStringList({"OPEN|95.1%|50.9%"}));
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "SGModels")),
                 QStringList({"CLOSE|40.1%|", "OPEN|95.1%|", "STOP|44.2%|"}));
        for (const char* button : {"BOpen", "BPlay", "BClear", "BSaveModel"})
            QVERIFY2(Enabled(*window, button), button);
        QVERIFY(Control<QProgressBar>(*window, "PBScan")->isHidden());

        OpenFile(*window, GoldenWav("close_test1"));
        QCOMPARE(GridRows(results), QStringList({"OPEN|95.1%|50.9%", "CLOSE|98.4%|33.6%"}));
        QCOMPARE(results->currentRow(), 1);
        QCOMPARE(results->currentColumn(), 0);
        QCOMPARE(window->focusWidget(), results);

        QTest::mouseClick(Control<QPushButton>(*window, "BClear"), Qt::LeftButton);
        QCOMPARE(GridRows(results), QStringList({"||"}));
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "SGModels")),
                 QStringList({"CLOSE|98.4%|", "OPEN|46.2%|", "STOP|64.8%|"}));
        OpenFile(*window, GoldenWav("open_test1"));
        QCOMPARE(GridRows(results), QStringList({"OPEN|95.1%|50.9%"}));
    }

    void refusedFileShowsTheFormatMessage_data()
    {
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("bits");
        // Formats no conversion takes (other uncompressed ones are converted).
        QTest::newRow("5-byte samples") << 1 << 22050 << 40;
        QTest::newRow("44.1 kHz stereo, 5-byte samples") << 2 << 44100 << 40;
        QTest::newRow("no sample rate") << 2 << 0 << 16;
    }

    void refusedFileShowsTheFormatMessage()
    {
        QFETCH(int, channels);
        QFETCH(int, rate);
        QFETCH(int, bits);
        TProgramFolder folder;
        auto window = ShowWindow(folder);
        const bool clearAtStart = Enabled(*window, "BClear");
        QString message;
        OpenFile(*window, WriteWav(folder, "refused.wav", channels, rate, bits), &message);
        QCOMPARE(message, kFormatMessage);
        QVERIFY(Enabled(*window, "BOpen"));
        QVERIFY(!Enabled(*window, "BPlay"));   // nothing recognized yet: nothing to play
        QCOMPARE(Enabled(*window, "BClear"), clearAtStart);
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "GridRes")), QStringList({"||"}));

        // The window stays usable: the next file is recognized.
        OpenFile(*window, GoldenWav("stop_test1"));
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "GridRes")).size(), 1);
        QVERIFY(GridRows(Control<QTableWidget>(*window, "GridRes"))[0].startsWith("STOP|"));
        QVERIFY(Enabled(*window, "BPlay"));
        const QString title = window->windowTitle();
        QVERIFY(title.endsWith("stop_test1.wav"));

        // Refused after a recognized one: the last utterance stays playable and clearable, under its own title.
        OpenFile(*window, WriteWav(folder, "refused.wav", channels, rate, bits), &message);
        QCOMPARE(message, kFormatMessage);
        QVERIFY(Enabled(*window, "BPlay"));
        QVERIFY(Enabled(*window, "BClear"));
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "GridRes")).size(), 1);
    }

    // Made as small as the user can, the window still shows "Play" and "Save as model" whole.
    void smallestWindowStillShowsLastInput()
    {
        TProgramFolder folder;
        auto window = ShowWindow(folder);
        window->resize(50, 50);
        QTest::qWait(0);
        for (const char* button : {"BPlay", "BSaveModel"}) {
            const QPushButton* shown = Control<QPushButton>(*window, button);
            const QRect inWindow(shown->mapTo(window.get(), QPoint(0, 0)), shown->size());
            QVERIFY2(window->rect().contains(inWindow), button);
        }
        QVERIFY(Control<QTableWidget>(*window, "GridRes")->height() >= 2 * 18);   // room for a result row under the header
    }

    // "Play" and "Save as model" sit below the title of their "Last input" frame, not over it.
    void lastInputTitleLeavesItsButtonsClear()
    {
        TProgramFolder folder;
        auto window = ShowWindow(folder);
        auto* frame = Control<QGroupBox>(*window, "GroupBox1");
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect title = frame->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
        for (const char* button : {"BPlay", "BSaveModel"}) {
            const QRect shown = Control<QPushButton>(*window, button)->geometry();
            QVERIFY2(!shown.intersects(title), button);
            QVERIFY2(frame->rect().contains(shown), button);
        }
    }

    // Ticked, the aligned matcher gives the results and the model scores; cleared, the classic one again.
    void alignedMatchingBoxChoosesTheMatcher()
    {
        const auto resultRow = [](const TFileResult& result) {
            return QString::fromStdString(result.CommandName + "|" + PercentText(result.Like) + "|" +
                                          PercentText(result.Distance));
        };
        const std::string models = std::string(PARLANTO_GOLDEN_DIR) + "/models/";
        const TFileResult aligned = TFileRecognizer(models, TMatchMode::Aligned).Recognize(GoldenWav("open_test1"));
        const TFileResult classic = TFileRecognizer(models, TMatchMode::Classic).Recognize(GoldenWav("open_test1"));
        QVERIFY(resultRow(aligned) != resultRow(classic));

        TProgramFolder folder;
        auto window = ShowWindow(folder);
        auto* box = Control<QCheckBox>(*window, "CBAligned");
        auto* results = Control<QTableWidget>(*window, "GridRes");
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
        QVERIFY(box->isChecked());
        OpenFile(*window, GoldenWav("open_test1"));
        QCOMPARE(GridRows(results).last(), resultRow(aligned));
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "SGModels"))[0],
                 QString::fromStdString(aligned.Models[0].Name + "|" + PercentText(aligned.Models[0].Score) + "|"));
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
        OpenFile(*window, GoldenWav("open_test1"));
        QCOMPARE(GridRows(results).last(), resultRow(classic));

        // Started with --aligned, the box is ticked and the aligned matcher serves the first utterance.
        window = std::make_unique<TMainForm>(folder.ProgramDir(), TMatchMode::Aligned);
        window->show();
        QVERIFY(Control<QCheckBox>(*window, "CBAligned")->isChecked());
        OpenFile(*window, GoldenWav("open_test1"));
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "GridRes")), QStringList({resultRow(aligned)}));
    }

    // With aligned matching a vowel is no command: its row says so and keeps its scores, and the model grid
    // shows every score as usual. Each matcher keeps its own choice: on with aligned, off with classic.
    void rejectedUtteranceIsShownAsNoCommand()
    {
        const std::string models = std::string(PARLANTO_GOLDEN_DIR) + "/models/";
        TFileRecognizer recognizer(models, TMatchMode::Aligned);
        recognizer.Sovo().SetRejection(TRejection{TRejection::TKind::Off});
        const TFileResult vowel = recognizer.Recognize(GoldenWav("vowel_a"));
        const QString scores = "|" + QString::fromStdString(PercentText(vowel.Like)) + "|" +
                               QString::fromStdString(PercentText(vowel.Distance));

        TProgramFolder folder;
        auto window = std::make_unique<TMainForm>(folder.ProgramDir(), TMatchMode::Aligned);
        window->show();
        auto* reject = Control<QCheckBox>(*window, "CBReject");
        auto* aligned = Control<QCheckBox>(*window, "CBAligned");
        auto* results = Control<QTableWidget>(*window, "GridRes");
        QVERIFY(reject->isChecked());
        OpenFile(*window, GoldenWav("vowel_a"));
        QCOMPARE(GridRows(results).last(), QString("Не команда") + scores);
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "SGModels"))[0],
                 QString::fromStdString(vowel.Models[0].Name + "|" + PercentText(vowel.Models[0].Score) + "|"));

        QTest::mouseClick(reject, Qt::LeftButton, {}, reject->rect().center());
        OpenFile(*window, GoldenWav("vowel_a"));
        QCOMPARE(GridRows(results).last(), QString::fromStdString(vowel.CommandName) + scores);

        QTest::mouseClick(aligned, Qt::LeftButton, {}, aligned->rect().center());
        QVERIFY(!reject->isChecked());   // classic: off until asked
        QTest::mouseClick(reject, Qt::LeftButton, {}, reject->rect().center());
        QTest::mouseClick(aligned, Qt::LeftButton, {}, aligned->rect().center());
        QVERIFY(!reject->isChecked());   // aligned: as the user left it
        QTest::mouseClick(aligned, Qt::LeftButton, {}, aligned->rect().center());
        QVERIFY(reject->isChecked());
    }

    void percentTextUsesTheLocaleDecimalSeparator()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        TProgramFolder folder;
        auto window = ShowWindow(folder);
        OpenFile(*window, GoldenWav("open_test1"));
        QLocale::setDefault(QLocale::c());
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "GridRes")), QStringList({"OPEN|95,1%|50,9%"}));
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "SGModels"))[0], QString("CLOSE|40,1%|"));
    }

    // Cut texts ("87....") would hide the scores.
    void percentTextsFitTheirColumns()
    {
        TProgramFolder folder;
        auto window = ShowWindow(folder);
        for (const char* name : {"GridRes", "SGModels"}) {
            const auto* grid = Control<QTableWidget>(*window, name);
            const int margins = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1);
            for (int column = 1; column < (grid->objectName() == "GridRes" ? 3 : 2); ++column) {
                for (const QString text : {"-100%", "100%", "88.8%"})
                    QVERIFY2(grid->fontMetrics().horizontalAdvance(text) + margins <= grid->columnWidth(column),
                             qPrintable(QString("%1 column %2: %3").arg(name).arg(column).arg(text)));
            }
        }
        const auto* note = Control<QTextEdit>(*window, "RichEdit1");
        QCOMPARE(note->document()->lineCount(), 3);
        QVERIFY(note->document()->size().height() <= note->viewport()->height());
    }

    void noCommandModelsGiveMinusHundredPercent()
    {
        TProgramFolder folder;
        for (const char* command : {"close.vcm", "open.vcm", "stop.vcm"})
            std::filesystem::remove(folder.Path() / "Models" / command);
        auto window = ShowWindow(folder);
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "SGModels")), QStringList());
        OpenFile(*window, GoldenWav("open_test1"));
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "GridRes")),
                 QStringList({"Нет моделей команд|-100%|-100%"}));
    }

    // Model files that cannot be read are shown at start, all in one message, wherever they sort; the window
    // lists and recognizes with every other command.
    void unreadableModelAtStartLeavesAWorkingWindow()
    {
        TProgramFolder folder;
        folder.Write("Models/a.vcm", "command=a\r\nmodel=DATA\\missing.trj\r\n");
        folder.Write("Models/zz.vcm", "command=zz\r\nnonsense\r\n");
        QString message;
        TModalScript script;
        script.ReadMessage(message);
        auto window = ShowWindow(folder);
        QVERIFY(script.AllStepsRan());
        QVERIFY2(message.startsWith("Не загружены описания команд:\n") && message.contains("a.vcm: ") &&
                     message.contains("zz.vcm: "),
                 qPrintable(message));
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "SGModels")), QStringList({"CLOSE||", "OPEN||", "STOP||"}));
        OpenFile(*window, GoldenWav("open_test1"));
        QVERIFY(GridRows(Control<QTableWidget>(*window, "GridRes"))[0].startsWith("OPEN|95.1%|"));
        QCOMPARE(script.Unanswered(), 0);
    }

    // An error inside recognition shows, and the next file is recognized afresh instead of being refused as
    // "already recording".
    void errorInRecognitionLeavesTheNextFileOpen()
    {
        TProgramFolder folder;
        for (const char* phoneme : {"ph_a.phm", "ph_e.phm", "ph_i.phm", "ph_o.phm", "ph_u.phm"})
            std::filesystem::remove(folder.Path() / "Models" / phoneme);
        auto window = ShowWindow(folder);
        for (int attempt = 0; attempt < 2; ++attempt) {
            QString message;
            OpenFile(*window, GoldenWav("open_test1"), &message);
            QCOMPARE(message, QString("Нет ни одной модели фонемы."));
            QVERIFY(Enabled(*window, "BOpen"));
        }
    }

    // A file without sound gives no result row; the window says so, and the next result takes the text away.
    void aFileWithoutSoundSaysSo()
    {
        TProgramFolder folder;
        auto window = ShowWindow(folder);
        const auto* status = Control<QLabel>(*window, "LStatus");
        OpenFile(*window, WriteWav(folder, "silence.wav", 1, 22050, 16));
        QCOMPARE(status->text(), QString("В файле нет речи"));
        QVERIFY(!status->isHidden());
        QVERIFY(Control<QProgressBar>(*window, "PBScan")->isHidden());
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "GridRes")), QStringList({"||"}));

        OpenFile(*window, GoldenWav("open_test1"));
        QCOMPARE(status->text(), QString());
    }

    // Each open starts in the last file's folder with an empty name field (typing adds to nothing), and the
    // dialog leaves nothing of itself over the window, such as its completion list.
    void fileDialogStartsAfreshInTheLastFilesFolder()
    {
        TProgramFolder folder;
        auto window = ShowWindow(folder);
        const std::string first = GoldenWav("open_test1");
        TModalScript typing;
        typing.Then<QFileDialog>([&](QFileDialog* dialog) {
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            QTest::keyClicks(name, QFileInfo(QString::fromStdString(first)).absolutePath() + "/open");
            name->setText(QFileInfo(QString::fromStdString(first)).absoluteFilePath());
            static_cast<QDialog*>(dialog)->accept();
        });
        QTest::mouseClick(Control<QPushButton>(*window, "BOpen"), Qt::LeftButton);
        QVERIFY(typing.AllStepsRan());
        QCOMPARE(QApplication::activePopupWidget(), nullptr);

        QString nameField = "not shown";
        QString shownFolder;
        TModalScript looking;
        looking.Then<QFileDialog>([&](QFileDialog* dialog) {
            nameField = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
            shownFolder = dialog->directory().absolutePath();
            static_cast<QDialog*>(dialog)->reject();
        });
        QTest::mouseClick(Control<QPushButton>(*window, "BOpen"), Qt::LeftButton);
        QVERIFY(looking.AllStepsRan());
        QCOMPARE(nameField, QString());
        QCOMPARE(shownFolder, QFileInfo(QString::fromStdString(first)).absolutePath());
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "GridRes")).size(), 1);   // cancelled: nothing opened
    }

    void ctrlDoesNothingInFileMode()
    {
        TProgramFolder folder;
        auto window = ShowWindow(folder);
        SendKey(window->windowHandle(), QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
        SendKey(window->windowHandle(), QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(Control<QProgressBar>(*window, "PBScan")->isHidden());
        SendKey(window->windowHandle(), QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
        QCOMPARE(GridRows(Control<QTableWidget>(*window, "GridRes")), QStringList({"||"}));
    }
};

PARLANTO_GUI_TEST_MAIN(MainWindowTest)
#include "MainWindow_test.moc"
