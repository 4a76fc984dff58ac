// Catches input that reaches the wrong view: mouse-ups and drags that leave the view that took
// the mouse-down, unpaired entered/exited events, and keys that miss the first responder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/NSWindow.h"
#include "platform/testing/WindowTesting.h"

namespace pt = platform::testing;

namespace {

using Log = std::vector<std::string>;

class Recorder : public NSView {
  public:
    static Ref<Recorder> make(NSRect frame, std::string name, Log& log, bool acceptsKeys = false) {
        auto view = std::make_shared<Recorder>();
        view->initWithFrame(frame);
        view->name_ = std::move(name);
        view->log_ = &log;
        view->acceptsKeys_ = acceptsKeys;
        return view;
    }
    void mouseDown(NSEvent& e) override { note("down", e); }
    void mouseUp(NSEvent& e) override { note("up", e); }
    void mouseDragged(NSEvent& e) override { note("drag", e); }
    void mouseMoved(NSEvent& e) override { note("moved", e); }
    void rightMouseDown(NSEvent& e) override { note("rdown", e); }
    void rightMouseUp(NSEvent& e) override { note("rup", e); }
    void scrollWheel(NSEvent& e) override { note("scroll", e); }
    void mouseEntered(NSEvent& e) override { note("entered", e); }
    void mouseExited(NSEvent& e) override { note("exited", e); }
    void keyDown(NSEvent& e) override {
        if (acceptsKeys_)
            log_->push_back("key:" + name_ + ":" + e.characters());
        else
            NSView::keyDown(e);  // passes to the superview
    }
    bool acceptsFirstResponder() override { return acceptsKeys_; }
    bool resignFirstResponder() override { return !holdsFocus; }

    bool holdsFocus = false;
    void* lastUserData = nullptr;

  private:
    void note(const char* what, NSEvent& e) {
        log_->push_back(std::string(what) + ":" + name_);
        if (e.type() == NSEventTypeMouseEntered || e.type() == NSEventTypeMouseExited)
            lastUserData = e.userData();
    }
    std::string name_;
    Log* log_ = nullptr;
    bool acceptsKeys_ = false;
};

class WindowEvents : public ::testing::Test {
  protected:
    void SetUp() override {
        window = NSWindow::make(NSMakeRect(100, 100, 200, 100));
        left = Recorder::make(NSMakeRect(0, 0, 100, 100), "left", log, true);
        right = Recorder::make(NSMakeRect(100, 0, 100, 100), "right", log, true);
        window->contentView()->addSubview(left);
        window->contentView()->addSubview(right);
        window->makeKeyAndOrderFront();
    }
    void TearDown() override {
        pt::pumpEvents();
        window->orderOut();
    }
    void track(const Ref<Recorder>& view, NSTrackingAreaOptions options) {
        view->addTrackingArea(
            NSTrackingArea::make(view->bounds(), options | NSTrackingMouseEnteredAndExited, view));
    }
    void moveTo(NSPoint p) {
        pt::postMouse(*window, NSEventTypeMouseMoved, p);
        pt::pumpEvents();
    }
    Log take() { return std::exchange(log, {}); }

