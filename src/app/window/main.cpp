// parlanto: the window.
#include <QApplication>
#include <clocale>

#include "MainDemo.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationDisplayName("Brenvik Parlanto");
    // Qt sets the C locale from the environment; model files are read with '.' as the decimal point.
    std::setlocale(LC_NUMERIC, "C");
    TMainForm window(QCoreApplication::applicationDirPath() + "/");
    window.show();
    return QApplication::exec();
}
