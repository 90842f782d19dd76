#pragma once
// Bookkeeping of the buffers a device holds, shared by capture and playback: preparing, queueing in order
// and giving back marked done. The caller holds the device's lock.
#include <deque>

#include "WaveTypes.h"

class TWaveHeaderQueue {
public:
    // emptyAllowed: whether a buffer of no bytes may be prepared (playback of nothing is fine; a capture
    // buffer of no bytes would be full at once, over and over).
    static TWaveResult Prepare(TWaveHeader& header, bool emptyAllowed);
    static TWaveResult Unprepare(TWaveHeader& header);

    // Takes a prepared buffer that the device does not hold yet.
    TWaveResult Add(TWaveHeader& header);
    bool Empty() const { return queue_.empty(); }
    TWaveHeader& Front() { return *queue_.front(); }
    // Gives the first buffer back to its owner, marked done.
    void GiveBackFront();
    void GiveBackAll();

private:
    std::deque<TWaveHeader*> queue_;
};
