#include "platform/testing/WindowTesting.h"

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/WindowBackend.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/graphics/NSGraphicsContext.h"

namespace platform::testing {

namespace {
double now() {
    return Clock::shared()->now();
}
}  // namespace

void postMouse(NSWindow& window, NSEventType type, NSPoint point, NSEventModifierFlags flags,
               long clickCount) {
    WindowBackend::shared().postEvent(
        NSEvent::mouseEventWithType(type, point, flags, now(), &window, clickCount));
}

void postClick(NSWindow& window, NSPoint point, NSEventModifierFlags flags, long clickCount) {
    postMouse(window, NSEventTypeLeftMouseDown, point, flags, clickCount);
    postMouse(window, NSEventTypeLeftMouseUp, point, flags, clickCount);
}

void postKey(NSWindow& window, const std::string& characters, unsigned short keyCode,
             NSEventModifierFlags flags) {
    for (NSEventType type : {NSEventTypeKeyDown, NSEventTypeKeyUp}) {
        WindowBackend::shared().postEvent(
            NSEvent::keyEventWithType(type, window.mouseLocationOutsideOfEventStream(), flags,
                                      now(), &window, characters, characters, false, keyCode));
    }
}

void postScroll(NSWindow& window, NSPoint point, double deltaX, double deltaY) {
    WindowBackend::shared().postEvent(
        NSEvent::scrollEventWithLocation(point, 0, now(), &window, deltaX, deltaY));
}

int pumpEvents() {
    int delivered = 0;
    auto& backend = WindowBackend::shared();
    // Through the application, as the main loop delivers them (modal blocking, key
    // equivalents, the key window for keys).
    auto app = NSApplication::sharedApplication();
    while (Ref<NSEvent> event = app->nextEventMatchingMask(NSEventMaskAny, NSDate::distantPast(),
                                                           NSDefaultRunLoopMode, true)) {
        if (event->window()) ++delivered;
        app->sendEvent(*event);
    }
    (void)backend;
    NSRunLoop::mainRunLoop().runMode(NSDefaultRunLoopMode, 0);
    for (NSWindow* window : std::vector<NSWindow*>(NSWindow::windows()))
        window->displayIfNeeded();
    return delivered;
}

Ref<NSGraphicsContext> renderWindow(NSWindow& window) {
    window.display();
    return window.isVisible() ? window.surface() : nullptr;
}

bool renderWindowToPNG(NSWindow& window, const std::string& path) {
    auto surface = renderWindow(window);
    return surface && surface->writePNG(path);
}

}  // namespace platform::testing
