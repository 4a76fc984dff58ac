#pragma once
// A walk of one folder tree shared by the calling thread and idle workers of the global queue,
// for the tree-size walk and the removal, with the guarantees of DirectoryWalker: entries are
// named relative to their folder's descriptor, links are never followed (a folder is opened
// with O_NOFOLLOW beneath its parent's descriptor), and descriptors stay bounded.
//
// The calling thread starts alone, folder by folder, so that a small tree costs what a serial
// walk costs. Once the walk has seen `spreadAfterEntries` entries it lets idle workers join
// (platform::FanOut): the folders found but not yet entered are pending tasks of the thread that
// found them. A thread takes its own newest task (going on depth-first where its folders are
// open); a thread without any takes the oldest task of the thread that has the most (the top of
// a large subtree, away from where that thread works). A folder stays open while folders beneath it
// are pending or in progress, since they are opened and left (removed) through it; such open
// folders count against a process-wide budget of descriptors (a quarter of the soft limit, at most
// 256), and a folder that finds the budget spent, or lies deeper than a fixed depth, is walked
// serially (DirectoryWalker, with few open levels) by the thread that took it. The calling thread
// waits only when nothing is pending and some helper is running, so a walk started on a worker
// never waits for a block still queued behind a full pool.

#include <cstddef>
#include <functional>

#include "platform/foundation/DirectoryWalker.h"

namespace platform::detail {

class ParallelTreeWalk {
  public:
    using Visitor = DirectoryWalker::Visitor;
    using Step = DirectoryWalker::Step;
    /// Gives the visitor of one thread taking part in the walk (the calling thread's first);
    /// called one at a time.
    using VisitorFactory = std::function<Visitor&()>;

    /// Tuning of a walk.
    struct Options {
        std::size_t spreadAfterEntries = 2048;  ///< entries seen before helpers are asked
        unsigned maxHelpers = 0;                ///< helpers at once; 0: the workers less one
    };

    /// A walk reporting to visitors from `factory`.
    explicit ParallelTreeWalk(VisitorFactory factory);
    ParallelTreeWalk(VisitorFactory factory, Options options);
    ParallelTreeWalk(const ParallelTreeWalk&) = delete;
    ParallelTreeWalk& operator=(const ParallelTreeWalk&) = delete;

    /// Walks the folder open as `rootfd` (not closed by the walk), once per object. Each visitor
    /// sees the calls of DirectoryWalker::Visitor from its own thread: entry() for every entry
    /// of a folder being read, leave() for a folder once everything beneath it has been walked
    /// and left, failed() for a folder that could not be opened or listed. Different folders go
    /// at once on different threads. A Stop from any visitor stops every thread as soon as it
    /// finishes the entry at hand. Returns true when the whole tree was visited; false when a
    /// visitor stopped it or the walk itself failed (see error()).
    bool walk(int rootfd);

    /// The errno value of the walk's own failure (listing the root), else 0.
    int error() const { return error_; }

    /// Folders held open by parallel walks in this process now (for tests of the bound).
    static long descriptorsInUse();

  private:
    VisitorFactory factory_;
    Options options_;
    int error_ = 0;
};

}  // namespace platform::detail
