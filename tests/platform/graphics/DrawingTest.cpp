// Catches drawing that lands in the wrong place or is missing: the y axis pointing the wrong
// way, path shapes (rounded corners, even-odd holes, tangent arcs), gradients running the wrong
// way, clips and compositing operations that are ignored, shadows that are not cast (or not
// cast by a path outside the clip), a context alpha that some drawings ignore or apply twice,
// and graphics state that is not restored.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "platform/graphics/NSAffineTransform.h"
#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSGradient.h"
#include "platform/graphics/NSGraphics.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSImage.h"
#include "platform/graphics/NSShadow.h"
#include "platform/graphics/TextLayout.h"

namespace {

using Pixel = NSGraphicsContext::Pixel;

/// A 100 x 100 bitmap made current for the test.
class Canvas : public ::testing::Test {
  protected:
    void use(bool flipped) {
        context = NSGraphicsContext::contextWithBitmap(100, 100, flipped);
        NSGraphicsContext::setCurrentContext(context);
    }
    void SetUp() override { use(false); }
    void TearDown() override { NSGraphicsContext::setCurrentContext(nullptr); }

    /// The pixel at (x, y) in y-up points of an unflipped 100-point-high bitmap.
    Pixel up(int x, int y) const { return context->pixelAt(x, 99 - y); }

