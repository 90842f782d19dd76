#include "FuzzScratch.h"

#include <filesystem>
#include <fstream>

#include "ScratchFolder.h"

namespace fs = std::filesystem;

std::string FreshScratchFolder(const std::string& name)
{
    static const TScratchFolder root("parlanto-fuzz");
    const fs::path folder = fs::path(root.Dir()) / name;
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
