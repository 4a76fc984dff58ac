// Catches a title bar that moves the window by more (or less) than the pointer, moves it in
// full screen, miniaturises (or zooms) on a double click the user did not ask for, paints
// over what lies beneath it, or draws the title when it should not; and a colour conversion
// that loses components.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "app/windows/ImageWindowTestSupport.h"
#include "platform/foundation/PlistValue.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSGraphics.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSShadow.h"
#include "platform/graphics/TextLayout.h"
#include "platform/testing/WindowTesting.h"
#include "windows/NSColor+TCAdditions.h"

namespace pt = platform::testing;

namespace imagewindow {
namespace {

using Titlebar = ImageWindowTest;

// A point on the bar (window coordinates), clear of the window buttons.
constexpr NSPoint kOnBar{200, 305};

TEST_F(Titlebar, DraggingTheBarMovesTheWindowByExactlyTheDrag) {
    struct Step {
        NSEventType type;
        NSPoint at;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        NSPoint origin;
    };
    const Case cases[] = {
        {"one step",
         {{NSEventTypeLeftMouseDown, kOnBar},
          {NSEventTypeLeftMouseDragged, {210, 300}},
          {NSEventTypeLeftMouseUp, {210, 300}}},
         {110, 95}},
        // Each event is placed in the window as it stands when the event comes: the pointer
        // moves 10 points right per step while the window follows it.
        {"steps while the window follows",
         {{NSEventTypeLeftMouseDown, kOnBar},
          {NSEventTypeLeftMouseDragged, {210, 305}},
          {NSEventTypeLeftMouseDragged, {210, 305}},
          {NSEventTypeLeftMouseDragged, {210, 305}},
          {NSEventTypeLeftMouseUp, {210, 305}}},
         {130, 100}},
        {"a click without a drag",
         {{NSEventTypeLeftMouseDown, kOnBar}, {NSEventTypeLeftMouseUp, kOnBar}},
         {100, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto window = makeStartedWindow();
        window->orderFront();
        ASSERT_EQ(window->frame().origin, NSMakePoint(100, 100));
        for (const Step& s : c.steps)
            pt::postMouse(*window, s.type, s.at);
        pt::pumpEvents();
        EXPECT_EQ(window->frame().origin, c.origin);
        // The bar and buttons followed the window's moves without changing place in it.
        EXPECT_EQ(window->titleBarContainer()->frame(), NSMakeRect(0, 290, 400, kBarHeight));
    }
}

TEST_F(Titlebar, TheWindowFollowsTheSystemsPointerWhenItHasOne) {
    auto window = makeStartedWindow();
    window->orderFront();
    // Event locations that lag behind the window; the system's pointer is what counts.
    backend->pointer = {{300, 400}, {312, 404}, {330, 398}};
    pt::postMouse(*window, NSEventTypeLeftMouseDown, kOnBar);
    pt::postMouse(*window, NSEventTypeLeftMouseDragged, {201, 305});
    pt::postMouse(*window, NSEventTypeLeftMouseDragged, {202, 305});
    pt::postMouse(*window, NSEventTypeLeftMouseUp, {202, 305});
    pt::pumpEvents();
    EXPECT_EQ(window->frame().origin, NSMakePoint(130, 98));
}

TEST_F(Titlebar, DraggingInFullScreenDoesNothing) {
    auto window = makeStartedWindow();
    window->orderFront();
    window->toggleFullScreen(nullptr);
    const NSRect full = window->frame();
    const NSPoint onBar{200, full.size.height - 10};
    pt::postMouse(*window, NSEventTypeLeftMouseDown, onBar);
    pt::postMouse(*window, NSEventTypeLeftMouseDragged, {onBar.x + 30, onBar.y - 20});
    pt::postMouse(*window, NSEventTypeLeftMouseUp, {onBar.x + 30, onBar.y - 20});
    pt::pumpEvents();
    EXPECT_EQ(window->frame(), full);
}

TEST_F(Titlebar, DoubleClickMiniaturisesOnlyWhenTheUserAskedForIt) {
    struct Case {
        const char* name;
        std::optional<PlistValue> setting;
        long clicks;
        int miniaturised;
    };
    const Case cases[] = {
        {"no setting", std::nullopt, 2, 0},
        {"setting NO", PlistValue(false), 2, 0},
        {"setting YES", PlistValue(true), 2, 1},
        {"setting \"YES\" as text", PlistValue("YES"), 2, 1},
        {"setting YES, single click", PlistValue(true), 1, 0},
    };
    // With the application's image over the bar, and on the bare bar view.
    for (bool bare : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (bare ? ", bare bar" : ", image over the bar"));
            NSUserDefaults::resetStandardUserDefaults();
            auto defaults = NSUserDefaults::standardUserDefaults();
            if (c.setting)
                defaults->setObject(*c.setting, "AppleMiniaturizeOnDoubleClick");
            else
                defaults->removeObjectForKey("AppleMiniaturizeOnDoubleClick");
            backend->miniaturized = 0;
            auto window = makeStartedWindow();
            if (bare) window->titleBarView()->subviews()[0]->removeFromSuperview();
            window->orderFront();
            // High in the bar, where the platform's own frame would zoom on a double click.
            const NSPoint high{200, 318};
            pt::postClick(*window, high, 0, 1);
            if (c.clicks == 2) pt::postClick(*window, high, 0, 2);
            pt::pumpEvents();
            EXPECT_EQ(backend->miniaturized, c.miniaturised);
            EXPECT_EQ(window->isMiniaturized(), c.miniaturised == 1);
            EXPECT_FALSE(window->isZoomed());
            EXPECT_EQ(window->frame().origin, NSMakePoint(100, 100));
        }
    }
}

// --- Drawing --------------------------------------------------------------------------------

/// The number of pixels of `rect` (window coordinates) that are not opaque white.
int inkIn(const NSGraphicsContext& surface, NSRect rect) {
    int ink = 0, height = surface.pixelsHigh();
    for (int x = int(NSMinX(rect)); x < int(NSMaxX(rect)); ++x) {
        for (int y = int(NSMinY(rect)); y < int(NSMaxY(rect)); ++y) {
            auto p = surface.pixelAt(x, height - 1 - y);
            if (p.r < 250 || p.g < 250 || p.b < 250 || p.a < 250) ++ink;
        }
    }
    return ink;
}

TEST_F(Titlebar, TitleIsDrawnOnlyWhenShown) {
    struct Case {
        const char* name;
        bool showsTitle, fullScreen, showsInFullScreen, drawn;
    };
    const Case cases[] = {
        {"title off", false, false, false, false},
        {"title on", true, false, false, true},
        {"full screen without its flag", true, true, false, false},
        {"full screen with its flag", true, true, true, true},
        {"full-screen flag alone", false, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto window = makeWindow();
        window->setTitleBarHeight(kBarHeight);
        window->setTitle("Applications");
        // An opaque white bar over the platform's own, so that only our title can mark it.
        window->setTitleBarDrawingBlock([](bool, NSRect rect, const Ref<NSBezierPath>&) {
            NSColor::whiteColor()->setFill();
            NSRectFill(rect);
        });
        window->setShowsTitle(c.showsTitle);
        window->setShowsTitleInFullscreen(c.showsInFullScreen);
        window->orderFront();
        if (c.fullScreen) window->toggleFullScreen(nullptr);
        NSRect title;
        auto* view = dynamic_cast<QVTitlebarView*>(window->titleBarView().get());
        ASSERT_NE(view, nullptr);
        view->getTitleFrame(&title, nullptr, window.get());
        ASSERT_GT(title.size.width, 20);
        NSRect inWindow = view->convertRectToView(title, nullptr);
        auto surface = pt::renderWindow(*window);
        ASSERT_TRUE(surface);
        EXPECT_EQ(inkIn(*surface, inWindow) > 20, c.drawn) << inkIn(*surface, inWindow);
        // Beside the title the bar stays as the block painted it.
        EXPECT_EQ(inkIn(*surface,
                        NSMakeRect(NSMaxX(inWindow) + 20, NSMinY(inWindow), 20, title.size.height)),
                  0);
    }
}

TEST_F(Titlebar, DefaultBarIsTransparent) {
    auto window = makeStartedWindow();
    window->titleBarView()->subviews()[0]->removeFromSuperview();  // no image over the bar
    window->orderFront();
    const NSRect bar{{0, 290}, {400, kBarHeight}};
    auto pixels = [&] {
        auto surface = pt::renderWindow(*window);
        std::vector<NSGraphicsContext::Pixel> out;
        for (int x = 0; x < 400; x += 7)
            for (int y = int(NSMinY(bar)); y < int(NSMaxY(bar)); y += 3)
                out.push_back(surface->pixelAt(x, surface->pixelsHigh() - 1 - y));
        return out;
    };
    auto drawn = pixels();
    window->titleBarView()->setHidden(true);
    EXPECT_EQ(drawn, pixels());  // the bar's view adds nothing to what lies beneath
}

TEST_F(Titlebar, DrawingBlockGetsTheStateTheRectangleAndTheRoundedPath) {
    auto window = makeStartedWindow();
    std::optional<bool> drewAsMain;
    NSRect seen = NSZeroRect;
    Ref<NSBezierPath> path;
    window->setTitleBarDrawingBlock([&](bool main, NSRect rect, const Ref<NSBezierPath>& p) {
        drewAsMain = main;
        seen = rect;
        path = p;
    });
    window->orderFront();
    pt::renderWindow(*window);
    EXPECT_EQ(drewAsMain, false);
    window->makeKeyWindow();
    pt::renderWindow(*window);
    EXPECT_EQ(drewAsMain, false);  // main, but the application is not active
    NSApplication::sharedApplication()->activateIgnoringOtherApps(true);
    pt::renderWindow(*window);
    EXPECT_EQ(drewAsMain, true);
    EXPECT_EQ(seen, NSMakeRect(0, 0, 400, kBarHeight));
    ASSERT_TRUE(path);
    EXPECT_EQ(path->bounds(), seen);
    struct Probe {
        NSPoint at;
        bool inside;
    };
    for (Probe p : {Probe{{1, 31}, false}, Probe{{399, 31}, false}, Probe{{1, 1}, true},
                    Probe{{399, 1}, true}, Probe{{200, 31}, true}, Probe{{5, 16}, true}})
        EXPECT_EQ(path->containsPoint(p.at), p.inside) << p.at.x << "," << p.at.y;
}

TEST_F(Titlebar, TitleFrameIsCentredNearTheTopWithTheStateDefaults) {
    auto window = makeStartedWindow();
    window->setTitle("Uninstaller");
    auto* view = dynamic_cast<QVTitlebarView*>(window->titleBarView().get());
    ASSERT_NE(view, nullptr);
    auto colorOf = [](const NSAttributes& a) {
        return std::any_cast<Ref<NSColor>>(a.at(NSForegroundColorAttributeName));
    };
    auto shadowOf = [](const NSAttributes& a) {
        return std::any_cast<Ref<NSShadow>>(a.at(NSShadowAttributeName));
    };

    NSRect frame;
    NSAttributes inactive;
    view->getTitleFrame(&frame, &inactive, window.get());
    const NSSize size = ns::sizeWithAttributes("Uninstaller", inactive);
    EXPECT_EQ(frame, NSMakeRect(200 - size.width / 2, kBarHeight - size.height - 2, size.width,
                                size.height));
    EXPECT_EQ(std::any_cast<Ref<NSFont>>(inactive.at(NSFontAttributeName))->pointSize(), 13);
    EXPECT_EQ(*colorOf(inactive), *NSColor::colorWithDeviceWhite(56.0 / 255.0, 0.5));
    auto shadow = shadowOf(inactive);
    EXPECT_EQ(shadow->shadowBlurRadius(), 10);
    EXPECT_EQ(shadow->shadowOffset(), NSMakeSize(0, -1));
    EXPECT_EQ(*shadow->shadowColor(), *NSColor::colorWithDeviceWhite(1, 0.5));

    window->orderFront();
    window->makeKeyWindow();
    NSApplication::sharedApplication()->activateIgnoringOtherApps(true);
    NSAttributes main;
    view->getTitleFrame(nullptr, &main, window.get());
    EXPECT_EQ(*colorOf(main), *NSColor::colorWithDeviceWhite(56.0 / 255.0, 1));

    // Colours and shadows of the client win, each for its state.
    auto red = NSColor::redColor();
    auto myShadow = NSShadow::make();
    window->setTitleTextColor(red);
    window->setTitleTextShadow(myShadow);
    view->getTitleFrame(nullptr, &main, window.get());
    EXPECT_EQ(colorOf(main), red);
    EXPECT_EQ(shadowOf(main), myShadow);
    auto blue = NSColor::blueColor();
    window->setInactiveTitleTextColor(blue);
    auto other = makeWindow(NSMakeRect(600, 100, 200, 100));
    other->makeKeyAndOrderFront();  // this window no longer draws as main
    NSAttributes inactiveAgain;
    view->getTitleFrame(nullptr, &inactiveAgain, window.get());
    EXPECT_EQ(colorOf(inactiveAgain), blue);
    EXPECT_NE(shadowOf(inactiveAgain), myShadow);
    view->getTitleFrame(nullptr, nullptr, window.get());  // both out-pointers may be null
}

TEST(QVCGColor, KeepsTheFourComponentsInGenericRGB) {
    struct Case {
        const char* name;
        Ref<NSColor> color;
        std::array<CGFloat, 4> components;
    };
    const Case cases[] = {
        {"device RGB", NSColor::colorWithDeviceRed(0.1, 0.2, 0.3, 0.4), {0.1, 0.2, 0.3, 0.4}},
        {"calibrated RGB", NSColor::colorWithCalibratedRed(1, 0.5, 0, 1), {1, 0.5, 0, 1}},
        {"grey", NSColor::colorWithCalibratedWhite(0.25, 0.75), {0.25, 0.25, 0.25, 0.75}},
        {"clear", NSColor::clearColor(), {0, 0, 0, 0}},
        {"system colour",
         NSColor::windowBackgroundColor(),
         {50 / 255.0, 50 / 255.0, 50 / 255.0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QVCGColor converted = QV_CGColorCreate(*c.color);
        EXPECT_EQ(converted.colorSpace, "kCGColorSpaceGenericRGB");
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(converted.components[i], c.components[i], 1e-9) << i;
        Ref<NSColor> back = QV_NSColorFromCGColor(converted);
        EXPECT_NEAR(back->alphaComponent(), c.components[3], 1e-9);
    }
}

}  // namespace
}  // namespace imagewindow