    Log log;
    Ref<NSWindow> window;
    Ref<Recorder> left, right;
};

TEST_F(WindowEvents, ClickReachesTheViewUnderTheMouse) {
    pt::postClick(*window, NSMakePoint(150, 50));
    EXPECT_EQ(pt::pumpEvents(), 2);
    EXPECT_EQ(take(), (Log{"down:right", "up:right"}));
    pt::postMouse(*window, NSEventTypeRightMouseDown, NSMakePoint(20, 20));
    pt::postMouse(*window, NSEventTypeRightMouseUp, NSMakePoint(20, 20));
    pt::postScroll(*window, NSMakePoint(120, 20), 0, 3);
    pt::pumpEvents();
    EXPECT_EQ(take(), (Log{"rdown:left", "rup:left", "scroll:right"}));
}

TEST_F(WindowEvents, DragAndUpStayWithTheMouseDownView) {
    pt::postMouse(*window, NSEventTypeLeftMouseDown, NSMakePoint(50, 50));
    pt::postMouse(*window, NSEventTypeLeftMouseDragged, NSMakePoint(150, 50));
    pt::postMouse(*window, NSEventTypeLeftMouseUp, NSMakePoint(150, 50));
    // An up without a down goes nowhere.
    pt::postMouse(*window, NSEventTypeLeftMouseUp, NSMakePoint(150, 50));
    pt::pumpEvents();
    EXPECT_EQ(take(), (Log{"down:left", "drag:left", "up:left"}));
}

TEST_F(WindowEvents, UpAfterTheViewWasRemovedStillReachesIt) {
    pt::postMouse(*window, NSEventTypeLeftMouseDown, NSMakePoint(50, 50));
    pt::pumpEvents();
    left->removeFromSuperview();
    pt::postMouse(*window, NSEventTypeLeftMouseUp, NSMakePoint(50, 50));
    pt::pumpEvents();
    EXPECT_EQ(take(), (Log{"down:left", "up:left"}));
}

TEST_F(WindowEvents, TrackingAreasPairEnteredWithExited) {
    track(left, NSTrackingActiveAlways);
    track(right, NSTrackingActiveAlways | NSTrackingMouseMoved);
    moveTo(NSMakePoint(50, 50));
    EXPECT_EQ(take(), (Log{"entered:left"}));
    moveTo(NSMakePoint(60, 50));
    EXPECT_EQ(take(), Log{});
    // The move that enters an area is also a move inside it.
    moveTo(NSMakePoint(150, 50));
    EXPECT_EQ(take(), (Log{"exited:left", "entered:right", "moved:right"}));
    moveTo(NSMakePoint(160, 50));
    EXPECT_EQ(take(), (Log{"moved:right"}));
    // Leaving the window altogether.
    moveTo(NSMakePoint(250, 50));
    EXPECT_EQ(take(), (Log{"exited:right"}));
}

TEST_F(WindowEvents, HidingMovingAndRemovingViewsEndTheirAreas) {
    track(right, NSTrackingActiveAlways);
    moveTo(NSMakePoint(150, 50));
    EXPECT_EQ(take(), (Log{"entered:right"}));

    right->setHidden(true);
    pt::pumpEvents();
    EXPECT_EQ(take(), (Log{"exited:right"}));
    right->setHidden(false);
    pt::pumpEvents();
    EXPECT_EQ(take(), (Log{"entered:right"}));

    right->setFrameOrigin(NSMakePoint(0, 0));  // slides away from under the mouse
    pt::pumpEvents();
    EXPECT_EQ(take(), (Log{"exited:right"}));
    right->setFrameOrigin(NSMakePoint(100, 0));
    pt::pumpEvents();
    EXPECT_EQ(take(), (Log{"entered:right"}));

    right->removeFromSuperview();
    pt::pumpEvents();
    EXPECT_EQ(take(), (Log{"exited:right"}));
}

TEST_F(WindowEvents, KeyWindowAreasAreQuietInOtherWindows) {
    track(left, NSTrackingActiveInKeyWindow);
    auto other = NSWindow::make(NSMakeRect(400, 100, 50, 50));
    other->makeKeyAndOrderFront();
    moveTo(NSMakePoint(50, 50));
    EXPECT_EQ(take(), Log{});
    window->makeKeyWindow();
    pt::pumpEvents();
    EXPECT_EQ(take(), (Log{"entered:left"}));
    other->orderOut();
}

TEST_F(WindowEvents, TrackingRectsCarryUserDataAndAssumeInside) {
    int data = 0;
    NSTrackingRectTag tag =
        left->addTrackingRect(NSMakeRect(0, 0, 50, 50), left.get(), &data, true);
    EXPECT_NE(tag, 0);
    // The mouse is known to be outside: the area that assumed otherwise hears it left.
    moveTo(NSMakePoint(80, 80));
    EXPECT_EQ(take(), (Log{"exited:left"}));
    EXPECT_EQ(left->lastUserData, &data);
    moveTo(NSMakePoint(10, 10));
    EXPECT_EQ(take(), (Log{"entered:left"}));
    left->removeTrackingRect(tag);
    EXPECT_TRUE(left->trackingAreas().empty());
    pt::pumpEvents();
    moveTo(NSMakePoint(80, 80));
    EXPECT_EQ(take(), Log{});
}

TEST_F(WindowEvents, KeysGoToTheFirstResponder) {
    EXPECT_EQ(window->firstResponder(), window.get());
    pt::postKey(*window, "a");
    pt::pumpEvents();
    EXPECT_EQ(take(), Log{});  // the window drops keys nobody takes

    ASSERT_TRUE(window->makeFirstResponder(left.get()));
    pt::postKey(*window, "b");
    pt::pumpEvents();
    EXPECT_EQ(take(), (Log{"key:left:b"}));

    // A click makes an accepting view first responder.
    pt::postClick(*window, NSMakePoint(150, 50));
    pt::postKey(*window, "c");
    pt::pumpEvents();
    EXPECT_EQ(take(), (Log{"down:right", "up:right", "key:right:c"}));
    EXPECT_EQ(window->firstResponder(), right.get());
}

TEST_F(WindowEvents, FirstResponderRulesAndThePassOnChain) {
    Log inner;
    auto plain = Recorder::make(NSMakeRect(10, 10, 20, 20), "plain", inner, false);
    left->addSubview(plain);
    EXPECT_FALSE(window->makeFirstResponder(plain.get()));  // refuses

    // A responder that will not resign keeps the role.
    ASSERT_TRUE(window->makeFirstResponder(right.get()));
    right->holdsFocus = true;
    EXPECT_FALSE(window->makeFirstResponder(left.get()));
    EXPECT_EQ(window->firstResponder(), right.get());
    right->holdsFocus = false;

    // Keys that a view does not take travel up to its superview.
    plain->setNextResponder(left.get());
    ASSERT_TRUE(window->makeFirstResponder(left.get()));
    window->makeFirstResponder(nullptr);
    EXPECT_EQ(window->firstResponder(), window.get());
    auto key =
        NSEvent::keyEventWithType(NSEventTypeKeyDown, {}, 0, 0, window.get(), "x", "x", false, 7);
    plain->keyDown(*key);
    EXPECT_EQ(take(), (Log{"key:left:x"}));

    // Leaving the window gives the role back to the window.
    ASSERT_TRUE(window->makeFirstResponder(left.get()));
    left->removeFromSuperview();
    EXPECT_EQ(window->firstResponder(), window.get());
}

TEST(NSEventValues, KeepThePlatformNumbers) {
    EXPECT_EQ(NSEventTypeScrollWheel, 22u);
    EXPECT_EQ(NSLeftMouseDragged, NSEventTypeLeftMouseDragged);
    EXPECT_EQ(NSCommandKeyMask | NSShiftKeyMask, 0x120000u);
    EXPECT_EQ((NSCommandKeyMask | 0x3u) & NSDeviceIndependentModifierFlagsMask, NSCommandKeyMask);
    auto window = NSWindow::make(NSMakeRect(0, 0, 10, 10));
    auto key = NSEvent::keyEventWithType(NSEventTypeKeyDown, {1, 2}, NSCommandKeyMask, 5,
                                         window.get(), "A", "a", true, 0);
    EXPECT_EQ(key->window(), window.get());
    EXPECT_EQ(key->charactersIgnoringModifiers(), "a");
    window.reset();
    EXPECT_EQ(key->window(), nullptr);  // an event does not keep its window
}

}  // namespace
