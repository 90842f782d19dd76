// parlanto: the window. --aligned starts it with aligned matching ticked.
#include <QApplication>
#include <QCommandLineParser>

#include "ApplicationSetUp.h"
#include "MainDemo.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    SetUpApplication();
    QCoreApplication::setApplicationVersion(PARLANTO_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription("Recognizes voice commands spoken into the microphone or read from WAV files.");
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption aligned("aligned", "Match commands with the aligned matcher (tolerates pauses, noise "
                                                "and tempo) instead of the classic one.");
    parser.addOption(aligned);
    parser.process(application);

    TMainForm window(QCoreApplication::applicationDirPath() + "/",
                     parser.isSet(aligned) ? TMatchMode::Aligned : TMatchMode::Classic);
    window.show();
    return QApplication::exec();
}
