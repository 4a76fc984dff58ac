// Catches actions that miss the responder chain, modal loops that starve the main queue, fire
// delayed performs early or never return, and input that reaches a window a modal one blocks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/foundation/NSTimer.h"
#include "platform/testing/ManualClock.h"
#include "platform/testing/WindowTesting.h"

namespace pt = platform::testing;

namespace {

std::vector<std::string> gLog;

class ChainView : public NSView {
  public:
    bool acceptsFirstResponder() override { return true; }
    void copy(NSObject*) { gLog.push_back("view:copy"); }
    void mouseDown(NSEvent&) override { gLog.push_back("view:down"); }
    void keyDown(NSEvent& e) override { gLog.push_back("view:key:" + e.characters()); }
};

class ChainWindow : public NSWindow {
  public:
    void paste(NSObject*) { gLog.push_back("window:paste"); }
};

class ChainWindowDelegate : public NSObject, public NSWindowDelegate {
  public:
    void undo(NSObject*) { gLog.push_back("windowDelegate:undo"); }
};

class ChainAppDelegate : public NSObject, public NSApplicationDelegate {
  public:
    void selectAll(NSObject*) { gLog.push_back("appDelegate:selectAll"); }
    void applicationDidFinishLaunching(const NSNotification&) override {
        gLog.push_back("appDelegate:didFinishLaunching");
    }
};

void registerChainClasses() {
    auto& registry = ClassRegistry::shared();
    registry.registerClass<ChainView, NSView>("AppTestChainView").action("copy:", &ChainView::copy);
    registry.registerClass<ChainWindow, NSWindow>("AppTestChainWindow")
        .action("paste:", &ChainWindow::paste);
    registry.registerClass<ChainWindowDelegate, NSObject>("AppTestChainWindowDelegate")
        .action("undo:", &ChainWindowDelegate::undo);
    registry.registerClass<ChainAppDelegate, NSObject>("AppTestChainAppDelegate")
        .action("selectAll:", &ChainAppDelegate::selectAll);
}

class Application : public ::testing::Test {
  protected:
    void SetUp() override {
        registerPlatformClasses();
        registerChainClasses();
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
        gLog.clear();
        window = std::make_shared<ChainWindow>();
        window->initWithContentRect(NSMakeRect(100, 100, 200, 100), NSWindowStyleMaskTitled,
                                    NSBackingStoreBuffered, false);
        view = std::make_shared<ChainView>();
        view->initWithFrame(NSMakeRect(0, 0, 200, 100));
        window->contentView()->addSubview(view);
        windowDelegate = std::make_shared<ChainWindowDelegate>();
        window->setDelegate(windowDelegate);
        appDelegate = std::make_shared<ChainAppDelegate>();
        app->setDelegate(std::static_pointer_cast<NSObject>(appDelegate));
        window->makeKeyAndOrderFront();
    }
    void TearDown() override {
        pt::pumpEvents();
        NSApplication::resetSharedApplicationForTesting();
    }

