// Catches a headless backend whose queued input does not wake the main run loop, or that loses
// track of the place and visibility that windows gave it.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSWindow.h"
#include "platform/backend/HeadlessBackend.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/testing/WindowTesting.h"

namespace {

HeadlessBackend& headless() {
    auto* backend = dynamic_cast<HeadlessBackend*>(&WindowBackend::shared());
    if (!backend) throw std::runtime_error("the headless backend is not installed");
    return *backend;
}

TEST(HeadlessBackend, EventPostedFromAnotherThreadWakesTheMainLoop) {
    auto& backend = headless();
    auto window = NSWindow::make(NSMakeRect(0, 0, 50, 50));
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        backend.postEvent(
            NSEvent::mouseEventWithType(NSEventTypeMouseMoved, {1, 1}, 0, 0, window.get()));
    });
    auto start = std::chrono::steady_clock::now();
    bool handled = NSRunLoop::mainRunLoop().runMode(NSDefaultRunLoopMode, 5);
    auto waited = std::chrono::steady_clock::now() - start;
    poster.join();
    EXPECT_TRUE(handled);
    EXPECT_LT(waited, std::chrono::seconds(2));
    EXPECT_EQ(backend.queuedEventCount(), 1u);
    EXPECT_EQ(platform::testing::pumpEvents(), 1);
    EXPECT_EQ(backend.queuedEventCount(), 0u);
}

TEST(HeadlessBackend, FollowsWindowFrameAndVisibility) {
    auto& backend = headless();
    EXPECT_EQ(backend.mainScreenFrame(), NSMakeRect(0, 0, 1280, 800));
    auto window = NSWindow::make(NSMakeRect(100, 200, 50, 40));
    auto id = window->backendWindow();
    EXPECT_FALSE(backend.isWindowVisible(id));
    EXPECT_EQ(backend.presentedSurface(id), nullptr);  // nothing drawn while hidden
    window->makeKeyAndOrderFront();
    EXPECT_TRUE(window->isKeyWindow());
    EXPECT_TRUE(backend.isWindowVisible(id));
    ASSERT_NE(backend.presentedSurface(id), nullptr);
    EXPECT_EQ(backend.presentedSurface(id)->pixelsWide(), 50);
    window->setFrameOrigin(NSMakePoint(300, 10));
    // The backend's window holds the title bar that the platform draws above the content.
    EXPECT_EQ(backend.windowFrame(id), NSMakeRect(300, 10, 50, window->frame().size.height));
    EXPECT_GT(window->frame().size.height, 40);
    EXPECT_EQ(window->convertBaseToScreen(NSMakePoint(5, 5)), NSMakePoint(305, 15));
    window->close();
    EXPECT_FALSE(backend.isWindowVisible(id));
    EXPECT_FALSE(window->isKeyWindow());
}

}  // namespace
