// Catches run-loop and queue faults: main-queue blocks that skip modal loops or run out of
// order, timers firing early or in the wrong mode, dispatch_sync deadlocking on the main
// thread, and background blocks that never reach the main queue.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "platform/dispatch/Dispatch.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/foundation/NSThread.h"
#include "platform/foundation/NSTimer.h"
#include "platform/testing/ManualClock.h"
#include "platform/testing/RunLoopPump.h"

namespace {

TEST(RunLoop, MainQueueBlocksRunInEveryModeInOrder) {
    auto& loop = NSRunLoop::mainRunLoop();
    std::vector<int> order;
    for (int i = 0; i < 3; ++i)
        dispatch_async(dispatch_get_main_queue(), [&order, i] { order.push_back(i); });
    EXPECT_TRUE(loop.runMode(NSModalPanelRunLoopMode, 0));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(loop.runMode(NSEventTrackingRunLoopMode, 0)) << "nothing left to run";
}

TEST(RunLoop, TimersFireInTheirModesAndRepeat) {
    ManualClock::Installed clock;
    auto& loop = NSRunLoop::mainRunLoop();
    int common = 0, plain = 0;
    auto t1 = NSTimer::timerWithTimeInterval(1.0, true, [&](NSTimer&) { ++common; });
    loop.addTimer(t1, NSRunLoopCommonModes);
    auto t2 = NSTimer::scheduledTimerWithTimeInterval(1.0, false, [&](NSTimer&) { ++plain; });
    clock->advance(1.0);
    loop.runMode(NSModalPanelRunLoopMode, 0);
    EXPECT_EQ(common, 1);
    EXPECT_EQ(plain, 0) << "a default-mode timer waits out the modal loop";
    loop.runMode(NSDefaultRunLoopMode, 0);
    EXPECT_EQ(plain, 1);
    EXPECT_FALSE(t2->isValid());
    clock->advance(3.5);
    loop.runMode(NSDefaultRunLoopMode, 0);
    EXPECT_EQ(common, 2) << "missed repeats are coalesced, not replayed";
    t1->invalidate();
    clock->advance(10);
    loop.runMode(NSDefaultRunLoopMode, 0);
    EXPECT_EQ(common, 2);
}

TEST(RunLoop, WaitsForRealTimeAndIsWokenByPosts) {
    auto& loop = NSRunLoop::mainRunLoop();
    std::atomic<bool> ran{false};
    std::thread poster([&] {
        NSThread::sleepForTimeInterval(0.05);
        dispatch_async(dispatch_get_main_queue(), [&] { ran = true; });
    });
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(loop.runMode(NSDefaultRunLoopMode, 5.0));
    auto waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    poster.join();
    EXPECT_TRUE(ran);
    EXPECT_LT(waited, 2.0) << "the post must wake the loop long before its timeout";
}

TEST(RunLoop, StopEndsRun) {
    auto& loop = NSRunLoop::mainRunLoop();
    int fired = 0;
    auto t = NSTimer::scheduledTimerWithTimeInterval(0.01, false, [&](NSTimer&) {
        ++fired;
        NSRunLoop::mainRunLoop().stop();
    });
    loop.run();
    EXPECT_EQ(fired, 1);
}

TEST(Dispatch, BackgroundWorkHopsBackToTheMainThread) {
    std::atomic<int> onWorker{0};
    std::vector<int> results;
    for (int i = 0; i < 20; ++i) {
        dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), [&, i] {
            if (!NSThread::isMainThread()) ++onWorker;
            dispatch_async(dispatch_get_main_queue(), [&, i] {
                EXPECT_TRUE(NSThread::isMainThread());
                results.push_back(i);
            });
        });
    }
    ASSERT_TRUE(platform::testing::runMainLoopUntil([&] { return results.size() == 20; }));
    EXPECT_EQ(onWorker.load(), 20);
}

TEST(Dispatch, SyncToMainFromMainRunsAtOnceAndFromWorkerWaits) {
    bool inline_ran = false;
    dispatch_sync(dispatch_get_main_queue(), [&] { inline_ran = true; });
    EXPECT_TRUE(inline_ran)
        << "dispatch_sync onto the main queue from the main thread must not deadlock";

    std::atomic<bool> workerSawResult{false};
    int value = 0;
    dispatch_async(dispatch_get_global_queue(0, 0), [&] {
        dispatch_sync(dispatch_get_main_queue(), [&] { value = 42; });
        workerSawResult = (value == 42);
    });
    ASSERT_TRUE(platform::testing::runMainLoopUntil([&] { return workerSawResult.load(); }));
}

// A child made by fork() (tests do this to check how the process ends) has none of the
// parent's worker threads; its background blocks must still run.
TEST(Dispatch, BackgroundBlocksRunInAForkedChild) {
    std::atomic<bool> warm{false};
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0),
                   [&warm] { warm = true; });
    while (!warm)
        std::this_thread::yield();
    // As a program that forks should: with no background block half way through, so that
    // no lock of the allocator is copied into the child held.
    platform::waitForGlobalQueuesForTesting();
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        std::atomic<bool> ran{false};
        dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0),
                       [&ran] { ran = true; });
        for (int i = 0; i < 2000 && !ran; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        _exit(ran ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(Dispatch, AfterWaitsForTheClock) {
    ManualClock::Installed clock;
    bool ran = false;
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 300 * NSEC_PER_MSEC), dispatch_get_main_queue(),
                   [&] { ran = true; });
    auto& loop = NSRunLoop::mainRunLoop();
    loop.runMode(NSDefaultRunLoopMode, 0);
    clock->advance(0.2);
    loop.runMode(NSDefaultRunLoopMode, 0);
    EXPECT_FALSE(ran);
    clock->advance(0.2);
    loop.runMode(NSModalPanelRunLoopMode, 0);
    loop.runMode(NSModalPanelRunLoopMode, 0);
    EXPECT_TRUE(ran) << "main-queue work runs inside modal loops too";
}

}  // namespace
