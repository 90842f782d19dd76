// parlanto: the window. It starts with the matcher and the microphone choice of last time (aligned, files, at
// first); --aligned or --classic starts it with that matcher.
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QSettings>
#include <optional>

#include "ApplicationSetUp.h"
#include "MainDemo.h"
#include "MatchModeSetting.h"
#include "ModelSet.h"
#include "RememberedChoices.h"
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
                                                "and tempo).");
    const QCommandLineOption classic("classic", "Match commands with the classic matcher (whole score series "
                                                "correlated phoneme by phoneme).");
    parser.addOption(aligned);
    parser.addOption(classic);
    parser.process(application);
    const std::optional<TMatchMode> given = parser.isSet(classic) ? std::optional(TMatchMode::Classic)
                                            : parser.isSet(aligned) ? std::optional(TMatchMode::Aligned)
                                                                    : std::nullopt;
    QSettings settings("Brenvik", "parlanto");

    // The folder holding Models/: beside the program in the build tree, the user's own when installed.
    const std::string modelsHome = ModelsHome(ProgramDirectory(), UserDataHome());
    TMainForm window(QFile::decodeName(modelsHome.c_str()), StartMatchMode(given, settings));
    window.show();
    RememberChoices(window, settings);
    return QApplication::exec();
}
