// Catches an inner-shadow fill that paints outside its path, paints nothing, fills the path
// itself, or leaves the shadow's offset or the context's clip changed afterwards.
#include "controls/kit/NSBezierPath+MCAdditions.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphicsContext.h"

namespace {

TEST(InnerShadow, FallsAlongTheInsideEdgeOnlyAndPutsTheOffsetBack) {
    const NSRect box = NSMakeRect(30, 30, 40, 40);
    for (bool flipped : {false, true}) {
        SCOPED_TRACE(flipped ? "flipped" : "unflipped");
        auto context = NSGraphicsContext::contextWithBitmap(100, 100, flipped);
        NSGraphicsContext::setCurrentContext(context);
        NSShadow shadow;
        shadow.setShadowColor(NSColor::blackColor());
        shadow.setShadowBlurRadius(3);
        shadow.setShadowOffset(NSMakeSize(0, -1));
        fillWithInnerShadow(*NSBezierPath::bezierPathWithRect(box), shadow);
        EXPECT_EQ(shadow.shadowOffset(), NSMakeSize(0, -1));

        // The rectangle covers pixel rows and columns 30..69 in either orientation.
        int outside = 0, edge = 0;
        for (int x = 0; x < 100; ++x) {
            for (int y = 0; y < 100; ++y) {
                const bool inside = x >= 30 && x < 70 && y >= 30 && y < 70;
                const int alpha = context->pixelAt(x, y).a;
                if (!inside) outside = std::max(outside, alpha);
                if (inside && (x < 33 || x >= 67 || y < 33 || y >= 67))
                    edge = std::max(edge, alpha);
            }
        }
        EXPECT_EQ(outside, 0);
        EXPECT_GT(edge, 100);
        EXPECT_EQ(context->pixelAt(50, 50).a, 0);  // the middle stays clear: no fill of its own

        // The state is restored: a later fill outside the path is not clipped away.
        NSColor::redColor()->setFill();
        NSBezierPath::fillRect(NSMakeRect(80, 80, 10, 10));
        EXPECT_EQ(context->pixelAt(85, flipped ? 85 : 14).a, 255);
        NSGraphicsContext::setCurrentContext(nullptr);
    }
}

}  // namespace
