#pragma once
// Read-only RIFF file with chunk navigation: the handle behind the WAV functions.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// Four-character chunk identifier as it lies in the file, read little-endian.
constexpr uint32_t MakeFourCC(const char (&id)[5])
{
    return static_cast<uint32_t>(static_cast<uint8_t>(id[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(id[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(id[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(id[3])) << 24;
}

// Little-endian fields of chunk data.
inline uint16_t LittleEndian16(const uint8_t* bytes)
{
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

inline uint32_t LittleEndian32(const uint8_t* bytes)
{
    return static_cast<uint32_t>(LittleEndian16(bytes)) | static_cast<uint32_t>(LittleEndian16(bytes + 2)) << 16;
}

struct TRiffChunk {
    uint32_t Id = 0;
    uint32_t FormType = 0;      // RIFF chunks only
    int64_t DeclaredSize = 0;   // as written in the header
    int64_t Size = 0;           // clipped to the enclosing chunk, or to the file for a RIFF chunk
    int64_t DataOffset = 0;     // file offset of the first data byte (the form type of a RIFF chunk)
};

class TRiffFile {
public:
    // Positions and sizes of the WAV layer are 32-bit signed, so anything past this offset is out of reach.
    static constexpr int64_t kMaxExtent = INT32_MAX;

    // Opens a regular file for reading; nullptr when it cannot be opened or is a directory, FIFO or device
    // (those could block a read forever or have no meaningful size).
    static std::unique_ptr<TRiffFile> Open(const std::string& fileName);
    ~TRiffFile();
    TRiffFile(const TRiffFile&) = delete;
    TRiffFile& operator=(const TRiffFile&) = delete;

    // Closes the file; false when the system reports a failure. Later calls do nothing and return true.
    bool Close();
    // Reads up to len bytes from the current position; returns the count read (short at the end of the
    // file), or -1 when the read fails.
    int64_t Read(void* dest, int64_t len);
    bool Seek(int64_t position);

    // Searches a RIFF chunk of the given form type among the top-level chunks from the current position
    // on. On success the file stands right behind the form type, at the first subchunk.
    bool FindRiff(uint32_t formType, TRiffChunk& chunk);
    // Searches the chunk id among parent's subchunks from the current position on. On success the file
    // stands at the chunk's first data byte.
    bool FindChunk(uint32_t id, const TRiffChunk& parent, TRiffChunk& chunk);
    // Moves to the end of the chunk's data, padding byte included.
    bool Ascend(const TRiffChunk& chunk);

private:
    TRiffFile(std::FILE* file, int64_t extent) : FFile(file), FExtent(extent) {}
    bool Tell(int64_t& position);
    // Reads the chunk header at the current position if it lies wholly before end.
    bool ReadHeader(int64_t end, TRiffChunk& chunk);
    // Moves past the chunk (declared size, padded to even); false when that leaves [0, end).
    bool Skip(const TRiffChunk& chunk, int64_t end);

    std::FILE* FFile;
    int64_t FExtent;            // file size, capped at kMaxExtent
};
