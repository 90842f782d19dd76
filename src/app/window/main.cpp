// parlanto: the window. --aligned starts it with aligned matching ticked.
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>

#include "ApplicationSetUp.h"
#include "MainDemo.h"
#include "ModelSet.h"
#include "UserModels.h"

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

    // The folder holding Models/: beside the program in the build tree, the user's own when installed.
    const std::string modelsHome = ModelsHome(ProgramDirectory(), UserDataHome());
    TMainForm window(QFile::decodeName(modelsHome.c_str()),
                     parser.isSet(aligned) ? TMatchMode::Aligned : TMatchMode::Classic);
    window.show();
    return QApplication::exec();
}
