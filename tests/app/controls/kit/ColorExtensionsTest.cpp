// Catches lighter and darker shades computed in double precision or carrying the colour's
// alpha, and a light test that reads a grey's components wrongly or lets the 0.8 boundary in.
#include "controls/kit/NSColor+ColorExtensions.h"

#include <gtest/gtest.h>

namespace {

TEST(ColorExtensions, ShadesAreOpaqueCalibratedSumsInSinglePrecision) {
    const Ref<NSColor> grey = NSColor::colorWithCalibratedRed(0.85f, 0.85f, 0.85f, 1.0);
    struct Case {
        const char* name;
        Ref<NSColor> shade;
        double red, green, blue;
    } cases[] = {
        {"lightened grey", lightenColorByValue(*grey, 0.12f), 0.85f + 0.12f, 0.85f + 0.12f,
         0.85f + 0.12f},
        {"darkened grey", darkenColorByValue(*grey, 0.12f), 0.85f - 0.12f, 0.85f - 0.12f,
         0.85f - 0.12f},
        {"half-transparent device colour",
         lightenColorByValue(*NSColor::colorWithDeviceRed(0.2, 0.4, 0.6, 0.5), 0.1f), 0.2f + 0.1f,
         0.4f + 0.1f, 0.6f + 0.1f},
        {"a grey of two components", darkenColorByValue(*NSColor::grayColor(), 0.25f), 0.25, 0.25,
         0.25},
        {"beyond white", lightenColorByValue(*NSColor::whiteColor(), 0.12f), 1, 1, 1},
        {"below black", darkenColorByValue(*NSColor::colorWithDeviceWhite(0.05, 0.3), 0.12f), 0, 0,
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.shade->redComponent(), c.red);
        EXPECT_EQ(c.shade->greenComponent(), c.green);
        EXPECT_EQ(c.shade->blueComponent(), c.blue);
        EXPECT_EQ(c.shade->alphaComponent(), 1);
        EXPECT_EQ(c.shade->colorSpaceName(), "NSCalibratedRGBColorSpace");
    }
    // The single-precision sum is not the double one.
    EXPECT_NE(lightenColorByValue(*grey, 0.12f)->redComponent(), double(0.85f) + 0.12);
}

TEST(ColorExtensions, LightColoursHaveAMeanAboveFourFifths) {
    struct Case {
        const char* name;
        Ref<NSColor> color;
        bool light;
    } cases[] = {
        {"white", NSColor::whiteColor(), true},
        {"grey 0.81", NSColor::colorWithCalibratedWhite(0.81, 1), true},
        {"grey 0.8 exactly", NSColor::colorWithDeviceWhite(0.8, 1), false},
        {"light grey button", NSColor::colorWithCalibratedRed(0.85f, 0.85f, 0.85f, 1), true},
        {"orange", NSColor::colorWithCalibratedRed(0.97f, 0.58f, 0.02f, 1), false},
        {"pale yellow", NSColor::colorWithDeviceRed(1, 0.95, 0.6, 1), true},
        {"yellow", NSColor::colorWithDeviceRed(1, 1, 0.3, 1), false},
        {"transparent white", NSColor::colorWithCalibratedWhite(1, 0), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(isLightColor(*c.color), c.light);
    }
}

}  // namespace
