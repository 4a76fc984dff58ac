// Catches helpers beyond their bound, a close() that returns while a helper still runs the body
// (or waits for helpers that never started), helpers queued onto a pool with no idle worker, and
// a fan-out that does nothing in a forked child.
#include "platform/foundation/FanOut.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/dispatch/Dispatch.h"
#include "platform/foundation/WorkerPool.h"
#include "support/FileFixtures.h"

namespace {

using namespace std::chrono_literals;
using platform::FanOut;

// Holds `count` workers of the global queue until released.
class BusyWorkers {
  public:
    explicit BusyWorkers(unsigned count) {
        for (unsigned i = 0; i < count; ++i)
            dispatch_async(dispatch_get_global_queue(0, 0), [this] {
                std::unique_lock lock(mutex_);
                ++holding_;
                changed_.notify_all();
                changed_.wait(lock, [this] { return released_; });
            });
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, 10s, [&] { return holding_ == count; });
    }
    ~BusyWorkers() { release(); }
    void release() {
        {
            std::lock_guard lock(mutex_);
            released_ = true;
        }
        changed_.notify_all();
        platform::waitForGlobalQueuesForTesting();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    unsigned holding_ = 0;
    bool released_ = false;
};

TEST(FanOutTest, HelpersStayWithinTheBoundAndCloseWaitsForThoseRunning) {
    platform::waitForGlobalQueuesForTesting();
    struct Case {
        unsigned maxHelpers;
        unsigned wanted;
    } cases[] = {{1, 5}, {3, 100}, {3, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.maxHelpers);
        std::atomic<int> inside{0}, most{0}, finished{0};
        FanOut fanOut(
            [&] {
                const int now = ++inside;
                for (int seen = most.load();
                     now > seen && !most.compare_exchange_weak(seen, now);) {
                }
                std::this_thread::sleep_for(20ms);
                --inside;
                ++finished;
            },
            c.maxHelpers);
        const unsigned queued = fanOut.request(c.wanted);
        EXPECT_LE(queued, std::min(c.maxHelpers, c.wanted));
        EXPECT_EQ(fanOut.request(c.wanted), std::min(c.wanted, c.maxHelpers - queued))
            << "a second request only fills the bound";
        // Let the helpers start, then close while they sleep in the body.
        for (int i = 0; i < 5000 && fanOut.running() == 0; ++i)
            std::this_thread::sleep_for(1ms);
        fanOut.close();
        EXPECT_EQ(inside.load(), 0) << "close() returned while a helper ran the body";
        EXPECT_LE(most.load(), static_cast<int>(c.maxHelpers));
        EXPECT_GE(finished.load(), 1);
        EXPECT_EQ(fanOut.request(1), 0u) << "a closed fan-out asks for no helper";
        platform::waitForGlobalQueuesForTesting();
    }
}

TEST(FanOutTest, AFullPoolGetsNoHelperAndCloseDoesNotWaitForOne) {
    WorkerPool& pool = WorkerPool::shared();
    platform::waitForGlobalQueuesForTesting();
    BusyWorkers busy(pool.threads());
    EXPECT_EQ(pool.idleWorkers(), 0u);
    std::atomic<bool> ran{false};
    {
        FanOut fanOut([&] { ran = true; }, 4);
        EXPECT_EQ(fanOut.request(4), 0u) << "blocks queued behind busy workers";
        fanOut.close();  // must return although no worker is free
    }
    busy.release();
    EXPECT_FALSE(ran.load());
    EXPECT_EQ(pool.idleWorkers(), pool.threads());
}

TEST(FanOutTest, HelpersRunInAForkedChild) {
    platform::waitForGlobalQueuesForTesting();
    auto result = fixtures::runInChild([] {
        std::atomic<int> ran{0};
        FanOut fanOut([&] { ++ran; }, 2);
        if (fanOut.request(2) == 0) return 1;
        for (int i = 0; i < 5000 && ran == 0; ++i)
            std::this_thread::sleep_for(1ms);
        fanOut.close();
        return ran > 0 ? 0 : 2;
    });
    ASSERT_TRUE(result);
    EXPECT_EQ(*result, 0);
}

}  // namespace
