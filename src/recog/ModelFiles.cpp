#include "ModelFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <utility>

namespace {

namespace fs = std::filesystem;

// A description names its files in a few lines; thousands of them fit many times over.
constexpr size_t kMaxModelTextBytes = size_t{4} << 20;

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

char UpperAsciiChar(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b)
{
    const auto sameLetter = [](char x, char y) { return UpperAsciiChar(x) == UpperAsciiChar(y); };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), sameLetter);
}

std::vector<std::string> SplitComponents(const std::string& path)
{
    std::vector<std::string> components;
    std::string component;
    for (const char c : path) {
        if (!IsSeparator(c)) {
            component += c;
        } else if (!component.empty()) {
            components.push_back(component);
            component.clear();
        }
    }
    if (!component.empty())
        components.push_back(component);
    return components;
}

fs::path DirectoryOrCurrent(const std::string& directory)
{
    return directory.empty() ? fs::path(".") : fs::path(directory);
}

void AppendComponent(std::string& path, const std::string& component)
{
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += component;
}

// Closes the descriptor it holds when it goes out of scope.
class TFileHandle {
public:
    explicit TFileHandle(int fd) : fd_(fd) {}
    ~TFileHandle()
    {
        Close();
    }
    TFileHandle(TFileHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;

    int Fd() const { return fd_; }
    bool IsRegularFile() const
    {
        struct stat info {};
        return fd_ >= 0 && ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
    }
    // False when the system reports an error on closing (data not written, for instance).
    bool Close()
    {
        const bool closed = fd_ < 0 || ::close(fd_) == 0;
        fd_ = -1;
        return closed;
    }

private:
    int fd_;
};

// A regular file opened for reading, or a handle without a descriptor. Checked before opening so that no
// device is opened at all, and again on the descriptor in case the entry changed in between; O_NONBLOCK keeps
// even that open from waiting on a FIFO.
TFileHandle OpenRegularFile(const std::string& fileName)
{
    const std::string path = ResolveModelPath(fileName);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return TFileHandle(-1);
    TFileHandle file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.IsRegularFile())
        return TFileHandle(-1);
    return file;
}

// Reads on until bytes holds total bytes or the file ends; a read failing midway ends the data there.
void ReadUpTo(int fd, std::vector<uint8_t>& bytes, size_t total)
{
    // Read straight into place, with room for what the file holds (never for total alone, which a damaged
    // header may make huge); past that room, as when the file grows meanwhile, on in chunks.
    constexpr size_t kChunk = 65536;
    struct stat info {};
    const size_t fileBytes = ::fstat(fd, &info) == 0 && info.st_size > 0 ? static_cast<size_t>(info.st_size) : 0;
    bytes.reserve(std::min(total, std::max(fileBytes, bytes.size())));
    uint8_t chunk[kChunk];
    while (bytes.size() < total) {
        const size_t start = bytes.size();
        const bool inPlace = bytes.capacity() > start;
        const size_t wanted = std::min(inPlace ? bytes.capacity() - start : kChunk, total - start);
        if (inPlace)
            bytes.resize(start + wanted);
        const ssize_t count = ::read(fd, inPlace ? bytes.data() + start : chunk, wanted);
        if (inPlace)
            bytes.resize(start + static_cast<size_t>(std::max<ssize_t>(count, 0)));
        else if (count > 0)
            bytes.insert(bytes.end(), chunk, chunk + count);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
    }
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes)
{
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        written += static_cast<size_t>(count);
    }
    return true;
}

// Replaces the file at path, spelt exactly so, by a file holding bytes; see RewriteFile.
TWriteResult ReplaceFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    // Only a file or a link may be replaced: a directory, device node or FIFO in the way makes it fail.
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode))
        return TWriteResult::NotCreated;
    // The bytes go to a new file beside the old one, which is replaced only once they are all written:
    // a full disk or a failing write never destroys a saved trajectory.
    static std::atomic<unsigned> serial{0};
    const std::string temporary = path + ".new" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
    TFileHandle file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.Fd() < 0)
        return TWriteResult::NotCreated;
    const bool written = WriteAll(file.Fd(), bytes) && ::fsync(file.Fd()) == 0;
    if (!file.Close() || !written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return TWriteResult::ShortWrite;
    }
    return TWriteResult::Written;
}

void ThrowUnlessWritten(TWriteResult result, const std::string& fileName)
{
    switch (result) {
    case TWriteResult::Written:
        return;
    case TWriteResult::NotCreated:
        throw CreateError(fileName);
    case TWriteResult::ShortWrite:
        throw ESovoError("Ошибка записи в файл '" + fileName + "'");
    }
}

}  // namespace

std::string ResolveModelPath(const std::string& path)
{
    return TModelPathResolver().Resolve(path);
}

// The name under which component exists in directory: as written if so, else the first entry in byte order
// that equals it ignoring ASCII case.
std::optional<std::string> TModelPathResolver::FindEntry(const std::string& directory, const std::string& component)
{
    const fs::path dir = DirectoryOrCurrent(directory);
    std::error_code error;
    if (component == "." || component == ".." || fs::exists(fs::symlink_status(dir / component, error)))
        return component;
    auto listing = listings_.find(directory);
    if (listing == listings_.end()) {
        listing = listings_.emplace(directory, std::map<std::string, std::string>{}).first;
        for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
            std::string name = it->path().filename().string();
            auto [entry, added] = listing->second.try_emplace(UpperAscii(name), name);
            if (!added && name < entry->second)
                entry->second = std::move(name);
        }
    }
    const auto entry = listing->second.find(UpperAscii(component));
    if (entry == listing->second.end())
        return std::nullopt;
    return entry->second;
}

