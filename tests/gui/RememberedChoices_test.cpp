// "Microphone" and "Aligned matching" are found as the user left them, run after run: against the private
// sound server, and without one, where the box cannot stay ticked.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QMessageBox>
#include <QSettings>
#include <QTest>
#include <memory>

#include "GuiTest.h"
#include "MainDemo.h"
#include "MatchModeSetting.h"
#include "PulseTestServer.h"
#include "RememberedChoices.h"

using namespace pulsetest;

namespace {

QCheckBox* Box(const TMainForm& window, const char* name)
{
    return Control<QCheckBox>(window, name);
}

// One run of the program: the window made with the stored matcher, then its choices restored.
class ProgramRun {
public:
    ProgramRun(const TProgramFolder& folder, const QString& settingsFile)
        : settings_(settingsFile, QSettings::IniFormat),
          window_(new TMainForm(folder.ProgramDir(), StartMatchMode(std::nullopt, settings_)))
    {
        window_->show();
        RememberChoices(*window_, settings_);
    }
    TMainForm& Window() { return *window_; }

private:
    QSettings settings_;
    std::unique_ptr<TMainForm> window_;
};

class RememberedChoices : public PulseServerTest {
protected:
    QString SettingsFile() const { return QString::fromStdString(dir.Dir() + "parlanto.conf"); }

    TProgramFolder folder;
    TempDir dir;
};

TEST_F(RememberedChoices, BothBoxesAreFoundAsTheyWereLeft)
{
    {
        ProgramRun first(folder, SettingsFile());
        EXPECT_FALSE(Box(first.Window(), "CBMic")->isChecked()) << "files at first";
        EXPECT_TRUE(Box(first.Window(), "CBAligned")->isChecked()) << "aligned at first";
        QTest::mouseClick(Box(first.Window(), "CBMic"), Qt::LeftButton);
        QTest::mouseClick(Box(first.Window(), "CBAligned"), Qt::LeftButton);
        ASSERT_TRUE(Box(first.Window(), "CBMic")->isChecked());
    }
    {
        ProgramRun second(folder, SettingsFile());
        EXPECT_TRUE(Box(second.Window(), "CBMic")->isChecked());
        EXPECT_FALSE(Box(second.Window(), "CBAligned")->isChecked());
        QTest::mouseClick(Box(second.Window(), "CBMic"), Qt::LeftButton);
    }
    ProgramRun third(folder, SettingsFile());
    EXPECT_FALSE(Box(third.Window(), "CBMic")->isChecked());
    EXPECT_FALSE(Box(third.Window(), "CBAligned")->isChecked());
}

// Ticked last time but with no sound server now: the window says why, ends in file mode and remembers that.
TEST(RememberedChoicesWithoutServer, AMicrophoneThatCannotOpenIsNotRememberedAsTicked)
{
    const TProgramFolder folder;
    const TempDir dir;
    const QString file = QString::fromStdString(dir.Dir() + "parlanto.conf");
    QSettings(file, QSettings::IniFormat).setValue("microphone", true);
    const ScopedEnv noServer("PULSE_SERVER", "unix:/nonexistent/parlanto/native");
    QString message;
    TModalScript script;
    script.ReadMessage(message);
    {
        ProgramRun run(folder, file);
        ASSERT_TRUE(script.AllStepsRan());
        EXPECT_TRUE(message.startsWith("Ошибка создания объекта записи с микрофона.")) << message.toStdString();
        EXPECT_FALSE(Box(run.Window(), "CBMic")->isChecked());
    }
    EXPECT_FALSE(QSettings(file, QSettings::IniFormat).value("microphone").toBool());
}

}  // namespace

PARLANTO_GUI_GTEST_MAIN()
