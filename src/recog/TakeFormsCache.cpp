#include "TakeFormsCache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <type_traits>

namespace {

constexpr uint32_t kMagic = 0x46544c50;     // "PLTF" read on a host of the same byte order
constexpr uint32_t kVersion = 1;
constexpr uint64_t kPrime = 0x100000001b3ull;

// A running check of everything written or read, taken in the same pieces on both sides.
class TCheck {
public:
    void Add(const void* data, size_t count)
    {
        const auto* bytes = static_cast<const uint8_t*>(data);
        for (; count >= sizeof(uint64_t); bytes += sizeof(uint64_t), count -= sizeof(uint64_t)) {
            uint64_t word = 0;
            std::memcpy(&word, bytes, sizeof word);
            Mix(word);
        }
        for (; count > 0; ++bytes, --count)
            Mix(*bytes);
    }
    uint64_t Value() const { return value_; }

private:
    void Mix(uint64_t word)
    {
        value_ = (value_ ^ word) * kPrime;
        value_ ^= value_ >> 29;
    }
    uint64_t value_ = 0xcbf29ce484222325ull;
};

struct TFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using TFile = std::unique_ptr<std::FILE, TFileCloser>;

// The cache is the host's own: values as they lie in memory (a host of another byte order fails the magic).
class TWriter {
public:
    explicit TWriter(std::FILE* file) : file_(file) {}

    template <class T>
    void Value(const T& value)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        Bytes(&value, sizeof value);
    }
    template <class T>
    void Array(const T* values, size_t count)
    {
        Value<uint64_t>(count);
        Bytes(values, count * sizeof(T));
    }
    void Bytes(const void* data, size_t count)
    {
        check_.Add(data, count);
        ok_ = ok_ && (count == 0 || std::fwrite(data, 1, count, file_) == count);
    }
    // The check of all written so far, written last.
    bool Finish()
    {
        const uint64_t check = check_.Value();
        Bytes(&check, sizeof check);
        return ok_;
    }

private:
    std::FILE* file_;
    TCheck check_;
    bool ok_ = true;
};

// Reads what TWriter wrote straight into place; a count beyond what is left of the file fails before anything
// is sized by it, and a failed read makes the rest fail.
class TReader {
public:
    TReader(std::FILE* file, uint64_t size) : file_(file), left_(size) {}

    template <class T>
    bool Value(T& value)
    {
        return Bytes(&value, sizeof value);
    }
    template <class T>
    bool Array(std::vector<T>& values)
    {
        uint64_t count = 0;
        if (!Value(count) || count > left_ / sizeof(T))
            return false;
        values.resize(count);
        return Bytes(values.data(), count * sizeof(T));
    }
    bool Bytes(void* to, size_t count)
    {
        if (count > left_ || (count > 0 && std::fread(to, 1, count, file_) != count))
            return false;
        left_ -= count;
        check_.Add(to, count);
        return true;
    }
    // Whether the check written last matches all read before it, and nothing follows.
    bool Finish()
    {
        const uint64_t expected = check_.Value();
        uint64_t check = 0;
        return Bytes(&check, sizeof check) && check == expected && left_ == 0;
    }

private:
    std::FILE* file_;
    uint64_t left_;
    TCheck check_;
};

void WriteForm(TWriter& out, const std::optional<TCompactScores>& form)
{
    out.Value<uint8_t>(form ? 1 : 0);
    if (!form)
        return;
    out.Value<uint64_t>(form->Width);
    out.Array(form->Step.data(), form->Step.size());
    out.Array(form->Codes.data(), form->Codes.size());
}

bool ReadForm(TReader& in, std::optional<TCompactScores>& form, size_t width)
{
    uint8_t present = 0;
    if (!in.Value(present) || present > 1)
        return false;
    if (present == 0)
        return true;
    TCompactScores& compact = form.emplace();
    uint64_t storedWidth = 0;
    if (!in.Value(storedWidth) || storedWidth != width || !in.Array(compact.Step) || !in.Array(compact.Codes))
        return false;
    compact.Width = width;
    return compact.Step.size() == width && (width == 0 ? compact.Codes.empty() : compact.Codes.size() % width == 0);
}

bool ReadTake(TReader& in, const std::string& path, TCachedTake& cached)
{
    TCommandTraj& take = cached.first;
    if (!in.Value(take.PhonemeCount) || !in.Value(take.AtomCount) || !in.Array(take.Ids) || !in.Array(take.Names))
        return false;
    cached.second.Path = path;
    const auto width = static_cast<size_t>(take.PhonemeCount);
    return take.PhonemeCount >= 0 && take.AtomCount >= 0 && take.Ids.size() == width && take.Names.size() == width &&
           ReadForm(in, cached.second.Rows, width) && ReadForm(in, cached.second.Frames, width);
}

