#include "WaveHeaderQueue.h"

TWaveResult TWaveHeaderQueue::Prepare(TWaveHeader& header, bool emptyAllowed)
{
    if (header.Flags.load() & kWaveQueued)
        return TWaveResult::StillQueued;
    if (header.BufferLength > 0 ? header.Data == nullptr : !emptyAllowed)
        return TWaveResult::BadBuffer;
    header.Flags.fetch_or(kWavePrepared);
    return TWaveResult::Ok;
}

TWaveResult TWaveHeaderQueue::Unprepare(TWaveHeader& header)
{
    if (header.Flags.load() & kWaveQueued)
        return TWaveResult::StillQueued;
    header.Flags.fetch_and(~kWavePrepared);
    return TWaveResult::Ok;
}

TWaveResult TWaveHeaderQueue::Add(TWaveHeader& header)
{
    const uint32_t flags = header.Flags.load();
    if (!(flags & kWavePrepared))
        return TWaveResult::NotPrepared;
    if (flags & kWaveQueued)
        return TWaveResult::StillQueued;
    header.BytesRecorded = 0;
    header.Flags.store((flags & ~kWaveDone) | kWaveQueued);
    queue_.push_back(&header);
    return TWaveResult::Ok;
}

void TWaveHeaderQueue::GiveBackFront()
{
    TWaveHeader& header = *queue_.front();
    queue_.pop_front();
    // Release: the owner that sees the done flag also sees the bytes written before it.
    const uint32_t flags = header.Flags.load(std::memory_order_relaxed);
    header.Flags.store((flags & ~kWaveQueued) | kWaveDone, std::memory_order_release);
}

void TWaveHeaderQueue::GiveBackAll()
{
    while (!queue_.empty())
        GiveBackFront();
}
