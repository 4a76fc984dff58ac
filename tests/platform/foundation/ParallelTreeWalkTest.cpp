// Catches a parallel walk that visits an entry twice or never, leaves (removes) a folder before
// everything beneath it, counts a folder that vanished as a failure of the walk, goes on after a
// stop, holds descriptors without bound, or deadlocks when the pool is full or many walks run.
#include "platform/foundation/ParallelTreeWalk.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/coreservices/TreeSize.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/foundation/EntryRemoval.h"
#include "platform/foundation/WorkerPool.h"
#include "support/FileFixtures.h"
#include "support/TreeFixtures.h"

namespace {

using namespace std::chrono_literals;
using platform::detail::DirectoryWalker;
using platform::detail::ParallelTreeWalk;
using Step = DirectoryWalker::Step;

std::atomic<long> gSequence{0};

std::size_t openDescriptors() {
    std::size_t count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir))
            ++count;
        closedir(dir);
    }
    return count;
}

// Records, with a sequence number across threads, what one thread of a walk sees.
class Recorder final : public DirectoryWalker::Visitor {
  public:
    struct Event {
        long sequence;
        ino_t folder;  // the folder the call names an entry of
        ino_t self;    // the entry itself (0 when it is gone)
        bool isLeave;
    };

    Step entry(int dirfd, const char* name, unsigned char type) override {
        ++calls;
        if (type == DT_DIR) return Step::Descend;
        record(dirfd, name, false);
        if (onFile) onFile(dirfd, name);
        if (stopAfter && gFiles.fetch_add(1) + 1 >= stopAfter) return Step::Stop;
        return Step::Next;
    }
    Step leave(int dirfd, const char* name) override {
        ++calls;
        record(dirfd, name, true);
        return Step::Next;
    }
    Step failed(int, const char* name, int error) override {
        ++calls;
        failures.emplace_back(name, error);
        return Step::Next;
    }

    std::vector<Event> events;
    std::vector<std::pair<std::string, int>> failures;
    std::function<void(int dirfd, const char* name)> onFile;
    long stopAfter = 0;
    static inline std::atomic<long> gFiles{0};
    static inline std::atomic<long> calls{0};

  private:
    void record(int dirfd, const char* name, bool isLeave) {
        struct stat folder {
        }, self{};
        fstat(dirfd, &folder);
        if (fstatat(dirfd, name, &self, AT_SYMLINK_NOFOLLOW) != 0) self.st_ino = 0;
        events.push_back({gSequence++, folder.st_ino, self.st_ino, isLeave});
    }
};

// A walk whose visitors are Recorders, spreading from the first entry on.
struct RecordedWalk {
    std::deque<Recorder> recorders;
    std::function<void(Recorder&)> setUp;
    bool walk(const std::string& root, std::size_t spreadAfter = 0) {
        int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return false;
        ParallelTreeWalk walk(
            [&]() -> DirectoryWalker::Visitor& {
                Recorder& r = recorders.emplace_back();
                if (setUp) setUp(r);
                return r;
            },
            {spreadAfter, 0});
        const bool through = walk.walk(fd);
        close(fd);
        return through;
    }
    std::vector<Recorder::Event> events() const {
        std::vector<Recorder::Event> all;
        for (const Recorder& r : recorders)
            all.insert(all.end(), r.events.begin(), r.events.end());
        return all;
    }
};

TEST(ParallelTreeWalkTest, EveryEntryOnceAndEveryFolderLeftAfterAllBeneathIt) {
    for (const fixtures::TreeShape& shape : fixtures::largeShapes()) {
        SCOPED_TRACE(shape.label);
        fixtures::TempDir tmp;
        const std::string outside = tmp.mkdir("outside");
        ASSERT_TRUE(fixtures::makeFile(outside + "/big", 1 << 20));
        const std::string root = tmp.mkdir("root");
        fixtures::MadeTree made;
        ASSERT_TRUE(fixtures::makeTree(root, shape, made, outside));

        RecordedWalk walk;
        ASSERT_TRUE(walk.walk(root));
        std::map<ino_t, long> leftAt;     // folder -> sequence of its leave
        std::map<ino_t, ino_t> parentOf;  // folder -> the folder holding it
        std::set<ino_t> seen;
        std::size_t nonFolders = 0;
        const auto events = walk.events();
        for (const Recorder::Event& e : events) {
            if (e.isLeave) {
                EXPECT_TRUE(leftAt.emplace(e.self, e.sequence).second) << "a folder left twice";
                parentOf[e.self] = e.folder;
            } else {
                EXPECT_TRUE(seen.insert(e.self).second) << "an entry visited twice";
                ++nonFolders;
            }
        }
        EXPECT_EQ(nonFolders, made.files + 2 * static_cast<std::uint64_t>(shape.width))
            << "files and links, the links to the outside not entered";
        EXPECT_EQ(leftAt.size(), made.folders);
        for (const Recorder::Event& e : events) {
            // The folder holding this entry, and each folder above it, are left afterwards.
            for (ino_t f = e.folder; leftAt.count(f); f = parentOf[f])
                ASSERT_LT(e.sequence, leftAt[f]) << "a folder left before an entry beneath it";
        }
        for (const Recorder& r : walk.recorders)
            EXPECT_TRUE(r.failures.empty());
        EXPECT_EQ(ParallelTreeWalk::descriptorsInUse(), 0);
    }
}

