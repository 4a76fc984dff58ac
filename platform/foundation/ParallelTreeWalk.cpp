#include "platform/foundation/ParallelTreeWalk.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/DirectoryListing.h"
#include "platform/foundation/FanOut.h"
#include "platform/foundation/WorkerPool.h"

namespace platform::detail {

namespace {

using Step = DirectoryWalker::Step;
using Visitor = DirectoryWalker::Visitor;

constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
// Deeper folders are walked serially by the thread that reaches them: one branch alone never
// takes much of the budget, and the recursion of overflow tasks stays shallow.
constexpr unsigned kMaxTaskDepth = 32;
// Pending tasks hold no descriptor, only a name; past this many, a thread walks on itself.
constexpr std::size_t kMaxPending = 4096;
// Open levels of each serial walk inside a parallel one.
constexpr std::size_t kSerialLevels = 16;
// Below this budget the process is short of descriptors: walk serially, as DirectoryWalker
// copes with that by itself.
constexpr long kMinBudget = 32;

std::atomic<long> gDescriptors{0};

// Read at each walk: the limit may have been lowered since (in a forked child, say).
long descriptorBudget() {
    struct rlimit limit {};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 256;
    return static_cast<long>(std::min<rlim_t>(limit.rlim_cur / 4, 256));
}

bool takeDescriptor(long budget) {
    if (gDescriptors.fetch_add(1, std::memory_order_relaxed) < budget) return true;
    gDescriptors.fetch_sub(1, std::memory_order_relaxed);
    return false;
}

void giveDescriptor() {
    gDescriptors.fetch_sub(1, std::memory_order_relaxed);
}

int openFolder(int dirfd, const char* name) {
    for (;;) {
        int fd = openat(dirfd, name, kDirFlags);
        if (fd >= 0 || errno != EINTR) return fd >= 0 ? fd : -errno;
    }
}

// A folder found by the walk: pending, being read, or open while tasks beneath it run.
struct Node {
    Node(Node* parent, std::string name, int fd, unsigned depth)
        : parent(parent), name(std::move(name)), fd(fd), depth(depth) {}
    Node* const parent;
    const std::string name;
    int fd;              // -1 until opened, and again once closed
    bool owned = false;  // the walk opened fd (the root's is the caller's)
    const unsigned depth;
    // Tasks beneath not finished yet, plus one while the folder itself is being read.
    std::atomic<std::size_t> remaining{0};
};

// One walk: the shared state of the threads taking part.
class Walk {
  public:
    Walk(const ParallelTreeWalk::VisitorFactory& factory, const ParallelTreeWalk::Options& options,
         long budget)
        : factory_(factory),
          budget_(budget),
          spreadAfter_(options.spreadAfterEntries),
          maxHelpers_(options.maxHelpers ? options.maxHelpers
                                         : std::max(1u, WorkerPool::shared().threads() - 1)),
          fanOut_([this] { help(); }, maxHelpers_) {}

    // Drives the walk from the calling thread; answers the root's listing error or 0, and
    // whether the walk got through.
    bool run(int rootfd, int& error) {
        root_ = &nodes_.emplace_back(nullptr, std::string(), rootfd, 0);
        Context* context = nullptr;
        {
            std::lock_guard lock(mutex_);
            context = &join();
        }
        process(*context, root_);
        for (;;) {
            Node* next = nullptr;
            {
                std::unique_lock lock(mutex_);
                // Nothing pending and not done: a running helper holds the rest.
                wake_.wait(lock, [this] { return pending_ > 0 || done_ || stopped(); });
                if (done_ || stopped()) break;
                next = take(*context);
            }
            process(*context, next);
        }
        fanOut_.close();
        for (Node& node : nodes_)
            close(node);
        error = rootError_;
        return done_ && !stopped();
    }

  private:
    // Passes a walk-wide stop into the serial walks, which otherwise finish their subtree.
    class StoppingVisitor final : public Visitor {
      public:
        StoppingVisitor(Walk& walk, Visitor& visitor) : walk_(walk), visitor_(visitor) {}
        Step entry(int dirfd, const char* name, unsigned char type) override {
            return walk_.stopped() ? Step::Stop : visitor_.entry(dirfd, name, type);
        }
        Step leave(int dirfd, const char* name) override {
            return walk_.stopped() ? Step::Stop : visitor_.leave(dirfd, name);
        }
        Step failed(int dirfd, const char* name, int error) override {
            return walk_.stopped() ? Step::Stop : visitor_.failed(dirfd, name, error);
        }

