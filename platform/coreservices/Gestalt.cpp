#include "platform/coreservices/Gestalt.h"

#include <memory>
#include <mutex>

namespace {

constexpr SInt32 kMajor = 10, kMinor = 15, kBugFix = 0;

using Handler = std::function<OSErr(OSType, SInt32*)>;

std::mutex handlerMutex;
std::shared_ptr<const Handler> replacement;  // guarded by handlerMutex

/// 'sysv' packs one BCD digit each for minor and bug fix, so both stop at 9; past minor 9 the
/// whole value stops at x.9.9, whatever the bug fix.
constexpr SInt32 packedVersion(SInt32 major, SInt32 minor, SInt32 bugFix) {
    auto clamp9 = [](SInt32 v) { return v < 0 ? 0 : (v > 9 ? 9 : v); };
    if (minor > 9) minor = bugFix = 9;
    SInt32 majorBCD = ((major / 10) % 10) << 4 | (major % 10);
    return majorBCD << 8 | clamp9(minor) << 4 | clamp9(bugFix);
}
static_assert(packedVersion(10, 15, 0) == 0x1099);
static_assert(packedVersion(10, 4, 11) == 0x1049);
static_assert(packedVersion(10, 9, 5) == 0x1095);

OSErr builtIn(OSType selector, SInt32* response) {
    switch (selector) {
        case gestaltSystemVersion:
            *response = packedVersion(kMajor, kMinor, kBugFix);
            break;
        case gestaltSystemVersionMajor:
            *response = kMajor;
            break;
        case gestaltSystemVersionMinor:
            *response = kMinor;
            break;
        case gestaltSystemVersionBugFix:
            *response = kBugFix;
            break;
        default:
            return gestaltUndefSelectorErr;
    }
    return noErr;
}

}  // namespace

OSErr Gestalt(OSType selector, SInt32* response) {
    if (!response) return paramErr;
    std::shared_ptr<const Handler> handler;
    {
        std::lock_guard lock(handlerMutex);
        handler = replacement;
    }
    // Called outside the lock, so that a handler may replace itself.
    if (handler) return (*handler)(selector, response);
    return builtIn(selector, response);
}

namespace platform {

void setGestaltHandlerForTesting(std::function<OSErr(OSType, SInt32*)> handler) {
    std::shared_ptr<const Handler> next;
    if (handler) next = std::make_shared<const Handler>(std::move(handler));
    std::lock_guard lock(handlerMutex);
    replacement = std::move(next);
}

}  // namespace platform
