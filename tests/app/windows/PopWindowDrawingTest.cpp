// Catches an attached window whose outline leaves its snapped edges, paints the arrow strip,
// rounds the wrong corner beside the arrow, strokes a border it should not have, or repaints
// without showing the result; and panel views that draw outside their own bounds or round the
// corners of a partial redraw.
#include <gtest/gtest.h>

#include "app/windows/PopWindowTestSupport.h"
#include "windows/PopWindow/PopBgView.h"
#include "windows/PopWindow/PopWindowBgView.h"

using namespace popwindowtest;

namespace {

using PopOutline = PopWindowTest;

TEST_F(PopOutline, SortPopUpFillsInsideItsSnappedEdgesOnly) {
    auto parent = mainWindow(NSMakeRect(100, 50, 800, 600));
    auto window = attached(120, 80, {395, 419}, parent.get(), 3, 0, 0.8f);
    window->orderFront();
    // Window 122 x 92: the outline runs from x 1 to 121 and from y 11 (10-point strip plus the
    // snapped edge) to 91.
    EXPECT_TRUE(isFill(pixelAt(*window, 61, 11)));   // lowest row inside
    EXPECT_TRUE(isFill(pixelAt(*window, 61, 90)));   // highest row inside
    EXPECT_TRUE(isFill(pixelAt(*window, 1, 46)));    // left column inside
    EXPECT_TRUE(isFill(pixelAt(*window, 120, 46)));  // right column inside
    for (NSPoint outside : {NSPoint{61, 10}, NSPoint{61, 0}, NSPoint{61, 5}, NSPoint{61, 91},
                            NSPoint{0, 46}, NSPoint{121, 46}})
        EXPECT_EQ(pixelAt(*window, outside.x, outside.y).a, 0) << outside.x << "," << outside.y;
    // Rounded corners (radius 8) leave their very corner clear.
    for (NSPoint corner : {NSPoint{1, 11}, NSPoint{120, 11}, NSPoint{1, 90}, NSPoint{120, 90}})
        EXPECT_EQ(pixelAt(*window, corner.x, corner.y).a, 0) << corner.x << "," << corner.y;
}

TEST_F(PopOutline, CornerBesideTheArrowIsSquareOnlyWhenAsked) {
    // Which corner of a corner side lies beside its arrow.
    enum Corner { TopLeft, TopRight, BottomRight, BottomLeft };
    struct Case {
        int side;
        Corner square;
    };
    const Case cases[] = {{4, BottomRight}, {5, TopRight},   {6, BottomLeft}, {7, TopLeft},
                          {8, BottomRight}, {9, BottomLeft}, {10, TopRight},  {11, TopLeft}};
    for (const Case& c : cases) {
        for (bool round : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "side " << c.side << (round ? " round" : ""));
            auto window = attached(40, 30, {600, 400}, nullptr, c.side);
            window->setDrawsRoundCornerBesideArrow(round ? 1 : 0);
            window->orderFront();
            NSRect outer = NSInsetRect(window->viewFrame(), -1, -1);
            // The outline's corner pixels: one point in from the frame the margin makes.
            const double minX = NSMinX(outer) + 1, maxX = NSMaxX(outer) - 2;
            const double minY = NSMinY(outer) + 1, maxY = NSMaxY(outer) - 2;
            const NSPoint corners[] = {{minX, maxY}, {maxX, maxY}, {maxX, minY}, {minX, minY}};
            for (int k = 0; k < 4; ++k) {
                bool filled = pixelAt(*window, corners[k].x, corners[k].y).a > 0;
                EXPECT_EQ(filled, !round && k == c.square) << "corner " << k;
            }
            // hasArrow is off: nothing is drawn in the strip.
            EXPECT_EQ(window->hasArrow(), 0);
        }
    }
}

TEST_F(PopOutline, ArrowFillsTheStripTowardsThePoint) {
    auto window = attached(120, 80, {600, 400}, nullptr, 3);
    window->orderFront();
    EXPECT_EQ(pixelAt(*window, 61, 4).a, 0);
    window->setHasArrow(1);
    EXPECT_TRUE(isFill(pixelAt(*window, 60, 6)));
    EXPECT_TRUE(isFill(pixelAt(*window, 61, 3)));  // near the tip at y 1
    EXPECT_EQ(pixelAt(*window, 50, 4).a, 0);       // beside the arrow the strip stays clear
    // Below the point, the arrow points up from the top edge into the strip there.
    window->setPoint({600, 400}, 1);
    EXPECT_TRUE(isFill(pixelAt(*window, 61, 88)));
    EXPECT_EQ(pixelAt(*window, 61, 12).a > 0, true);
    EXPECT_EQ(pixelAt(*window, 30, 88).a, 0);
}

