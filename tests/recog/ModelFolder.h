#pragma once
// A temporary folder for model files written by a test; removed with its contents when the test ends.
#include <cstdint>
#include <string>
#include <vector>

class TModelFolder {
public:
    TModelFolder();
    ~TModelFolder();
    TModelFolder(const TModelFolder&) = delete;
    TModelFolder& operator=(const TModelFolder&) = delete;

    // The folder's absolute name, ending with "/".
    const std::string& Root() const { return root_; }
    std::string Path(const std::string& relative) const { return root_ + relative; }

    // Write a file below the folder (relative with "/"), creating its directories.
    void WriteText(const std::string& relative, const std::string& text) const;
    void WriteBytes(const std::string& relative, const std::vector<uint8_t>& bytes) const;
    void MakeDirectory(const std::string& relative) const;
    void MakeFifo(const std::string& relative) const;

private:
    std::string root_;
};

std::vector<uint8_t> ReadAllBytes(const std::string& path);
