#include "UserModels.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

std::string WithSlash(const fs::path& folder)
{
    return folder.string() + "/";
}

// Copies the shipped folder into copy as the user's own: folders are made afresh and every file gets its owner's
// write bit, since an install may have made the shipped ones read-only (a folder copied with its mode could not
// even be filled), and saving a take adds a file and rewrites a command's description.
void CopyAsOwn(const fs::path& shipped, const fs::path& copy, std::error_code& error)
{
    fs::create_directory(copy, error);
    for (auto it = fs::recursive_directory_iterator(shipped, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        const fs::path target = copy / fs::relative(it->path(), shipped, error);
        if (error)
            return;
        if (it->is_directory(error)) {
            fs::create_directory(target, error);
        } else if (fs::copy_file(it->path(), target, error)) {
            fs::permissions(target, fs::perms::owner_write, fs::perm_options::add, error);
        }
    }
}

// Copies shipped to models through a folder beside it and a rename, so an interrupted first start leaves no
// half-made set behind.
bool CopyShippedModels(const fs::path& shipped, const fs::path& models)
{
    std::error_code error;
    fs::create_directories(models.parent_path(), error);
    const fs::path partial = models.string() + ".partial-" + std::to_string(::getpid());
    fs::remove_all(partial, error);
    CopyAsOwn(shipped, partial, error);
    if (!error)
        fs::rename(partial, models, error);
    if (error)
        fs::remove_all(partial, error);
    return fs::is_directory(models, error);
}

} // namespace

std::string UserDataHome()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return std::string(home) + "/.local/share";
    return {};
}

std::string ModelsHome(const std::string& programDir, const std::string& dataHome)
{
    std::error_code error;
    fs::path program = programDir;
    if (!program.has_filename())
        program = program.parent_path();
    const fs::path shippedHome = program.parent_path() / "share" / "parlanto";
    if (fs::is_directory(program / "Models", error) || !fs::is_directory(shippedHome / "Models", error))
        return WithSlash(program);
    if (dataHome.empty())
        return WithSlash(shippedHome);
    const fs::path userHome = fs::path(dataHome) / "parlanto";
    if (fs::is_directory(userHome / "Models", error) || CopyShippedModels(shippedHome / "Models", userHome / "Models"))
        return WithSlash(userHome);
    return WithSlash(shippedHome);
}

std::string ModelsFolder(const std::string& home)
{
    return home + "Models/";
}
