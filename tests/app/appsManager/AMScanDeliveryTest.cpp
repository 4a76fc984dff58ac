// Catches catalogue rows released out of walk order when their chunks finish out of order,
// batches that break the rules (first row alone, at most kRowsPerBatch, one at the end of each
// search folder), an end reported before the last row or twice, a walk that waits for queued
// blocks (it never ends when every worker is busy) or leaves its last rows waiting behind
// them, and rows made twice.
#include "appsManager/AMScanDelivery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/dispatch/Dispatch.h"
#include "platform/testing/RunLoopPump.h"
#include "support/FileFixtures.h"

namespace {

using namespace std::chrono_literals;

/// What a delivery handed on: its batches, in order, and how often it finished.
struct Received {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::vector<std::string>> batches;
    int finished = 0;
    bool rowsAfterFinish = false;

    AMScanDelivery::Deliver deliver() {
        return [this](AMScanDelivery::Rows rows) {
            std::lock_guard lock(mutex);
            if (finished) rowsAfterFinish = true;
            std::vector<std::string> names;
            for (const auto& row : rows)
                names.push_back(row->path());
            batches.push_back(std::move(names));
        };
    }
    AMScanDelivery::Finish finish() {
        return [this] {
            {
                std::lock_guard lock(mutex);
                ++finished;
            }
            changed.notify_all();
        };
    }
    bool waitForFinish(std::chrono::seconds limit = 10s) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, limit, [&] { return finished > 0; });
    }
    std::vector<std::string> rows() {
        std::lock_guard lock(mutex);
        std::vector<std::string> all;
        for (const auto& batch : batches)
            all.insert(all.end(), batch.begin(), batch.end());
        return all;
    }
};

/// A row named after the entry, made after `delay(index)`.
AMScanDelivery::Make slowMaker(std::function<std::chrono::microseconds(int)> delay) {
    return [delay](const AMScanFolder&, const std::string& name) {
        std::this_thread::sleep_for(delay(std::stoi(name)));
        auto item = AMAppItem::make();
        item->setPath(name);
        return item;
    };
}

class ScanDeliveryTest : public ::testing::Test {
  protected:
    void TearDown() override { platform::waitForGlobalQueuesForTesting(); }
    fixtures::TempDir dir;
    std::shared_ptr<const AMScanFolder> folder = AMScanFolder::open(dir.path());
};

TEST_F(ScanDeliveryTest, RowsKeepWalkOrderInRuleBatchesWhateverOrderChunksFinishIn) {
    struct Case {
        const char* what;
        std::vector<int> folders;  // entries per search folder
        std::function<std::chrono::microseconds(int)> delay;
    } cases[] = {
        {"earlier entries slower", {400}, [](int i) { return std::chrono::microseconds(400 - i); }},
        {"the first chunk much slower", {300}, [](int i) { return i < 40 ? 3000us : 0us; }},
        {"uneven, three folders",
         {150, 0, 230},
         [](int i) { return std::chrono::microseconds((i * 7919) % 300); }},
        {"one row", {1}, [](int) { return 0us; }},
        {"no rows", {0, 0}, [](int) { return 0us; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Received received;
        auto delivery =
            AMScanDelivery::make(slowMaker(c.delay), received.deliver(), received.finish());
        std::vector<std::string> expected;
        std::vector<std::size_t> folderEnds;  // rows delivered when each folder has ended
        int n = 0;
        for (int count : c.folders) {
            for (int i = 0; i < count; ++i) {
                expected.push_back(std::to_string(n++));
                delivery->add(folder, expected.back());
            }
            delivery->endOfSearchFolder();
            folderEnds.push_back(expected.size());
        }
        delivery->finish();
        ASSERT_TRUE(received.waitForFinish());

        std::lock_guard lock(received.mutex);
        EXPECT_EQ(received.finished, 1);
        EXPECT_FALSE(received.rowsAfterFinish);
        std::vector<std::string> all;
        std::vector<std::size_t> batchEnds;
        for (const auto& batch : received.batches) {
            EXPECT_LE(batch.size(), AMScanDelivery::kRowsPerBatch);
            all.insert(all.end(), batch.begin(), batch.end());
            batchEnds.push_back(all.size());
        }
        EXPECT_EQ(all, expected);
        // The first row goes alone; every search folder ends a batch (an empty one too).
        if (!expected.empty()) {
            EXPECT_EQ(received.batches.front().size(), 1u);
        }
        for (std::size_t end : folderEnds)
            EXPECT_NE(std::find(batchEnds.begin(), batchEnds.end(), end), batchEnds.end())
                << "no batch ends with the folder ending at row " << end;
        EXPECT_GE(received.batches.size(), c.folders.size() + 1)
            << "a batch per folder and the end";
    }
}

TEST_F(ScanDeliveryTest, WalkNeverWaitsForQueuedBlocksAndBoundsWhatIsInFlight) {
    // Every worker of the pool is held until the walk has returned: a walk that waits for its
    // chunks would never return.
    const unsigned workers = std::max(4u, std::thread::hardware_concurrency());
    std::mutex mutex;
    std::condition_variable cv;
    unsigned holding = 0;
    bool released = false;
    for (unsigned i = 0; i < workers; ++i)
        dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), [&] {
            std::unique_lock lock(mutex);
            ++holding;
            cv.notify_all();
            cv.wait(lock, [&] { return released; });
        });
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(cv.wait_for(lock, 10s, [&] { return holding == workers; }));
    }

    const std::thread::id walker = std::this_thread::get_id();
    std::atomic<int> madeByWalker{0};
    Received received;
    auto delivery = AMScanDelivery::make(
        [&](const AMScanFolder&, const std::string& name) {
            if (std::this_thread::get_id() == walker) ++madeByWalker;
            auto item = AMAppItem::make();
            item->setPath(name);
            return item;
        },
        received.deliver(), received.finish());
    const int entries = 2000;
    std::vector<std::string> expected;
    for (int i = 0; i < entries; ++i) {
        expected.push_back(std::to_string(i));
        delivery->add(folder, expected.back());
    }
    delivery->endOfSearchFolder();
    // Beyond the bound the walking thread made rows itself; the chunks in flight wait.
    EXPECT_GT(madeByWalker.load(), 0);
    EXPECT_LT(madeByWalker.load(), entries);
    EXPECT_EQ(received.rows().size(), 1u) << "only the first row, made by the walk, is out";
    // At its end the walk makes what no worker has started: every row and the end come
    // although no worker is free.
    delivery->finish();
    EXPECT_EQ(madeByWalker.load(), entries);
    EXPECT_EQ(received.finished, 1);
    EXPECT_EQ(received.rows(), expected);
    {
        std::lock_guard lock(mutex);
        released = true;
    }
    cv.notify_all();
    platform::waitForGlobalQueuesForTesting();
    EXPECT_EQ(received.rows(), expected) << "the held blocks made nothing twice";
    EXPECT_EQ(received.finished, 1);
}

}  // namespace
