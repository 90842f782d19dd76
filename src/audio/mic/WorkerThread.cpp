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
