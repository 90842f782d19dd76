#include "WaveOut.h"

#include <algorithm>

#include "PulseStream.h"
#include "WaveHeaderQueue.h"

namespace {

// Sound queued ahead of the loudspeaker: a tenth of a second. Left to the server it is 2 s, and the end of
// a sound is then heard up to 0.1 s after the server has taken the last sample; a tenth keeps that short
// and still leaves a busy machine time to refill.
constexpr int64_t kQueuedAheadPerSecond = 10;

} // namespace

struct TWaveOut::TImpl {
    TPulseStream Stream;
    TWaveHeaderQueue Queue;          // the buffer being played, if any
    uint32_t FrameBytes = 0;
    size_t Playable = 0;             // whole frames of the playing buffer, in bytes
    size_t Written = 0;              // bytes of it handed to the server
    // Once everything is written: the drain (the server has taken the last sample), then the query of the
    // latency still ahead of it, then the wait for that latency, after which the buffer has been heard.
    pa_operation* Pending = nullptr;
    pa_time_event* Tail = nullptr;

    // Writes as much of the playing buffer as the server takes; after the last byte, drains.
    void Feed()
    {
        if (Queue.Empty() || Pending != nullptr || Tail != nullptr)
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
        Pending = pa_stream_drain(stream, &Drained, this);
        if (Pending == nullptr)
            Finish();
    }

    // Hands the playing buffer back, played or not.
    void Finish()
    {
        if (Pending != nullptr) {
            pa_operation_cancel(Pending);
            pa_operation_unref(Pending);
            Pending = nullptr;
        }
        if (Tail != nullptr) {
            Stream.FreeTimer(Tail);
            Tail = nullptr;
        }
        Queue.GiveBackAll();
        Playable = Written = 0;
    }

    // Takes the answered operation off Pending (it is not to be cancelled any more).
    void Answered()
    {
        pa_operation_unref(Pending);
        Pending = nullptr;
    }

    static void Drained(pa_stream* stream, int /*success*/, void* self)
    {
        auto* impl = static_cast<TImpl*>(self);
        impl->Answered();
        impl->Pending = pa_stream_update_timing_info(stream, &LatencyKnown, self);
        if (impl->Pending == nullptr)
            impl->Finish();
    }

    static void LatencyKnown(pa_stream* stream, int /*success*/, void* self)
    {
        auto* impl = static_cast<TImpl*>(self);
        impl->Answered();
        pa_usec_t latency = 0;
        int negative = 0;
        if (pa_stream_get_latency(stream, &latency, &negative) < 0 || negative != 0)
            latency = 0;
        impl->Tail = impl->Stream.StartTimer(latency, &Heard, self);
        if (impl->Tail == nullptr)
            impl->Finish();
    }

    static void Heard(pa_mainloop_api* /*api*/, pa_time_event* /*timer*/, const struct timeval* /*when*/, void* self)
    {
        static_cast<TImpl*>(self)->Finish();
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
    pa_buffer_attr attr = ServerChosenBuffering();
    const int64_t bytesPerSecond = int64_t{format.SampleRate} * format.Channels * format.BytesPerSample;
    attr.tlength = static_cast<uint32_t>(bytesPerSecond / kQueuedAheadPerSecond);
    const TWaveResult result = impl_->Stream.Open(format, PA_STREAM_PLAYBACK, attr, PA_STREAM_ADJUST_LATENCY);
    // Only a valid format opens, so the product is small.
    if (result == TWaveResult::Ok)
        impl_->FrameBytes = static_cast<uint32_t>(format.Channels * format.BytesPerSample);
    return result;
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
