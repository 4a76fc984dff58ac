#include "platform/foundation/NSThread.h"

#include <chrono>
#include <thread>

namespace {
// Static initialisation runs on the thread that starts the process.
const std::thread::id gMainThreadId = std::this_thread::get_id();
}  // namespace

bool NSThread::isMainThread() {
    return std::this_thread::get_id() == gMainThreadId;
}

void NSThread::detachNewThreadWithBlock(std::function<void()> block) {
    std::thread(std::move(block)).detach();
}

void NSThread::detachNewThreadSelector(SEL sel, const Ref<NSObject>& target,
                                       const SelectorArg& arg) {
    if (!target) return;
    detachNewThreadWithBlock([sel, target, arg] { target->performSelector(sel, arg); });
}

void NSThread::sleepForTimeInterval(double seconds) {
    if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}
