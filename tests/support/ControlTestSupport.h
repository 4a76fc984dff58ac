#pragma once
// Shared by the control tests of the platform and of the application: a borderless window on
// the headless backend with a fresh application, gestures posted at window coordinates, pixels
// read at base coordinates, solid images (also registered by name), and an object that records
// the actions it receives.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/appkit/ControlClasses.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphics.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSImage.h"
#include "platform/testing/WindowTesting.h"

namespace controltest {

namespace pt = platform::testing;
using Pixel = NSGraphicsContext::Pixel;

/// Receives "press:", remembers each sender and runs `onPress` with it.
class ActionRecorder : public NSObject {
  public:
    void press(NSObject* sender) {
        senders.push_back(sender);
        if (onPress) onPress(sender);
    }
    std::vector<NSObject*> senders;
    std::function<void(NSObject*)> onPress;

    static void registerClass() {
        ClassRegistry::shared()
            .registerClass<ActionRecorder, NSObject>("ControlTestActionRecorder")
            .action("press:", &ActionRecorder::press);
    }
};

/// An image of `size` filled with `color`.
inline Ref<NSImage> solidImage(NSSize size, const Ref<NSColor>& color) {
    auto image = NSImage::initWithSize(size);
    image->lockFocus();
    color->setFill();
    NSRectFill(NSMakeRect(0, 0, size.width, size.height));
    image->unlockFocus();
    return image;
}

/// Whether a pixel is near `r g b` (0..255 each), whatever its exact antialiasing.
inline bool near(Pixel p, int r, int g, int b, int tolerance = 40) {
    auto close = [tolerance](int a, int b) { return a - b <= tolerance && b - a <= tolerance; };
    return close(p.r, r) && close(p.g, g) && close(p.b, b);
}

/// The pixel at base coordinates (x, y) of `window` as drawn now.
inline Pixel pixelAt(NSWindow& window, double x, double y) {
    auto surface = pt::renderWindow(window);
    if (!surface) return {};
    return surface->pixelAt(int(x), surface->pixelsHigh() - 1 - int(y));
}

/// A borderless window that can still be the key window (so that actions without a target
/// find the responder chain).
class KeyableWindow : public NSWindow {
  public:
    bool canBecomeKeyWindow() const override { return true; }
};

/// A borderless window that can be both key and main, as an application's main window is.
class KeyAndMainWindow : public KeyableWindow {
  public:
    bool canBecomeMainWindow() const override { return true; }
};

/// A key-and-main borderless window of `frame` with a black background.
inline Ref<KeyAndMainWindow> makeWindow(NSRect frame) {
    auto window = std::make_shared<KeyAndMainWindow>();
    window->initWithContentRect(frame, NSWindowStyleMaskBorderless, NSBackingStoreBuffered, false);
    window->setBackgroundColor(NSColor::blackColor());
    return window;
}

class ControlWindow : public ::testing::Test {
  protected:
    using Event = std::pair<NSEventType, NSPoint>;

    void SetUp() override {
        registerPlatformClasses();
        registerAppKitControlClasses();
        ActionRecorder::registerClass();
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
        window = makeTestWindow(NSMakeRect(0, 0, 200, 100));
        window->makeKeyAndOrderFront();
        recorder = std::make_shared<ActionRecorder>();
    }
    void TearDown() override {
        pt::pumpEvents();
        window->orderOut();
        for (const std::string& name : names)
            if (auto registered = NSImage::imageNamed(name)) registered->setName("");
        NSApplication::resetSharedApplicationForTesting();
    }

    /// The window the test runs in: key but not main unless a fixture says otherwise.
    virtual Ref<NSWindow> makeTestWindow(NSRect frame) {
        auto keyable = std::make_shared<KeyableWindow>();
        keyable->initWithContentRect(frame, NSWindowStyleMaskBorderless, NSBackingStoreBuffered,
                                     false);
        keyable->setBackgroundColor(NSColor::blackColor());
        return keyable;
    }

    /// Registers a solid image of `w` x `h` points under `name` for imageNamed, in place of
    /// any image that an earlier test left under that name; unregistered at the end.
    void image(const std::string& name, const Ref<NSColor>& color, double w = 100, double h = 40) {
        if (auto old = NSImage::imageNamed(name)) old->setName("");
        ASSERT_TRUE(solidImage(NSMakeSize(w, h), color)->setName(name));
        names.push_back(name);
    }
    /// Makes sure no image is registered under `name`.
    void noImage(const std::string& name) {
        if (auto old = NSImage::imageNamed(name)) old->setName("");
    }

    void add(const Ref<NSView>& view) { window->contentView()->addSubview(view); }
    /// Queues the events in the backend before any is delivered, as a quick user would, and
    /// delivers them (a tracking loop pulls the later ones itself).
    void perform(const std::vector<Event>& events) {
        for (const auto& [type, point] : events)
            pt::postMouse(*window, type, point);
        pt::pumpEvents();
    }
    void click(NSPoint p) { perform({{NSEventTypeLeftMouseDown, p}, {NSEventTypeLeftMouseUp, p}}); }
    void moveTo(NSPoint p) { perform({{NSEventTypeMouseMoved, p}}); }
    /// The pixel at base coordinates (x, y) of the window as drawn now.
    Pixel at(double x, double y) { return pixelAt(*window, x, y); }

    Ref<NSApplication> app;
    Ref<NSWindow> window;
    Ref<ActionRecorder> recorder;
    std::vector<std::string> names;
};

}  // namespace controltest
