#pragma once
// Shared by the pop-up window tests: a fresh application on the headless backend with the
// pop-up classes registered, a stand-in for the OS version, attached windows made around plain
// views, and pixels of a window at base coordinates.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/coreservices/Gestalt.h"
#include "platform/foundation/NSObject.h"
#include "platform/graphics/NSGraphics.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSImage.h"
#include "platform/testing/WindowTesting.h"
#include "windows/PopWindow/MStatusAttachedWindow.h"
#include "windows/PopWindow/PopWindowClasses.h"
#include "windows/PopWindow/StatusAttachedWindow.h"

namespace popwindowtest {

namespace pt = platform::testing;
using Pixel = NSGraphicsContext::Pixel;

/// Makes Gestalt answer 10.`minor`.0 until destroyed.
class OSVersion {
  public:
    explicit OSVersion(int minor) {
        platform::setGestaltHandlerForTesting([minor](OSType selector, SInt32* out) -> OSErr {
            if (selector == gestaltSystemVersion)
                *out = 0x1000 + 0x10 * std::min(minor, 9);
            else if (selector == gestaltSystemVersionMajor)
                *out = 10;
            else if (selector == gestaltSystemVersionMinor)
                *out = minor;
            else if (selector == gestaltSystemVersionBugFix)
                *out = 0;
            else
                return gestaltUndefSelectorErr;
            return noErr;
        });
    }
    ~OSVersion() { platform::setGestaltHandlerForTesting(nullptr); }
    OSVersion(const OSVersion&) = delete;
    OSVersion& operator=(const OSVersion&) = delete;
};

/// A plain view of `w` x `h` points that draws nothing.
inline Ref<NSView> plainView(double w, double h) {
    return NSView::make(NSMakeRect(0, 0, w, h));
}

/// The pixel at base coordinates (x, y) of `window`, drawn now.
inline Pixel pixelAt(NSWindow& window, double x, double y) {
    auto surface = pt::renderWindow(window);
    if (!surface) return {};
    return surface->pixelAt(int(x), surface->pixelsHigh() - 1 - int(y));
}

/// Whether a pixel is near `r g b` (0..255 each).
inline bool near(Pixel p, int r, int g, int b, int tolerance = 3) {
    auto close = [tolerance](int x, int y) { return x - y <= tolerance && y - x <= tolerance; };
    return close(p.r, r) && close(p.g, g) && close(p.b, b);
}

/// Whether a pixel shows the default fill: 38 43 65 at alpha 0.8 (the system of the tests is
/// newer than 10.8).
inline bool isFill(Pixel p) {
    return near(p, 38, 43, 65) && p.a > 195 && p.a < 210;
}

class PopWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        registerPlatformClasses();
        registerPopWindowClasses();
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
    }
    void TearDown() override {
        for (auto& window : made)
            if (window) window->orderOut();
        made.clear();
        pt::pumpEvents();
        NSApplication::resetSharedApplicationForTesting();
    }

    /// An attached window around a `w` x `h` view; kept until the end of the test.
    Ref<StatusAttachedWindow> attached(double w, double h, NSPoint point, NSWindow* parent,
                                       int side, float distance = 0, float alpha = 0.8f) {
        auto window =
            StatusAttachedWindow::make(plainView(w, h), point, parent, side, distance, alpha);
        made.push_back(window);
        return window;
    }
    /// A titled window that stands for the main window.
    Ref<NSWindow> mainWindow(NSRect frame) {
        auto window = NSWindow::make(frame, NSWindowStyleMaskTitled | NSWindowStyleMaskClosable);
        made.push_back(window);
        return window;
    }

    Ref<NSApplication> app;
    std::vector<Ref<NSWindow>> made;
};

}  // namespace popwindowtest
