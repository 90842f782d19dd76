#pragma once
// Ctrl+C and SIGTERM as a request to stop, taken calmly: the two signals are blocked in every thread and
// awaited by a thread of their own, which notes the request and wakes the main thread's queue, so that a
// program waiting there can finish what it is doing and end normally.
#include <signal.h>

#include <atomic>
#include <thread>

class TStopSignals {
public:
    // Made before any other thread starts: threads inherit the blocked signals from the one that starts them.
    TStopSignals();
    ~TStopSignals();
    TStopSignals(const TStopSignals&) = delete;
    TStopSignals& operator=(const TStopSignals&) = delete;

    bool Received() const { return received_.load(); }

private:
    sigset_t signals_;
    sigset_t oldMask_;
    std::atomic<bool> received_{false};
    std::thread waiter_;
};