TEST(ParallelTreeWalkTest, HelpersTakePartInALargeWalk) {
    fixtures::TempDir tmp;
    const std::string root = tmp.mkdir("root");
    fixtures::MadeTree made;
    ASSERT_TRUE(fixtures::makeTree(root, fixtures::largeShapes()[0], made));
    platform::waitForGlobalQueuesForTesting();
    RecordedWalk walk;
    // Slow enough that idle workers surely join before the calling thread is through.
    walk.setUp = [](Recorder& r) {
        r.onFile = [](int, const char*) { std::this_thread::sleep_for(100us); };
    };
    ASSERT_TRUE(walk.walk(root, 100));
    EXPECT_GT(walk.recorders.size(), 1u);
    std::size_t files = 0;
    for (const Recorder& r : walk.recorders)
        files += r.events.size();
    EXPECT_EQ(files, made.files + made.folders);
}

TEST(ParallelTreeWalkTest, FoldersVanishingDuringTheWalkAreNoFailureOfIt) {
    fixtures::TempDir tmp;
    const std::string root = tmp.mkdir("root");
    fixtures::MadeTree made;
    const fixtures::TreeShape shape = fixtures::largeShapes()[0];
    ASSERT_TRUE(fixtures::makeTree(root, shape, made));
    // At the first file, the odd top folders go: their tasks find nothing to open.
    std::once_flag once;
    std::uint64_t removedFiles = 0;
    RecordedWalk walk;
    walk.setUp = [&](Recorder& r) {
        r.onFile = [&](int, const char*) {
            std::call_once(once, [&] {
                for (int t = 1; t < shape.width; t += 2) {
                    const std::string top = root + "/top" + std::to_string(t);
                    if (!std::filesystem::exists(top)) continue;
                    for (const auto& e : std::filesystem::recursive_directory_iterator(top))
                        removedFiles += e.is_regular_file() ? 1 : 0;
                    std::filesystem::remove_all(top);
                }
            });
        };
    };
    EXPECT_TRUE(walk.walk(root));
    std::size_t files = 0, gone = 0;
    for (const Recorder& r : walk.recorders) {
        for (const Recorder::Event& e : r.events)
            files += e.isLeave ? 0 : 1;
        for (const auto& [name, error] : r.failures) {
            EXPECT_EQ(error, ENOENT) << name;
            ++gone;
        }
    }
    EXPECT_GT(gone, 0u) << "no task found its folder gone: the fixture raced";
    EXPECT_LE(files, made.files);
    EXPECT_GE(files, made.files - removedFiles);
}

TEST(ParallelTreeWalkTest, AStopEndsEveryThreadAndGivesBackItsDescriptors) {
    fixtures::TempDir tmp;
    const std::string root = tmp.mkdir("root");
    fixtures::MadeTree made;
    ASSERT_TRUE(fixtures::makeTree(root, fixtures::largeShapes()[2], made));
    const std::size_t before = openDescriptors();
    Recorder::gFiles = 0;
    RecordedWalk walk;
    walk.setUp = [](Recorder& r) { r.stopAfter = 500; };
    EXPECT_FALSE(walk.walk(root));
    const long calls = Recorder::calls.load();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(Recorder::calls.load(), calls) << "a visitor called after the walk returned";
    EXPECT_LT(Recorder::gFiles.load(), static_cast<long>(made.files) / 2);
    EXPECT_EQ(ParallelTreeWalk::descriptorsInUse(), 0);
    EXPECT_EQ(openDescriptors(), before);
}

