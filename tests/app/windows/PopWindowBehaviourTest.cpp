// Catches attached windows that tell a delegate that does not answer (or none at all), miss the
// mouse entering or leaving, keep the Close command to themselves instead of the parent, close
// or tear down twice when their will-close observation closes them again, leave a modal loop
// running, or fall out of the child-window road of the sort pop-up.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/windows/PopWindowTestSupport.h"
#include "platform/dispatch/Dispatch.h"
#include "windows/PopWindow/PopBaseWindow.h"

using namespace popwindowtest;

namespace {

// Answers both messages and records them.
class BothMessages : public StatusAttachedWindowMouseDelegate,
                     public StatusAttachedWindowHidingDelegate {
  public:
    void mouseInWindow(bool inside) override { log.push_back(inside ? "in" : "out"); }
    void isHiddenWindow() override { log.push_back("hidden"); }
    std::vector<std::string> log;
};

// Adopts the protocol but answers neither message.
class NoMessages : public StatusAttachedWindowDelegate {};

// Answers only isHiddenWindow.
class HidingOnly : public StatusAttachedWindowHidingDelegate {
  public:
    void isHiddenWindow() override { ++hidden; }
    int hidden = 0;
};

class MBothMessages : public MStatusAttachedWindowMouseDelegate,
                      public MStatusAttachedWindowHidingDelegate {
  public:
    void mouseInWindow(bool inside) override { log.push_back(inside ? "in" : "out"); }
    void isHiddenWindow() override { log.push_back("hidden"); }
    std::vector<std::string> log;
};

// Counts what a window tells its delegate on closing.
class CloseCounter : public NSWindowDelegate {
  public:
    bool windowShouldClose(NSWindow*) override {
        ++asked;
        return true;
    }
    void windowWillClose(NSWindow*) override { ++willClose; }
    int asked = 0, willClose = 0;
};

using PopDelegates = PopWindowTest;

TEST_F(PopDelegates, MouseEnteringAndLeavingTheContentViewIsReported) {
    auto window = attached(40, 20, {600, 400}, nullptr, 3);
    auto delegate = std::make_shared<BothMessages>();
    window->setMattachedWDelegate(delegate);
    EXPECT_EQ(window->mattachedWDelegate(), delegate.get());
    window->orderFront();
    ASSERT_EQ(window->contentView()->trackingAreas().size(), 1u);
    const auto& area = window->contentView()->trackingAreas()[0];
    EXPECT_EQ(area->options(), 131u);
    EXPECT_EQ(area->rect(), window->contentView()->bounds());
    pt::postMouse(*window, NSEventTypeMouseMoved, {20, 20});
    pt::pumpEvents();
    pt::postMouse(*window, NSEventTypeMouseMoved, {-30, 20});
    pt::pumpEvents();
    EXPECT_EQ(delegate->log, (std::vector<std::string>{"in", "out"}));

    // The second class reports to its own delegate type the same way.
    auto second = MStatusAttachedWindow::make(plainView(40, 20), {300, 400}, nullptr, 3, 0);
    made.push_back(second);
    auto mDelegate = std::make_shared<MBothMessages>();
    second->setMattachedWDelegate(mDelegate);
    second->orderFront();
    pt::postMouse(*second, NSEventTypeMouseMoved, {20, 20});
    pt::pumpEvents();
    second->makeKeyWindow();
    window->makeKeyWindow();
    EXPECT_EQ(mDelegate->log, (std::vector<std::string>{"in", "hidden"}));
}

TEST_F(PopDelegates, LosingKeyStatusTellsOnlyADelegateThatAnswers) {
    auto window = attached(40, 20, {600, 400}, nullptr, 3);
    auto other = mainWindow(NSMakeRect(0, 0, 100, 100));
    window->orderFront();
    other->orderFront();
    auto loseKey = [&] {
        window->makeKeyWindow();
        ASSERT_TRUE(window->isKeyWindow());
        other->makeKeyWindow();
    };

    loseKey();  // no delegate: nothing happens, the window stays
    EXPECT_TRUE(window->isVisible());

    auto silent = std::make_shared<NoMessages>();
    window->setMattachedWDelegate(silent);
    loseKey();
    pt::postMouse(*window, NSEventTypeMouseMoved, {20, 20});
    pt::pumpEvents();
    EXPECT_TRUE(window->isVisible());

    auto hiding = std::make_shared<HidingOnly>();
    window->setMattachedWDelegate(hiding);
    loseKey();
    EXPECT_EQ(hiding->hidden, 1);
    pt::postMouse(*window, NSEventTypeMouseMoved, {-30, 20});  // mouse messages: not answered
    pt::pumpEvents();
    EXPECT_EQ(hiding->hidden, 1);

    hiding.reset();  // not retained: a freed delegate reads as none
    EXPECT_EQ(window->mattachedWDelegate(), nullptr);
    loseKey();
    EXPECT_TRUE(window->isVisible());
}

using PopClosing = PopWindowTest;

TEST_F(PopClosing, CloseCommandWhileKeyClosesTheParent) {
    auto parent = mainWindow(NSMakeRect(100, 50, 800, 600));
    auto counter = std::make_shared<CloseCounter>();
    parent->setDelegate(counter);
    parent->makeKeyAndOrderFront();
    auto window = attached(120, 80, {395, 419}, parent.get(), 3);
    parent->addChildWindow(window.get(), NSWindowAbove);
    window->makeKeyWindow();
    ASSERT_TRUE(window->isKeyWindow());
    EXPECT_TRUE(app->sendAction(SEL("performClose:"), nullptr, nullptr));
    EXPECT_EQ(counter->asked, 1);
    EXPECT_FALSE(parent->isVisible());

    // Without a parent the window closes itself.
    auto loose = attached(40, 20, {600, 400}, nullptr, 3);
    loose->orderFront();
    loose->performClose(nullptr);
    EXPECT_FALSE(loose->isVisible());
}

TEST_F(PopClosing, MenuItemsAreValidatedByTheParent) {
    class Validating : public NSWindow, public NSMenuItemValidation {
      public:
        bool validateMenuItem(NSMenuItem*) override { return answer; }
        bool answer = false;
    };
    auto parent = std::make_shared<Validating>();
    parent->initWithContentRect(NSMakeRect(0, 0, 300, 200), NSWindowStyleMaskTitled,
                                NSBackingStoreBuffered, false);
    auto window = attached(40, 20, {10, 10}, parent.get(), 3);
    auto item = NSMenuItem::make("Close", SEL("performClose:"), "w");
    EXPECT_FALSE(window->validateMenuItem(item.get()));
    parent->answer = true;
    EXPECT_TRUE(window->validateMenuItem(item.get()));
}

TEST_F(PopClosing, PopBaseWindowClosesOnceWhenItsObservationClosesItAgain) {
    auto parent = mainWindow(NSMakeRect(0, 0, 300, 200));
    parent->orderFront();
    auto window = PopBaseWindow::make(NSMakeRect(10, 10, 50, 40), NSWindowStyleMaskTitled);
    EXPECT_EQ(window->styleMask(), NSWindowStyleMaskResizable);  // whatever was asked for
    EXPECT_FALSE(window->isOpaque());
    EXPECT_EQ(window->backgroundColor(), NSColor::clearColor());
    auto counter = std::make_shared<CloseCounter>();
    window->setDelegate(counter);
    int posted = 0;
    auto token = NSNotificationCenter::defaultCenter().addObserverForName(
        NSWindowWillCloseNotification, window.get(), [&](const NSNotification&) { ++posted; });
    parent->addChildWindow(window.get(), NSWindowAbove);
    ASSERT_TRUE(window->isVisible());
    WeakRef<NSObject> weak = window;

    window->close();
    EXPECT_EQ(counter->willClose, 1);
    EXPECT_EQ(posted, 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->isClosing());
    EXPECT_TRUE(parent->childWindows().empty());
    EXPECT_FALSE(weak.expired());

    // The observations ended with the first close: a window shown and closed again is told
    // once more, and still only once.
    window->orderFront();
    window->close();
    EXPECT_EQ(counter->willClose, 2);
    EXPECT_EQ(posted, 2);
    NSNotificationCenter::defaultCenter().removeObserver(token);
    window.reset();
    EXPECT_TRUE(weak.expired());
}

TEST_F(PopClosing, BecomingMainListsThePopBaseWindowInTheWindowsMenu) {
    auto window = PopBaseWindow::make(NSMakeRect(10, 10, 50, 40));
    window->setTitle("Pop");
    window->makeKeyAndOrderFront();
    ASSERT_TRUE(window->isMainWindow());
    auto items = app->windowsItems();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].window, window.get());
    EXPECT_EQ(items[0].title, "Pop");
    EXPECT_FALSE(items[0].isFilename);
    window->orderOut();
}

