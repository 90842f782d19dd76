// The window with the microphone: push-to-talk, the level meter and playback against the private sound
// server that test.sh starts, and the fall-back to file mode when there is no server.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QWindow>

#include "FileRecognizer.h"
#include "PercentText.h"
#include "R_SOURCE.h"
#include "ServerWindowTest.h"
#include "SovoMicInput.h"
#include "mic_fixture.h"

using namespace mictest;
using namespace pulsetest;

namespace {

const std::string kModels = std::string(PARLANTO_GOLDEN_DIR) + "/models/";

QProgressBar* Bar(const TMainForm& window, const char* name)
{
    return Control<QProgressBar>(window, name);
}

TEST(MicWindowWithoutServer, ShowsTheCauseAndEndsInFileModeWith2000SampleBlocks)
{
    ScopedEnv noServer("PULSE_SERVER", "unix:/nonexistent/parlanto/native");
    TProgramFolder folder;
    auto window = ShowWindow(folder);
    QString message;
    TModalScript script;
    script.ReadMessage(message);
    ClickControl(*window, "CBMic");
    ASSERT_TRUE(script.AllStepsRan());
    EXPECT_TRUE(message.startsWith("Ошибка создания объекта записи с микрофона.\n\n")) << message.toStdString();
    EXPECT_GT(message.size(), QString("Ошибка создания объекта записи с микрофона.\n\n").size()) << "the cause follows";
    EXPECT_FALSE(Control<QCheckBox>(*window, "CBMic")->isChecked());
    EXPECT_TRUE(Control<QPushButton>(*window, "BOpen")->isEnabled());
    EXPECT_FALSE(Control<QPushButton>(*window, "BPlay")->isEnabled());
    EXPECT_TRUE(Bar(*window, "PBLevel")->isHidden());
    EXPECT_TRUE(Bar(*window, "PBScan")->isHidden());

    // The file input now reads 2000 samples at a time.
    std::vector<int> positions;
    QObject::connect(Bar(*window, "PBScan"), &QProgressBar::valueChanged, [&](int value) { positions.push_back(value); });
    script.ChooseFile(GoldenWav("open_test1"));
    ClickControl(*window, "BOpen");
    ASSERT_TRUE(script.AllStepsRan());
    EXPECT_EQ(positions, (std::vector<int>{0, 2000, 4000, 6000, 8000, 10000, 12000, 14000, 16000}));
    EXPECT_EQ(GridRows(Control<QTableWidget>(*window, "GridRes")).value(0).section('|', 0, 0), "OPEN");
    EXPECT_EQ(script.Unanswered(), 0);
}

class MicWindow : public ServerWindowTest {
protected:
    void SetUp() override
    {
        ServerWindowTest::SetUp();
        if (!IsSkipped())
            TurnMicrophoneOn();
    }

