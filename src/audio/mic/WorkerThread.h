#pragma once
// A worker thread with a termination flag that its body polls, and a synchronised call that runs a
// procedure on the main thread while the worker waits.
//
// A worker does not run until Resume: its body is a virtual function, which cannot run before the derived
// object is complete, so a worker meant to run from its creation calls Resume as the last step of its
// constructor, and one created suspended is resumed by its owner. The owner frees the worker; a derived
// destructor must end the thread (Terminate, WaitFor) before its own fields go.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

class TWorkerThread {
public:
    virtual ~TWorkerThread() = default;
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;

    // Starts the body on its own thread; later calls do nothing.
    void Resume();
    // Asks the body to end; it ends at its next look at Terminated, and a body pausing in PauseUnlessTerminated
    // goes on at once.
    void Terminate();
    bool Terminated() const { return terminated_.load(); }
    // Whether the body has ended, by itself or when asked.
    bool Finished() const { return finished_.load(); }
    // Returns once the body has ended (at once when it never started). Waiting on the main thread keeps
    // running the synchronised calls of workers meanwhile, so a worker blocked in one can finish.
    void WaitFor();
    // What ended the body, if it threw; the thread is then marked terminated. Read after WaitFor.
    std::exception_ptr FatalException() const { return fatal_; }

protected:
    TWorkerThread() = default;

    virtual void Execute() = 0;
    // Runs proc on the main thread and waits until it has run there.
    void Synchronize(const std::function<void()>& proc);
    // Waits for pause, or less when Terminate is called meanwhile: a body that polls ends as soon as it is
    // asked to, not up to a poll later.
    void PauseUnlessTerminated(std::chrono::milliseconds pause);

private:
    void Run();

    std::thread thread_;
    std::atomic<bool> terminated_{false};
    std::mutex pauseMutex_;
    std::condition_variable pauseEnded_;
    std::atomic<bool> finished_{false};
    std::exception_ptr fatal_;
};