std::string TModelPathResolver::Resolve(const std::string& path)
{
    std::string resolved = (!path.empty() && IsSeparator(path.front())) ? "/" : "";
    bool found = true;
    for (const std::string& component : SplitComponents(path)) {
        std::optional<std::string> entry;
        if (found)
            entry = FindEntry(resolved, component);
        found = entry.has_value();
        AppendComponent(resolved, found ? *entry : component);
    }
    return resolved;
}

bool StaysInModelFolder(const std::string& path)
{
    const bool rooted = !path.empty() && IsSeparator(path.front());
    const bool drive = path.size() >= 2 && path[1] == ':';
    if (rooted || drive)
        return false;
    int depth = 0;
    for (const std::string& component : SplitComponents(path)) {
        if (component == "..")
            --depth;
        else if (component != ".")
            ++depth;
        if (depth < 0)
            return false;
    }
    return true;
}

std::string DirectoryPart(const std::string& fileName)
{
    const size_t separator = fileName.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : fileName.substr(0, separator + 1);
}

std::string NamePart(const std::string& fileName)
{
    const size_t separator = fileName.find_last_of("\\/");
    return separator == std::string::npos ? fileName : fileName.substr(separator + 1);
}

std::vector<std::string> ListModelFiles(const std::string& dir, const std::string& ext)
{
    const std::string prefix = NamePart(dir);
    const std::string suffix = "." + ext;
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(DirectoryOrCurrent(ResolveModelPath(DirectoryPart(dir))), error), end;
         !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        std::error_code typeError;
        if (name.size() >= prefix.size() + suffix.size()
            && EqualIgnoringCase(std::string_view(name).substr(0, prefix.size()), prefix)
            && EqualIgnoringCase(std::string_view(name).substr(name.size() - suffix.size()), suffix)
            && !it->is_directory(typeError))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    for (std::string& name : names)
        name = dir + name;
    return names;
}

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& fileName, size_t maxBytes)
{
    const TFileHandle file = OpenRegularFile(fileName);
    if (file.Fd() < 0)
        return std::nullopt;
    std::vector<uint8_t> bytes;
    ReadUpTo(file.Fd(), bytes, maxBytes);
    return bytes;
}

std::optional<std::vector<uint8_t>> ReadSelfSizedFile(const std::string& fileName, size_t headerBytes,
                                                      const TFileLength& lengthOf)
{
    const TFileHandle file = OpenRegularFile(fileName);
    if (file.Fd() < 0)
        return std::nullopt;
    std::vector<uint8_t> bytes;
    ReadUpTo(file.Fd(), bytes, headerBytes);
    if (bytes.size() == headerBytes) {
        if (const std::optional<size_t> length = lengthOf(bytes))
            ReadUpTo(file.Fd(), bytes, *length);
    }
    return bytes;
}

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        c = UpperAsciiChar(c);
    return text;
}

std::vector<std::string> ReadModelLines(const std::string& fileName, TLetterCase letterCase)
{
    const std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(fileName, kMaxModelTextBytes + 1);
    if (!bytes)
        throw CannotOpenError(fileName);
    if (bytes->size() > kMaxModelTextBytes)
        throw ReadError(fileName);
    return ModelLines(*bytes, letterCase);
}

std::vector<std::string> ModelLines(const std::vector<uint8_t>& text, TLetterCase letterCase)
{
    std::vector<std::string> lines;
    auto start = text.begin();
    while (start != text.end()) {
        const auto lineEnd = std::find(start, text.end(), uint8_t{'\n'});
        const std::string_view raw(reinterpret_cast<const char*>(&*start), static_cast<size_t>(lineEnd - start));
        std::string line;
        for (const char c : TrimBlanks(raw)) {
            if (c != ' ')
                line += letterCase == TLetterCase::Upper ? UpperAsciiChar(c) : c;
        }
        if (!line.empty() && line.front() != ';')
            lines.push_back(std::move(line));
        start = lineEnd == text.end() ? lineEnd : lineEnd + 1;
    }
    return lines;
}

bool TakeKey(const std::string& line, std::string_view key, std::string& value)
{
    if (line.size() < key.size() || !EqualIgnoringCase(std::string_view(line).substr(0, key.size()), key))
        return false;
    value = line.substr(key.size());
    return true;
}

int32_t ParseModelInteger(const std::string& value)
{
    // from_chars takes a minus sign only; a plus is dropped here unless another sign follows it.
    std::string_view digits = value;
    if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-')
        digits.remove_prefix(1);
    int32_t result = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), result);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        throw ESovoError("'" + value + "' is not a valid integer value");
    return result;
}

TWriteResult RewriteFile(const std::string& fileName, const std::vector<uint8_t>& bytes)
{
    return ReplaceFile(ResolveModelPath(fileName), bytes);
}

void WriteModelFile(const std::string& fileName, const std::vector<uint8_t>& bytes)
{
    ThrowUnlessWritten(RewriteFile(fileName, bytes), fileName);
}

void WriteNewModelFile(const std::string& fileName, const std::vector<uint8_t>& bytes)
{
    ThrowUnlessWritten(ReplaceFile(fileName, bytes), fileName);
}


ESovoError CannotOpenError(const std::string& fileName)
{
    return ESovoError("Не могу открыть файл '" + fileName + "'");
}

ESovoError CreateError(const std::string& fileName)
{
    return ESovoError("Ошибка создания файла '" + fileName + "'");
}

ESovoError ReadError(const std::string& fileName)
{
    return ESovoError("Ошибка чтения файла '" + fileName + "'");
}

ESovoError UnknownLineError(const std::string& line, const std::string& fileName)
{
    return ESovoError("Не понял строку '" + line + "' В файле '" + fileName + "'");
}