    Ref<NSApplication> app;
    Ref<ChainWindow> window;
    Ref<ChainView> view;
    Ref<ChainWindowDelegate> windowDelegate;
    Ref<ChainAppDelegate> appDelegate;
};

TEST_F(Application, ActionsWalkTheResponderChain) {
    ASSERT_TRUE(window->makeFirstResponder(view.get()));
    struct Case {
        const char* selector;
        bool handled;
        const char* entry;
    };
    const Case cases[] = {
        {"copy:", true, "view:copy"},
        {"paste:", true, "window:paste"},
        {"undo:", true, "windowDelegate:undo"},
        {"selectAll:", true, "appDelegate:selectAll"},
        {"terminateEverything:", false, nullptr},
    };
    for (const Case& c : cases) {
        gLog.clear();
        EXPECT_EQ(app->sendAction(SEL(c.selector), nullptr, app.get()), c.handled) << c.selector;
        if (c.entry)
            EXPECT_EQ(gLog, std::vector<std::string>{c.entry}) << c.selector;
        else
            EXPECT_TRUE(gLog.empty()) << c.selector;
    }
}

TEST_F(Application, ExplicitTargetIsNotReplacedByTheChain) {
    ASSERT_TRUE(window->makeFirstResponder(view.get()));
    // The window does not answer copy:, so the action fails even though the view would.
    EXPECT_FALSE(app->sendAction(SEL("copy:"), window.get(), nullptr));
    EXPECT_TRUE(app->sendAction(SEL("paste:"), window.get(), nullptr));
    EXPECT_EQ(gLog, std::vector<std::string>{"window:paste"});
}

TEST_F(Application, KeysGoToTheKeyWindowsFirstResponder) {
    ASSERT_TRUE(window->makeFirstResponder(view.get()));
    auto other = NSWindow::make(NSMakeRect(400, 100, 50, 50));
    other->orderFront();
    // The system reports the key for the other window; the platform's key window gets it.
    pt::postKey(*other, "q");
    pt::pumpEvents();
    EXPECT_EQ(gLog, std::vector<std::string>{"view:key:q"});
}

TEST_F(Application, FinishLaunchingTellsTheDelegateAndActivates) {
    bool notified = false;
    auto token = NSNotificationCenter::defaultCenter().addObserverForName(
        NSApplicationDidFinishLaunchingNotification, nullptr,
        [&](const NSNotification&) { notified = true; });
    app->finishLaunching();
    NSNotificationCenter::defaultCenter().removeObserver(token);
    EXPECT_TRUE(notified);
    EXPECT_TRUE(app->isActive());
    EXPECT_EQ(gLog, std::vector<std::string>{"appDelegate:didFinishLaunching"});
}

TEST_F(Application, ModalLoopServesTheMainQueueAndReturnsOnStop) {
    auto panel = NSWindow::make(NSMakeRect(150, 150, 80, 60));
    int blocks = 0;
    dispatch_async(dispatch_get_main_queue(), [&] {
        ++blocks;
        dispatch_async(dispatch_get_main_queue(), [&] {
            ++blocks;
            app->stopModal();
        });
    });
    EXPECT_EQ(app->runModalForWindow(panel.get()), NSModalResponseStop);
    EXPECT_EQ(blocks, 2);
    EXPECT_EQ(app->modalWindow(), nullptr);
    EXPECT_TRUE(panel->isKeyWindow());
}

TEST_F(Application, ModalLoopCodes) {
    auto panel = NSWindow::make(NSMakeRect(150, 150, 80, 60));
    dispatch_async(dispatch_get_main_queue(), [&] { app->abortModal(); });
    EXPECT_EQ(app->runModalForWindow(panel.get()), NSModalResponseAbort);
    dispatch_async(dispatch_get_main_queue(), [&] { app->stopModalWithCode(42); });
    EXPECT_EQ(app->runModalForWindow(panel.get()), 42);
}

class DelayedTarget : public NSObject {
  public:
    void fire() { ++fired; }
    int fired = 0;
};

TEST_F(Application, DelayedPerformsWaitUntilTheModalLoopEnds) {
    ClassRegistry::shared()
        .registerClass<DelayedTarget, NSObject>("AppTestDelayedTarget")
        .method("fire", &DelayedTarget::fire);
    ManualClock::Installed clock;
    auto target = std::make_shared<DelayedTarget>();
    target->performSelectorAfterDelay(SEL("fire"), {}, 1.0);
    auto panel = NSWindow::make(NSMakeRect(150, 150, 80, 60));
    int firedDuringModal = -1;
    dispatch_async(dispatch_get_main_queue(), [&] {
        clock->advance(5);
        dispatch_async(dispatch_get_main_queue(), [&] {
            firedDuringModal = target->fired;
            app->stopModal();
        });
    });
    app->runModalForWindow(panel.get());
    EXPECT_EQ(firedDuringModal, 0);
    NSRunLoop::mainRunLoop().runMode(NSDefaultRunLoopMode, 0);
    EXPECT_EQ(target->fired, 1);
}

TEST_F(Application, ModalWindowBlocksInputToOtherWindows) {
    auto panel = NSWindow::make(NSMakeRect(400, 300, 80, 60));
    auto panelView = std::make_shared<ChainView>();
    panelView->initWithFrame(NSMakeRect(0, 0, 80, 60));
    panel->contentView()->addSubview(panelView);
    bool panelGotClick = false;
    // Clicks for the main window are dropped; the panel's own click ends the session.
    pt::postClick(*window, NSMakePoint(50, 50));
    pt::postClick(*panel, NSMakePoint(10, 10));
    // Queued input is handled before the loop first waits, so this block comes after it.
    dispatch_async(dispatch_get_main_queue(), [&] {
        panelGotClick = !gLog.empty();
        EXPECT_TRUE(app->isWindowBlockedByModal(window.get()));
        EXPECT_FALSE(app->isWindowBlockedByModal(panel.get()));
        app->stopModal();
    });
    app->runModalForWindow(panel.get());
    EXPECT_TRUE(panelGotClick);
    EXPECT_EQ(gLog, std::vector<std::string>{"view:down"});
    EXPECT_FALSE(app->isWindowBlockedByModal(window.get()));
}

TEST_F(Application, TrackingLoopKeepsOtherEventsQueued) {
    pt::postKey(*window, "a");
    pt::postMouse(*window, NSEventTypeLeftMouseDragged, NSMakePoint(5, 5));
    pt::postMouse(*window, NSEventTypeLeftMouseUp, NSMakePoint(6, 6));
    auto up = app->nextEventMatchingMask(NSEventMaskLeftMouseUp, NSDate::distantFuture(),
                                         NSEventTrackingRunLoopMode, true);
    ASSERT_TRUE(up);
    EXPECT_EQ(up->type(), NSEventTypeLeftMouseUp);
    auto key = app->nextEventMatchingMask(NSEventMaskAny, NSDate::distantPast(),
                                          NSDefaultRunLoopMode, true);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->type(), NSEventTypeKeyDown);
}

