// Catches a turn observer that hides where the main thread was busy: a long block reported as
// a short turn, time asleep in the waiter reported as work, work done between two runs of the
// loop (drawing, event handling) left out, or a nested loop's wait counted into the turn of
// the block that ran it. The work around the nested loop is a fifth of the idle bound, so that a
// loaded machine stretching its sleeps does not pass for a counted wait (which is 200 ms).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "platform/foundation/NSRunLoop.h"
#include "platform/foundation/NSThread.h"

namespace {

constexpr double kLong = 0.1;    // the work each case does, in seconds
constexpr double kShort = 0.05;  // what an idle turn must stay under, even on a busy machine

struct TurnCase {
    const char* name;
    std::function<void(NSRunLoop&)> drive;
    bool expectLongTurn;
};

TEST(RunLoopTurnObserver, ReportsWhereTheThreadWasBusy) {
    const TurnCase cases[] = {
        {"a long block is a long turn",
         [](NSRunLoop& loop) {
             loop.enqueueBlock([] { NSThread::sleepForTimeInterval(kLong); });
             loop.runMode(NSDefaultRunLoopMode, 0);
         },
         true},
        {"time asleep is no turn",
         [](NSRunLoop& loop) { loop.runMode(NSDefaultRunLoopMode, 2 * kLong); }, false},
        {"work between two runs counts in the next turn",
         [](NSRunLoop& loop) {
             loop.runMode(NSDefaultRunLoopMode, 0);
             NSThread::sleepForTimeInterval(kLong);  // as a drawing pass would
             loop.runMode(NSDefaultRunLoopMode, 0);
         },
         true},
        {"a nested loop's wait splits the enclosing turn",
         [](NSRunLoop& loop) {
             loop.enqueueBlock([&loop] {
                 NSThread::sleepForTimeInterval(kShort / 10);
                 loop.runMode(NSModalPanelRunLoopMode, 2 * kLong);
                 NSThread::sleepForTimeInterval(kShort / 10);
             });
             loop.runMode(NSDefaultRunLoopMode, 0);
         },
         false},
    };
    for (const TurnCase& c : cases) {
        SCOPED_TRACE(c.name);
        NSRunLoop loop;
        std::vector<double> turns;
        loop.setTurnObserver([&turns](double seconds) { turns.push_back(seconds); });
        c.drive(loop);
        loop.setTurnObserver(nullptr);
        ASSERT_FALSE(turns.empty()) << "every run ends at least one turn";
        const double longest = *std::max_element(turns.begin(), turns.end());
        if (c.expectLongTurn) {
            EXPECT_GE(longest, kLong * 0.95);
        } else {
            EXPECT_LT(longest, kShort);
            EXPECT_LT(std::accumulate(turns.begin(), turns.end(), 0.0), kShort);
        }
    }
}

}  // namespace
