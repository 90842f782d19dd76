#pragma once
// Calls that worker threads hand to the main thread, each worker waiting until its call has run there.
// The main thread runs them when it drains the queue: the window from its event loop, after OnPosted has
// told it that work is waiting; tests, and owners waiting for a worker, by draining it themselves.
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

class TMainThreadQueue {
public:
    // The thread that constructs the queue is the main thread.
    TMainThreadQueue();
    TMainThreadQueue(const TMainThreadQueue&) = delete;
    TMainThreadQueue& operator=(const TMainThreadQueue&) = delete;

    bool IsMainThread() const { return std::this_thread::get_id() == mainThread_; }

    // Runs proc on the main thread and returns once it has run there; an exception it throws is rethrown
    // here. On the main thread itself proc simply runs.
    void Call(const std::function<void()>& proc);

    // Main thread: runs every call posted so far.
    void Drain();
    // Main thread: runs posted calls as they come until done() holds. done() is looked at after every call
    // and whenever Wake is called, so whoever makes it hold calls Wake afterwards.
    void DrainUntil(const std::function<bool()>& done);
    void Wake();

    // Called on the posting thread after each posted call (the window maps it to a queued call of Drain).
    void SetOnPosted(std::function<void()> onPosted);

private:
    struct TPendingCall {
        const std::function<void()>& Proc;
        bool Done = false;
        std::exception_ptr Error;
    };

    // Takes the first posted call off the queue and runs it; false when there is none. lock is held on entry
    // and on return, released while the call runs.
    bool RunOne(std::unique_lock<std::mutex>& lock);

    const std::thread::id mainThread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<TPendingCall*> calls_;
    std::function<void()> onPosted_;
};

// The program's queue, made at start-up on the main thread.
TMainThreadQueue& MainThreadQueue();
