#include "WaveIn.h"

#include <algorithm>
#include <cstring>

#include "PulseStream.h"
#include "WaveHeaderQueue.h"

namespace {

// The server hands over captured sound in fragments of about one 1024-sample buffer at 22050 Hz.
constexpr uint32_t kFragmentBytes = 2048;

} // namespace

struct TWaveIn::TImpl {
    TPulseStream Stream;
    TWaveHeaderQueue Queue;
    // The fragment taken from the stream and not yet dropped, and how much of it has been copied out.
    const char* Fragment = nullptr;
    size_t FragmentSize = 0;
    size_t FragmentUsed = 0;
    bool Peeked = false;

    // Copies captured sound into the queued buffers, in order, as far as both reach.
    void Fill()
    {
        while (!Queue.Empty()) {
            if (!Peeked) {
                const void* data = nullptr;
                size_t size = 0;
                if (pa_stream_peek(Stream.Stream(), &data, &size) < 0 || size == 0)
                    return;
                Fragment = static_cast<const char*>(data);
                FragmentSize = size;
                FragmentUsed = 0;
                Peeked = true;
            }
            TWaveHeader& header = Queue.Front();
            const size_t take = std::min<size_t>(header.BufferLength - header.BytesRecorded, FragmentSize - FragmentUsed);
            char* to = header.Data + header.BytesRecorded;
            // A fragment without data is a gap in the capture: silence.
            if (Fragment != nullptr)
                std::memcpy(to, Fragment + FragmentUsed, take);
            else
                std::memset(to, 0, take);
            header.BytesRecorded += static_cast<uint32_t>(take);
            FragmentUsed += take;
            if (FragmentUsed == FragmentSize)
                DropFragment();
            if (header.BytesRecorded == header.BufferLength)
                Queue.GiveBackFront();
        }
    }

    void DropFragment()
    {
        if (Peeked)
            pa_stream_drop(Stream.Stream());
        Peeked = false;
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
    pa_buffer_attr attr;
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = static_cast<uint32_t>(-1);
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = static_cast<uint32_t>(-1);
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
    impl_->DropFragment();
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
        impl_->DropFragment();
        impl_->Queue.GiveBackAll();
    }
    impl_->Stream.Close();
    return TWaveResult::Ok;
}
