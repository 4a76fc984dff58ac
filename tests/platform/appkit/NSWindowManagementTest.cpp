// Catches windows that lose key or main status to the wrong window, child windows left behind
// when their parent moves, drags that move the window from a control, and a frame view whose
// title bar eats the content area.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSScreen.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/testing/WindowTesting.h"

namespace pt = platform::testing;

namespace {

class StillView : public NSView {
  public:
    bool mouseDownCanMoveWindow() const override { return false; }
    void mouseDown(NSEvent&) override { ++downs; }
    int downs = 0;
};

std::vector<std::string> observe(std::vector<NSNotificationCenter::Token>& tokens,
                                 std::vector<std::string>& log) {
    for (const char* name :
         {"NSWindowDidBecomeKeyNotification", "NSWindowDidResignKeyNotification",
          "NSWindowDidBecomeMainNotification", "NSWindowDidResignMainNotification"}) {
        tokens.push_back(NSNotificationCenter::defaultCenter().addObserverForName(
            name, nullptr, [&log, name](const NSNotification& n) {
                auto* w = dynamic_cast<NSWindow*>(n.object().get());
                log.push_back(std::string(name).substr(8) + ":" + (w ? w->title() : "?"));
            }));
    }
    return log;
}

class WindowManagement : public ::testing::Test {
  protected:
    void SetUp() override {
        registerPlatformClasses();
        NSApplication::resetSharedApplicationForTesting();
        a = NSWindow::make(NSMakeRect(100, 100, 200, 100));
        a->setTitle("a");
        b = NSWindow::make(NSMakeRect(400, 100, 200, 100));
        b->setTitle("b");
    }
    void TearDown() override {
        for (auto token : tokens)
            NSNotificationCenter::defaultCenter().removeObserver(token);
    }
    Ref<NSWindow> a, b;
    std::vector<NSNotificationCenter::Token> tokens;
    std::vector<std::string> log;
};

TEST_F(WindowManagement, TitledFrameHoldsTheContentBelowTheTitleBar) {
    NSRect frame = a->frame();
    NSRect content = a->contentRectForFrameRect(frame);
    EXPECT_EQ(content.origin, frame.origin);
    EXPECT_EQ(content.size.width, 200);
    EXPECT_EQ(content.size.height, 100);
    EXPECT_GT(frame.size.height, 100);
    EXPECT_EQ(a->contentView()->superview(), a->frameView());
    EXPECT_EQ(a->frameRectForContentRect(content), frame);
    auto plain = NSWindow::make(NSMakeRect(0, 0, 50, 40), NSWindowStyleMaskBorderless);
    EXPECT_EQ(plain->frame(), NSMakeRect(0, 0, 50, 40));
    EXPECT_FALSE(plain->canBecomeKeyWindow());
}

TEST_F(WindowManagement, KeyAndMainStatusMoveTogetherWithNotifications) {
    observe(tokens, log);
    a->makeKeyAndOrderFront();
    b->makeKeyAndOrderFront();
    EXPECT_TRUE(b->isKeyWindow());
    EXPECT_TRUE(b->isMainWindow());
    EXPECT_FALSE(a->isMainWindow());
    EXPECT_EQ(log, (std::vector<std::string>{
                       "DidBecomeKeyNotification:a", "DidBecomeMainNotification:a",
                       "DidResignKeyNotification:a", "DidBecomeKeyNotification:b",
                       "DidResignMainNotification:a", "DidBecomeMainNotification:b"}));
    log.clear();
    b->orderOut();  // the window left in front takes over
    EXPECT_TRUE(a->isKeyWindow());
    EXPECT_TRUE(a->isMainWindow());
}

TEST_F(WindowManagement, ChildWindowsMoveWithTheirParentAndStayAbove) {
    auto child = NSWindow::make(NSMakeRect(120, 150, 40, 30), NSWindowStyleMaskBorderless);
    a->orderFront();
    a->addChildWindow(child.get(), NSWindowAbove);
    EXPECT_TRUE(child->isVisible());
    b->orderFront();
    a->orderFront();
    auto order = NSWindow::orderedWindows();
    ASSERT_EQ(order.back(), child.get());
    a->setFrameOrigin(NSMakePoint(110, 90));
    EXPECT_EQ(child->frame().origin, NSMakePoint(130, 140));
    a->orderOut();
    EXPECT_FALSE(child->isVisible());
    child.reset();  // a freed child leaves no dangling entry behind
    EXPECT_TRUE(a->childWindows().empty());
}

TEST_F(WindowManagement, LevelsKeepFloatingWindowsAboveNormalOnes) {
    b->setLevel(NSFloatingWindowLevel);
    b->orderFront();
    a->orderFront();
    auto order = NSWindow::orderedWindows();
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[0], a.get());
    EXPECT_EQ(order[1], b.get());
}

