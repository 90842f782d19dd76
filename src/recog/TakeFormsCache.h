#pragma once
// A large vocabulary's take forms kept between runs, one file per model folder, so that the program starts
// without reading every take's rows again. A take comes from it only while its file is as it was when its forms
// were made: the same size, modification and change times, device and inode. It is only a cache: one that is
// missing, damaged or cannot be written costs time, never an answer.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "SovoTypes.h"
#include "TakeForms.h"

// What tells one state of a file from another.
struct TFileStamp {
    uint64_t Size = 0, Device = 0, Inode = 0;
    int64_t Modified = 0, Changed = 0;   // ns

    bool operator==(const TFileStamp&) const = default;
};
// Nothing for a path that is not a regular file.
std::optional<TFileStamp> FileStampOf(const std::string& path);

// A cached take: its counts, ids and names (no rows) and its forms.
using TCachedTake = std::pair<TCommandTraj, TTakeForms>;

class TTakeFormsCache {
public:
    // The cache of the model folder modelsDir, kept in folder (nothing is read or written when folder is empty).
    // It is written only for takes of worthBytes of files or more: fewer are read again quickly enough, and
    // the many small folders of an evaluation leave no caches behind.
    TTakeFormsCache(const std::string& folder, const std::string& modelsDir, uint64_t worthBytes = 0);

    // The take at path when held for the file as stamped; it is handed over, not kept twice.
    std::optional<TCachedTake> Find(const std::string& path, const TFileStamp& stamp);
    // A take read from its file as stamped, to be saved with the others.
    void Add(const std::string& path, const TFileStamp& stamp);
    // Writes the takes found or added (takes: each one's header and forms, found by its forms' Path), unless
    // they are what was read.
    void Save(const std::vector<std::pair<const TCommandTraj*, const TTakeForms*>>& takes);

    const std::string& File() const { return file_; }

private:
    struct TEntry {
        TFileStamp Stamp;
        std::optional<TCachedTake> Take;   // until found
        bool Used = false;
    };

    void Read();

    std::string file_;
    uint64_t worthBytes_;
    std::map<std::string, TEntry> entries_;
    bool changed_ = false;
};

// The program's folder in the user's cache: $XDG_CACHE_HOME/parlanto, else ~/.cache/parlanto; empty without
// either.
std::string DefaultTakeFormsFolder();