    Ref<NSGraphicsContext> context;
};

constexpr Pixel kRed{255, 0, 0, 255};
constexpr Pixel kBlue{0, 0, 255, 255};
constexpr Pixel kClear{};

TEST_F(Canvas, UnflippedOriginIsBottomLeftAndFlippedIsTopLeft) {
    NSColor::redColor()->set();
    NSRectFill(NSMakeRect(0, 0, 10, 10));
    EXPECT_EQ(context->pixelAt(5, 95), kRed);
    EXPECT_EQ(context->pixelAt(5, 5), kClear);
    EXPECT_FALSE(context->isFlipped());

    use(true);
    NSColor::redColor()->set();
    NSRectFill(NSMakeRect(0, 0, 10, 10));
    EXPECT_EQ(context->pixelAt(5, 5), kRed);
    EXPECT_EQ(context->pixelAt(5, 95), kClear);
    EXPECT_TRUE(context->isFlipped());
}

TEST_F(Canvas, RoundedRectLeavesCornersClear) {
    NSColor::blueColor()->setFill();
    NSBezierPath::bezierPathWithRoundedRect(NSMakeRect(10, 10, 80, 80), 20, 20)->fill();
    EXPECT_EQ(up(50, 50), kBlue);
    for (auto [x, y] : {std::pair{11, 11}, {88, 11}, {11, 88}, {88, 88}})
        EXPECT_EQ(up(x, y).a, 0) << x << "," << y;
    // The straight edges between the corners are filled.
    EXPECT_EQ(up(50, 11), kBlue);
    EXPECT_EQ(up(11, 50), kBlue);
}

TEST_F(Canvas, WindingRuleDecidesWhetherAnInnerSubpathIsAHole) {
    struct Case {
        NSWindingRule rule;
        bool hole;
    };
    for (Case c : {Case{NSEvenOddWindingRule, true}, Case{NSNonZeroWindingRule, false}}) {
        use(false);
        auto path = NSBezierPath::bezierPathWithRect(NSMakeRect(10, 10, 80, 80));
        path->appendBezierPathWithRect(NSMakeRect(30, 30, 40, 40));  // same direction
        path->setWindingRule(c.rule);
        NSColor::redColor()->setFill();
        path->fill();
        EXPECT_EQ(up(50, 50).a, c.hole ? 0 : 255) << c.rule;
        EXPECT_EQ(up(20, 20), kRed);
        EXPECT_EQ(path->containsPoint({50, 50}), !c.hole);
        EXPECT_TRUE(path->containsPoint({20, 20}));
        EXPECT_FALSE(path->containsPoint({95, 95}));
    }
}

TEST_F(Canvas, ArcFromPointRoundsTheCornerTangentially) {
    // From (10, 10) right to the corner (90, 10), then up to (90, 90), with radius 30.
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint({10, 10});
    path->appendBezierPathWithArcFromPoint({90, 10}, {90, 90}, 30);
    path->lineToPoint({90, 90});
    NSPoint end = path->currentPoint();
    EXPECT_EQ(end, (NSPoint{90, 90}));
    // The arc runs from (60, 10) to (90, 40) around (60, 40): its bounds reach the corner's
    // edges but the corner itself is cut off.
    NSRect b = path->bounds();
    EXPECT_NEAR(NSMinX(b), 10, 1e-9);
    EXPECT_NEAR(NSMaxX(b), 90, 1e-9);
    path->lineToPoint({10, 90});
    path->closePath();
    EXPECT_FALSE(path->containsPoint({88, 12}));  // outside the arc, inside the square corner
    EXPECT_TRUE(path->containsPoint({70, 20}));   // inside the arc
    // The point at 45 degrees on the arc lies on the circle of radius 30 around (60, 40).
    double r = 30 / std::sqrt(2.0);
    EXPECT_TRUE(path->containsPoint({60 + r - 1, 40 - r + 1}));
    EXPECT_FALSE(path->containsPoint({60 + r + 1, 40 - r - 1}));
}

TEST_F(Canvas, BoundsFollowTheCurveNotItsControlPoints) {
    auto oval = NSBezierPath::bezierPathWithOvalInRect(NSMakeRect(10, 20, 40, 60));
    NSRect b = oval->bounds();
    EXPECT_NEAR(NSMinX(b), 10, 1e-6);
    EXPECT_NEAR(NSMinY(b), 20, 1e-6);
    EXPECT_NEAR(NSWidth(b), 40, 1e-6);
    EXPECT_NEAR(NSHeight(b), 60, 1e-6);
    auto bump = NSBezierPath::bezierPath();
    bump->moveToPoint({0, 0});
    bump->curveToPoint({100, 0}, {0, 100}, {100, 100});
    EXPECT_NEAR(NSMaxY(bump->bounds()), 75, 1e-6);  // the curve's top, not the control points
    EXPECT_NEAR(NSMaxY(bump->controlPointBounds()), 100, 1e-6);
    EXPECT_TRUE(NSBezierPath::bezierPath()->isEmpty());
    EXPECT_EQ(NSBezierPath::bezierPath()->bounds(), NSZeroRect);
}

TEST_F(Canvas, ArcWithCenterSweepsTheAskedWayRound) {
    // A quarter from 0 to 90 degrees counter-clockwise stays in the upper right; clockwise it
    // goes the long way round through the other three quarters.
    auto ccw = NSBezierPath::bezierPath();
    ccw->appendBezierPathWithArcWithCenter({50, 50}, 40, 0, 90, false);
    NSRect b = ccw->bounds();
    EXPECT_NEAR(NSMinX(b), 50, 1e-6);
    EXPECT_NEAR(NSMinY(b), 50, 1e-6);
    auto cw = NSBezierPath::bezierPath();
    cw->appendBezierPathWithArcWithCenter({50, 50}, 40, 0, 90, true);
    b = cw->bounds();
    EXPECT_NEAR(NSMinX(b), 10, 1e-6);
    EXPECT_NEAR(NSMinY(b), 10, 1e-6);
    EXPECT_NEAR(cw->currentPoint().x, 50, 1e-6);
    EXPECT_NEAR(cw->currentPoint().y, 90, 1e-6);
}

TEST_F(Canvas, GradientAtNinetyDegreesRunsFromMinimumToMaximumY) {
    auto gradient = NSGradient::initWithStartingColor(NSColor::blackColor(), NSColor::whiteColor());
    for (bool flipped : {false, true}) {
        use(flipped);
        gradient->drawInRect(NSMakeRect(0, 0, 100, 100), 90);
        // Device rows count from the top: unflipped, the black start is at the bottom.
        Pixel top = context->pixelAt(50, 2), bottom = context->pixelAt(50, 97);
        if (flipped) {
            EXPECT_LT(top.r + 200, bottom.r) << "flipped";
        } else {
            EXPECT_GT(top.r, bottom.r + 200) << "unflipped";
        }
        EXPECT_EQ(top.a, 255);
    }
}

TEST_F(Canvas, GradientFromPointPaintsBeyondTheEndsOnlyWhenAsked) {
    auto gradient = NSGradient::initWithStartingColor(NSColor::redColor(), NSColor::blueColor());
    gradient->drawFromPoint({40, 0}, {60, 0}, NSGradientDrawsAfterEndingLocation);
    EXPECT_EQ(up(10, 50).a, 0);    // before the start
    EXPECT_EQ(up(90, 50), kBlue);  // after the end
    EXPECT_EQ(up(50, 50).a, 255);
}

TEST_F(Canvas, ClipLimitsDrawingUntilTheStateIsRestored) {
    NSGraphicsContext::saveGraphicsState();
    NSBezierPath::bezierPathWithRect(NSMakeRect(0, 0, 50, 100))->addClip();
    NSColor::redColor()->set();
    NSRectFillUsingOperation(NSMakeRect(0, 0, 100, 100), NSCompositingOperationSourceOver);
    EXPECT_EQ(up(25, 50), kRed);
    EXPECT_EQ(up(75, 50), kClear);
    NSGraphicsContext::restoreGraphicsState();
    EXPECT_EQ(NSGraphicsContext::currentContext(), context);
    // The clip and the colour are gone with the restored state.
    NSBezierPath::fillRect(NSMakeRect(60, 0, 40, 100));
    EXPECT_EQ(up(75, 50), (Pixel{0, 0, 0, 255}));
}

TEST_F(Canvas, CopyReplacesWhatSourceOverBlends) {
    struct Case {
        NSCompositingOperation operation;
        Pixel expected;
    };
    // Half-transparent red over opaque blue.
    for (Case c : {Case{NSCompositingOperationCopy, {255, 0, 0, 128}},
                   Case{NSCompositingOperationSourceOver, {128, 0, 127, 255}}}) {
        use(false);
        NSColor::blueColor()->set();
        NSRectFill(NSMakeRect(0, 0, 100, 100));
        NSColor::colorWithDeviceRed(1, 0, 0, 0.5)->set();
        NSRectFillUsingOperation(NSMakeRect(20, 20, 60, 60), c.operation);
        Pixel p = up(50, 50);
        EXPECT_NEAR(p.r, c.expected.r, 2) << c.operation;
        EXPECT_NEAR(p.b, c.expected.b, 2) << c.operation;
        EXPECT_NEAR(p.a, c.expected.a, 2) << c.operation;
        EXPECT_EQ(up(10, 10), kBlue);  // outside the rectangle nothing changes
    }
    // The context's operation applies to paths.
    use(false);
    NSColor::blueColor()->set();
    NSRectFill(NSMakeRect(0, 0, 100, 100));
    context->setCompositingOperation(NSCompositingOperationClear);
    NSBezierPath::fillRect(NSMakeRect(0, 0, 50, 100));
    EXPECT_EQ(up(25, 50), kClear);
    EXPECT_EQ(up(75, 50), kBlue);
}

TEST_F(Canvas, FrameRectDrawsOnlyTheEdgeInside) {
    NSColor::redColor()->set();
    NSFrameRectWithWidth(NSMakeRect(10, 10, 80, 80), 3);
    EXPECT_EQ(up(11, 50), kRed);
    EXPECT_EQ(up(88, 50), kRed);
    EXPECT_EQ(up(50, 12), kRed);
    EXPECT_EQ(up(50, 50), kClear);
    EXPECT_EQ(up(8, 50), kClear);
    NSEraseRect(NSMakeRect(0, 0, 100, 100));
    EXPECT_EQ(up(11, 50), (Pixel{255, 255, 255, 255}));
}

TEST_F(Canvas, StrokeUsesTheStrokeColourAndWidth) {
    NSColor::redColor()->setFill();
    NSColor::blueColor()->setStroke();
    auto line = NSBezierPath::bezierPath();
    line->moveToPoint({10, 50});
    line->lineToPoint({90, 50});
    line->setLineWidth(10);
    line->stroke();
    EXPECT_EQ(up(50, 53), kBlue);
    EXPECT_EQ(up(50, 46), kBlue);
    EXPECT_EQ(up(50, 58), kClear);
}

TEST_F(Canvas, ShadowIsCastOutsideTheFillAndEndsWithTheState) {
    NSGraphicsContext::saveGraphicsState();
    auto shadow = NSShadow::make();
    shadow->setShadowOffset({6, -6});  // right and down
    shadow->setShadowBlurRadius(4);
    shadow->setShadowColor(NSColor::blackColor());
    shadow->set();
    NSColor::redColor()->set();
    NSBezierPath::fillRect(NSMakeRect(30, 30, 30, 30));
    EXPECT_EQ(up(45, 45), kRed);  // the fill is on top of its shadow
    EXPECT_GT(up(63, 27).a, 60);  // below and right of the rectangle
    EXPECT_EQ(up(25, 65).a, 0);   // the opposite side gets none
    NSGraphicsContext::restoreGraphicsState();
    NSBezierPath::fillRect(NSMakeRect(70, 70, 10, 10));
    EXPECT_EQ(up(77, 67).a, 0);  // restored: no shadow
}

TEST_F(Canvas, ShadowOfAPathOutsideTheClipFallsInsideIt) {
    struct Case {
        const char* name;
        bool stroke;
    };
    for (Case c : {Case{"fill", false}, Case{"stroke", true}}) {
        SCOPED_TRACE(c.name);
        use(false);
        NSGraphicsContext::saveGraphicsState();
        NSBezierPath::bezierPathWithRect(NSMakeRect(50, 0, 50, 100))->addClip();
        auto shadow = NSShadow::make();
        shadow->setShadowOffset({40, 0});  // from the left half into the clipped right half
        shadow->setShadowColor(NSColor::blackColor());
        shadow->set();
        NSColor::redColor()->set();
        auto path = NSBezierPath::bezierPathWithRect(NSMakeRect(20, 40, 20, 20));
        path->setLineWidth(4);
        c.stroke ? path->stroke() : path->fill();
        NSGraphicsContext::restoreGraphicsState();
        EXPECT_EQ(up(30, 50).a, 0);  // the path itself is clipped away
        // Its shadow lands 40 points to the right, inside the clip.
        const Pixel shade = c.stroke ? up(60, 50) : up(70, 50);
        EXPECT_EQ(shade, (Pixel{0, 0, 0, 255}));
        EXPECT_EQ(up(70, 80).a, 0);
    }
}

TEST_F(Canvas, ContextAlphaFadesEveryDrawingOnce) {
    auto solid = NSImage::initWithSize({20, 20});
    solid->lockFocus();
    NSColor::redColor()->set();
    NSRectFill(NSMakeRect(0, 0, 20, 20));
    solid->unlockFocus();
    const NSRect area = NSMakeRect(40, 40, 20, 20);
    struct Case {
        const char* name;
        std::function<void()> draw;
    };
    const Case cases[] = {
        {"path fill", [&] { NSBezierPath::fillRect(area); }},
        {"stroke",
         [&] {
             auto path = NSBezierPath::bezierPathWithRect(NSInsetRect(area, 5, 5));
             path->setLineWidth(10);
             path->stroke();
         }},
        {"rectangle fill (copy)", [&] { NSRectFill(area); }},
        {"gradient",
         [&] {
             NSGradient::initWithStartingColor(NSColor::redColor(), NSColor::redColor())
                 ->drawInRect(area, 90);
         }},
        {"image", [&] { solid->drawInRect(area); }},
        {"text",
         [&] {
             ns::drawAtPoint("HHHH", area.origin,
                             {{NSFontAttributeName, NSFont::boldSystemFontOfSize(20)},
                              {NSForegroundColorAttributeName, NSColor::redColor()}});
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        use(false);
        NSGraphicsContext::saveGraphicsState();
        context->setAlpha(0.5);
        NSColor::redColor()->set();
        c.draw();
        NSGraphicsContext::restoreGraphicsState();
        EXPECT_EQ(context->alpha(), 1);
        int strongest = 0;
        for (int x = 35; x < 65; ++x)
            for (int y = 35; y < 65; ++y)
                strongest = std::max<int>(strongest, up(x, y).a);
        EXPECT_NEAR(strongest, 128, 2);
    }
}

TEST_F(Canvas, ContextAlphaLaysADrawingOverWhatIsThere) {
    NSColor::blueColor()->set();
    NSRectFill(NSMakeRect(0, 0, 100, 100));
    context->setAlpha(0.5);
    NSColor::redColor()->set();
    NSRectFill(NSMakeRect(20, 20, 60, 60));
    const Pixel p = up(50, 50);
    EXPECT_NEAR(p.r, 128, 2);
    EXPECT_NEAR(p.b, 127, 2);
    EXPECT_EQ(p.a, 255);
    EXPECT_EQ(up(10, 10), kBlue);
}

TEST_F(Canvas, TransformsComposeAsThePlatformDoes) {
    auto t = NSAffineTransform::transform();
    t->translateXBy(10, 0);
    t->scaleBy(2);  // applies before the translation
    NSPoint p = t->transformPoint({1, 1});
    EXPECT_DOUBLE_EQ(p.x, 12);
    EXPECT_DOUBLE_EQ(p.y, 2);
    NSAffineTransform r;
    r.rotateByDegrees(90);
    NSPoint q = r.transformPoint({1, 0});
    EXPECT_NEAR(q.x, 0, 1e-12);
    EXPECT_NEAR(q.y, 1, 1e-12);
    NSAffineTransform appended(*t);
    appended.appendTransform(r);  // t, then the rotation
    NSPoint a = appended.transformPoint({1, 1});
    EXPECT_NEAR(a.x, -2, 1e-12);
    EXPECT_NEAR(a.y, 12, 1e-12);
    NSAffineTransform inverse(*t);
    inverse.invert();
    NSPoint back = inverse.transformPoint(p);
    EXPECT_NEAR(back.x, 1, 1e-12);
    EXPECT_NEAR(back.y, 1, 1e-12);
    EXPECT_EQ(t->transformSize({1, 1}), (NSSize{2, 2}));

    // concat moves later drawing; set starts again from the context's own coordinates.
    t->concat();
    NSColor::redColor()->set();
    NSRectFill(NSMakeRect(0, 0, 5, 5));  // lands on (10, 0)-(20, 10)
    EXPECT_EQ(up(15, 5), kRed);
    EXPECT_EQ(up(3, 3), kClear);
    NSAffineTransform().set();
    NSRectFill(NSMakeRect(0, 0, 5, 5));
    EXPECT_EQ(up(2, 2), kRed);
}

TEST_F(Canvas, SavedContextsComeBackInOrder) {
    auto other = NSGraphicsContext::contextWithBitmap(10, 10);
    NSGraphicsContext::saveGraphicsState();
    NSGraphicsContext::setCurrentContext(other);
    NSColor::redColor()->set();
    NSRectFill(NSMakeRect(0, 0, 10, 10));
    NSGraphicsContext::restoreGraphicsState();
    EXPECT_EQ(NSGraphicsContext::currentContext(), context);
    EXPECT_EQ(other->pixelAt(5, 5), kRed);
    EXPECT_EQ(up(5, 5), kClear);
}

TEST_F(Canvas, PatternColourTilesItsImage) {
    auto tile = NSImage::initWithSize({4, 4});
    tile->lockFocus();
    NSColor::redColor()->set();
    NSRectFill(NSMakeRect(0, 0, 2, 4));  // left half red, right half clear
    tile->unlockFocus();
    NSColor::colorWithPatternImage(tile)->setFill();
    NSBezierPath::fillRect(NSMakeRect(0, 0, 100, 100));
    EXPECT_EQ(up(40, 50), kRed);
    EXPECT_EQ(up(42, 50), kClear);
    EXPECT_EQ(up(81, 10), kRed);
}

}  // namespace
