#pragma once
// Shared by the image-button and window-button tests: a key-capable borderless window on the
// headless backend with a fresh application, a temporary resources folder with the settings file,
// solid images registered by name, pointer gestures at window coordinates, pixels at base
// coordinates, and an object that records the actions it receives.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/ControlsClasses.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphics.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSImage.h"
#include "platform/testing/WindowTesting.h"
#include "support/FileFixtures.h"
#include "support/ScopedResources.h"
#include "windows/WindowsClasses.h"

namespace buttontest {

namespace pt = platform::testing;
using Pixel = NSGraphicsContext::Pixel;

/// Receives "press:" and runs `onPress` with each sender.
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
            .registerClass<ActionRecorder, NSObject>("ButtonTestActionRecorder")
            .action("press:", &ActionRecorder::press);
    }
};

/// A borderless window that can still be key and main.
class KeyableWindow : public NSWindow {
  public:
    bool canBecomeKeyWindow() const override { return true; }
    bool canBecomeMainWindow() const override { return true; }
};

inline Ref<KeyableWindow> makeWindow(NSRect frame) {
    auto window = std::make_shared<KeyableWindow>();
    window->initWithContentRect(frame, NSWindowStyleMaskBorderless, NSBackingStoreBuffered, false);
    window->setBackgroundColor(NSColor::blackColor());
    return window;
}

/// Whether a pixel is near `r g b` (0..255 each).
inline bool near(Pixel p, int r, int g, int b, int tolerance = 40) {
    auto close = [tolerance](int x, int y) { return x - y <= tolerance && y - x <= tolerance; };
    return close(p.r, r) && close(p.g, g) && close(p.b, b);
}

/// The pixel at base coordinates (x, y) of `window` as drawn now.
inline Pixel pixelAt(NSWindow& window, double x, double y) {
    auto surface = pt::renderWindow(window);
    if (!surface) return {};
    return surface->pixelAt(int(x), surface->pixelsHigh() - 1 - int(y));
}

class ButtonWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        registerPlatformClasses();
        registerControlsClasses();
        registerWindowsClasses();
        ActionRecorder::registerClass();
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
        dir.mkdir("resources/images");
        // The label fonts: a serif face stands in for the light one so that the two differ.
        dir.write("resources/StringMessage.plist",
                  R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>FontLight</key><string>DejaVuSerif</string>
  <key>FontRegular</key><string>DejaVuSans</string>
</dict></plist>)");
        resources = std::make_unique<fixtures::ScopedResources>(dir / "resources");
        window = makeWindow(NSMakeRect(0, 0, 200, 100));
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

    /// Registers a solid image of `w` x `h` points under `name` for imageNamed, in place of
    /// any image that an earlier test left under that name; unregistered at the end.
    void image(const std::string& name, const Ref<NSColor>& color, double w = 100, double h = 40) {
        if (auto old = NSImage::imageNamed(name)) old->setName("");
        auto solid = NSImage::initWithSize(NSMakeSize(w, h));
        solid->lockFocus();
        color->setFill();
        NSRectFill(NSMakeRect(0, 0, w, h));
        solid->unlockFocus();
        ASSERT_TRUE(solid->setName(name));
        names.push_back(name);
    }
    /// Makes sure no image is registered under `name`.
    void noImage(const std::string& name) {
        if (auto old = NSImage::imageNamed(name)) old->setName("");
    }
    void add(const Ref<NSView>& view) { window->contentView()->addSubview(view); }
    void moveTo(NSPoint p) {
        pt::postMouse(*window, NSEventTypeMouseMoved, p);
        pt::pumpEvents();
    }
    void click(NSPoint p) {
        pt::postClick(*window, p);
        pt::pumpEvents();
    }
    Pixel at(double x, double y) { return pixelAt(*window, x, y); }

    fixtures::TempDir dir;
    std::unique_ptr<fixtures::ScopedResources> resources;
    Ref<NSApplication> app;
    Ref<KeyableWindow> window;
    Ref<ActionRecorder> recorder;
    std::vector<std::string> names;
};

}  // namespace buttontest
