#pragma once
// First-in, first-out store of 16-bit samples, read in place from the front.
#include <cstddef>
#include <cstdint>
#include <vector>

class TBufferObject {
public:
    // Adds Count samples at the end; returns Count.
    int32_t Append(const int16_t* samples, int32_t count);
    // Copies the oldest samples into dest without removing them. dest always receives count samples,
    // zero-padded behind the held ones; returns how many were held samples: min(count, Count()).
    int32_t Peek(int16_t* dest, int32_t count) const;
    // Removes the count oldest samples; throws (and changes nothing) when fewer are held.
    void Delete(int32_t count);
    void Clear();
    // Adds count samples, with 16-bit wrap-around, onto the newest held samples (the overlap of a filter
    // block); when fewer are held, onto all of them, aligned at the end.
    void MixIntoTail(const int16_t* samples, int32_t count);
    int32_t Count() const { return static_cast<int32_t>(storage_.size() - head_); }
    // The oldest held sample, or nullptr when empty. Valid until the next change of the buffer.
    const int16_t* Data() const { return Count() == 0 ? nullptr : storage_.data() + head_; }

private:
    // Deleted samples stay in front of head_ until they outweigh the content, so that appending and
    // deleting one hop at a time costs amortised constant time instead of a copy of everything held.
    std::vector<int16_t> storage_;
    std::size_t head_ = 0;
};
