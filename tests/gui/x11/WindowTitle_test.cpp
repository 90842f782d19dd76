// The window's title where the window manager reads it, on a real X server: the platform adds to a title there
// what the offscreen tests never see.
#include <QProcess>
#include <QTest>

#include "GuiTest.h"
#include "MainDemo.h"

namespace {

// The title of a top-level window as its _NET_WM_NAME property on the X server holds it.
QString WindowManagerTitle(const QWidget& window)
{
    QProcess xprop;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C.UTF-8");   // the title as text, not as escaped bytes
    xprop.setProcessEnvironment(environment);
    xprop.start(PARLANTO_XPROP, {"-id", QString::number(window.winId()), "-notype", "_NET_WM_NAME"});
    if (!xprop.waitForFinished() || xprop.exitCode() != 0)
        return "(xprop failed: " + QString::fromUtf8(xprop.readAllStandardError()) + ")";
    // _NET_WM_NAME = "the title"
    const QString answer = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const qsizetype open = answer.indexOf('"');
    return open < 0 ? "(no title: " + answer + ")" : answer.mid(open + 1).chopped(1);
}

}  // namespace

class WindowTitleTest : public QObject {
    Q_OBJECT
private slots:
    void titleIsTheProgramThenTheOpenFile()
    {
        QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
        TProgramFolder folder;
        // No window manager runs to make the window active: shown on the screen is enough.
        TMainForm window(folder.ProgramDir());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE(WindowManagerTitle(window), QString("Brenvik Parlanto"));
        OpenFile(window, GoldenWav("open_test1"));
        const QString file = QString::fromStdString(GoldenWav("open_test1"));
        QTRY_COMPARE(WindowManagerTitle(window), "Brenvik Parlanto - " + file);
    }
};

PARLANTO_GUI_TEST_MAIN(WindowTitleTest)
#include "WindowTitle_test.moc"
