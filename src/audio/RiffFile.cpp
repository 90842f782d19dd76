#include "RiffFile.h"

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uint32_t kRiffId = MakeFourCC("RIFF");
constexpr int64_t kHeaderBytes = 8;

} // namespace

std::unique_ptr<TRiffFile> TRiffFile::Open(const std::string& fileName)
{
    // O_NONBLOCK keeps opening a FIFO without a writer from waiting; it is cleared again for the reads.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat status {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<TRiffFile>(new TRiffFile(file, std::min<int64_t>(status.st_size, kMaxExtent)));
}

TRiffFile::~TRiffFile()
{
    Close();
}

bool TRiffFile::Close()
{
    if (FFile == nullptr)
        return true;
    const int result = std::fclose(FFile);
    FFile = nullptr;
    return result == 0;
}

int64_t TRiffFile::Read(void* dest, int64_t len)
{
    if (FFile == nullptr)
        return -1;
    if (len <= 0)
        return 0;
    const std::size_t count = std::fread(dest, 1, static_cast<std::size_t>(len), FFile);
    if (count < static_cast<std::size_t>(len) && std::ferror(FFile)) {
        std::clearerr(FFile);
        return -1;
    }
    return static_cast<int64_t>(count);
}

bool TRiffFile::Seek(int64_t position)
{
    return FFile != nullptr && position >= 0 && ::fseeko(FFile, static_cast<off_t>(position), SEEK_SET) == 0;
}

bool TRiffFile::Tell(int64_t& position)
{
    if (FFile == nullptr)
        return false;
    position = ::ftello(FFile);
    return position >= 0;
}

bool TRiffFile::ReadHeader(int64_t end, TRiffChunk& chunk)
{
    int64_t position = 0;
    uint8_t header[kHeaderBytes];
    if (!Tell(position) || position + kHeaderBytes > end || Read(header, kHeaderBytes) != kHeaderBytes)
        return false;
    chunk = TRiffChunk{};
    chunk.Id = LittleEndian32(header);
    chunk.DeclaredSize = LittleEndian32(header + 4);
    chunk.DataOffset = position + kHeaderBytes;
    chunk.Size = std::min(chunk.DeclaredSize, end - chunk.DataOffset);
    return true;
}

bool TRiffFile::Skip(const TRiffChunk& chunk, int64_t end)
{
    const int64_t next = chunk.DataOffset + chunk.DeclaredSize + (chunk.DeclaredSize & 1);
    return next < end && Seek(next);
}

bool TRiffFile::FindRiff(uint32_t formType, TRiffChunk& chunk)
{
    TRiffChunk candidate;
    while (ReadHeader(FExtent, candidate)) {
        uint8_t form[4];
        if (candidate.Id == kRiffId && candidate.Size >= 4 && Read(form, 4) == 4) {
            candidate.FormType = LittleEndian32(form);
            if (candidate.FormType == formType) {
                chunk = candidate;
                return true;
            }
        }
        if (!Skip(candidate, FExtent))
            return false;
    }
    return false;
}

bool TRiffFile::FindChunk(uint32_t id, const TRiffChunk& parent, TRiffChunk& chunk)
{
    const int64_t end = parent.DataOffset + parent.Size;
    TRiffChunk candidate;
    while (ReadHeader(end, candidate)) {
        if (candidate.Id == id) {
            chunk = candidate;
            return true;
        }
        if (!Skip(candidate, end))
            return false;
    }
    return false;
}

bool TRiffFile::Ascend(const TRiffChunk& chunk)
{
    return Seek(chunk.DataOffset + chunk.DeclaredSize + (chunk.DeclaredSize & 1));
}
