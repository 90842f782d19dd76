#include "MainThreadQueue.h"

namespace {

// Made during static initialisation, which runs on the main thread before main().
TMainThreadQueue theQueue;

} // namespace

TMainThreadQueue& MainThreadQueue()
{
    return theQueue;
}

TMainThreadQueue::TMainThreadQueue() : mainThread_(std::this_thread::get_id())
{
}

void TMainThreadQueue::Call(const std::function<void()>& proc)
{
    if (IsMainThread()) {
        proc();
        return;
    }
    TPendingCall call{proc, false, nullptr};
    std::function<void()> onPosted;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.push_back(&call);
        onPosted = onPosted_;
    }
    changed_.notify_all();
    if (onPosted)
        onPosted();
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&call] { return call.Done; });
    if (call.Error)
        std::rethrow_exception(call.Error);
}

void TMainThreadQueue::Drain()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (RunOne(lock)) {
    }
}

void TMainThreadQueue::DrainUntil(const std::function<bool()>& done)
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (RunOne(lock))
            continue;
        if (done())
            return;
        changed_.wait(lock);
    }
}

void TMainThreadQueue::Wake()
{
    // Taking the lock orders the waker's change before a waiter's look at done().
    { std::lock_guard<std::mutex> lock(mutex_); }
    changed_.notify_all();
}

void TMainThreadQueue::SetOnPosted(std::function<void()> onPosted)
{
    std::lock_guard<std::mutex> lock(mutex_);
    onPosted_ = std::move(onPosted);
}

bool TMainThreadQueue::RunOne(std::unique_lock<std::mutex>& lock)
{
    if (calls_.empty())
        return false;
    TPendingCall* call = calls_.front();
    calls_.pop_front();
    lock.unlock();
    std::exception_ptr error;
    try {
        call->Proc();
    } catch (...) {
        error = std::current_exception();
    }
    lock.lock();
    call->Error = error;
    call->Done = true;
    changed_.notify_all();
    return true;
}
