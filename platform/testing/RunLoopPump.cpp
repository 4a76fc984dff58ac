#include "platform/testing/RunLoopPump.h"

#include <chrono>

#include "platform/dispatch/Dispatch.h"
#include "platform/foundation/NSRunLoop.h"

namespace platform::testing {

bool runMainLoopUntil(const std::function<bool()>& done, double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return done();
        NSRunLoop::mainRunLoop().runMode(NSDefaultRunLoopMode, 0.01);
    }
    return true;
}

void drainQueues() {
    for (int i = 0; i < 1000; ++i) {
        platform::waitForGlobalQueuesForTesting();
        if (!NSRunLoop::mainRunLoop().runMode(NSDefaultRunLoopMode, 0)) {
            platform::waitForGlobalQueuesForTesting();
            if (!NSRunLoop::mainRunLoop().runMode(NSDefaultRunLoopMode, 0)) return;
        }
    }
}

}  // namespace platform::testing
