// Catches integral rectangles that round edges towards each other (cutting the rectangle) or
// that keep an empty rectangle instead of giving the zero rectangle.
#include "platform/foundation/NSGeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(NSGeometryTest, IntegralRectGrowsToWholeEdges) {
    struct Case {
        const char* name;
        NSRect in, out;
    } cases[] = {
        {"whole already", NSMakeRect(1, 2, 3, 4), NSMakeRect(1, 2, 3, 4)},
        {"fractional edges", NSMakeRect(0.5, 0.25, 10, 2.5), NSMakeRect(0, 0, 11, 3)},
        {"negative origin", NSMakeRect(-1.5, -0.5, 1, 1), NSMakeRect(-2, -1, 2, 2)},
        {"thin line", NSMakeRect(100.2, 5, 0.6, 30), NSMakeRect(100, 5, 1, 30)},
        {"empty width", NSMakeRect(3.5, 4.5, 0, 10), NSZeroRect},
        {"negative height", NSMakeRect(3, 4, 10, -2), NSZeroRect},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NSIntegralRect(c.in), c.out);
    }
}

}  // namespace
