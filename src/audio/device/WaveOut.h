#pragma once
// The default playback device of the sound server. It plays one buffer at a time and hands it back marked
// done once the last sample has been played (or the connection to the server was lost, since nothing more
// will play then). One owner thread makes the calls.
#include <memory>

#include "WaveTypes.h"

class TWaveOut {
public:
    TWaveOut();
    ~TWaveOut();
    TWaveOut(const TWaveOut&) = delete;
    TWaveOut& operator=(const TWaveOut&) = delete;

    // Opens the default sink for format (closing the device first if it is open).
    TWaveResult Open(const TPcmFormat& format);
    TWaveResult Prepare(TWaveHeader& header);
    // Refused while the device holds the buffer.
    TWaveResult Unprepare(TWaveHeader& header);
    // Starts playing a prepared buffer; a trailing part of a frame is not played.
    TWaveResult Write(TWaveHeader& header);
    // Stops playing and hands the buffer back.
    TWaveResult Reset();
    // Hands the buffer back and disconnects.
    TWaveResult Close();

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
};
