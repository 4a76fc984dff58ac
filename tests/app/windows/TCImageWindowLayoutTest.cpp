// Catches a main window whose tall title bar, window buttons or content view end up in the
// wrong place: wrong geometry at start-up, relayouts from setters given the value they hold,
// user-provided buttons that leave the standard ones showing (or hidden for good), and a
// full-screen round trip that loses the bar's height.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <string>

#include "app/windows/ImageWindowTestSupport.h"
#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSScreen.h"
#include "platform/appkit/NibLoader.h"
#include "windows/TCWindowButton.h"

namespace imagewindow {
namespace {

using Layout = ImageWindowTest;

NSButton* standard(TCImageWindow& w, NSWindowButton kind) {
    return w.standardWindowButton(kind);
}

TEST_F(Layout, SetUpMakesTheBarFromThePlatformsMetrics) {
    auto window = makeWindow();
    NSView* frameView = window->themeFrameView();
    EXPECT_EQ(frameView, window->contentView()->superview());
    EXPECT_FALSE(window->isOpaque());
    EXPECT_EQ(*window->backgroundColor(), *NSColor::clearColor());
    EXPECT_TRUE(window->isMovableByWindowBackground());
    EXPECT_EQ(window->appearance(), "NSAppearanceNameAqua");

    // The container is the back-most subview and holds a title-bar view that follows it.
    ASSERT_FALSE(frameView->subviews().empty());
    EXPECT_EQ(frameView->subviews().front(), window->titleBarContainer());
    ASSERT_TRUE(std::dynamic_pointer_cast<QVTitlebarView>(window->titleBarView()));
    EXPECT_EQ(window->titleBarView()->superview(), window->titleBarContainer().get());
    EXPECT_EQ(window->titleBarView()->autoresizingMask(), 18u);

    // The platform's own bar: 22 high, close button at 8, 6 between buttons.
    EXPECT_EQ(window->titleBarHeight(), 22);
    EXPECT_EQ(window->cachedTitleBarHeight(), 22);
    EXPECT_EQ(window->trafficLightButtonsLeftMargin(), 8);
    EXPECT_EQ(window->trafficLightSeparation(), 6);
    EXPECT_EQ(window->trafficLightButtonsTopMargin(), 3);
    EXPECT_EQ(window->fullScreenButtonTopMargin(), 3);
    EXPECT_TRUE(window->centerTrafficLightButtons());
    EXPECT_TRUE(window->showsBaselineSeparator());
    EXPECT_FALSE(window->showsTitle());
    EXPECT_FALSE(window->verticalTrafficLightButtons());
    EXPECT_EQ(window->titleBarContainer()->frame(), NSMakeRect(0, 300, 400, 22));

    // A later window starts from the platform's positions, not from the first one's
    // configured buttons.
    auto first = makeStartedWindow();
    auto second = makeWindow();
    EXPECT_EQ(second->trafficLightButtonsLeftMargin(), 8);
    EXPECT_EQ(second->trafficLightSeparation(), 6);
    EXPECT_EQ(second->titleBarHeight(), 22);
}

TEST_F(Layout, StartUpValuesPutBarButtonsAndContentInPlace) {
    auto window = makeStartedWindow();
    const NSRect frameView = window->themeFrameView()->frame();
    ASSERT_EQ(frameView, NSMakeRect(0, 0, 400, 322));
    const double barY = 322 - kBarHeight;
    EXPECT_EQ(window->titleBarContainer()->frame(), NSMakeRect(0, barY, 400, kBarHeight));
    EXPECT_EQ(window->titleBarView()->frame(), NSMakeRect(0, 0, 400, kBarHeight));

    NSButton* close = standard(*window, NSWindowCloseButton);
    NSButton* minimise = standard(*window, NSWindowMiniaturizeButton);
    NSButton* zoom = standard(*window, NSWindowZoomButton);
    const double h = close->frame().size.height, w = close->frame().size.width;
    const double y = std::round(barY + 16 - h / 2);
    EXPECT_EQ(close->frame().origin, NSMakePoint(kLeftMargin, y));
    EXPECT_EQ(minimise->frame().origin, NSMakePoint(kLeftMargin + w + 6, y));
    EXPECT_EQ(zoom->frame().origin,
              NSMakePoint(kLeftMargin + w + 6 + minimise->frame().size.width + 6, y));
    EXPECT_EQ(close->frame().size, NSMakeSize(14, 14));  // sizes never change

    EXPECT_EQ(window->contentView()->frame(), NSMakeRect(0, 0, 400, 322 - kBarHeight));
    // A replaced content view, and a resized window, keep the content below the bar.
    auto content = NSView::make();
    window->setContentView(content);
    EXPECT_EQ(content->frame(), NSMakeRect(0, 0, 400, 290));
    window->setFrame(NSMakeRect(100, 100, 600, 422));
    EXPECT_EQ(window->titleBarContainer()->frame(), NSMakeRect(0, 390, 600, kBarHeight));
    EXPECT_EQ(window->titleBarView()->frame(), NSMakeRect(0, 0, 600, kBarHeight));
    EXPECT_EQ(content->frame().size.height, 422 - kBarHeight);
    EXPECT_EQ(close->frame().origin, NSMakePoint(kLeftMargin, 399));
}

TEST_F(Layout, SettersRelayoutAndRedrawOnlyWhenTheValueChanges) {
    auto window = makeStartedWindow();
    struct Case {
        const char* name;
        std::function<void(TCImageWindow&)> held, changed;
        bool relayouts, redraws;
    };
    const Case cases[] = {
        {"titleBarHeight", [](auto& w) { w.setTitleBarHeight(32); },
         [](auto& w) { w.setTitleBarHeight(40); }, true, true},
        {"left margin", [](auto& w) { w.setTrafficLightButtonsLeftMargin(12); },
         [](auto& w) { w.setTrafficLightButtonsLeftMargin(20); }, true, true},
        {"separation", [](auto& w) { w.setTrafficLightSeparation(6); },
         [](auto& w) { w.setTrafficLightSeparation(9); }, true, false},
        {"centred", [](auto& w) { w.setCenterTrafficLightButtons(true); },
         [](auto& w) { w.setCenterTrafficLightButtons(false); }, true, false},
        {"vertical", [](auto& w) { w.setVerticalTrafficLightButtons(false); },
         [](auto& w) { w.setVerticalTrafficLightButtons(true); }, true, false},
        {"centred full-screen button", [](auto& w) { w.setCenterFullScreenButton(false); },
         [](auto& w) { w.setCenterFullScreenButton(true); }, true, false},
        {"full-screen margin", [](auto& w) { w.setFullScreenButtonRightMargin(0); },
         [](auto& w) { w.setFullScreenButtonRightMargin(10); }, true, true},
        {"shows title", [](auto& w) { w.setShowsTitle(false); },
         [](auto& w) { w.setShowsTitle(true); }, false, true},
        {"baseline separator", [](auto& w) { w.setShowsBaselineSeparator(true); },
         [](auto& w) { w.setShowsBaselineSeparator(false); }, false, true},
        {"upward shift", [](auto& w) { w.setTopButtonMoveUp(0); },
         [](auto& w) { w.setTopButtonMoveUp(3); }, false, false},
        {"top margin", [](auto& w) { w.setTrafficLightButtonsTopMargin(3); },
         [](auto& w) { w.setTrafficLightButtonsTopMargin(5); }, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window->titleBarView()->setNeedsDisplay(false);
        long before = window->layoutCount();
        c.held(*window);
        EXPECT_EQ(window->layoutCount(), before);
        EXPECT_FALSE(window->titleBarView()->needsDisplay());
        c.changed(*window);
        EXPECT_EQ(window->layoutCount(), before + (c.relayouts ? 1 : 0));
        EXPECT_EQ(window->titleBarView()->needsDisplay(), c.redraws);
    }
    // A setter given a new height also keeps it as the height to restore.
    EXPECT_EQ(window->cachedTitleBarHeight(), 40);
    EXPECT_TRUE(window->setFullScreenButtonRightMargin());
}

TEST_F(Layout, WindowEventsRelayoutTheBar) {
    auto window = makeStartedWindow();
    auto other = makeWindow(NSMakeRect(600, 100, 200, 100));
    window->orderFront();
    other->orderFront();
    struct Case {
        const char* name;
        std::function<void()> act;
        bool relayouts;
    };
    const Case cases[] = {
        {"move", [&] { window->setFrameOrigin(NSMakePoint(150, 120)); }, true},
        {"resize", [&] { window->setContentSize(NSMakeSize(420, 300)); }, true},
        {"end of a sheet",
         [&] {
             NSNotificationCenter::defaultCenter().postNotificationName(
                 NSWindowDidEndSheetNotification, window.get());
         },
         true},
        {"becoming key", [&] { window->makeKeyWindow(); }, true},
        {"losing key", [&] { other->makeKeyWindow(); }, true},
        {"title", [&] { window->setTitle("Uninstaller"); }, true},
        {"another window moves", [&] { other->setFrameOrigin(NSMakePoint(650, 100)); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        long before = window->layoutCount();
        c.act();
        EXPECT_EQ(window->layoutCount() > before, c.relayouts);
    }
    // Activation of the application only redraws the bar.
    window->titleBarView()->setNeedsDisplay(false);
    long before = window->layoutCount();
    NSApplication::sharedApplication()->activateIgnoringOtherApps(true);
    EXPECT_TRUE(window->titleBarView()->needsDisplay());
    EXPECT_EQ(window->layoutCount(), before);
}

TEST_F(Layout, ButtonsFollowTheArrangement) {
    const double barY = 322 - kBarHeight, top = 322;
    struct Case {
        const char* name;
        bool centred, vertical;
        double moveUp;
        double closeY, minimiseY, zoomY;
        bool sameX;
    };
    const Case cases[] = {
        {"centred in a row", true, false, 0, barY + 9, barY + 9, barY + 9, false},
        {"row below the top margin", false, false, 0, top - 14 - 3, top - 14 - 3, top - 14 - 3,
         false},
        {"row shifted up", true, false, 2, barY + 11, barY + 11, barY + 11, false},
        // Stack of 3 x 14 + 2 x (6 - 2) = 50: close on top, 4 points apart.
        {"centred stack", true, true, 2, barY - 9 + 36, barY - 9 + 18, barY - 9, true},
        {"stack below the top margin", false, true, 0, top - 53 + 36, top - 53 + 18, top - 53,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto window = makeStartedWindow();
        window->setTopButtonMoveUp(c.moveUp);
        window->setCenterTrafficLightButtons(c.centred);
        window->setVerticalTrafficLightButtons(c.vertical);
        window->setTitle("relayout");  // the upward shift applies from the next layout
        NSRect close = standard(*window, NSWindowCloseButton)->frame();
        NSRect minimise = standard(*window, NSWindowMiniaturizeButton)->frame();
        NSRect zoom = standard(*window, NSWindowZoomButton)->frame();
        EXPECT_EQ(close.origin.y, c.closeY);
        EXPECT_EQ(minimise.origin.y, c.minimiseY);
        EXPECT_EQ(zoom.origin.y, c.zoomY);
        EXPECT_EQ(close.origin.x, kLeftMargin);
        if (c.sameX) {
            EXPECT_EQ(minimise.origin.x, kLeftMargin);
            EXPECT_EQ(zoom.origin.x, kLeftMargin);
            EXPECT_EQ(close.origin.y - NSMaxY(minimise), 4);
        } else {
            EXPECT_EQ(minimise.origin.x, kLeftMargin + 14 + 6);
            EXPECT_EQ(zoom.origin.x, kLeftMargin + 2 * (14 + 6));
        }
    }
}

TEST_F(Layout, UserProvidedButtonsTakeTheStandardButtonsPlaces) {
    auto window = makeStartedWindow();
    NSButton* standardClose = standard(*window, NSWindowCloseButton);
    const NSPoint standardOrigin = standardClose->frame().origin;
    auto mine = TCWindowButton::windowButtonWithSize(NSMakeSize(16, 16), std::nullopt);
    window->setCloseButton(mine);
    EXPECT_EQ(mine->superview(), window->themeFrameView());
    EXPECT_EQ(mine->action(), SEL("performClose:"));
    EXPECT_EQ(mine->target().lock().get(), window.get());
    EXPECT_EQ(mine->frame().origin, standardOrigin);

    window->setTitle("relayout");
    EXPECT_TRUE(standardClose->isHidden());
    // A 16-point close button centres at barY + 8, and the row follows its height and width.
    EXPECT_EQ(mine->frame().origin, NSMakePoint(kLeftMargin, 290 + 8));
    EXPECT_EQ(standard(*window, NSWindowMiniaturizeButton)->frame().origin,
              NSMakePoint(kLeftMargin + 16 + 6, 298));

    // Its action closes the window.
    window->orderFront();
    EXPECT_TRUE(NSApplication::sharedApplication()->sendAction(
        mine->action(), mine->target().lock().get(), mine.get()));
    EXPECT_FALSE(window->isVisible());

    // Without it the standard button shows again at the next layout.
    window->setCloseButton(nullptr);
    EXPECT_EQ(mine->superview(), nullptr);
    window->setTitle("relayout again");
    EXPECT_FALSE(standardClose->isHidden());
    EXPECT_EQ(standardClose->frame().origin, NSMakePoint(kLeftMargin, 299));
}

TEST_F(Layout, StandardButtonsHiddenByFullScreenStayHidden) {
    auto window = makeStartedWindow();
    NSButton* standardZoom = standard(*window, NSWindowZoomButton);
    auto mine = TCWindowButton::windowButtonWithSize(NSMakeSize(14, 14), std::nullopt);
    window->setZoomButton(mine);
    window->setTitle("relayout");
    window->toggleFullScreen(nullptr);
    ASSERT_TRUE(standardZoom->isHidden());
    window->setZoomButton(nullptr);
    window->setTitle("in full screen");
    EXPECT_TRUE(standardZoom->isHidden());  // the platform keeps it hidden in full screen
    window->toggleFullScreen(nullptr);
    EXPECT_FALSE(standardZoom->isHidden());
}

TEST_F(Layout, UserFullScreenButtonSitsAtTheRightMargin) {
    // The platform has no full-screen button of its own: without a margin the button stays
    // where it was put, the margin being measured there once.
    auto window = makeStartedWindow();
    auto full = TCWindowButton::windowButtonWithSize(NSMakeSize(20, 20), std::nullopt);
    window->setFullScreenButton(full);
    EXPECT_EQ(full->action(), SEL("toggleFullScreen:"));
    EXPECT_EQ(full->frame().origin, NSZeroPoint);
    window->setTitle("relayout");
    EXPECT_TRUE(window->setFullScreenButtonRightMargin());
    EXPECT_EQ(window->fullScreenButtonRightMargin(), 400 - 20);
    EXPECT_EQ(full->frame().origin, NSMakePoint(0, 322 - 20 - 3));

    window->setFullScreenButtonRightMargin(10);
    EXPECT_EQ(full->frame().origin, NSMakePoint(400 - 20 - 10, 322 - 20 - 3));
    window->setCenterFullScreenButton(true);
    EXPECT_EQ(full->frame().origin, NSMakePoint(370, 290 + 6));
    window->setFrame(NSMakeRect(100, 100, 500, 322));  // the margin holds on resize
    EXPECT_EQ(full->frame().origin.x, 500 - 20 - 10);
}

TEST_F(Layout, TitleBarViewCanBeReplaced) {
    auto window = makeStartedWindow();
    Ref<NSView> old = window->titleBarView();
    window->setTitleBarView(nullptr);
    EXPECT_EQ(window->titleBarView(), old);
    auto mine = NSView::make(NSMakeRect(5, 5, 10, 10));
    window->setTitleBarView(mine);
    EXPECT_EQ(old->superview(), nullptr);
    EXPECT_EQ(mine->superview(), window->titleBarContainer().get());
    EXPECT_EQ(mine->frame(), NSMakeRect(0, 0, 400, kBarHeight));
    window->setTitleBarHeight(40);
    EXPECT_EQ(mine->frame(), NSMakeRect(0, 0, 400, 40));
}

TEST_F(Layout, FullScreenHidesTheBarOnlyWhenAsked) {
    const double screenHeight = NSScreen::mainScreen()->frame().size.height;
    for (bool hide : {true, false}) {
        SCOPED_TRACE(hide ? "hidden in full screen" : "kept in full screen");
        auto window = makeStartedWindow();
        window->setHideTitleBarInFullScreen(hide);
        window->toggleFullScreen(nullptr);
        EXPECT_EQ(window->frame().size.height, screenHeight);
        EXPECT_EQ(window->titleBarHeight(), hide ? 0 : kBarHeight);
        EXPECT_EQ(window->cachedTitleBarHeight(), kBarHeight);
        EXPECT_EQ(window->titleBarView()->isHidden(), hide);
        EXPECT_EQ(window->contentView()->frame().size.height,
                  screenHeight - (hide ? 0 : kBarHeight));

        window->toggleFullScreen(nullptr);
        EXPECT_EQ(window->frame().size.height, 322);
        EXPECT_EQ(window->titleBarHeight(), kBarHeight);
        EXPECT_FALSE(window->titleBarView()->isHidden());
        EXPECT_EQ(window->contentView()->frame().size.height, 322 - kBarHeight);
        EXPECT_EQ(window->titleBarContainer()->frame(), NSMakeRect(0, 290, 400, kBarHeight));
    }
}

TEST_F(Layout, AnotherWindowsFullScreenLeavesTheBarAlone) {
    auto window = makeStartedWindow();
    window->setHideTitleBarInFullScreen(true);
    auto other = NSWindow::make(NSMakeRect(600, 100, 200, 100));
    windows.push_back(other);
    other->toggleFullScreen(nullptr);
    EXPECT_EQ(window->titleBarHeight(), kBarHeight);
    EXPECT_FALSE(window->titleBarView()->isHidden());
    other->toggleFullScreen(nullptr);
    EXPECT_EQ(window->titleBarHeight(), kBarHeight);
}

TEST_F(Layout, InterfaceFilesMakeASetUpWindow) {
    NibLoadResult result = NibLoader::loadData(
        R"(<interface><TCImageWindow contentRect="0 0 300 200" styleMask="7" title="Main"/>)"
        R"(</interface>)",
        "Main.ui", nullptr);
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_EQ(result.topLevelObjects.size(), 1u);
    auto window = std::dynamic_pointer_cast<TCImageWindow>(result.topLevelObjects[0]);
    ASSERT_TRUE(window);
    windows.push_back(window);
    EXPECT_EQ(window->title(), "Main");
    ASSERT_TRUE(window->titleBarContainer());
    EXPECT_EQ(window->titleBarContainer()->frame(), NSMakeRect(0, 200, 300, 22));
    EXPECT_TRUE(window->delegateProxy());
    window->setTitleBarHeight(kBarHeight);
    EXPECT_EQ(window->contentView()->frame().size.height, 222 - kBarHeight);
}

}  // namespace
}  // namespace imagewindow
