#include "ModelSet.h"

#include <filesystem>

#include "FolderPath.h"
#include "Sovo.h"
#include "UserModels.h"

std::string ProgramDirectory()
{
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return "./";
    return exe.parent_path().string() + "/";
}

std::string DefaultModelsDirectory()
{
    return ModelsFolder(ModelsHome(ProgramDirectory(), UserDataHome()));
}

void LoadModelSet(TSovoObject& sovo, const std::string& modelsDir)
{
    const std::string dir = WithTrailingSeparator(modelsDir);
    sovo.Phoneme->LoadModels(dir, "phm");
    sovo.Dictionary->LoadModels(dir, "vcm");
}

std::string LoadModelSetLeavingOutBroken(TSovoObject& sovo, const std::string& modelsDir)
{
    try {
        LoadModelSet(sovo, modelsDir);
    } catch (const EUnloadedModels& e) {
        return e.what();
    }
    return {};
}
