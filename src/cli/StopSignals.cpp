#include "StopSignals.h"

#include <pthread.h>

#include "MainThreadQueue.h"

TStopSignals::TStopSignals()
{
    sigemptyset(&signals_);
    sigaddset(&signals_, SIGINT);
    sigaddset(&signals_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals_, &oldMask_);
    waiter_ = std::thread([this] {
        int signal = 0;
        sigwait(&signals_, &signal);
        received_.store(true);
        MainThreadQueue().Wake();
    });
}

TStopSignals::~TStopSignals()
{
    // Without a request the waiter still waits: a signal to it alone ends the wait.
    if (!received_.load())
        pthread_kill(waiter_.native_handle(), SIGTERM);
    waiter_.join();
    pthread_sigmask(SIG_SETMASK, &oldMask_, nullptr);
}
