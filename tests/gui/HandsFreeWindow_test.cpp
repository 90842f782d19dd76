// The window listening hands-free against the private sound server: the commands spoken into the virtual
// microphone become result rows in order, a knock does not, and hands-free goes with the microphone.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "GuiTest.h"
#include "MainDemo.h"
#include "PulseTestServer.h"
#include "SpokenCommands.h"

using namespace pulsetest;

namespace {

void Click(const TMainForm& window, const char* name)
{
    QTest::mouseClick(Control<QAbstractButton>(window, name), Qt::LeftButton);
}

QStringList Commands(const TMainForm& window)
{
    QStringList names;
    for (const QString& row : GridRows(Control<QTableWidget>(window, "GridRes")))
        names << row.section('|', 0, 0);
    return names;
}

class HandsFreeWindow : public PulseServerTest {
protected:
    void SetUp() override
    {
        PulseServerTest::SetUp();
        if (IsSkipped())
            return;
        window = ShowWindow(folder);
        EXPECT_FALSE(Control<QCheckBox>(*window, "CBHandsFree")->isEnabled()) << "a choice of the microphone mode";
        Click(*window, "CBMic");
        Click(*window, "CBHandsFree");
        ASSERT_TRUE(Control<QCheckBox>(*window, "CBHandsFree")->isChecked());
    }

    void TearDown() override
    {
        window.reset();
        EXPECT_EQ(modals.Unanswered(), 0);
        PulseServerTest::TearDown();
    }

    TModalScript modals;
    TProgramFolder folder;
    std::unique_ptr<TMainForm> window;
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

    Click(*window, "CBMic");
    EXPECT_FALSE(Control<QCheckBox>(*window, "CBHandsFree")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(*window, "CBHandsFree")->isEnabled());
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    SetUpApplication();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
