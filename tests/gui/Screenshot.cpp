// gui-screenshot OUT.png PROGRAM_DIR WAV...: shows the window on PROGRAM_DIR's models, opens each WAV through
// "Open file" and saves what the display shows of the window. Run under Xvfb for the picture in docs/.
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <cstdio>

#include "GuiTest.h"
#include "MainDemo.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    SetUpApplication();
    if (argc < 4) {
        std::fputs("usage: gui-screenshot OUT.png PROGRAM_DIR WAV...\n", stderr);
        return 2;
    }
    TMainForm window(QString(argv[2]) + "/", TMatchMode::Aligned);   // as the program starts the first time
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    for (int i = 3; i < argc; ++i) {
        TModalScript script;
        script.ChooseFile(argv[i]);
        QTest::mouseClick(Control<QPushButton>(window, "BOpen"), Qt::LeftButton);
        if (!script.AllStepsRan())
            return 1;
    }
    QTest::qWait(300);
    return window.screen()->grabWindow(window.winId()).save(argv[1]) ? 0 : 1;
}
