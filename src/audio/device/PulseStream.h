#pragma once
// One stream on a connection of its own to the sound server, served by the client library's event thread.
// Every wait has a deadline and ends early when the connection or the stream fails, so that no call hangs
// on a vanished or stalled server.
#include <pulse/pulseaudio.h>

#include <functional>

#include "WaveTypes.h"

// Buffer sizes all left to the server.
inline pa_buffer_attr ServerChosenBuffering()
{
    const auto chosen = static_cast<uint32_t>(-1);
    return {chosen, chosen, chosen, chosen, chosen};
}

class TPulseStream {
public:
    TPulseStream() = default;
    ~TPulseStream();
    TPulseStream(const TPulseStream&) = delete;
    TPulseStream& operator=(const TPulseStream&) = delete;

    // Holds the event thread's lock (recursive): callbacks do not run while it is held.
    class TLock {
    public:
        explicit TLock(const TPulseStream& stream);
        ~TLock();
        TLock(const TLock&) = delete;
        TLock& operator=(const TLock&) = delete;

    private:
        pa_threaded_mainloop* loop_;
    };

    // Connects to the default server and opens a stream on the default device of the direction; returns when
    // the stream is ready or has failed. Called without the lock, on a closed object.
    TWaveResult Open(const TPcmFormat& format, pa_stream_direction_t direction, const pa_buffer_attr& attr,
                     pa_stream_flags_t flags);
    // Disconnects and stops the event thread; no callback runs afterwards. Called without the lock.
    void Close();

    // The rest: with the lock held, on an open object.
    bool IsOpen() const { return loop_ != nullptr; }
    bool IsReady() const;
    pa_stream* Stream() const { return stream_; }
    TWaveResult Cork(bool pause);
    TWaveResult Flush();
    // Calls callback on the event thread after delay; the timer is freed with FreeTimer, fired or not.
    pa_time_event* StartTimer(pa_usec_t delay, pa_time_event_cb_t callback, void* userdata);
    void FreeTimer(pa_time_event* timer);

    // Called on the event thread with the lock held; set before Open.
    std::function<void()> OnReadable;
    std::function<void()> OnWritable;
    std::function<void()> OnFailed;      // the stream failed or the connection was lost

private:
    struct TAnswer;

    // The steps of Open; a failed step leaves the cleaning up to Close.
    TWaveResult StartLoop();
    TWaveResult ConnectContext();
    TWaveResult ConnectStream(const pa_sample_spec& sampleFormat, pa_stream_direction_t direction,
                              const pa_buffer_attr& attr, pa_stream_flags_t flags);

    // Waits until done() holds (Ok), the connection fails (ServerFailed) or the deadline passes (Timeout).
    TWaveResult WaitUntil(const std::function<bool()>& done);
    TWaveResult Await(pa_operation* operation, TAnswer& answer);
    void Signal();

    static void ContextChanged(pa_context* context, void* self);
    static void StreamChanged(pa_stream* stream, void* self);
    static void Readable(pa_stream* stream, size_t bytes, void* self);
    static void Writable(pa_stream* stream, size_t bytes, void* self);
    static void Answered(pa_stream* stream, int success, void* answer);
    static void DeadlinePassed(pa_mainloop_api* api, pa_time_event* event, const struct timeval* when, void* expired);

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
};