uint64_t HashOf(const std::string& text)
{
    TCheck check;
    check.Add(text.data(), text.size());
    return check.Value();
}

std::string CacheFileName(const std::string& folder, const std::string& modelsDir)
{
    if (folder.empty())
        return {};
    std::error_code error;
    const std::string absolute = std::filesystem::absolute(modelsDir, error).lexically_normal().string();
    char name[40];
    std::snprintf(name, sizeof name, "/take-forms-%016llx", static_cast<unsigned long long>(HashOf(absolute)));
    return folder + name;
}

}  // namespace

std::optional<TFileStamp> FileStampOf(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    const auto nanoseconds = [](const timespec& time) { return int64_t{time.tv_sec} * 1000000000 + time.tv_nsec; };
    return TFileStamp{static_cast<uint64_t>(info.st_size), static_cast<uint64_t>(info.st_dev),
                      static_cast<uint64_t>(info.st_ino), nanoseconds(info.st_mtim), nanoseconds(info.st_ctim)};
}

TTakeFormsCache::TTakeFormsCache(const std::string& folder, const std::string& modelsDir, uint64_t worthBytes)
    : file_(CacheFileName(folder, modelsDir)), worthBytes_(worthBytes)
{
    if (!file_.empty())
        Read();
}

void TTakeFormsCache::Read()
{
    const std::optional<TFileStamp> stamp = FileStampOf(file_);
    TFile file(stamp ? std::fopen(file_.c_str(), "rbe") : nullptr);
    if (!file)
        return;
    TReader in(file.get(), stamp->Size);
    uint32_t magic = 0, version = 0;
    uint64_t count = 0;
    if (!in.Value(magic) || magic != kMagic || !in.Value(version) || version != kVersion || !in.Value(count))
        return;
    for (uint64_t i = 0; i < count; ++i) {
        std::vector<char> path;
        TEntry entry;
        if (!in.Array(path) || !in.Value(entry.Stamp)) {
            entries_.clear();
            return;
        }
        const std::string name(path.begin(), path.end());
        if (!ReadTake(in, name, entry.Take.emplace())) {
            entries_.clear();
            return;
        }
        entries_[name] = std::move(entry);
    }
    if (!in.Finish())
        entries_.clear();
}

std::optional<TCachedTake> TTakeFormsCache::Find(const std::string& path, const TFileStamp& stamp)
{
    const auto found = entries_.find(path);
    if (found == entries_.end() || !found->second.Take || !(found->second.Stamp == stamp))
        return std::nullopt;
    found->second.Used = true;
    std::optional<TCachedTake> take = std::move(found->second.Take);
    found->second.Take.reset();
    return take;
}

void TTakeFormsCache::Add(const std::string& path, const TFileStamp& stamp)
{
    entries_[path] = {stamp, std::nullopt, true};
    changed_ = true;
}

void TTakeFormsCache::Save(const std::vector<std::pair<const TCommandTraj*, const TTakeForms*>>& takes)
{
    std::vector<std::pair<const TCommandTraj*, const TTakeForms*>> kept;
    std::set<std::string> paths;   // a take named by two commands is kept once
    uint64_t bytes = 0;
    for (const auto& take : takes) {
        const auto found = entries_.find(take.second->Path);
        if (found != entries_.end() && found->second.Used && paths.insert(take.second->Path).second) {
            kept.push_back(take);
            bytes += found->second.Stamp.Size;
        }
    }
    if (file_.empty() || bytes < worthBytes_ || (!changed_ && kept.size() == entries_.size()))
        return;
    // Written beside the old cache and renamed over it, so that a reader never meets half a cache.
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(file_).parent_path(), error);
    const std::string temporary = file_ + ".new" + std::to_string(::getpid());
    TFile file(std::fopen(temporary.c_str(), "wbe"));
    if (!file)
        return;
    TWriter out(file.get());
    out.Value(kMagic);
    out.Value(kVersion);
    out.Value<uint64_t>(kept.size());
    for (const auto& [take, forms] : kept) {
        out.Array(forms->Path.data(), forms->Path.size());
        out.Value(entries_[forms->Path].Stamp);
        out.Value(take->PhonemeCount);
        out.Value(take->AtomCount);
        out.Array(take->Ids.data(), take->Ids.size());
        out.Array(take->Names.data(), take->Names.size());
        WriteForm(out, forms->Rows);
        WriteForm(out, forms->Frames);
    }
    const bool written = out.Finish() && std::fflush(file.get()) == 0;
    if (std::fclose(file.release()) != 0 || !written || ::rename(temporary.c_str(), file_.c_str()) != 0)
        ::unlink(temporary.c_str());
}

std::string DefaultTakeFormsFolder()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/')
        return std::string(cache) + "/parlanto";
    const char* home = std::getenv("HOME");
    return home != nullptr && home[0] == '/' ? std::string(home) + "/.cache/parlanto" : std::string();
}
