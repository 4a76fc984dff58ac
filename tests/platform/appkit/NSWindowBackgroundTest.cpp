// Catches a window whose pattern background is drawn upside down or not at all, screen updates
// that show a frame while they are disabled (or never show it afterwards), and a Windows menu
// list that keeps excluded or freed windows.
#include <gtest/gtest.h>

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSWindow.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphics.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSImage.h"
#include "platform/testing/WindowTesting.h"

namespace pt = platform::testing;

namespace {

using Pixel = NSGraphicsContext::Pixel;

Ref<NSWindow> makeBorderless(NSRect frame) {
    return NSWindow::make(frame, NSWindowStyleMaskBorderless);
}

// The pixel at base coordinates (x, y) of what the window drew last.
Pixel pixelAt(NSWindow& window, int x, int y) {
    auto surface = pt::renderWindow(window);
    if (!surface) return {};
    return surface->pixelAt(x, surface->pixelsHigh() - 1 - y);
}

// An image of `size` whose upper half is red and lower half blue, transparent in a 4-point
// band along its left edge.
Ref<NSImage> twoBandImage(NSSize size) {
    auto image = NSImage::initWithSize(size);
    image->lockFocus();
    NSColor::blueColor()->setFill();
    NSRectFill(NSMakeRect(4, 0, size.width - 4, size.height / 2));
    NSColor::redColor()->setFill();
    NSRectFill(NSMakeRect(4, size.height / 2, size.width - 4, size.height / 2));
    image->unlockFocus();
    return image;
}

TEST(NSWindowBackground, PatternColourDrawsTheImageUpright) {
    for (bool opaque : {true, false}) {
        SCOPED_TRACE(opaque ? "opaque" : "not opaque");
        auto window = makeBorderless(NSMakeRect(100, 100, 40, 30));
        window->setOpaque(opaque);
        window->setBackgroundColor(NSColor::colorWithPatternImage(twoBandImage({40, 30})));
        window->orderFront();
        Pixel top = pixelAt(*window, 20, 25), bottom = pixelAt(*window, 20, 5);
        EXPECT_EQ(top.r, 255);
        EXPECT_EQ(top.b, 0);
        EXPECT_EQ(bottom.b, 255);
        EXPECT_EQ(bottom.r, 0);
        if (!opaque) {
            EXPECT_EQ(pixelAt(*window, 1, 15).a, 0);  // the image's clear band
        }
        window->orderOut();
    }
}

TEST(NSWindowBackground, DisabledScreenUpdatesHoldFramesBackUntilTheLastEnable) {
    auto window = makeBorderless(NSMakeRect(0, 0, 20, 20));
    window->orderFront();
    long shown = window->presentCount();
    NSDisableScreenUpdates();
    NSDisableScreenUpdates();
    EXPECT_TRUE(NSScreenUpdatesDisabled());
    window->display();
    window->display();
    EXPECT_EQ(window->presentCount(), shown);
    NSEnableScreenUpdates();
    EXPECT_EQ(window->presentCount(), shown);  // still nested
    NSEnableScreenUpdates();
    EXPECT_FALSE(NSScreenUpdatesDisabled());
    EXPECT_EQ(window->presentCount(), shown + 1);  // one frame: the last drawn
    NSEnableScreenUpdates();                       // unmatched: ignored
    EXPECT_FALSE(NSScreenUpdatesDisabled());
    window->display();
    EXPECT_EQ(window->presentCount(), shown + 2);
    window->orderOut();
}

TEST(NSWindowBackground, WindowsMenuListsEachIncludedWindowOnce) {
    NSApplication::resetSharedApplicationForTesting();
    auto app = NSApplication::sharedApplication();
    auto listed = makeBorderless(NSMakeRect(0, 0, 10, 10));
    auto excluded = makeBorderless(NSMakeRect(0, 0, 10, 10));
    excluded->setExcludedFromWindowsMenu(true);
    app->addWindowsItem(listed.get(), "One", false);
    app->addWindowsItem(excluded.get(), "Two", false);
    app->addWindowsItem(listed.get(), "Renamed", true);
    auto items = app->windowsItems();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].window, listed.get());
    EXPECT_EQ(items[0].title, "Renamed");
    EXPECT_TRUE(items[0].isFilename);
    listed.reset();
    EXPECT_TRUE(app->windowsItems().empty());
    NSApplication::resetSharedApplicationForTesting();
}

}  // namespace