TEST_F(PopOutline, BorderIsStrokedOnlyWithAWidth) {
    auto window = attached(120, 80, {600, 400}, nullptr, 3);
    window->orderFront();
    Pixel edge = pixelAt(*window, 1, 46), inside = pixelAt(*window, 3, 46);
    EXPECT_EQ(edge, inside);  // width 0: filled, not stroked
    window->setBorderWidth(1);
    edge = pixelAt(*window, 1, 46);
    inside = pixelAt(*window, 3, 46);
    EXPECT_TRUE(isFill(inside));
    EXPECT_LT(edge.r, inside.r - 8);  // black at 0.3 over the fill
    EXPECT_GT(edge.a, inside.a);
    EXPECT_EQ(pixelAt(*window, 0, 46).a, 0);  // the stroke's outer half is clipped away
}

TEST_F(PopOutline, FillColourAndImageReplaceTheFill) {
    auto window = attached(40, 20, {600, 400}, nullptr, 3);
    window->orderFront();
    window->setBackgroundColor(NSColor::colorWithDeviceRed(1, 0, 0, 1));
    EXPECT_TRUE(near(pixelAt(*window, 20, 20), 255, 0, 0));
    auto image = NSImage::initWithSize({4, 4});
    image->lockFocus();
    NSColor::greenColor()->setFill();
    NSRectFill(NSMakeRect(0, 0, 4, 4));
    image->unlockFocus();
    window->setBackgroundImage(image);
    EXPECT_TRUE(near(pixelAt(*window, 20, 20), 0, 255, 0));
    EXPECT_EQ(pixelAt(*window, 20, 5).a, 0);  // the strip stays clear
}

TEST_F(PopOutline, ChangesWhileShownAppearAsOneFrame) {
    auto window = attached(40, 20, {600, 400}, nullptr, 3);
    window->orderFront();
    long shown = window->presentCount(), shadows = window->shadowInvalidationCount();
    window->setArrowHeight(14);  // new frame and new background together
    EXPECT_EQ(window->presentCount(), shown + 1);
    EXPECT_EQ(window->shadowInvalidationCount(), shadows + 1);
    EXPECT_FALSE(NSScreenUpdatesDisabled());
    EXPECT_EQ(window->frame().size, NSMakeSize(42, 36));
}

// A black window with one panel view at (20, 10).
class PopPanelViews : public PopWindowTest {
  protected:
    Ref<NSWindow> host(const Ref<NSView>& panel) {
        auto window = NSWindow::make(NSMakeRect(0, 0, 200, 120), NSWindowStyleMaskBorderless);
        window->setBackgroundColor(NSColor::blackColor());
        window->contentView()->addSubview(panel);
        window->orderFront();
        made.push_back(window);
        return window;
    }
};

TEST_F(PopPanelViews, PopWindowBgViewDrawsItsPanelInItsOwnBounds) {
    auto panel = std::make_shared<PopWindowBgView>();
    panel->initWithFrame(NSMakeRect(20, 10, 100, 60));
    auto window = host(panel);
    EXPECT_TRUE(near(pixelAt(*window, 70, 40), 51, 55, 58));
    EXPECT_TRUE(near(pixelAt(*window, 26, 40), 51, 55, 58));  // near its left edge too
    Pixel edge = pixelAt(*window, 20, 40);                    // half of the 1-point outline
    EXPECT_LT(edge.r, 51);
    EXPECT_GT(edge.r, 33);
    EXPECT_TRUE(near(pixelAt(*window, 20, 10), 0, 0, 0));   // round corner, radius 12
    EXPECT_TRUE(near(pixelAt(*window, 123, 40), 0, 0, 0));  // nothing outside the view
}

TEST_F(PopPanelViews, PopBgViewDrawsTheWholePanelOnAPartialRedraw) {
    auto panel = std::make_shared<PopBgView>();
    panel->initWithFrame(NSMakeRect(20, 10, 100, 60));
    auto window = host(panel);
    EXPECT_TRUE(near(pixelAt(*window, 70, 40), 43, 46, 49));
    EXPECT_TRUE(near(pixelAt(*window, 20, 40), 66, 70, 73));  // outline, 0.5 inside the edge
    EXPECT_TRUE(near(pixelAt(*window, 119, 40), 66, 70, 73));
    EXPECT_TRUE(near(pixelAt(*window, 20, 10), 0, 0, 0));  // round corner, radius 4
    panel->setNeedsDisplayInRect(NSMakeRect(40, 20, 20, 20));
    EXPECT_TRUE(near(pixelAt(*window, 60, 40), 43, 46, 49));  // no outline around the part
}

TEST_F(PopPanelViews, InterfaceFilesCanNameThem) {
    for (const char* name : {"PopWindowBgView", "PopBgView"}) {
        auto object = ClassRegistry::shared().createInstance(name);
        EXPECT_TRUE(std::dynamic_pointer_cast<NSView>(object)) << name;
    }
    for (const char* name : {"PopBaseWindow", "StatusAttachedWindow", "MStatusAttachedWindow"})
        EXPECT_TRUE(ClassRegistry::shared().classNamed(name)) << name;
}

}  // namespace
