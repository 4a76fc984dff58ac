#include "windows/QVTitlebarContainer.h"

#include <utility>

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/WindowBackend.h"

namespace {

// Left mouse down, up and dragged.
constexpr NSEventMask kTrackingMask = 70;

// Where the pointer is on the screen for `event`. The window system's own pointer position
// wins where it has one: an event made before the window moved keeps a location relative to
// where the window was.
NSPoint screenLocation(const NSEvent& event, const NSWindow& fallback) {
    if (auto global = WindowBackend::shared().mouseLocationOnScreen()) return *global;
    const NSWindow* window = event.window() ? event.window() : &fallback;
    return window->convertBaseToScreen(event.locationInWindow());
}

}  // namespace

void QVTitlebarContainer::mouseDown(NSEvent& event) {
    if (NSWindow* window = this->window()) downOnScreen_ = screenLocation(event, *window);
    NSView::mouseDown(event);
}

void QVTitlebarContainer::mouseDragged(NSEvent& event) {
    NSWindow* window = this->window();
    std::optional<NSPoint> down = std::exchange(downOnScreen_, std::nullopt);
    if (!window || (window->styleMask() & NSWindowStyleMaskFullScreen)) return;
    Ref<NSObject> keep = window->weak_from_this().lock();
    NSPoint origin = window->frame().origin;
    NSPoint start;
    auto follow = [&](const NSEvent& e) {
        NSPoint now = screenLocation(e, *window);
        origin.x += now.x - start.x;
        origin.y += now.y - start.y;
        window->setFrameOrigin(origin);
        start = now;
    };
    // Measured from the mouse-down, so that the first step of the drag counts too and the
    // point taken stays under the pointer.
    if (down) {
        start = *down;
        follow(event);
    } else {
        start = screenLocation(event, *window);
    }
    auto app = NSApplication::sharedApplication();
    auto next = [&] {
        return app->nextEventMatchingMask(kTrackingMask, NSDate::distantFuture(),
                                          NSEventTrackingRunLoopMode, true);
    };
    for (Ref<NSEvent> e = next(); e && e->type() != NSEventTypeLeftMouseUp; e = next())
        follow(*e);
}

void QVTitlebarContainer::registerClass() {
    ClassRegistry::shared().registerClass<QVTitlebarContainer, NSView>("QVTitlebarContainer");
}
