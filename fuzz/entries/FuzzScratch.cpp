#include "FuzzScratch.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class TScratchRoot {
public:
    TScratchRoot()
    {
        std::string pattern = (fs::temp_directory_path() / "parlanto-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw fs::filesystem_error("no scratch folder", pattern, std::make_error_code(std::errc::io_error));
        path_ = pattern;
    }
    ~TScratchRoot()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TScratchRoot(const TScratchRoot&) = delete;
    TScratchRoot& operator=(const TScratchRoot&) = delete;

    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

}  // namespace

std::string FreshScratchFolder(const std::string& name)
{
    static const TScratchRoot root;
    const fs::path folder = root.Path() / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder.string() + "/";
}

bool WriteScratchFile(const std::string& folder, const std::string& relative, std::span<const uint8_t> bytes)
{
    const fs::path file = fs::path(folder) / relative;
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    if (error)
        return false;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}
