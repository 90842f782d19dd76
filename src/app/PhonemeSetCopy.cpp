#include "PhonemeSetCopy.h"

#include <filesystem>

#include "ModelFiles.h"
#include "FolderPath.h"
#include "SovoError.h"
#include "SovoPhon.h"

namespace {

namespace fs = std::filesystem;

void CopyInto(const fs::path& source, const fs::path& fromDir, const fs::path& toDir)
{
    const fs::path relative = fs::weakly_canonical(source).lexically_relative(fs::weakly_canonical(fromDir));
    if (relative.empty() || *relative.begin() == "..")
        throw ESovoError("Файл '" + source.string() + "' лежит вне папки моделей '" + fromDir.string() + "'");
    const fs::path target = toDir / relative;
    fs::create_directories(target.parent_path());
    fs::copy_file(source, target, fs::copy_options::overwrite_existing);
}

}  // namespace

void CopyPhonemeSet(const std::string& fromDir, const std::string& toDir)
{
    for (const std::string& phm : ListModelFiles(WithTrailingSeparator(fromDir), "phm")) {
        TPhonemeModel model;
        model.Load(phm);   // also proves that every template it names can be read
        CopyInto(phm, fromDir, toDir);
        for (const std::string& value : model.ModelFiles)
            CopyInto(ResolveModelPath(DirectoryPart(phm) + value), fromDir, toDir);
    }
}
