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
#include <algorithm>
#include <memory>

#include "FileRecognizer.h"
#include "GuiTest.h"
#include "MainDemo.h"
#include "PercentText.h"
#include "PulseTestServer.h"
#include "R_SOURCE.h"
#include "SovoMicInput.h"
#include "mic_fixture.h"

using namespace mictest;
using namespace pulsetest;

namespace {

const std::string kModels = std::string(PARLANTO_GOLDEN_DIR) + "/models/";

void Click(const TMainForm& window, const char* name)
{
    QTest::mouseClick(Control<QAbstractButton>(window, name), Qt::LeftButton);
}

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
    Click(*window, "CBMic");
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
    Click(*window, "BOpen");
    ASSERT_TRUE(script.AllStepsRan());
    EXPECT_EQ(positions, (std::vector<int>{0, 2000, 4000, 6000, 8000, 10000, 12000, 14000, 16000}));
    EXPECT_EQ(GridRows(Control<QTableWidget>(*window, "GridRes")).value(0).section('|', 0, 0), "OPEN");
    EXPECT_EQ(script.Unanswered(), 0);
}

class MicWindow : public PulseServerTest {
protected:
    void SetUp() override
    {
        PulseServerTest::SetUp();
        if (IsSkipped())
            return;
        window = ShowWindow(folder);
        Click(*window, "CBMic");
        ASSERT_TRUE(Control<QCheckBox>(*window, "CBMic")->isChecked());
    }

    void TearDown() override
    {
        window.reset();
        EXPECT_EQ(modals.Unanswered(), 0);
        PulseServerTest::TearDown();
    }

    void Key(QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers modifiers, bool autoRepeat = false)
    {
        SendKey(window->windowHandle(), type, key, modifiers, autoRepeat);
    }

    TModalScript modals;   // rejects, and counts, any error box nobody expected
    TProgramFolder folder;
    std::unique_ptr<TMainForm> window;
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
    FeedMicrophone(utterance);
    QTest::qWait(400);   // the recorder polls its buffers every 50 ms
    Key(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);

    const QStringList rows = GridRows(Control<QTableWidget>(*window, "GridRes"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0], QString::fromStdString(expected.CommandName + "|") +
                           QString::fromStdString(PercentText(expected.Like) + "|" + PercentText(expected.Distance)));
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

// The last block fed is a tone of this peak: once the meter shows it, the recording has everything before it.
constexpr int16_t kLastBlockPeak = 12345;

TEST_F(MicWindow, WhileCtrlIsHeldTheMeterShowsTheVoice)
{
    Key(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    FeedMicrophone(Joined({ToneBlock(3000), ToneBlock(kLastBlockPeak)}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Bar(*window, "PBLevel")->value() == kLastBlockPeak; }, 10000));
    Key(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
}

// The window, and what the loudspeaker's monitor hears while "Play" plays.
class PlayWindow : public MicWindow {
protected:
    void SetUp() override
    {
        PulseServerTest::SetUp();
        if (!IsSkipped())
            window = ShowWindow(folder);
    }

    std::vector<int16_t> HeardWhilePlaying()
    {
        UseSpeakerMonitor();
        TSovoMicInput monitor(1024, 1, 22050, 2);
        Delivery heard;
        heard.Attach(monitor);
        monitor.Start();
        UseMicrophone();
        Click(*window, "BPlay");   // returns once the sound has ended
        // The monitor hears the sink a little later than it plays: a few more buffers hold the end.
        EXPECT_TRUE(CaptureReaches(monitor, monitor.CapturedBlocks() + 4));
        monitor.Stop();
        return heard.Samples;
    }
};

bool Contains(const std::vector<int16_t>& heard, const std::vector<int16_t>& said)
{
    return std::search(heard.begin(), heard.end(), said.begin(), said.end()) != heard.end();
}

TEST_F(PlayWindow, PlayGivesBackTheOpenedFileSampleForSample)
{
    modals.ChooseFile(GoldenWav("close_test1"));
    Click(*window, "BOpen");
    ASSERT_TRUE(modals.AllStepsRan());
    TWavFileSource file;
    file.Open(GoldenWav("close_test1"));
    const int16_t* samples = nullptr;
    const int32_t count = file.Read(1, samples, static_cast<int32_t>(file.TotalSamples()), 0);
    const std::vector<int16_t> said(samples, samples + count);
    EXPECT_TRUE(Contains(HeardWhilePlaying(), said)) << "every sample of the file comes back, unchanged and in order";
}

TEST_F(PlayWindow, PlayGivesBackTheRecordingSampleForSample)
{
    Click(*window, "CBMic");
    const std::vector<int16_t> said = Joined({WholeBlocksOf(GoldenWav("open_test1")), ToneBlock(kLastBlockPeak)});
    Key(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    FeedMicrophone(said);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Bar(*window, "PBLevel")->value() == kLastBlockPeak; }, 10000));
    Key(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    ASSERT_EQ(GridRows(Control<QTableWidget>(*window, "GridRes")).size(), 1);
    ASSERT_TRUE(Control<QPushButton>(*window, "BPlay")->isEnabled());
    EXPECT_TRUE(Contains(HeardWhilePlaying(), said)) << "the recording comes back whole, from its first sample";
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    SetUpApplication();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
