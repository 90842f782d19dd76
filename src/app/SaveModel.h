#pragma once
// Saving the last recognized utterance as an example of a command: the trajectory goes to Data/ under the
// model folder and the command's description (.vcm) lists it. Reloading the command models is the caller's:
// the window reloads and lists them in one step, so that its list always shows what the dictionary holds.
// The window's dialog and the command-line enrolment both call this.
#include <string>

class TTeskDictionary;
class TVoiceCommandModel;

struct TSavedModel {
    std::string TrajectoryFile;     // path of the .trj written
    std::string DescriptionFile;    // path of the .vcm that lists it
    bool DescriptionChanged = false; // false when the description listed this trajectory already
};

// The command of exactly this name (the one a save adds to), or nullptr.
const TVoiceCommandModel* FindCommand(TTeskDictionary& dictionary, const std::string& name);

// The typed trajectory name without surrounding blanks, with ".trj" appended unless it ends so (exact case).
std::string TrajectoryFileName(const std::string& typed);

// Where a save under this typed trajectory name writes: Data/ of the model folder (ending with a separator),
// letter case as found on disk.
std::string TrajectoryPath(const std::string& modelsDir, const std::string& typedTrajectoryName);

// The command name with the first number whose trajectory does not exist yet: "open" -> "open1", or "open2"
// when open1.trj exists. Proposed for a new example, so that no earlier take is replaced.
std::string FreeTrajectoryName(const std::string& modelsDir, const std::string& commandName);

// Command and trajectory names become file names in the model folder: they must not be empty nor "..", nor
// hold "/", "\\" or control characters, which would write elsewhere or make a file no one can name.
bool IsValidModelFileName(const std::string& name);

// modelsDir ends with a separator. commandName is used exactly as typed; an existing command is found by its
// exact name. Refused before anything is written: an invalid command or trajectory name, a description that
// cannot be read, and a new command whose description file exists and describes another command. Errors
// (writing the trajectory or the description) are raised as the system's messages; a failure never replaces
// or truncates an existing description.
TSavedModel SaveLastCommandAsModel(TTeskDictionary& dictionary, const std::string& modelsDir,
                                   const std::string& commandName, const std::string& typedTrajectoryName);
