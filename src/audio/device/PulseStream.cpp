#include "PulseStream.h"

namespace {

// How long a server that still holds the connection may take to answer one request.
constexpr pa_usec_t kAnswerDeadline = 2 * PA_USEC_PER_SEC;

bool ServerSampleFormat(const TPcmFormat& format, pa_sample_spec& sampleFormat)
{
    switch (format.BytesPerSample) {
    case 1: sampleFormat.format = PA_SAMPLE_U8; break;
    case 2: sampleFormat.format = PA_SAMPLE_S16LE; break;
    case 3: sampleFormat.format = PA_SAMPLE_S24LE; break;
    case 4: sampleFormat.format = PA_SAMPLE_S32LE; break;
    default: return false;
    }
    if (format.Channels < 1 || format.Channels > static_cast<int32_t>(PA_CHANNELS_MAX) || format.SampleRate < 1)
        return false;
    sampleFormat.channels = static_cast<uint8_t>(format.Channels);
    sampleFormat.rate = static_cast<uint32_t>(format.SampleRate);
    return pa_sample_spec_valid(&sampleFormat) != 0;
}

struct TDeadline {
    pa_threaded_mainloop* Loop;
    bool Expired = false;
};

} // namespace

struct TPulseStream::TAnswer {
    TPulseStream* Owner;
    bool Arrived = false;
    bool Success = false;
};

TPulseStream::TLock::TLock(const TPulseStream& stream) : loop_(stream.loop_)
{
    pa_threaded_mainloop_lock(loop_);
}

TPulseStream::TLock::~TLock()
{
    pa_threaded_mainloop_unlock(loop_);
}

TPulseStream::~TPulseStream()
{
    Close();
}

TWaveResult TPulseStream::Open(const TPcmFormat& format, pa_stream_direction_t direction,
                               const pa_buffer_attr& attr, pa_stream_flags_t flags)
{
    pa_sample_spec sampleFormat{};
    if (!ServerSampleFormat(format, sampleFormat))
        return TWaveResult::BadFormat;
    TWaveResult result = StartLoop();
    if (result == TWaveResult::Ok) {
        TLock lock(*this);
        result = ConnectContext();
        if (result == TWaveResult::Ok)
            result = ConnectStream(sampleFormat, direction, attr, flags);
    }
    if (result != TWaveResult::Ok) {
        Close();
        // Refused before anything was open: for the caller the device is simply not there.
        if (result == TWaveResult::ServerFailed)
            result = TWaveResult::NoServer;
    }
    return result;
}

TWaveResult TPulseStream::StartLoop()
{
    loop_ = pa_threaded_mainloop_new();
    if (loop_ == nullptr)
        return TWaveResult::NoServer;
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Brenvik Parlanto");
    if (context_ == nullptr || pa_threaded_mainloop_start(loop_) < 0)
        return TWaveResult::NoServer;
    return TWaveResult::Ok;
}

TWaveResult TPulseStream::ConnectContext()
{
    pa_context_set_state_callback(context_, &ContextChanged, this);
    // No autospawn: without a server the call must fail, not start one.
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return TWaveResult::NoServer;
    return WaitUntil([this] { return pa_context_get_state(context_) == PA_CONTEXT_READY; });
}

TWaveResult TPulseStream::ConnectStream(const pa_sample_spec& sampleFormat, pa_stream_direction_t direction,
                                        const pa_buffer_attr& attr, pa_stream_flags_t flags)
{
    const bool record = direction == PA_STREAM_RECORD;
    stream_ = pa_stream_new(context_, record ? "Microphone" : "Playback", &sampleFormat, nullptr);
    if (stream_ == nullptr)
        return TWaveResult::ServerFailed;
    pa_stream_set_state_callback(stream_, &StreamChanged, this);
    pa_stream_set_read_callback(stream_, &Readable, this);
    pa_stream_set_write_callback(stream_, &Writable, this);
    const int connected = record ? pa_stream_connect_record(stream_, nullptr, &attr, flags)
                                 : pa_stream_connect_playback(stream_, nullptr, &attr, flags, nullptr, nullptr);
    if (connected < 0)
        return TWaveResult::ServerFailed;
    return WaitUntil([this] { return IsReady(); });
}

