#include "WaveIn.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "PulseStream.h"
#include "WaveHeaderQueue.h"

namespace {

// The server hands over captured sound in fragments of about one 1024-sample buffer at 22050 Hz.
constexpr uint32_t kFragmentBytes = 2048;

} // namespace

struct TWaveIn::TImpl {
    TPulseStream Stream;
    TWaveHeaderQueue Queue;
    // Sound taken from the stream and not yet copied into a buffer: the rest of the last fragment. A
    // fragment is never kept peeked, because when the connection is lost the event thread waits, holding
    // the lock, until every peeked fragment is given back.
    std::vector<char> Held;
    size_t HeldUsed = 0;

    // Copies captured sound into the queued buffers, in order, as far as both reach. Sound is taken from
    // the stream only while a buffer waits for it.
    void Fill()
    {
        while (!Queue.Empty()) {
            if (HeldUsed == Held.size() && !TakeFragment())
                return;
            TWaveHeader& header = Queue.Front();
            const size_t take = std::min<size_t>(header.BufferLength - header.BytesRecorded, Held.size() - HeldUsed);
            std::memcpy(header.Data + header.BytesRecorded, Held.data() + HeldUsed, take);
            header.BytesRecorded += static_cast<uint32_t>(take);
            HeldUsed += take;
            if (header.BytesRecorded == header.BufferLength)
                Queue.GiveBackFront();
        }
    }

    bool TakeFragment()
    {
        pa_stream* stream = Stream.Stream();
        const void* data = nullptr;
        size_t size = 0;
        if (pa_stream_peek(stream, &data, &size) < 0 || size == 0)
            return false;
        // A fragment without data is a gap in the capture: silence.
        if (data != nullptr)
            Held.assign(static_cast<const char*>(data), static_cast<const char*>(data) + size);
        else
            Held.assign(size, 0);
        HeldUsed = 0;
        pa_stream_drop(stream);
        return true;
    }

    void DiscardHeld()
    {
        Held.clear();
        HeldUsed = 0;
    }
};

TWaveIn::TWaveIn() : impl_(std::make_unique<TImpl>())
{
    impl_->Stream.OnReadable = [impl = impl_.get()] { impl->Fill(); };
}

TWaveIn::~TWaveIn()
{
    Close();
}

TWaveResult TWaveIn::Open(const TPcmFormat& format)
{
    Close();
    pa_buffer_attr attr = ServerChosenBuffering();
    attr.fragsize = kFragmentBytes;
    return impl_->Stream.Open(format, PA_STREAM_RECORD, attr,
                              static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY));
}

TWaveResult TWaveIn::Prepare(TWaveHeader& header)
{
    if (!impl_->Stream.IsOpen())
        return TWaveResult::NotOpen;
    TPulseStream::TLock lock(impl_->Stream);
    return TWaveHeaderQueue::Prepare(header, false);
}

TWaveResult TWaveIn::Unprepare(TWaveHeader& header)
{
    if (!impl_->Stream.IsOpen())
        return TWaveResult::NotOpen;
    TPulseStream::TLock lock(impl_->Stream);
    return TWaveHeaderQueue::Unprepare(header);
}

TWaveResult TWaveIn::Add(TWaveHeader& header)
{
    if (!impl_->Stream.IsOpen())
        return TWaveResult::NotOpen;
    TPulseStream::TLock lock(impl_->Stream);
    if (!impl_->Stream.IsReady())
        return TWaveResult::ServerFailed;
    const TWaveResult result = impl_->Queue.Add(header);
    // Sound that arrived while no buffer was queued is waiting in the stream.
    if (result == TWaveResult::Ok)
        impl_->Fill();
    return result;
}

TWaveResult TWaveIn::Start()
{
    if (!impl_->Stream.IsOpen())
        return TWaveResult::NotOpen;
    TPulseStream::TLock lock(impl_->Stream);
    return impl_->Stream.Cork(false);
}

TWaveResult TWaveIn::Stop()
{
    if (!impl_->Stream.IsOpen())
        return TWaveResult::NotOpen;
    TPulseStream::TLock lock(impl_->Stream);
    const TWaveResult result = impl_->Stream.Cork(true);
    if (!impl_->Queue.Empty())
        impl_->Queue.GiveBackFront();
    return result;
}

TWaveResult TWaveIn::Reset()
{
    if (!impl_->Stream.IsOpen())
        return TWaveResult::NotOpen;
    TPulseStream::TLock lock(impl_->Stream);
    impl_->DiscardHeld();
    TWaveResult result = impl_->Stream.Cork(true);
    if (result == TWaveResult::Ok)
        result = impl_->Stream.Flush();
    // Handed back even when the server is gone: the owner must get its buffers back in any case.
    impl_->Queue.GiveBackAll();
    return result;
}

TWaveResult TWaveIn::Close()
{
    if (!impl_->Stream.IsOpen())
        return TWaveResult::NotOpen;
    {
        TPulseStream::TLock lock(impl_->Stream);
        impl_->DiscardHeld();
        impl_->Queue.GiveBackAll();
    }
    impl_->Stream.Close();
    return TWaveResult::Ok;
}