      private:
        Walk& walk_;
        Visitor& visitor_;
    };

    // What one thread of the walk works with.
    struct Context {
        Context(Walk& walk, Visitor& visitor) : visitor(visitor), stopping(walk, visitor) {}
        DirectoryWalker& serial() {
            if (!walker) walker.emplace(stopping, kSerialLevels);
            return *walker;
        }
        Visitor& visitor;
        StoppingVisitor stopping;
        std::optional<DirectoryWalker> walker;  // made when first needed
        DirectoryListing listing;
        DirectoryListing::Buffer buffer = DirectoryListing::makeBuffer();
        std::vector<std::size_t> folders;  // entries of the listing to descend into
        std::vector<Node*> overflow;
        std::deque<Node*> tasks;  // pending folders found by this thread (under mutex_)
    };

    bool stopped() const { return stopped_.load(std::memory_order_relaxed); }

    void stop() {
        stopped_.store(true, std::memory_order_relaxed);
        std::lock_guard lock(mutex_);
        wake_.notify_all();
    }

    void report(Step step) {
        if (step == Step::Stop) stop();
    }

    // With mutex_ held.
    Context& join() { return contexts_.emplace_back(*this, factory_()); }

    // With mutex_ held and a task pending: the newest of the thread's own, so that it goes on
    // depth-first where its folders are open; else the oldest of the thread with the most, the
    // top of a large subtree far from where that thread works.
    Node* take(Context& context) {
        --pending_;
        std::deque<Node*>* from = &context.tasks;
        if (!from->empty()) {
            Node* node = from->back();
            from->pop_back();
            return node;
        }
        for (Context& other : contexts_)
            if (other.tasks.size() > from->size()) from = &other.tasks;
        Node* node = from->front();
        from->pop_front();
        return node;
    }

    // A helper: takes pending folders while there are any.
    void help() {
        Context* context = nullptr;
        for (;;) {
            Node* next = nullptr;
            {
                std::lock_guard lock(mutex_);
                if (stopped() || done_ || pending_ == 0) return;
                if (!context) context = &join();
                next = take(*context);
            }
            process(*context, next);
        }
    }

    void close(Node& node) {
        if (!node.owned) return;
        ::close(node.fd);
        node.fd = -1;
        node.owned = false;
        giveDescriptor();
    }

    // Reads one folder: entries to the visitor, its sub-folders to tasks.
    void process(Context& context, Node* node) {
        if (node != root_) {
            Node* parent = node->parent;
            if (node->depth > kMaxTaskDepth || !takeDescriptor(budget_)) {
                walkSerially(context, node);
                finish(context, parent);
                return;
            }
            const int fd = openFolder(parent->fd, node->name.c_str());
            if (fd < 0) {
                giveDescriptor();
                if (!stopped()) report(context.visitor.failed(parent->fd, node->name.c_str(), -fd));
                finish(context, parent);
                return;
            }
            node->fd = fd;
            node->owned = true;
        }
        if (const int error = context.listing.read(node->fd, context.buffer)) {
            if (node == root_) {
                rootError_ = error;
                stop();
                return;
            }
            close(*node);
            if (!stopped())
                report(context.visitor.failed(node->parent->fd, node->name.c_str(), error));
            finish(context, node->parent);
            return;
        }
        const DirectoryListing& listing = context.listing;
        noteEntries(listing.size());
        node->remaining.store(1, std::memory_order_relaxed);
        context.folders.clear();
        for (std::size_t i = 0; i < listing.size() && !stopped(); ++i) {
            const Step step = context.visitor.entry(node->fd, listing.name(i), listing.type(i));
            if (step == Step::Descend)
                context.folders.push_back(i);
            else
                report(step);
        }
        if (!context.folders.empty() && !stopped()) spread(context, node);
        finish(context, node);
    }

