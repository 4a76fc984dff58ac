#pragma once
// Shared by the benchmarks that drive the real applications list in a window: the classes its
// interface file needs, and the application's main loop run by hand.

#include <chrono>
#include <functional>

#include "appsManager/AppsManagerClasses.h"
#include "controls/lists/ListViewClasses.h"
#include "controls/rowcells/RowCellClasses.h"
#include "platform/appkit/ControlClasses.h"
#include "platform/appkit/ListClasses.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/appkit/ScrollClasses.h"
#include "platform/foundation/NSDate.h"

namespace bench {

/// Registers what the applications list and its interface file use.
inline void registerListClasses() {
    registerPlatformClasses();
    registerAppKitControlClasses();
    registerAppKitListClasses();
    registerAppKitScrollClasses();
    registerRowCellClasses();
    registerListViewClasses();
    registerAppsManagerClasses();
}

/// One pass of the application's main loop: dirty windows drawn, the run loop run, an event
/// delivered, for at most `seconds`.
inline void pumpOnce(NSApplication& app, double seconds) {
    if (Ref<NSEvent> event =
            app.nextEventMatchingMask(NSEventMaskAny, NSDate::dateWithTimeIntervalSinceNow(seconds),
                                      NSDefaultRunLoopMode, true))
        app.sendEvent(*event);
}

/// Pumps until `done` answers true; false after `timeoutSeconds`.
inline bool pumpUntil(NSApplication& app, const std::function<bool()>& done,
                      double timeoutSeconds) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        pumpOnce(app, 0.005);
    }
    return true;
}

}  // namespace bench
