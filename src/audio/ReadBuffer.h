#pragma once
// Read-ahead store of 16-bit samples: hands out contiguous blocks by pointer and refills itself from a
// supplier, moving the unread tail to the front first so that no block straddles a refill.
#include <cstdint>
#include <functional>
#include <vector>

// Supplier: writes up to count samples to dest and returns how many it wrote.
using TReadEvent = std::function<int32_t(int16_t* dest, int32_t count)>;

class TReadBuffer {
public:
    explicit TReadBuffer(int32_t capacity);
    virtual ~TReadBuffer() = default;
    TReadBuffer(const TReadBuffer&) = delete;
    TReadBuffer& operator=(const TReadBuffer&) = delete;

    // Keeps the samples from index `from` on, moved to the front, and fills the rest from the supplier.
    void Refill(int32_t from);
    // Starts over: forgets everything held and reads ahead one capacity.
    void Reset();
    // Up to count samples from storage index at; p receives the first of them. Returns how many are
    // available (0 when none, p then unchanged). A request met only in part ends the data until Reset.
    int32_t GetAt(int32_t at, int32_t count, const int16_t*& p);
    // As GetAt, counted skip samples on from the block handed out last.
    int32_t Read(int32_t skip, int32_t count, const int16_t*& p);

    bool EndOfData() const { return FEndOfData; }
    int32_t Valid() const { return FValid; }
    int32_t Index() const { return FIndex; }

    TReadEvent OnRead;

protected:
    virtual int32_t DoRead(int16_t* dest, int32_t count);

private:
    // Consumes count samples from the supplier without keeping them; false when it runs dry first.
    bool Discard(int64_t count);

    std::vector<int16_t> FSamples;     // empty when the capacity is not positive
    int32_t FValid = 0;
    int32_t FCapacity;
    int32_t FIndex = 0;
    bool FEndOfData = false;
};
