#pragma once
// The default capture device of the sound server, used as a queue of buffers: prepared buffers are queued,
// filled in queue order while capture runs and handed back marked done when full. Captured sound waits in
// the stream while no buffer is queued, so an owner that re-queues late loses nothing.
// One owner thread makes the calls; the server's event thread fills the buffers.
#include <memory>

#include "WaveTypes.h"

class TWaveIn {
public:
    TWaveIn();
    ~TWaveIn();
    TWaveIn(const TWaveIn&) = delete;
    TWaveIn& operator=(const TWaveIn&) = delete;

    // Opens the default source in format, with capture paused (closing the device first if it is open).
    TWaveResult Open(const TPcmFormat& format);
    TWaveResult Prepare(TWaveHeader& header);
    // Refused while the device holds the buffer.
    TWaveResult Unprepare(TWaveHeader& header);
    TWaveResult Add(TWaveHeader& header);
    TWaveResult Start();
    // Pauses capture and hands back the buffer being filled, with what it holds; the others stay queued.
    TWaveResult Stop();
    // Pauses capture, discards the sound not yet handed out and hands back every queued buffer.
    TWaveResult Reset();
    // Hands back every queued buffer and disconnects.
    TWaveResult Close();

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
};
