#pragma once
// Depth-first walk of a folder tree through directory descriptors, on one thread: the removal and
// the tree-size walk use it through ParallelTreeWalk, for subtrees that one thread walks alone.
// Entries are named relative to their folder's descriptor (no path strings are built), symbolic
// links are never followed, and any depth works with a bounded number of open descriptors.
//
// Descriptors: every folder on the current branch is read completely when it is entered, so
// afterwards its descriptor only serves to name its children. At most `maxOpenLevels` of them
// stay open (the deepest ones; the caller's root always stays open). A closed folder is reopened
// when the walk climbs back into it, through ".." of its child, and the result is checked against
// the folder's recorded device and inode; when the check fails (the tree was moved meanwhile) the
// folder is reopened name by name from the root, each step refusing links. Opening a child that
// fails for lack of descriptors (EMFILE/ENFILE) closes more ancestors and retries.

#include <sys/types.h>

#include <cstddef>
#include <deque>

#include "platform/foundation/DirectoryListing.h"

namespace platform::detail {

/// Walks one tree at a time; not thread-safe itself, but independent walkers run in parallel.
class DirectoryWalker {
  public:
    /// What the visitor asks the walk to do next.
    enum class Step { Next, Descend, Stop };

    /// Receives the entries of a walk.
    class Visitor {
      public:
        virtual ~Visitor() = default;
        /// An entry of the folder open as `dirfd`; `type` is its d_type (DT_UNKNOWN when the file
        /// system does not say). Descend enters it; an entry that is not a real folder (a link, a
        /// file) fails to open and is reported to failed() with ENOTDIR or ELOOP.
        virtual Step entry(int dirfd, const char* name, unsigned char type) = 0;
        /// The folder `name` of `dirfd`, entered earlier, has been walked completely and closed.
        virtual Step leave(int /*dirfd*/, const char* /*name*/) { return Step::Next; }
        /// The folder `name` of `dirfd` could not be opened or listed (`error` is an errno value);
        /// none of its entries are visited and leave() is not sent for it.
        virtual Step failed(int /*dirfd*/, const char* /*name*/, int /*error*/) {
            return Step::Next;
        }
    };

    /// A walker reporting to `visitor`; `maxOpenLevels` bounds the descriptors it holds (>= 2).
    explicit DirectoryWalker(Visitor& visitor, std::size_t maxOpenLevels = defaultMaxOpenLevels());

    /// Walks the folder open as `rootfd` (not closed by the walk). Returns true when the whole tree
    /// was visited; false when the visitor stopped it or the walk itself failed (see error()).
    bool walk(int rootfd);

    /// The errno value of the walk's own failure (listing the root, reopening a folder), else 0.
    int error() const { return error_; }

    /// A quarter of the soft descriptor limit, clamped to [16, 128].
    static std::size_t defaultMaxOpenLevels();

  private:
    struct Level {
        int fd = -1;
        bool owned = false;
        dev_t dev = 0;
        ino_t ino = 0;
        DirectoryListing listing;
        std::size_t next = 0;
    };

    int list(Level& level);
    int openChild(int dirfd, const char* name);
    bool closeOldest();
    int reopen(std::size_t depth);
    void closeLevel(Level& level);
    void closeAll();

    Visitor& visitor_;
    std::size_t maxOpen_;
    DirectoryListing::Buffer buffer_;
    std::deque<Level> levels_;  // stable references while the stack grows
    std::size_t depth_ = 0;
    std::size_t oldestOpen_ = 1;  // open levels are 0 and [oldestOpen_, depth_]
    int error_ = 0;
};

}  // namespace platform::detail
