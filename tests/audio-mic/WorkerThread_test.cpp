#include "WorkerThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "MainThreadQueue.h"

namespace {

using namespace std::chrono_literals;

// A worker whose body the test gives; ended and waited for when freed, as the microphone's workers are.
class LambdaWorker : public TWorkerThread {
public:
    explicit LambdaWorker(std::function<void(LambdaWorker&)> body) : body_(std::move(body)) {}
    ~LambdaWorker() override
    {
        Terminate();
        WaitFor();
    }
    using TWorkerThread::PauseUnlessTerminated;
    using TWorkerThread::Synchronize;

protected:
    void Execute() override { body_(*this); }

private:
    std::function<void(LambdaWorker&)> body_;
};

TEST(WorkerThread, RunsItsBodyOnItsOwnThreadOnlyAfterResume)
{
    std::atomic<bool> ran{false};
    std::thread::id ranOn;
    {
        LambdaWorker never([&](LambdaWorker&) { ran = true; });
    }
    EXPECT_FALSE(ran) << "a worker freed while suspended never runs";

    LambdaWorker worker([&](LambdaWorker&) {
        ranOn = std::this_thread::get_id();
        ran = true;
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(ran);
    worker.Resume();
    worker.Resume();
    worker.WaitFor();
    EXPECT_TRUE(ran);
    EXPECT_NE(ranOn, std::this_thread::get_id());
}

TEST(WorkerThread, BodyEndsWhenItSeesTheTerminationRequest)
{
    std::atomic<int> passes{0};
    LambdaWorker worker([&](LambdaWorker& self) {
        while (!self.Terminated()) {
            ++passes;
            std::this_thread::sleep_for(1ms);
        }
    });
    worker.Resume();
    while (passes < 3)
        std::this_thread::sleep_for(1ms);
    EXPECT_FALSE(worker.Terminated());
    worker.Terminate();
    worker.WaitFor();
    EXPECT_TRUE(worker.Terminated());
    EXPECT_EQ(worker.FatalException(), nullptr);
}

// A body that polls with long pauses still ends as soon as it is asked to: the release of the push-to-talk key
// must not wait out the recorder's poll.
TEST(WorkerThread, TerminationCutsAPauseShort)
{
    std::atomic<bool> pausing{false};
    LambdaWorker worker([&](LambdaWorker& self) {
        while (!self.Terminated()) {
            pausing = true;
            self.PauseUnlessTerminated(std::chrono::minutes(10));
        }
    });
    worker.Resume();
    while (!pausing)
        std::this_thread::sleep_for(1ms);
    const auto asked = std::chrono::steady_clock::now();
    worker.Terminate();
    worker.WaitFor();
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 60s) << "far less than the pause";
}

// The window's way: the queue tells the event loop that work is posted, and the loop drains it.
TEST(WorkerThread, SynchronizedCallsRunOnTheMainThreadDrainedByAnEventLoop)
{
    std::mutex mutex;
    std::condition_variable posted;
    int postings = 0;
    MainThreadQueue().SetOnPosted([&] {
        std::lock_guard<std::mutex> lock(mutex);
        ++postings;
        posted.notify_one();
    });

    int shared = 0;                      // plain: the call's write must be seen by the worker after it
    std::vector<std::thread::id> calledOn;
    std::vector<int> seenByWorker;
    std::atomic<bool> finished{false};
    LambdaWorker worker([&](LambdaWorker& self) {
        for (int i = 1; i <= 3; ++i) {
            self.Synchronize([&] {
                calledOn.push_back(std::this_thread::get_id());
                shared = i * 10;
            });
            seenByWorker.push_back(shared);
        }
        finished = true;
    });
    worker.Resume();
    int handled = 0;
    while (handled < 3) {
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(posted.wait_for(lock, 5s, [&] { return postings > handled; }));
        lock.unlock();
        MainThreadQueue().Drain();
        ++handled;
    }
    worker.WaitFor();
    MainThreadQueue().SetOnPosted(nullptr);

    EXPECT_TRUE(finished);
    EXPECT_EQ(postings, 3);
    EXPECT_EQ(seenByWorker, (std::vector<int>{10, 20, 30}));
    ASSERT_EQ(calledOn.size(), 3u);
    for (const std::thread::id id : calledOn)
        EXPECT_EQ(id, std::this_thread::get_id());
}

// A worker blocked in a synchronised call while the main thread waits for it must not deadlock them.
TEST(WorkerThread, WaitingOnTheMainThreadRunsTheCallsTheWorkerWaitsFor)
{
    std::atomic<int> calls{0};
    LambdaWorker worker([&](LambdaWorker& self) {
        while (!self.Terminated())
            self.Synchronize([&] { ++calls; });
    });
    worker.Resume();
    std::this_thread::sleep_for(50ms);   // the worker now waits for the main thread
    EXPECT_EQ(calls, 0);
    worker.Terminate();
    worker.WaitFor();
    EXPECT_GE(calls, 1);
}

TEST(WorkerThread, ExceptionOfASynchronizedCallReachesTheWorker)
{
    std::string caught;
    LambdaWorker worker([&](LambdaWorker& self) {
        try {
            self.Synchronize([] { throw std::runtime_error("refused on the main thread"); });
        } catch (const std::exception& e) {
            caught = e.what();
        }
    });
    worker.Resume();
    worker.WaitFor();
    EXPECT_EQ(caught, "refused on the main thread");
}

TEST(WorkerThread, ExceptionEndsTheBodyMarksItTerminatedAndIsKept)
{
    LambdaWorker worker([](LambdaWorker&) { throw std::runtime_error("capture failed"); });
    worker.Resume();
    worker.WaitFor();
    EXPECT_TRUE(worker.Terminated());
    ASSERT_NE(worker.FatalException(), nullptr);
    try {
        std::rethrow_exception(worker.FatalException());
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "capture failed");
    }
}

TEST(MainThreadQueue, CallOnTheMainThreadRunsAtOnce)
{
    bool ran = false;
    MainThreadQueue().Call([&] { ran = true; });
    EXPECT_TRUE(ran);
}

} // namespace
