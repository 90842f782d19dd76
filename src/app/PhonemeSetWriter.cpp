#include "PhonemeSetWriter.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "FolderPath.h"
#include "ModelFiles.h"
#include "SaveModel.h"
#include "SovoError.h"

namespace {

namespace fs = std::filesystem;

const std::string kLineEnd = "\r\n";

std::vector<uint8_t> Bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

bool IsInside(const fs::path& file, const fs::path& folder)
{
    const fs::path relative = fs::weakly_canonical(file).lexically_relative(fs::weakly_canonical(folder));
    return !relative.empty() && *relative.begin() != "..";
}

// Every .phm file of dir and the template files it names inside dir, as they exist on disk. A template
// elsewhere may belong to something else and is never touched.
std::set<std::string> CurrentSetFiles(const std::string& dir)
{
    std::set<std::string> files;
    for (const std::string& phm : ListModelFiles(dir, "phm")) {
        files.insert(ResolveModelPath(phm));
        for (const std::string& line : ReadModelLines(phm, TLetterCase::Keep)) {
            std::string value;
            const std::string file = TakeKey(line, "MODEL=", value) ? ResolveModelPath(DirectoryPart(phm) + value) : "";
            if (!file.empty() && IsInside(file, dir))
                files.insert(file);
        }
    }
    return files;
}

std::string PhmText(const TBuiltPhoneme& phoneme, const std::vector<std::string>& templateNames)
{
    std::string text = "; phoneme unit " + phoneme.Name + ": " + std::to_string(phoneme.Templates.size()) +
                       " template(s) learnt from " + std::to_string(phoneme.AtomCount) + " loud atoms" + kLineEnd +
                       "CHARS=" + phoneme.Name + kLineEnd + "ID=" + std::to_string(phoneme.Id) + kLineEnd;
    for (const std::string& name : templateNames)
        text += "MODEL=Data\\" + name + kLineEnd;
    return text;
}

}  // namespace

void WritePhonemeSet(const std::vector<TBuiltPhoneme>& phonemes, const std::string& dir)
{
    for (const TBuiltPhoneme& phoneme : phonemes) {
        const bool blank = std::any_of(phoneme.Name.begin(), phoneme.Name.end(), IsBlank);
        if (blank || !IsValidModelFileName(phoneme.Name))
            throw ESovoError("Недопустимое имя фонемы '" + phoneme.Name + "'");
    }
    const std::string folder = WithTrailingSeparator(dir);
    fs::create_directories(fs::path(folder) / "Data");
    const std::set<std::string> previous = CurrentSetFiles(folder);

    std::set<std::string> written;
    for (const TBuiltPhoneme& phoneme : phonemes) {
        std::vector<std::string> templateNames;
        for (size_t t = 0; t < phoneme.Templates.size(); ++t) {
            templateNames.push_back(phoneme.Name + "_" + std::to_string(t + 1) + ".bin");
            const std::string file = ResolveModelPath(folder + "Data/" + templateNames.back());
            WriteModelFile(file, std::vector<uint8_t>(phoneme.Templates[t].begin(), phoneme.Templates[t].end()));
            written.insert(file);
        }
        const std::string phm = ResolveModelPath(folder + phoneme.Name + ".phm");
        WriteModelFile(phm, Bytes(PhmText(phoneme, templateNames)));
        written.insert(phm);
    }
    for (const std::string& file : previous) {
        if (!written.count(file)) {
            std::error_code ignored;
            fs::remove(file, ignored);
        }
    }
}