TEST_F(WindowManagement, DraggingTheTitleBarOrTheBackgroundMovesTheWindow) {
    auto still = std::make_shared<StillView>();
    still->initWithFrame(NSMakeRect(0, 0, 50, 50));
    a->contentView()->addSubview(still);
    a->makeKeyAndOrderFront();
    const double titleY = a->frame().size.height - 5;
    struct Case {
        const char* name;
        bool background;
        NSPoint start;
        bool moves;
    };
    const Case cases[] = {
        {"title bar", false, {150, titleY}, true},
        {"content, not movable by background", false, {150, 50}, false},
        {"content, movable by background", true, {150, 50}, true},
        {"a view that keeps the window still", true, {20, 20}, false},
    };
    for (const Case& c : cases) {
        a->setFrameOrigin(NSMakePoint(100, 100));
        a->setMovableByWindowBackground(c.background);
        pt::postMouse(*a, NSEventTypeLeftMouseDown, c.start);
        pt::postMouse(*a, NSEventTypeLeftMouseDragged, {c.start.x + 10, c.start.y + 5});
        pt::postMouse(*a, NSEventTypeLeftMouseUp, {c.start.x + 10, c.start.y + 5});
        pt::pumpEvents();
        NSPoint expected = c.moves ? NSMakePoint(110, 105) : NSMakePoint(100, 100);
        EXPECT_EQ(a->frame().origin, expected) << c.name;
    }
    EXPECT_EQ(still->downs, 1);
}

TEST_F(WindowManagement, PerformCloseAsksTheDelegate) {
    struct Delegate : NSWindowDelegate {
        bool allow = false;
        int willClose = 0;
        bool windowShouldClose(NSWindow*) override { return allow; }
        void windowWillClose(NSWindow*) override { ++willClose; }
    };
    auto delegate = std::make_shared<Delegate>();
    a->setDelegate(delegate);
    a->orderFront();
    a->performClose(nullptr);
    EXPECT_TRUE(a->isVisible());
    delegate->allow = true;
    a->performClose(nullptr);
    EXPECT_FALSE(a->isVisible());
    EXPECT_EQ(delegate->willClose, 1);
}

TEST_F(WindowManagement, StandardButtonsSitInTheTitleBarAndAct) {
    // Without the closable style the close button shows but is disabled.
    EXPECT_FALSE(a->standardWindowButton(NSWindowCloseButton)->isEnabled());
    a = NSWindow::make(NSMakeRect(100, 100, 200, 100),
                       NSWindowStyleMaskTitled | NSWindowStyleMaskClosable);
    NSButton* close = a->standardWindowButton(NSWindowCloseButton);
    NSButton* minimise = a->standardWindowButton(NSWindowMiniaturizeButton);
    NSButton* zoom = a->standardWindowButton(NSWindowZoomButton);
    ASSERT_TRUE(close && minimise && zoom);
    EXPECT_EQ(a->standardWindowButton(NSWindowFullScreenButton), nullptr);
    EXPECT_EQ(close->superview(), a->frameView());
    // One row in the title bar, left to right, above the content.
    NSRect content = a->contentView()->frame();
    EXPECT_GE(close->frame().origin.y, NSMaxY(content));
    EXPECT_EQ(minimise->frame().origin.y, close->frame().origin.y);
    EXPECT_GT(minimise->frame().origin.x, NSMaxX(close->frame()));
    EXPECT_GT(zoom->frame().origin.x, NSMaxX(minimise->frame()));
    // The window's size change keeps them at the top.
    a->setFrame(NSMakeRect(100, 100, 300, 200));
    EXPECT_GT(close->frame().origin.y, 170);
    a->makeKeyAndOrderFront();
    NSPoint centre{NSMidX(close->frame()), NSMidY(close->frame())};
    pt::postClick(*a, centre);
    pt::pumpEvents();
    EXPECT_FALSE(a->isVisible());
    auto plain = NSWindow::make(NSMakeRect(0, 0, 50, 40), NSWindowStyleMaskBorderless);
    EXPECT_EQ(plain->standardWindowButton(NSWindowCloseButton), nullptr);
}

TEST_F(WindowManagement, CenterPlacesTheWindowOnTheVisibleScreen) {
    a->center();
    NSRect screen = NSScreen::mainScreen()->visibleFrame();
    NSRect f = a->frame();
    EXPECT_DOUBLE_EQ(f.origin.x, std::round((screen.size.width - f.size.width) / 2));
    EXPECT_GT(f.origin.y, (screen.size.height - f.size.height) / 2);
    EXPECT_LE(NSMaxY(f), NSMaxY(screen));
}

TEST_F(WindowManagement, ZoomTogglesBetweenTheUserFrameAndTheScreen) {
    NSRect user = a->frame();
    a->zoom(nullptr);
    EXPECT_EQ(a->frame(), NSScreen::mainScreen()->visibleFrame());
    a->zoom(nullptr);
    EXPECT_EQ(a->frame(), user);
}

}  // namespace
