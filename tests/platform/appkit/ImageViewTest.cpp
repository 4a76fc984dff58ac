// Catches images placed wrongly by their scaling and alignment (enlarged when only shrinking
// is allowed, stretched when the proportions must hold, aligned to the wrong edge in flipped
// views) and image views that do not fill their frame when told to scale each axis.
#include "platform/appkit/NSImageView.h"

#include <gtest/gtest.h>

#include "support/ControlTestSupport.h"

using namespace controltest;

namespace {

TEST(ImagePlacement, ScalingAndAlignmentPlaceTheImage) {
    struct Case {
        const char* name;
        NSSize image;
        NSImageScaling scaling;
        NSImageAlignment alignment;
        bool flipped;
        NSRect expected;
    };
    const NSRect bounds = NSMakeRect(10, 20, 100, 50);
    const Case cases[] = {
        {"small image, shrink only: centred as is",
         {20, 10},
         NSImageScaleProportionallyDown,
         NSImageAlignCenter,
         false,
         NSMakeRect(50, 40, 20, 10)},
        {"large image, shrink only: fitted",
         {200, 50},
         NSImageScaleProportionallyDown,
         NSImageAlignCenter,
         false,
         NSMakeRect(10, 32.5, 100, 25)},
        {"each axis: fills",
         {20, 10},
         NSImageScaleAxesIndependently,
         NSImageAlignTopLeft,
         false,
         bounds},
        {"up or down: grows to fit",
         {20, 20},
         NSImageScaleProportionallyUpOrDown,
         NSImageAlignCenter,
         false,
         NSMakeRect(35, 20, 50, 50)},
        {"none: overflows, centred",
         {200, 100},
         NSImageScaleNone,
         NSImageAlignCenter,
         false,
         NSMakeRect(-40, -5, 200, 100)},
        {"top left, y up",
         {20, 10},
         NSImageScaleNone,
         NSImageAlignTopLeft,
         false,
         NSMakeRect(10, 60, 20, 10)},
        {"top left, flipped",
         {20, 10},
         NSImageScaleNone,
         NSImageAlignTopLeft,
         true,
         NSMakeRect(10, 20, 20, 10)},
        {"bottom right, y up",
         {20, 10},
         NSImageScaleNone,
         NSImageAlignBottomRight,
         false,
         NSMakeRect(90, 20, 20, 10)},
        {"empty image",
         {0, 0},
         NSImageScaleProportionallyDown,
         NSImageAlignCenter,
         false,
         NSZeroRect},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NSImageCell::rectForImage(c.image, bounds, c.scaling, c.alignment, c.flipped),
                  c.expected)
            << c.name;
}

class ImageViews : public ControlWindow {};

TEST_F(ImageViews, ScalingEachAxisFillsTheView) {
    auto view = NSImageView::make(NSMakeRect(20, 20, 160, 60));
    view->setImage(solidImage({10, 10}, NSColor::redColor()));
    add(view);
    EXPECT_TRUE(near(at(100, 50), 255, 0, 0));
    EXPECT_TRUE(near(at(25, 50), 0, 0, 0, 10)) << "shrink-only keeps the small image small";
    view->setImageScaling(NSImageScaleAxesIndependently);
    EXPECT_TRUE(near(at(22, 22), 255, 0, 0));
    EXPECT_TRUE(near(at(178, 78), 255, 0, 0));
    EXPECT_TRUE(near(at(10, 50), 0, 0, 0, 10)) << "outside the view";
    view->setImage(nullptr);
    EXPECT_TRUE(near(at(100, 50), 0, 0, 0, 10));
}

}  // namespace
