#pragma once
// Threads: which one is the main thread, and detached threads for long work.

#include <functional>

#include "platform/foundation/NSObject.h"

class NSThread {
  public:
    /// Whether the caller runs on the main thread (the thread that started the process).
    static bool isMainThread();
    /// Starts a detached thread that runs `block`.
    static void detachNewThreadWithBlock(std::function<void()> block);
    /// Starts a detached thread that performs `sel` on `target` with `arg` (target retained).
    static void detachNewThreadSelector(SEL sel, const Ref<NSObject>& target,
                                        const SelectorArg& arg = {});
    /// Sleeps the calling thread.
    static void sleepForTimeInterval(double seconds);
};