// A dialog opened by a main-queue block while a press is tracked takes the mouse-ups meant
// for it. The tracking loop's wait must end (without an event) once the dialog is gone;
// waiting on would hold everything that needs the default mode until the next click.
TEST_F(Application, TrackingWaitEndsWhenALoopRunFromItTookAMouseUp) {
    dispatch_async(dispatch_get_main_queue(), [&] {
        pt::postMouse(*window, NSEventTypeLeftMouseUp, NSMakePoint(5, 5));
        auto taken = app->nextEventMatchingMask(NSEventMaskLeftMouseUp, NSDate::distantFuture(),
                                                NSModalPanelRunLoopMode, true);
        EXPECT_TRUE(taken);
        // A release that the tracking loop would wrongly take as its own, should it wait on.
        pt::postMouse(*window, NSEventTypeLeftMouseUp, NSMakePoint(9, 9));
    });
    auto event =
        app->nextEventMatchingMask(NSEventMaskLeftMouseUp | NSEventMaskLeftMouseDragged,
                                   NSDate::distantFuture(), NSEventTrackingRunLoopMode, true);
    EXPECT_EQ(event, nullptr);
    // The later release stays queued for whoever waits next.
    auto later = app->nextEventMatchingMask(NSEventMaskLeftMouseUp, NSDate::distantPast(),
                                            NSDefaultRunLoopMode, true);
    ASSERT_TRUE(later);
    EXPECT_EQ(later->locationInWindow(), NSMakePoint(9, 9));
}

TEST_F(Application, NextEventTimesOutWithTheDeadline) {
    ManualClock::Installed clock;
    dispatch_async(dispatch_get_main_queue(), [&] { clock->advance(2); });
    auto event = app->nextEventMatchingMask(NSEventMaskAny, NSDate::dateWithTimeIntervalSinceNow(1),
                                            NSDefaultRunLoopMode, true);
    EXPECT_EQ(event, nullptr);
}

TEST_F(Application, WhatATimerChangesIsDrawnBeforeTheEventWaitSleeps) {
    app->updateWindows();
    const long before = window->displayCount();
    NSTimer::scheduledTimerWithTimeInterval(0.05, false,
                                            [&](NSTimer&) { view->setNeedsDisplay(true); });
    // Only this block, long after the timer, ends the wait; the window must be drawn by then.
    long drawnByThen = -1;
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 400 * NSEC_PER_MSEC), dispatch_get_main_queue(),
                   [&] { drawnByThen = window->displayCount(); });
    app->nextEventMatchingMask(NSEventMaskAny, NSDate::dateWithTimeIntervalSinceNow(0.6),
                               NSDefaultRunLoopMode, true);
    EXPECT_EQ(drawnByThen, before + 1);
}

TEST_F(Application, RunEndsOnStopAndTerminateUsesTheExitHook) {
    dispatch_async(dispatch_get_main_queue(), [&] { app->stop(nullptr); });
    app->run();
    EXPECT_FALSE(app->isRunning());

    int status = -1;
    NSApplication::setExitHandlerForTesting([&](int code) { status = code; });
    app->terminate(nullptr);
    NSApplication::setExitHandlerForTesting(nullptr);
    EXPECT_EQ(status, 0);
}

}  // namespace
