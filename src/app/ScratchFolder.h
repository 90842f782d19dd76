#pragma once
// A folder of its own under the system's temporary folder, removed with everything in it when the object goes.
#include <string>

class TScratchFolder {
public:
    // prefix starts the folder's name (a unique ending is added). Raises ESovoError when no folder can be made.
    explicit TScratchFolder(const std::string& prefix);
    ~TScratchFolder();
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;

    // The folder, with a trailing "/".
    const std::string& Dir() const { return dir_; }

private:
    std::string dir_;
};
