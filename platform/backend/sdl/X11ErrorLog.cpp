#include "platform/backend/sdl/X11ErrorLog.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <mutex>
#include <set>
#include <utility>

#include "platform/foundation/NSLog.h"

namespace platform::sdl {

namespace {

int handleError(Display*, XErrorEvent* event) {
    if (!event) return 0;
    std::string line = X11ErrorLog::noteError(event->error_code, event->request_code,
                                              static_cast<unsigned long>(event->resourceid));
    if (!line.empty()) NSLog("%@", line);
    return 0;
}

}  // namespace

void X11ErrorLog::install() {
    XSetErrorHandler(&handleError);
}

std::string X11ErrorLog::noteError(unsigned char errorCode, unsigned char requestCode,
                                   unsigned long resourceId) {
    static std::mutex mutex;
    static std::set<std::pair<int, int>> logged;
    std::lock_guard lock(mutex);
    // A window that is going away can draw the same error many times: one line per kind.
    if (!logged.insert({errorCode, requestCode}).second) return {};
    char text[160];
    std::snprintf(text, sizeof text,
                  "ignored an X error: code %d for request %d (resource 0x%lx); further ones "
                  "of this kind are not logged",
                  errorCode, requestCode, resourceId);
    return text;
}

}  // namespace platform::sdl