    // Makes tasks of the folders to descend into: pending for any thread, or (past the bound)
    // walked here and now.
    void spread(Context& context, Node* node) {
        const DirectoryListing& listing = context.listing;
        std::vector<Node*>& overflow = context.overflow;
        overflow.clear();
        std::size_t pending = 0;
        {
            std::lock_guard lock(mutex_);
            node->remaining.fetch_add(context.folders.size(), std::memory_order_relaxed);
            for (std::size_t i : context.folders) {
                Node* child = &nodes_.emplace_back(node, listing.name(i), -1, node->depth + 1);
                if (pending_ < kMaxPending) {
                    context.tasks.push_back(child);
                    ++pending_;
                } else {
                    overflow.push_back(child);
                }
            }
            pending = pending_;
            wake_.notify_one();
        }
        if (spreading_.load(std::memory_order_relaxed) && pending > 1)
            fanOut_.request(static_cast<unsigned>(std::min<std::size_t>(pending, maxHelpers_)));
        // Copied: processing overwrites the context's list.
        const std::vector<Node*> mine(overflow);
        for (Node* child : mine)
            process(context, child);
    }

    void noteEntries(std::size_t count) {
        const std::size_t seen = seen_.fetch_add(count, std::memory_order_relaxed) + count;
        if (seen >= spreadAfter_ && !spreading_.exchange(true, std::memory_order_relaxed))
            fanOut_.request(maxHelpers_);
    }

    // A folder out of reach of tasks: walked to the end by this thread.
    void walkSerially(Context& context, Node* node) {
        const int parentfd = node->parent->fd;
        const char* name = node->name.c_str();
        if (stopped()) return;
        const int fd = openFolder(parentfd, name);
        if (fd < 0) {
            report(context.visitor.failed(parentfd, name, -fd));
            return;
        }
        DirectoryWalker& walker = context.serial();
        const bool through = walker.walk(fd);
        const int error = walker.error();
        ::close(fd);
        if (stopped()) return;
        if (through)
            report(context.visitor.leave(parentfd, name));
        else if (error != 0)
            report(context.visitor.failed(parentfd, name, error));
        else
            stop();  // the visitor asked for it
    }

    // One task beneath `node` is over (or its own reading): the last one closes and leaves it,
    // and so on upwards.
    void finish(Context& context, Node* node) {
        while (node->remaining.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            if (node == root_) {
                std::lock_guard lock(mutex_);
                done_ = true;
                wake_.notify_all();
                return;
            }
            close(*node);
            Node* parent = node->parent;
            if (!stopped()) report(context.visitor.leave(parent->fd, node->name.c_str()));
            node = parent;
        }
    }

    const ParallelTreeWalk::VisitorFactory& factory_;
    const long budget_;
    const std::size_t spreadAfter_;
    const unsigned maxHelpers_;

    std::mutex mutex_;
    std::condition_variable wake_;  // the calling thread: a task pending, the end, a stop
    std::deque<Node> nodes_;        // every folder found (stable addresses)
    std::size_t pending_ = 0;       // tasks in every context
    std::deque<Context> contexts_;  // one per thread taking part
    bool done_ = false;             // the root is finished
    Node* root_ = nullptr;
    int rootError_ = 0;
    std::atomic<bool> stopped_{false};
    std::atomic<bool> spreading_{false};
    std::atomic<std::size_t> seen_{0};
    FanOut fanOut_;  // last: closed (its helpers gone) before the rest is destroyed
};

}  // namespace

ParallelTreeWalk::ParallelTreeWalk(VisitorFactory factory)
    : ParallelTreeWalk(std::move(factory), Options{}) {}

ParallelTreeWalk::ParallelTreeWalk(VisitorFactory factory, Options options)
    : factory_(std::move(factory)), options_(options) {}

bool ParallelTreeWalk::walk(int rootfd) {
    error_ = 0;
    const long budget = descriptorBudget();
    if (budget < kMinBudget) {
        DirectoryWalker walker(factory_());
        const bool through = walker.walk(rootfd);
        error_ = walker.error();
        return through;
    }
    Walk walk(factory_, options_, budget);
    return walk.run(rootfd, error_);
}

long ParallelTreeWalk::descriptorsInUse() {
    return gDescriptors.load(std::memory_order_relaxed);
}

}  // namespace platform::detail
