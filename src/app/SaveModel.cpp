#include "SaveModel.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string_view>

#include <unistd.h>

#include "FolderPath.h"
#include "ModelFiles.h"
#include "SovoDict.h"
#include "SovoError.h"

namespace {

const std::string kTrajectoryExt = ".trj";
const std::string kModelLinePrefix = "model=DATA\\";
const std::string kLineEnd = "\r\n";

// A description line as compared for "already listed": letters upper-cased, then blanks trimmed.
std::string UpperTrimmed(const std::string& text)
{
    return std::string(TrimBlanks(UpperAscii(text)));
}

// Whether a line of the description, compared as above, is modelLine.
bool ListsLine(const std::vector<uint8_t>& description, const std::string& modelLine)
{
    const std::string wanted = UpperTrimmed(modelLine);
    const std::string_view text(reinterpret_cast<const char*>(description.data()), description.size());
    for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        if (UpperTrimmed(std::string(text.substr(start, end - start))) == wanted)
            return true;
        start = end + 1;
    }
    return false;
}

// Adds modelLine at the end of the description (read before as bytes) unless a line already lists it;
// returns whether it did. The whole file is written anew beside the old one and renamed over it, so that a
// full disk or a failing write never leaves a cut line that would stop the set loading.
bool AddToDescription(const std::string& fileName, std::vector<uint8_t> bytes, const std::string& modelLine)
{
    if (ListsLine(bytes, modelLine))
        return false;
    if (::access(fileName.c_str(), W_OK) != 0)   // a description made read-only stays as it is
        throw CreateError(fileName);
    const std::string text = kLineEnd + modelLine + kLineEnd;
    bytes.insert(bytes.end(), text.begin(), text.end());
    WriteModelFile(fileName, bytes);
    return true;
}

// The model folder as it exists on disk, with a trailing separator (empty: the current folder).
std::string FolderPath(const std::string& dir)
{
    return WithTrailingSeparator(ResolveModelPath(dir));
}

// Trajectories live in Data/ below the descriptions.
std::string DataDir(const std::string& modelsDir)
{
    return ResolveModelPath(FolderPath(modelsDir) + "Data");
}

// The description that gets the new example, as it is before the save.
struct TDescription {
    std::string File;
    std::optional<std::vector<uint8_t>> Bytes;   // none: the command is new and its description is written whole
};

std::vector<uint8_t> ReadDescription(const std::string& fileName)
{
    std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(fileName);
    if (!bytes)
        throw ReadError(fileName);
    return std::move(*bytes);
}

// The name the dictionary reads back from the "command=" line written for a typed name.
std::string ReadBackName(const std::string& typed)
{
    const std::string line = "command=" + typed;
    return DescribedCommand("", ModelLines({line.begin(), line.end()}, TLetterCase::Upper));
}

// An existing command is found by its exact name. A new one gets "<name>.vcm"; when a description of that
// name exists already, it is kept (with its examples) and added to if it describes the same command in any
// letter case (say "close.vcm" of CLOSE for "close"), and the save is refused if it describes another one:
// the example would silently go to that command.
TDescription FindDescription(TTeskDictionary& dictionary, const std::string& modelsDir, const std::string& commandName)
{
    if (const TVoiceCommandModel* command = FindCommand(dictionary, commandName)) {
        const std::string file = ResolveModelPath(command->FileName);
        return {file, ReadDescription(file)};
    }
    // The folder is found ignoring letter case, the new file gets the name exactly as typed.
    const std::string file = FolderPath(modelsDir) + commandName + ".vcm";
    if (!std::filesystem::exists(file))
        return {file, std::nullopt};
    std::vector<uint8_t> bytes = ReadDescription(file);
    const std::string described = DescribedCommand(file, ModelLines(bytes, TLetterCase::Upper));
    if (UpperAscii(described) != ReadBackName(commandName))
        throw ESovoError("Файл '" + file + "' описывает другую команду '" + described + "'");
    return {file, std::move(bytes)};
}

}  // namespace

const TVoiceCommandModel* FindCommand(TTeskDictionary& dictionary, const std::string& name)
{
    for (int32_t i = 0; i < dictionary.ModelCount(); ++i) {
        if (dictionary.GetModel(i)->Name == name)
            return dictionary.GetModel(i);
    }
    return nullptr;
}

std::string TrajectoryFileName(const std::string& typed)
{
    std::string name(TrimBlanks(typed));
    if (name.size() < kTrajectoryExt.size() ||
        name.compare(name.size() - kTrajectoryExt.size(), kTrajectoryExt.size(), kTrajectoryExt) != 0)
        name += kTrajectoryExt;
    return name;
}

bool IsValidModelFileName(const std::string& name)
{
    if (name.empty() || name == "..")
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return c == '/' || c == '\\' || static_cast<unsigned char>(c) < 32 || c == 127;
    });
}

std::string TrajectoryPath(const std::string& modelsDir, const std::string& typedTrajectoryName)
{
    return ResolveModelPath(DataDir(modelsDir) + "/" + TrajectoryFileName(typedTrajectoryName));
}

std::string FreeTrajectoryName(const std::string& modelsDir, const std::string& commandName)
{
    for (int n = 1;; ++n) {
        const std::string name = commandName + std::to_string(n);
        if (!std::filesystem::exists(TrajectoryPath(modelsDir, name)))
            return name;
    }
}

TSavedModel SaveLastCommandAsModel(TTeskDictionary& dictionary, const std::string& modelsDir,
                                   const std::string& commandName, const std::string& typedTrajectoryName)
{
    if (!IsValidModelFileName(commandName))
        throw ESovoError("Недопустимое имя команды '" + commandName + "'");
    const std::string trajectoryName = TrajectoryFileName(typedTrajectoryName);
    if (!IsValidModelFileName(trajectoryName))
        throw ESovoError("Недопустимое имя файла '" + trajectoryName + "'");
    TDescription description = FindDescription(dictionary, modelsDir, commandName);
    TSavedModel saved;
    saved.DescriptionFile = description.File;

    // A fresh model folder gets its Data/.
    std::error_code ignored;
    std::filesystem::create_directories(DataDir(modelsDir), ignored);
    saved.TrajectoryFile = TrajectoryPath(modelsDir, trajectoryName);
    dictionary.SaveTrajectory(saved.TrajectoryFile);

    const std::string modelLine = kModelLinePrefix + trajectoryName;
    if (description.Bytes) {
        saved.DescriptionChanged = AddToDescription(description.File, std::move(*description.Bytes), modelLine);
    } else {
        const std::string text = kLineEnd + ";File description of voice command" + kLineEnd + "command=" +
                                 commandName + kLineEnd + modelLine + kLineEnd;
        WriteNewModelFile(description.File, std::vector<uint8_t>(text.begin(), text.end()));
        saved.DescriptionChanged = true;
    }
    return saved;
}
