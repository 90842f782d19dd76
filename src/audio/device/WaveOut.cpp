#include "WaveOut.h"

#include <algorithm>

#include "PulseStream.h"
#include "WaveHeaderQueue.h"

struct TWaveOut::TImpl {
    TPulseStream Stream;
    TWaveHeaderQueue Queue;          // the buffer being played, if any
    uint32_t FrameBytes = 0;
    size_t Playable = 0;             // whole frames of the playing buffer, in bytes
    size_t Written = 0;              // bytes of it handed to the server
    pa_operation* Drain = nullptr;   // running once everything is written; answers when it has been played

    // Writes as much of the playing buffer as the server takes; after the last byte, waits for it to play.
    void Feed()
    {
        if (Queue.Empty() || Drain != nullptr)
            return;
        pa_stream* stream = Stream.Stream();
        while (Written < Playable) {
            const size_t room = pa_stream_writable_size(stream);
            if (room == static_cast<size_t>(-1)) {
                Finish();
                return;
            }
            if (room == 0)
                return;
            const size_t bytes = std::min(room, Playable - Written);
            if (pa_stream_write(stream, Queue.Front().Data + Written, bytes, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
                Finish();
                return;
            }
            Written += bytes;
        }
        Drain = pa_stream_drain(stream, &Drained, this);
        if (Drain == nullptr)
            Finish();
    }

    // Hands the playing buffer back, played or not.
    void Finish()
    {
        if (Drain != nullptr) {
            pa_operation_cancel(Drain);
            pa_operation_unref(Drain);
            Drain = nullptr;
        }
        Queue.GiveBackAll();
        Playable = Written = 0;
    }

    static void Drained(pa_stream* /*stream*/, int /*success*/, void* self)
    {
        auto* impl = static_cast<TImpl*>(self);
        pa_operation_unref(impl->Drain);
        impl->Drain = nullptr;
        impl->Finish();
    }
};

TWaveOut::TWaveOut() : impl_(std::make_unique<TImpl>())
{
    impl_->Stream.OnWritable = [impl = impl_.get()] { impl->Feed(); };
    impl_->Stream.OnFailed = [impl = impl_.get()] { impl->Finish(); };
}

TWaveOut::~TWaveOut()
{
    Close();
}

TWaveResult TWaveOut::Open(const TPcmFormat& format)
{
    Close();
    pa_buffer_attr attr;
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = static_cast<uint32_t>(-1);
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(-1);
    impl_->FrameBytes = static_cast<uint32_t>(format.Channels * format.BytesPerSample);
    return impl_->Stream.Open(format, PA_STREAM_PLAYBACK, attr, PA_STREAM_NOFLAGS);
}

TWaveResult TWaveOut::Prepare(TWaveHeader& header)
{
    if (!impl_->Stream.IsOpen())
        return TWaveResult::NotOpen;
    TPulseStream::TLock lock(impl_->Stream);
    return TWaveHeaderQueue::Prepare(header, true);
}

TWaveResult TWaveOut::Unprepare(TWaveHeader& header)
{
    if (!impl_->Stream.IsOpen())
        return TWaveResult::NotOpen;
    TPulseStream::TLock lock(impl_->Stream);
    return TWaveHeaderQueue::Unprepare(header);
}

TWaveResult TWaveOut::Write(TWaveHeader& header)
{
    if (!impl_->Stream.IsOpen())
        return TWaveResult::NotOpen;
    TPulseStream::TLock lock(impl_->Stream);
    if (!impl_->Queue.Empty())
        return TWaveResult::Busy;
    if (!impl_->Stream.IsReady())
        return TWaveResult::ServerFailed;
    const TWaveResult result = impl_->Queue.Add(header);
    if (result != TWaveResult::Ok)
        return result;
    impl_->Playable = header.BufferLength - header.BufferLength % impl_->FrameBytes;
    impl_->Written = 0;
    impl_->Feed();
    return TWaveResult::Ok;
}

TWaveResult TWaveOut::Reset()
{
    if (!impl_->Stream.IsOpen())
        return TWaveResult::NotOpen;
    TPulseStream::TLock lock(impl_->Stream);
    if (impl_->Queue.Empty())
        return TWaveResult::Ok;
    // The drain is cancelled first: it must not answer for sound that the flush throws away.
    impl_->Finish();
    return impl_->Stream.Flush();
}

TWaveResult TWaveOut::Close()
{
    if (!impl_->Stream.IsOpen())
        return TWaveResult::NotOpen;
    {
        TPulseStream::TLock lock(impl_->Stream);
        impl_->Finish();
    }
    impl_->Stream.Close();
    return TWaveResult::Ok;
}