    void Key(QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers modifiers, bool autoRepeat = false)
    {
        SendKey(window->windowHandle(), type, key, modifiers, autoRepeat);
    }
};

TEST_F(MicWindow, MicrophoneModeShowsTheLevelMeterAndTheLevelsReachIt)
{
    EXPECT_FALSE(Bar(*window, "PBLevel")->isHidden());
    EXPECT_FALSE(Control<QPushButton>(*window, "BOpen")->isEnabled());
    EXPECT_FALSE(Control<QPushButton>(*window, "BPlay")->isEnabled());
    FeedMicrophone(ToneBlock(12000));
    // The meter's thread hands each level over through the event loop.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Bar(*window, "PBLevel")->value() == 12000; }, 3000));
    EXPECT_EQ(Bar(*window, "PBLevel")->maximum(), 32767);
}

TEST_F(MicWindow, CtrlHeldRecordsOnceAndItsReleaseRecognizes)
{
    const std::vector<int16_t> utterance = WholeBlocksOf(GoldenWav("open_test1"));
    TempDir dir;
    TFileRecognizer files(kModels);
    const TFileResult expected = files.Recognize(dir.WriteWav("utterance.wav", utterance));
    ASSERT_TRUE(expected.Recognized);

    Key(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    EXPECT_FALSE(Bar(*window, "PBScan")->isHidden());
    // Auto-repeats of Ctrl, and another key pressed and released while Ctrl is held, keep the one recording.
    for (int repeat = 0; repeat < 3; ++repeat)
        Key(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier, true);
    Key(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    Key(QEvent::KeyRelease, Qt::Key_A, Qt::ControlModifier);
    SourceEar ear;
    FeedMicrophone(utterance);
    ASSERT_TRUE(ear.Heard(utterance));
    Key(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);

    const QStringList rows = GridRows(Control<QTableWidget>(*window, "GridRes"));
    ASSERT_EQ(rows.size(), 1);
    const QString command = QString::fromStdString(expected.CommandName + "|");
    // A microphone that adds silence of its own changes the figures, not the command.
    if (MicrophoneIsExact())
        EXPECT_EQ(rows[0], command + QString::fromStdString(PercentText(expected.Like) + "|" +
                                                            PercentText(expected.Distance)));
    else
        EXPECT_TRUE(rows[0].startsWith(command)) << rows[0].toStdString();
    EXPECT_TRUE(Bar(*window, "PBScan")->isHidden());
    EXPECT_TRUE(Control<QPushButton>(*window, "BPlay")->isEnabled());
    EXPECT_FALSE(Control<QPushButton>(*window, "BOpen")->isEnabled());

    // A key released while Ctrl is up and nothing records changes nothing.
    Key(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    EXPECT_EQ(GridRows(Control<QTableWidget>(*window, "GridRes")).size(), 1);
}

TEST_F(MicWindow, APressThatHearsNothingEndsVisibly)
{
    Key(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    Key(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    EXPECT_TRUE(Bar(*window, "PBScan")->isHidden());
    EXPECT_EQ(Control<QLabel>(*window, "LStatus")->text(), QString("Ничего не услышано"));
    EXPECT_EQ(GridRows(Control<QTableWidget>(*window, "GridRes")), QStringList({"||"}));
}

TEST_F(MicWindow, WhileCtrlIsHeldTheMeterShowsTheVoice)
{
    constexpr int16_t kPeak = 12345;
    Key(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    // Half a second of one tone: the meter, read every 50 ms, sees it whatever the server's framing.
    std::vector<std::vector<int16_t>> tone(11, ToneBlock(kPeak));
    FeedMicrophone(Joined(tone));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Bar(*window, "PBLevel")->value() == kPeak; }, 10000));
    Key(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
}

using PlayWindow = ServerWindowTest;

// What the loudspeaker's monitor hears while "Play" plays must hold every sample said, unchanged and in order.
TEST_F(PlayWindow, PlayGivesBackTheOpenedFileSampleForSample)
{
    modals.ChooseFile(GoldenWav("close_test1"));
    Click("BOpen");
    ASSERT_TRUE(modals.AllStepsRan());
    TWavFileSource file;
    file.Open(GoldenWav("close_test1"));
    const int16_t* samples = nullptr;
    const int32_t count = file.Read(1, samples, static_cast<int32_t>(file.TotalSamples()), 0);
    const std::vector<int16_t> said(samples, samples + count);
    UseSpeakerMonitor();
    SourceEar monitor;
    Click("BPlay");
    EXPECT_TRUE(monitor.Heard(said)) << "every sample of the file comes back";
}

TEST_F(PlayWindow, PlayGivesBackTheRecordingSampleForSample)
{
    TurnMicrophoneOn();
    const std::vector<int16_t> said = WholeBlocksOf(GoldenWav("open_test1"));
    SendKey(window->windowHandle(), QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    {
        SourceEar ear;
        FeedMicrophone(said);
        ASSERT_TRUE(ear.Heard(said));
    }
    SendKey(window->windowHandle(), QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    ASSERT_EQ(GridRows(Control<QTableWidget>(*window, "GridRes")).size(), 1);
    ASSERT_TRUE(Control<QPushButton>(*window, "BPlay")->isEnabled());
    UseSpeakerMonitor();
    SourceEar monitor;
    Click("BPlay");
    EXPECT_TRUE(monitor.Heard(said)) << "the recording comes back whole, from its first sample";
}

}  // namespace

PARLANTO_GUI_GTEST_MAIN()
