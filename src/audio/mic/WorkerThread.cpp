#include "WorkerThread.h"

#include "MainThreadQueue.h"

void TWorkerThread::Resume()
{
    if (!thread_.joinable())
        thread_ = std::thread(&TWorkerThread::Run, this);
}

void TWorkerThread::WaitFor()
{
    if (!thread_.joinable())
        return;
    TMainThreadQueue& queue = MainThreadQueue();
    // A plain join here would deadlock against a worker that waits for the main thread.
    if (queue.IsMainThread())
        queue.DrainUntil([this] { return finished_.load(); });
    thread_.join();
}

void TWorkerThread::Terminate()
{
    {
        const std::lock_guard lock(pauseMutex_);
        terminated_.store(true);
    }
    pauseEnded_.notify_all();
}

void TWorkerThread::PauseUnlessTerminated(std::chrono::milliseconds pause)
{
    std::unique_lock lock(pauseMutex_);
    pauseEnded_.wait_for(lock, pause, [this] { return terminated_.load(); });
}

void TWorkerThread::Synchronize(const std::function<void()>& proc)
{
    MainThreadQueue().Call(proc);
}

void TWorkerThread::Run()
{
    try {
        Execute();
    } catch (...) {
        fatal_ = std::current_exception();
        Terminate();
    }
    finished_.store(true);
    MainThreadQueue().Wake();
}
