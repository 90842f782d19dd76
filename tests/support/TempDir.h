#pragma once
// A scratch folder per test, removed afterwards, with small writers for the files tests need.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "parlanto-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a temporary directory");
        path_ = pattern;
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Where a file of that name inside the folder is (or would be).
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // The folder as the model loaders take it: with a trailing separator.
    std::string Dir() const { return path_.string() + "/"; }

    std::string Write(const std::string& name, const std::string& bytes) const
    {
        const std::filesystem::path file = path_ / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out << bytes;
        if (!out)
            throw std::runtime_error("cannot write " + file.string());
        return file.string();
    }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        return Write(name, std::string(bytes.begin(), bytes.end()));
    }

    // A 22050 Hz, 16-bit mono WAV with a canonical 44-byte header.
    std::string WriteWav(const std::string& name, const std::vector<int16_t>& samples) const
    {
        const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
        std::string bytes = "RIFF" + Le32(36 + dataBytes) + "WAVEfmt " + Le32(16) + Le16(1) + Le16(1) +
                            Le32(22050) + Le32(44100) + Le16(2) + Le16(16) + "data" + Le32(dataBytes);
        bytes.append(reinterpret_cast<const char*>(samples.data()), dataBytes);
        return Write(name, bytes);
    }

    static std::string Le16(uint16_t v) { return {static_cast<char>(v & 255), static_cast<char>(v >> 8)}; }
    static std::string Le32(uint32_t v) { return Le16(static_cast<uint16_t>(v & 0xFFFF)) + Le16(static_cast<uint16_t>(v >> 16)); }

    std::string Read(const std::string& name) const
    {
        std::ifstream in(path_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path path_;
};
