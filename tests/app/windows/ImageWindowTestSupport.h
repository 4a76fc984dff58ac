#pragma once
// Shared set-up of the main-window tests: the classes registered, a fresh application, the
// user's defaults in a temporary home, a window configured as the application starts it, and a
// backend that can miniaturise and report the pointer.

#include <gtest/gtest.h>

#include <deque>
#include <optional>

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSImageView.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/appkit/WindowBackend.h"
#include "platform/backend/HeadlessBackend.h"
#include "platform/foundation/NSObject.h"
#include "platform/foundation/NSUserDefaults.h"
#include "support/FileFixtures.h"
#include "windows/ImageWindowClasses.h"
#include "windows/QVTitlebarContainer.h"
#include "windows/QVTitlebarView.h"
#include "windows/TCImageWindow.h"
#include "windows/WindowsClasses.h"

namespace imagewindow {

/// The headless backend with a task bar (each miniaturise succeeds and is counted) and,
/// when given, a scripted pointer position on the screen.
class RecordingBackend final : public WindowBackend {
  public:
    NSRect mainScreenFrame() const override { return inner_.mainScreenFrame(); }
    WindowId createWindow(NSWindow* owner, NSRect frame) override {
        return inner_.createWindow(owner, frame);
    }
    void destroyWindow(WindowId window) override { inner_.destroyWindow(window); }
    void setWindowFrame(WindowId window, NSRect frame) override {
        inner_.setWindowFrame(window, frame);
    }
    void setWindowVisible(WindowId window, bool visible) override {
        inner_.setWindowVisible(window, visible);
    }
    Ref<NSGraphicsContext> beginFrame(WindowId window) override {
        return inner_.beginFrame(window);
    }
    void presentFrame(WindowId window) override { inner_.presentFrame(window); }
    void postEvent(Ref<NSEvent> event) override { inner_.postEvent(std::move(event)); }
    Ref<NSEvent> nextEvent() override { return inner_.nextEvent(); }
    std::shared_ptr<RunLoopWaiter> runLoopWaiter() override { return inner_.runLoopWaiter(); }

    bool miniaturizeWindow(WindowId) override {
        ++miniaturized;
        return true;
    }
    /// The next scripted pointer position (the last one repeats); nullopt without a script.
    std::optional<NSPoint> mouseLocationOnScreen() const override {
        if (pointer.empty()) return std::nullopt;
        NSPoint p = pointer.front();
        if (pointer.size() > 1) pointer.pop_front();
        return p;
    }

    int miniaturized = 0;
    mutable std::deque<NSPoint> pointer;

  private:
    HeadlessBackend inner_;
};

/// A 400 x 300 content area at (100, 100): the frame is 322 high with the platform's bar.
inline constexpr NSRect kContentRect{{100, 100}, {400, 300}};
inline constexpr double kBarHeight = 32;
inline constexpr double kLeftMargin = 12;

class ImageWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        registerPlatformClasses();
        registerImageWindowClasses();
        registerWindowsClasses();
        NSApplication::resetSharedApplicationForTesting();
        NSUserDefaults::resetStandardUserDefaults();
        backend = std::make_shared<RecordingBackend>();
        WindowBackend::setShared(backend);
    }
    void TearDown() override {
        windows.clear();
        WindowBackend::setShared(nullptr);
        NSUserDefaults::resetStandardUserDefaults();
    }

    /// A window set up by the class only.
    Ref<TCImageWindow> makeWindow(NSRect content = kContentRect) {
        auto window = TCImageWindow::make(content);
        windows.push_back(window);
        return window;
    }
    /// A window configured as the application's start-up does: an image over the whole bar,
    /// bar height 32, left margin 12, no upward shift.
    Ref<TCImageWindow> makeStartedWindow(NSRect content = kContentRect) {
        auto window = makeWindow(content);
        auto image = NSImageView::make(NSZeroRect);
        window->titleBarView()->addSubview(image);
        image->setFrame(window->titleBarView()->bounds());
        image->setAutoresizingMask(NSViewWidthSizable | NSViewHeightSizable);
        window->setTitleBarHeight(kBarHeight);
        window->setTrafficLightButtonsLeftMargin(kLeftMargin);
        window->setTopButtonMoveUp(0);
        return window;
    }

    std::shared_ptr<RecordingBackend> backend;
    std::vector<Ref<NSWindow>> windows;
    fixtures::TempDir home_;
    fixtures::ScopedEnv homeEnv_{"HOME", home_.path()};
};

}  // namespace imagewindow