TEST(ParallelTreeWalkTest, DescriptorsStayBounded) {
    fixtures::TempDir tmp;
    const std::string root = tmp.mkdir("root");
    fixtures::MadeTree made;
    for (const char* top : {"bushy", "wide"})
        ASSERT_EQ(mkdir((root + "/" + top).c_str(), 0755), 0);
    ASSERT_TRUE(fixtures::makeTree(root + "/bushy", fixtures::largeShapes()[2], made));
    ASSERT_TRUE(fixtures::makeTree(root + "/wide", fixtures::largeShapes()[0], made));
    const long workers = static_cast<long>(WorkerPool::shared().threads()) + 1;
    const long before = static_cast<long>(openDescriptors());
    std::atomic<long> most{0}, mostHeld{0}, files{0};
    RecordedWalk walk;
    walk.setUp = [&](Recorder& r) {
        r.onFile = [&](int, const char*) {
            if (++files % 64 != 0) return;
            const long open = static_cast<long>(openDescriptors()) - before;
            for (long m = most.load(); open > m && !most.compare_exchange_weak(m, open);) {
            }
            const long held = ParallelTreeWalk::descriptorsInUse();
            for (long m = mostHeld.load(); held > m && !mostHeld.compare_exchange_weak(m, held);) {
            }
        };
    };
    ASSERT_TRUE(walk.walk(root));
    EXPECT_GT(made.folders, 3000u) << "the tree must hold more folders than the bound";
    EXPECT_LE(mostHeld.load(), 256);
    // Open folders within the budget, and a serial walk's levels (and a listing) per thread.
    EXPECT_LE(most.load(), 256 + workers * 18);

    // A lower limit: the same totals with the budget it allows (or serially, below it).
    for (rlim_t limit : {rlim_t{48}, rlim_t{200}}) {
        SCOPED_TRACE(limit);
        auto result =
            fixtures::runInChild([&] { return treeLogicalSize(root) == made.bytes ? 0 : 1; },
                                 [limit] {
                                     struct rlimit low = {limit, limit};
                                     return setrlimit(RLIMIT_NOFILE, &low) == 0;
                                 });
        ASSERT_TRUE(result);
        EXPECT_EQ(*result, 0);
    }
}

// Runs `count` blocks on the global queue; false when they are not all over within `limit`.
bool runOnGlobalQueue(int count, const std::function<void(int)>& block,
                      std::chrono::seconds limit) {
    std::mutex mutex;
    std::condition_variable over;
    int finished = 0;
    for (int i = 0; i < count; ++i)
        dispatch_async(dispatch_get_global_queue(0, 0), [&, i] {
            block(i);
            std::lock_guard lock(mutex);
            ++finished;
            over.notify_all();
        });
    std::unique_lock lock(mutex);
    return over.wait_for(lock, limit, [&] { return finished == count; });
}

TEST(ParallelTreeWalkTest, ManyWalksAtOnceOnAFullPoolFinish) {
    // Sixteen walks, more than the workers, each started on a worker: sizes and removals of
    // large trees, as a window full of rows and a deletion give them.
    constexpr int kWalks = 16;
    fixtures::TempDir tmp;
    std::vector<std::string> roots;
    std::vector<std::uint64_t> bytes;
    for (int i = 0; i < kWalks; ++i) {
        roots.push_back(tmp.mkdir("t" + std::to_string(i)));
        fixtures::MadeTree made;
        ASSERT_TRUE(fixtures::makeTree(roots.back(), {"", 40, 2, 20, 2}, made));
        bytes.push_back(made.bytes);
    }
    std::vector<std::uint64_t> sizes(kWalks, 0);
    std::vector<int> removals(kWalks, -1);
    const bool finished = runOnGlobalQueue(
        kWalks,
        [&](int i) {
            if (i % 4 == 3) {
                int fd = open(roots[i].c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                removals[i] = platform::detail::removeFolderContents(fd);
                close(fd);
            } else {
                sizes[i] = treeLogicalSize(roots[i]);
            }
        },
        60s);
    ASSERT_TRUE(finished) << "walks on the global queue did not finish: deadlock";
    for (int i = 0; i < kWalks; ++i) {
        SCOPED_TRACE(i);
        if (i % 4 == 3) {
            EXPECT_EQ(removals[i], 0);
            EXPECT_TRUE(std::filesystem::is_empty(roots[i]));
        } else {
            EXPECT_EQ(sizes[i], bytes[i]);
        }
    }
}

TEST(ParallelTreeWalkTest, AWalkFinishesWhileEveryWorkerIsHeld) {
    fixtures::TempDir tmp;
    const std::string root = tmp.mkdir("root");
    fixtures::MadeTree made;
    ASSERT_TRUE(fixtures::makeTree(root, fixtures::largeShapes()[0], made));
    platform::waitForGlobalQueuesForTesting();
    std::mutex mutex;
    std::condition_variable changed;
    unsigned holding = 0;
    bool released = false;
    const unsigned workers = WorkerPool::shared().threads();
    for (unsigned i = 0; i < workers; ++i)
        dispatch_async(dispatch_get_global_queue(0, 0), [&] {
            std::unique_lock lock(mutex);
            ++holding;
            changed.notify_all();
            changed.wait(lock, [&] { return released; });
        });
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, 10s, [&] { return holding == workers; }));
    }
    // No helper can start: the calling thread does it all, and waits for nobody.
    EXPECT_EQ(treeLogicalSize(root), made.bytes);
    {
        std::lock_guard lock(mutex);
        released = true;
    }
    changed.notify_all();
    platform::waitForGlobalQueuesForTesting();
}

}  // namespace
