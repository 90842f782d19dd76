#include "ModelFolder.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

TModelFolder::TModelFolder()
{
    std::string pattern = (fs::temp_directory_path() / "parlanto-models-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    root_ = pattern + "/";
}

TModelFolder::~TModelFolder()
{
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

void TModelFolder::WriteText(const std::string& relative, const std::string& text) const
{
    WriteBytes(relative, std::vector<uint8_t>(text.begin(), text.end()));
}

void TModelFolder::WriteBytes(const std::string& relative, const std::vector<uint8_t>& bytes) const
{
    const fs::path path = Path(relative);
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

void TModelFolder::MakeDirectory(const std::string& relative) const
{
    fs::create_directories(Path(relative));
}

void TModelFolder::MakeFifo(const std::string& relative) const
{
    const fs::path path = Path(relative);
    fs::create_directories(path.parent_path());
    if (::mkfifo(path.c_str(), 0600) != 0)
        throw std::runtime_error("cannot make a FIFO " + path.string());
}

std::vector<uint8_t> ReadAllBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