TEST_F(PopClosing, ClosingAnAttachedWindowEndsTheModalLoop) {
    auto dialog = mainWindow(NSMakeRect(200, 200, 300, 200));
    auto window = attached(40, 20, {600, 400}, nullptr, 3);
    window->orderFront();
    dispatch_async(dispatch_get_main_queue(), [window] { window->close(); });
    EXPECT_EQ(app->runModalForWindow(dialog.get()), NSModalResponseStop);
    EXPECT_FALSE(window->isVisible());
    // Closing again is harmless; the window can be shown and moved again.
    window->close();
    window->orderFront();
    window->setPoint({100, 100}, 1);
    EXPECT_EQ(window->frame(), NSMakeRect(79, 68, 42, 32));
    EXPECT_TRUE(isFill(pixelAt(*window, 20, 10)));
}

TEST_F(PopClosing, SortPopUpRidesAboveTheMainWindowAsAChild) {
    auto mainWin = mainWindow(NSMakeRect(100, 50, 800, 600));
    mainWin->makeKeyAndOrderFront();
    auto popup =
        StatusAttachedWindow::make(plainView(120, 80), {395, 419}, mainWin.get(), 3, 0, 0.8f);
    ASSERT_TRUE(popup);
    WeakRef<NSObject> weak = popup;
    mainWin->addChildWindow(popup.get(), NSWindowAbove);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->parentWindow(), mainWin.get());
    auto order = NSWindow::orderedWindows();
    auto at = [&](NSWindow* w) { return std::find(order.begin(), order.end(), w) - order.begin(); };
    EXPECT_GT(at(popup.get()), at(mainWin.get()));
    EXPECT_TRUE(isFill(pixelAt(*popup, 61, 46)));

    // It moves with the main window.
    NSRect before = popup->frame();
    mainWin->setFrameOrigin({150, 80});
    EXPECT_EQ(popup->frame().origin, NSMakePoint(before.origin.x + 50, before.origin.y + 30));

    // Its owner takes it away: no close, no modal stop, nothing left behind.
    mainWin->removeChildWindow(popup.get());
    popup->orderOut();
    popup.reset();
    EXPECT_TRUE(weak.expired());
    EXPECT_TRUE(mainWin->childWindows().empty());
    EXPECT_TRUE(mainWin->isVisible());
    for (NSWindow* w : NSWindow::windows())
        EXPECT_EQ(dynamic_cast<StatusAttachedWindow*>(w), nullptr);
    pt::pumpEvents();
    mainWin->setFrameOrigin({100, 50});
}

}  // namespace
