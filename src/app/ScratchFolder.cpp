#include "ScratchFolder.h"

#include <cstdlib>
#include <filesystem>

#include "SovoError.h"

TScratchFolder::TScratchFolder(const std::string& prefix)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw ESovoError("Ошибка создания папки '" + pattern + "'");
    dir_ = pattern + "/";
}

TScratchFolder::~TScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}