void TPulseStream::Close()
{
    if (loop_ == nullptr)
        return;
    {
        TLock lock(*this);
        if (stream_ != nullptr) {
            pa_stream_set_state_callback(stream_, nullptr, nullptr);
            pa_stream_set_read_callback(stream_, nullptr, nullptr);
            pa_stream_set_write_callback(stream_, nullptr, nullptr);
            if (IsReady())
                pa_stream_disconnect(stream_);
        }
        if (context_ != nullptr) {
            pa_context_set_state_callback(context_, nullptr, nullptr);
            pa_context_disconnect(context_);
        }
    }
    pa_threaded_mainloop_stop(loop_);
    if (stream_ != nullptr)
        pa_stream_unref(stream_);
    if (context_ != nullptr)
        pa_context_unref(context_);
    pa_threaded_mainloop_free(loop_);
    stream_ = nullptr;
    context_ = nullptr;
    loop_ = nullptr;
}

bool TPulseStream::IsReady() const
{
    return stream_ != nullptr && pa_stream_get_state(stream_) == PA_STREAM_READY;
}

TWaveResult TPulseStream::Cork(bool pause)
{
    if (!IsReady())
        return TWaveResult::ServerFailed;
    TAnswer answer{this};
    return Await(pa_stream_cork(stream_, pause ? 1 : 0, &Answered, &answer), answer);
}

TWaveResult TPulseStream::Flush()
{
    if (!IsReady())
        return TWaveResult::ServerFailed;
    TAnswer answer{this};
    return Await(pa_stream_flush(stream_, &Answered, &answer), answer);
}

pa_time_event* TPulseStream::StartTimer(pa_usec_t delay, pa_time_event_cb_t callback, void* userdata)
{
    return pa_context_rttime_new(context_, pa_rtclock_now() + delay, callback, userdata);
}

void TPulseStream::FreeTimer(pa_time_event* timer)
{
    pa_threaded_mainloop_get_api(loop_)->time_free(timer);
}

TWaveResult TPulseStream::WaitUntil(const std::function<bool()>& done)
{
    const auto connectionGood = [this] {
        return PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)) &&
               (stream_ == nullptr || PA_STREAM_IS_GOOD(pa_stream_get_state(stream_)));
    };
    TDeadline deadline{loop_};
    pa_time_event* timer = StartTimer(kAnswerDeadline, &DeadlinePassed, &deadline);
    if (timer == nullptr)
        return TWaveResult::ServerFailed;
    while (!done() && connectionGood() && !deadline.Expired)
        pa_threaded_mainloop_wait(loop_);
    FreeTimer(timer);
    if (done())
        return TWaveResult::Ok;
    return deadline.Expired && connectionGood() ? TWaveResult::Timeout : TWaveResult::ServerFailed;
}

TWaveResult TPulseStream::Await(pa_operation* operation, TAnswer& answer)
{
    if (operation == nullptr)
        return TWaveResult::ServerFailed;
    const TWaveResult result = WaitUntil([&answer] { return answer.Arrived; });
    // A cancelled operation never calls back, so the answer on this stack frame is not written later.
    if (!answer.Arrived)
        pa_operation_cancel(operation);
    pa_operation_unref(operation);
    if (result != TWaveResult::Ok)
        return result;
    return answer.Success ? TWaveResult::Ok : TWaveResult::ServerFailed;
}

void TPulseStream::Signal()
{
    pa_threaded_mainloop_signal(loop_, 0);
}

void TPulseStream::ContextChanged(pa_context* /*context*/, void* self)
{
    static_cast<TPulseStream*>(self)->Signal();
}

void TPulseStream::StreamChanged(pa_stream* stream, void* self)
{
    auto* owner = static_cast<TPulseStream*>(self);
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream)) && owner->OnFailed)
        owner->OnFailed();
    owner->Signal();
}

void TPulseStream::Readable(pa_stream* /*stream*/, size_t /*bytes*/, void* self)
{
    auto* owner = static_cast<TPulseStream*>(self);
    if (owner->OnReadable)
        owner->OnReadable();
}

void TPulseStream::Writable(pa_stream* /*stream*/, size_t /*bytes*/, void* self)
{
    auto* owner = static_cast<TPulseStream*>(self);
    if (owner->OnWritable)
        owner->OnWritable();
}

void TPulseStream::Answered(pa_stream* /*stream*/, int success, void* answer)
{
    auto* pending = static_cast<TAnswer*>(answer);
    pending->Arrived = true;
    pending->Success = success != 0;
    pending->Owner->Signal();
}

void TPulseStream::DeadlinePassed(pa_mainloop_api* /*api*/, pa_time_event* /*event*/, const struct timeval* /*when*/,
                                  void* deadline)
{
    auto* passed = static_cast<TDeadline*>(deadline);
    passed->Expired = true;
    pa_threaded_mainloop_signal(passed->Loop, 0);
}
