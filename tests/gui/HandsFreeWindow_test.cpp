// The window listening hands-free against the private sound server: the commands spoken into the virtual
// microphone become result rows in order, a knock does not, and hands-free goes with the microphone.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "ServerWindowTest.h"
#include "SpokenCommands.h"

namespace {

// The names of the result rows. Before the fed sound, a real-time microphone gives digital silence, whose end
// (the room noise setting in) the listener may take for an utterance: that first row is left out.
QStringList Commands(const TMainForm& window)
{
    QStringList names;
    for (const QString& row : GridRows(Control<QTableWidget>(window, "GridRes")))
        names << row.section('|', 0, 0);
    if (!pulsetest::MicrophoneIsExact() && names.value(0) == "Не команда")
        names.removeFirst();
    return names;
}

class HandsFreeWindow : public ServerWindowTest {
protected:
    void SetUp() override
    {
        ServerWindowTest::SetUp();
        if (IsSkipped())
            return;
        EXPECT_FALSE(Control<QCheckBox>(*window, "CBHandsFree")->isEnabled()) << "a choice of the microphone mode";
        TurnMicrophoneOn();
        Click("CBHandsFree");
        ASSERT_TRUE(Control<QCheckBox>(*window, "CBHandsFree")->isChecked());
    }
};

TEST_F(HandsFreeWindow, SpokenCommandsBecomeRowsInOrderAndHandsFreeGoesWithTheMicrophone)
{
    EXPECT_TRUE(Control<QCheckBox>(*window, "CBAligned")->isChecked()) << "hands-free matches aligned";
    const TSpokenCommands spoken = SpokenCommands();
    FeedMicrophone(spoken.Samples);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Commands(*window).size() >= 3; }, 10000));
    EXPECT_EQ(Commands(*window), (QStringList{"OPEN", "CLOSE", "STOP"}));
    EXPECT_TRUE(Control<QPushButton>(*window, "BPlay")->isEnabled());
    EXPECT_TRUE(Control<QPushButton>(*window, "BSaveModel")->isEnabled());

    Click("CBMic");
    EXPECT_FALSE(Control<QCheckBox>(*window, "CBHandsFree")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(*window, "CBHandsFree")->isEnabled());
}

}  // namespace

PARLANTO_GUI_GTEST_MAIN()
