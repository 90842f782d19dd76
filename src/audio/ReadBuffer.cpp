#include "ReadBuffer.h"

#include <algorithm>

TReadBuffer::TReadBuffer(int32_t capacity) : FCapacity(capacity)
{
    if (capacity > 0)
        FSamples.resize(static_cast<std::size_t>(capacity));
}

int32_t TReadBuffer::DoRead(int16_t* dest, int32_t count)
{
    return OnRead ? OnRead(dest, count) : 0;
}

bool TReadBuffer::Discard(int64_t count)
{
    while (count > 0) {
        const int32_t asked = static_cast<int32_t>(std::min<int64_t>(count, FCapacity));
        const int32_t got = DoRead(FSamples.data(), asked);
        if (got < asked)
            return false;
        count -= got;
    }
    return true;
}

void TReadBuffer::Refill(int32_t from)
{
    if (FSamples.empty())
        return;
    from = std::max(from, 0);
    int32_t keep = 0;
    bool supplied = true;
    if (from < FValid) {
        keep = FValid - from;
        std::copy(FSamples.begin() + from, FSamples.begin() + FValid, FSamples.begin());
    } else if (from > FValid) {
        // Samples skipped beyond those held were never read: step over them in the supplier, or the
        // block handed out next would start too early.
        supplied = Discard(static_cast<int64_t>(from) - FValid);
    }
    if (supplied)
        keep += std::max(0, DoRead(FSamples.data() + keep, FCapacity - keep));
    FValid = keep;
    std::fill(FSamples.begin() + FValid, FSamples.end(), int16_t{0});
    FIndex = 0;
}

void TReadBuffer::Reset()
{
    FEndOfData = false;
    FValid = 0;
    Refill(0);
}

int32_t TReadBuffer::GetAt(int32_t at, int32_t count, const int16_t*& p)
{
    if (FSamples.empty() || FEndOfData || at < 0 || count < 0)
        return 0;
    FIndex = at;
    const int64_t end = static_cast<int64_t>(at) + count;
    if (FValid < end) {
        if (FCapacity < end)
            Refill(at);
        if (FValid < static_cast<int64_t>(FIndex) + count) {
            FEndOfData = true;
            count = std::max(0, FValid - FIndex);
        }
    }
    p = FSamples.data() + std::min(FIndex, FValid);
    return count;
}

int32_t TReadBuffer::Read(int32_t skip, int32_t count, const int16_t*& p)
{
    const int64_t at = static_cast<int64_t>(FIndex) + skip;
    return at > INT32_MAX ? 0 : GetAt(static_cast<int32_t>(at), count, p);
}
