#include "BufferObject.h"

#include <algorithm>

#include "SovoError.h"

int32_t TBufferObject::Append(const int16_t* samples, int32_t count)
{
    if (count <= 0)
        return count;
    if (head_ > 0 && head_ >= storage_.size() - head_) {
        storage_.erase(storage_.begin(), storage_.begin() + static_cast<std::ptrdiff_t>(head_));
        head_ = 0;
    }
    storage_.insert(storage_.end(), samples, samples + count);
    return count;
}

int32_t TBufferObject::Peek(int16_t* dest, int32_t count) const
{
    const int32_t held = Count();
    if (count < held) {
        std::copy_n(storage_.data() + head_, count, dest);
        return count;
    }
    std::fill_n(dest, count, int16_t{0});
    std::copy_n(storage_.data() + head_, held, dest);
    return held;
}

void TBufferObject::Delete(int32_t count)
{
    const int32_t held = Count();
    if (count == held) {
        Clear();
        return;
    }
    if (count > held)
        throw ESovoError("Нельзя удалить больше данных, чем есть в буфере.");
    head_ += static_cast<std::size_t>(count);
}

void TBufferObject::Clear()
{
    storage_.clear();
    head_ = 0;
}

void TBufferObject::MixIntoTail(const int16_t* samples, int32_t count)
{
    const int32_t n = std::min(count, Count());
    int16_t* tail = storage_.data() + storage_.size() - n;
    const int16_t* source = samples + (count - n);
    for (int32_t i = 0; i < n; ++i)
        tail[i] = static_cast<int16_t>(static_cast<uint16_t>(tail[i]) + static_cast<uint16_t>(source[i]));
}
