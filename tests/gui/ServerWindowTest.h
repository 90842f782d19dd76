#pragma once
// The window against the private sound server that test.sh starts: skipped without one, the microphone held
// alone while a test runs, and every modal dialog nobody expected rejected and counted.
#include <QAbstractButton>
#include <QCheckBox>
#include <QTest>
#include <memory>

#include "GuiTest.h"
#include "MainDemo.h"
#include "PulseTestServer.h"

// Clicks a button or check box of the window by its name.
inline void ClickControl(const QWidget& window, const char* name)
{
    QTest::mouseClick(Control<QAbstractButton>(window, name), Qt::LeftButton);
}

class ServerWindowTest : public pulsetest::PulseServerTest {
protected:
    void SetUp() override
    {
        PulseServerTest::SetUp();
        if (!IsSkipped())
            window = ShowWindow(folder);
    }

    void TearDown() override
    {
        window.reset();
        EXPECT_EQ(modals.Unanswered(), 0);
        PulseServerTest::TearDown();
    }

    void Click(const char* name) { ClickControl(*window, name); }

    // Ticks "microphone" and checks that the window took it.
    void TurnMicrophoneOn()
    {
        Click("CBMic");
        ASSERT_TRUE(Control<QCheckBox>(*window, "CBMic")->isChecked());
    }

    TModalScript modals;
    TProgramFolder folder;
    std::unique_ptr<TMainForm> window;
};
