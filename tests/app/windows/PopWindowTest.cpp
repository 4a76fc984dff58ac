// Catches attached windows placed on the wrong side of their point or at the wrong distance, a
// view frame that ignores the arrow strip, an automatic side that leaves the screen or the
// parent window, setters that let measures escape their limits, an alpha argument that
// changes the window, and version rules that pick the wrong fill or blur.
#include <gtest/gtest.h>

#include <functional>

#include "app/windows/PopWindowTestSupport.h"
#include "services/getColor.h"

using namespace popwindowtest;

namespace {

using PopGeometry = PopWindowTest;

// A 40 x 20 view with the default measures: margin 1, arrow strip 10, arrow inset
// 15 / 2 + 8 = 15.5; the window is 52 x 22 on the horizontal sides, 42 x 32 on the vertical.
TEST_F(PopGeometry, EachSidePlacesTheWindowAndTheView) {
    struct Case {
        int side;
        NSRect frame;
        NSPoint viewOrigin;
    };
    const Case cases[] = {
        {0, {{443, 389}, {52, 22}}, {1, 1}},    {1, {{479, 363}, {42, 32}}, {1, 1}},
        {2, {{505, 389}, {52, 22}}, {11, 1}},   {3, {{479, 405}, {42, 32}}, {1, 11}},
        {4, {{443, 384.5}, {52, 22}}, {1, 1}},  {5, {{443, 393.5}, {52, 22}}, {1, 1}},
        {6, {{505, 384.5}, {52, 22}}, {11, 1}}, {7, {{505, 393.5}, {52, 22}}, {11, 1}},
        {8, {{473.5, 405}, {42, 32}}, {1, 11}}, {9, {{484.5, 405}, {42, 32}}, {1, 11}},
        {10, {{473.5, 363}, {42, 32}}, {1, 1}}, {11, {{484.5, 363}, {42, 32}}, {1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.side);
        auto window = attached(40, 20, {500, 400}, nullptr, c.side, 5);
        ASSERT_TRUE(window);
        EXPECT_EQ(window->side(), c.side);
        EXPECT_EQ(window->frame(), c.frame);
        EXPECT_EQ(window->viewFrame(), (NSRect{c.viewOrigin, {40, 20}}));
        EXPECT_EQ(window->view()->frame(), window->viewFrame());
        EXPECT_EQ(window->view()->superview(), window->contentView());
        EXPECT_FALSE(window->isVisible());  // the caller orders it in
    }
}

TEST_F(PopGeometry, PointInAParentIsTakenInItsBaseCoordinates) {
    auto parent = mainWindow(NSMakeRect(100, 50, 800, 600));
    auto window = attached(40, 20, {395, 419}, parent.get(), 3);
    NSPoint anchor = parent->convertBaseToScreen({395, 419});
    EXPECT_EQ(window->frame(), NSMakeRect(anchor.x - 21, anchor.y, 42, 32));
    EXPECT_EQ(window->attachedToWindow(), parent.get());
}

TEST_F(PopGeometry, SortPopUpSitsWithItsBottomEdgeOnTheAnchor) {
    auto parent = mainWindow(NSMakeRect(100, 50, 800, 600));
    auto window = attached(120, 80, {395, 419}, parent.get(), 3, 0, 0.8f);
    NSPoint anchor = parent->convertBaseToScreen({395, 419});
    EXPECT_EQ(window->frame(), NSMakeRect(anchor.x - 61, anchor.y, 122, 92));
    EXPECT_EQ(window->viewFrame(), NSMakeRect(1, 11, 120, 80));
}

TEST_F(PopGeometry, SetPointMovesAndResizesForTheNewSide) {
    auto window = attached(40, 20, {500, 400}, nullptr, 3);
    window->setPoint({200, 100}, 2);
    EXPECT_EQ(window->side(), 2);
    EXPECT_EQ(window->frame(), NSMakeRect(200, 89, 52, 22));
    EXPECT_EQ(window->view()->frame(), NSMakeRect(11, 1, 40, 20));
    // The background follows the new size.
    EXPECT_EQ(window->backgroundColor()->patternImage()->size(), NSMakeSize(52, 22));
    // Side 12 is kept as given: the lower-left corner goes on the point, without a strip.
    window->setPoint({300, 300}, 12);
    EXPECT_EQ(window->side(), 12);
    EXPECT_EQ(window->frame(), NSMakeRect(300, 300, 42, 22));
}

TEST_F(PopGeometry, AutomaticSideKeepsTheWindowOnScreenAndBesideItsParent) {
    // The headless screen is 1280 x 800; a 40 x 20 view needs 42 x 22 plus the 10-point strip.
    struct Case {
        const char* name;
        double w, h;
        NSPoint point;
        NSRect parentFrame;  // empty: no parent, the point is on the screen
        int side;
    };
    const Case cases[] = {
        {"room below", 40, 20, {500, 400}, {}, 1},
        {"near the bottom: right", 40, 20, {500, 20}, {}, 2},
        {"bottom-right corner: left", 40, 20, {1260, 20}, {}, 0},
        {"left and low: extends up", 40, 20, {1260, 5}, {}, 4},
        {"at the left edge: extends right", 40, 20, {10, 400}, {}, 11},
        {"at the right edge: extends left", 40, 20, {1275, 400}, {}, 10},
        {"too wide to stand aside: above", 1270, 20, {640, 10}, {}, 3},
        {"no room anywhere: below", 1270, 790, {640, 400}, {}, 1},
        {"at the parent's left edge", 40, 20, {0, 50}, {{300, 300}, {200, 100}}, 11},
        {"above a low parent's top: extends down", 40, 20, {50, 15}, {{400, 0}, {300, 20}}, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<NSWindow> parent;
        if (!NSIsEmptyRect(c.parentFrame))
            parent = NSWindow::make(c.parentFrame, NSWindowStyleMaskBorderless);
        auto window = attached(c.w, c.h, c.point, parent.get(), 12);
        EXPECT_EQ(window->side(), c.side);
    }
}

TEST_F(PopGeometry, ShortInitialisersForwardTheirDefaults) {
    auto parent = mainWindow(NSMakeRect(300, 300, 200, 100));
    struct Case {
        const char* name;
        std::function<bool(StatusAttachedWindow&, const Ref<NSView>&)> init;
        NSWindow* parent;
        int side;
        float distance;
    };
    const NSPoint p{500, 400};
    const Case cases[] = {
        {"in window at distance",
         [&](StatusAttachedWindow& w, const Ref<NSView>& v) {
             return w.initWithViewInWindowAtDistance(v, {0, 50}, parent.get(), 4);
         },
         parent.get(), 11, 4},
        {"on side at distance",
         [&](StatusAttachedWindow& w, const Ref<NSView>& v) {
             return w.initWithViewOnSideAtDistance(v, p, 2, 4);
         },
         nullptr, 2, 4},
        {"at distance",
         [&](StatusAttachedWindow& w, const Ref<NSView>& v) {
             return w.initWithViewAtDistance(v, p, 4);
         },
         nullptr, 1, 4},
        {"in window",
         [&](StatusAttachedWindow& w, const Ref<NSView>& v) {
             return w.initWithViewInWindow(v, {0, 50}, parent.get());
         },
         parent.get(), 11, 0},
        {"on side",
         [&](StatusAttachedWindow& w, const Ref<NSView>& v) {
             return w.initWithViewOnSide(v, p, 0);
         },
         nullptr, 0, 0},
        {"view and point only",
         [&](StatusAttachedWindow& w, const Ref<NSView>& v) { return w.initWithView(v, p); },
         nullptr, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto window = std::make_shared<StatusAttachedWindow>();
        made.push_back(window);
        ASSERT_TRUE(c.init(*window, plainView(40, 20)));
        EXPECT_EQ(window->attachedToWindow(), c.parent);
        EXPECT_EQ(window->side(), c.side);
        EXPECT_EQ(window->distance(), c.distance);
    }
    for (int side : {0, 12}) {
        EXPECT_FALSE(StatusAttachedWindow::make(nullptr, p, nullptr, side, 0, 0));
        EXPECT_FALSE(std::make_shared<StatusAttachedWindow>()->initWithView(nullptr, p));
    }
}

using PopMeasures = PopWindowTest;

TEST_F(PopMeasures, SettersKeepTheirLimits) {
    auto window = attached(40, 20, {500, 400}, nullptr, 3);  // L = 2 + 20 = 22
    window->setBorderWidth(5);
    EXPECT_EQ(window->borderWidth(), 1);  // never more than the margin
    window->setBorderWidth(0.5f);
    EXPECT_EQ(window->borderWidth(), 0.5f);

    window->setViewMargin(-3);
    EXPECT_EQ(window->viewMargin(), 0);
    // Limited anew: radius (20 - 15) / 2, then base 20 - 2 x 2.5.
    EXPECT_EQ(window->cornerRadius(), 2.5f);
    EXPECT_EQ(window->arrowBaseWidth(), 15);
    EXPECT_EQ(window->frame().size, NSMakeSize(40, 30));  // margin 0 around the view

    window->setDrawsRoundCornerBesideArrow(0);
    window->setArrowBaseWidth(30);
    EXPECT_EQ(window->arrowBaseWidth(), 17.5f);  // one corner less to leave room for
    window->setArrowBaseWidth(-5);
    EXPECT_EQ(window->arrowBaseWidth(), 0);  // never inside out

    window->setHasArrow(2.5f);
    EXPECT_EQ(window->hasArrow(), 1);
    window->setDrawsRoundCornerBesideArrow(7);
    EXPECT_EQ(window->drawsRoundCornerBesideArrow(), 1);
}

TEST_F(PopMeasures, RadiusOfASmallViewDropsToZeroAndNarrowsTheArrow) {
    auto window = attached(10, 10, {500, 400}, nullptr, 3);
    window->setCornerRadius(8);
    EXPECT_EQ(window->cornerRadius(), 0);     // (12 - 15) / 2, raised to 0
    EXPECT_EQ(window->arrowBaseWidth(), 12);  // the chained setArrowBaseWidth: 15
}

TEST_F(PopMeasures, ArrowHeightAndMarginReshapeTheWindow) {
    auto window = attached(40, 20, {500, 400}, nullptr, 3);
    window->setArrowHeight(20);
    EXPECT_EQ(window->frame(), NSMakeRect(479, 400, 42, 42));
    EXPECT_EQ(window->viewFrame(), NSMakeRect(1, 21, 40, 20));
    window->setViewMargin(3);
    EXPECT_EQ(window->frame(), NSMakeRect(477, 400, 46, 46));
    EXPECT_EQ(window->viewFrame(), NSMakeRect(3, 23, 40, 20));
}

TEST_F(PopMeasures, AlphaArgumentChangesNothing) {
    auto translucent = attached(40, 20, {500, 400}, nullptr, 3, 0, 0.8f);
    auto plain = attached(40, 20, {500, 400}, nullptr, 3, 0, 0);
    EXPECT_EQ(translucent->alphaValue(), 0.99);
    EXPECT_EQ(plain->alphaValue(), 0.99);
    EXPECT_EQ(translucent->frame(), plain->frame());
    EXPECT_EQ(*translucent->windowBackgroundColor(), *plain->windowBackgroundColor());
    translucent->orderFront();
    plain->orderFront();
    for (NSPoint p : {NSPoint{20, 20}, NSPoint{2, 12}, NSPoint{20, 5}})
        EXPECT_EQ(pixelAt(*translucent, p.x, p.y), pixelAt(*plain, p.x, p.y));
}

TEST_F(PopMeasures, WindowSetUp) {
    auto window = attached(40, 20, {500, 400}, nullptr, 3);
    EXPECT_EQ(window->styleMask(), NSWindowStyleMaskBorderless);
    EXPECT_FALSE(window->isOpaque());
    EXPECT_TRUE(window->hasShadow());
    EXPECT_TRUE(window->isMovableByWindowBackground());
    EXPECT_TRUE(window->isExcludedFromWindowsMenu());
    EXPECT_TRUE(window->usesOptimizedDrawing());
    EXPECT_TRUE(window->canBecomeKeyWindow());
    EXPECT_FALSE(window->canBecomeMainWindow());
    EXPECT_EQ(window->cornerRadius(), 8);
    EXPECT_EQ(*window->borderColor(), *getColor(0, 0, 0, 0.3f));
    // The window's own background is the painted pattern, never the fill colour.
    ASSERT_TRUE(window->backgroundColor()->patternImage());
    window->setBackgroundColor(NSColor::redColor());
    EXPECT_EQ(window->windowBackgroundColor(), NSColor::redColor());
    ASSERT_TRUE(window->backgroundColor()->patternImage());
    window->setBackgroundImage(nullptr);
    EXPECT_EQ(window->windowBackgroundColor(), NSColor::redColor());

    auto second = MStatusAttachedWindow::make(plainView(40, 20), {500, 400}, nullptr, 3, 0);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->alphaValue(), 1);
    EXPECT_EQ(second->cornerRadius(), 6);
    EXPECT_EQ(second->frame(), window->frame());
    EXPECT_FALSE(MStatusAttachedWindow::make(nullptr, {500, 400}, nullptr, 3, 0));
}

TEST_F(PopMeasures, SystemVersionPicksFillAndBlur) {
    struct Case {
        int minor;
        double fillAlpha;
        int blur;
    };
    for (const Case& c : {Case{8, 0.98, 0}, Case{9, 0.8, 0}, Case{10, 0.8, 400}}) {
        SCOPED_TRACE(c.minor);
        OSVersion version(c.minor);
        auto window = attached(40, 20, {500, 400}, nullptr, 3);
        const auto& fill = window->windowBackgroundColor();
        EXPECT_EQ(fill->space(), NSColor::Space::DeviceRGB);
        EXPECT_DOUBLE_EQ(fill->redComponent(), 38 / 255.0);
        EXPECT_DOUBLE_EQ(fill->greenComponent(), 43 / 255.0);
        EXPECT_DOUBLE_EQ(fill->blueComponent(), 65 / 255.0);
        EXPECT_DOUBLE_EQ(fill->alphaComponent(), c.fillAlpha);
        EXPECT_EQ(window->windowBackgroundBlurRadius(), c.blur);
    }
}

}  // namespace
