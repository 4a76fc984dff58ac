// Catches colours with wrong components or colour space, alpha that is scaled instead of
// replaced, components that escape 0..1, equality that ignores the colour space, and greys
// that do not count as two components with their white level.
#include "platform/graphics/NSColor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct Expected {
    CGFloat r, g, b, a;
    const char* space;
};

void expectColor(const Ref<NSColor>& c, const Expected& e) {
    ASSERT_TRUE(c);
    EXPECT_DOUBLE_EQ(c->redComponent(), e.r);
    EXPECT_DOUBLE_EQ(c->greenComponent(), e.g);
    EXPECT_DOUBLE_EQ(c->blueComponent(), e.b);
    EXPECT_DOUBLE_EQ(c->alphaComponent(), e.a);
    EXPECT_EQ(c->colorSpaceName(), e.space);
}

TEST(NSColorTest, FactoriesGiveComponentsAndSpace) {
    struct Case {
        const char* name;
        Ref<NSColor> color;
        Expected expected;
    } cases[] = {
        {"device",
         NSColor::colorWithDeviceRed(0.1, 0.2, 0.3, 0.4),
         {0.1, 0.2, 0.3, 0.4, "NSDeviceRGBColorSpace"}},
        {"calibrated",
         NSColor::colorWithCalibratedRed(0.9, 0.8, 0.7, 0.6),
         {0.9, 0.8, 0.7, 0.6, "NSCalibratedRGBColorSpace"}},
        {"device white",
         NSColor::colorWithDeviceWhite(0.25, 0.5),
         {0.25, 0.25, 0.25, 0.5, "NSDeviceWhiteColorSpace"}},
        {"clear", NSColor::clearColor(), {0, 0, 0, 0, "NSCalibratedWhiteColorSpace"}},
        {"white", NSColor::whiteColor(), {1, 1, 1, 1, "NSCalibratedWhiteColorSpace"}},
        {"dark gray",
         NSColor::darkGrayColor(),
         {1.0 / 3, 1.0 / 3, 1.0 / 3, 1, "NSCalibratedWhiteColorSpace"}},
        {"orange", NSColor::orangeColor(), {1, 0.5, 0, 1, "NSCalibratedRGBColorSpace"}},
        {"control text", NSColor::controlTextColor(), {1, 1, 1, 0.85, "NSNamedColorSpace"}},
        {"selected control",
         NSColor::selectedControlColor(),
         {0x3F / 255.0, 0x63 / 255.0, 0x8B / 255.0, 1, "NSNamedColorSpace"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectColor(c.color, c.expected);
    }
}

TEST(NSColorTest, ComponentsAreClampedToUnitRange) {
    double nan = std::numeric_limits<double>::quiet_NaN();
    expectColor(NSColor::colorWithDeviceRed(-0.5, 1.5, nan, 2),
                {0, 1, 0, 1, "NSDeviceRGBColorSpace"});
    expectColor(NSColor::controlTextColor()->colorWithAlphaComponent(-1),
                {1, 1, 1, 0, "NSNamedColorSpace"});
}

TEST(NSColorTest, AlphaComponentReplacesAlphaWithoutScaling) {
    Ref<NSColor> base = NSColor::colorWithCalibratedRed(0.2, 0.4, 0.6, 0.8);
    Ref<NSColor> half = base->colorWithAlphaComponent(0.5);
    expectColor(half, {0.2, 0.4, 0.6, 0.5, "NSCalibratedRGBColorSpace"});
    expectColor(base, {0.2, 0.4, 0.6, 0.8, "NSCalibratedRGBColorSpace"});

    Ref<NSColor> text = NSColor::controlTextColor()->colorWithAlphaComponent(0.5);
    EXPECT_DOUBLE_EQ(text->alphaComponent(), 0.5);  // not 0.85 * 0.5
    EXPECT_EQ(text->colorNameComponent(), "controlTextColor");

    CGFloat r = -1, a = -1;
    half->getRed(&r, nullptr, nullptr, &a);
    EXPECT_DOUBLE_EQ(r, 0.2);
    EXPECT_DOUBLE_EQ(a, 0.5);
}

TEST(NSColorTest, GreysHaveTwoComponentsAndAWhiteLevel) {
    struct Case {
        const char* name;
        Ref<NSColor> color;
        long components;
        CGFloat white;
    } cases[] = {
        {"device white", NSColor::colorWithDeviceWhite(0.25, 0.5), 2, 0.25},
        {"calibrated white", NSColor::colorWithCalibratedWhite(0.9, 1), 2, 0.9},
        {"standard grey", NSColor::lightGrayColor(), 2, 2.0 / 3},
        {"device rgb", NSColor::colorWithDeviceRed(0.3, 0.6, 0.9, 1), 4, 0.6},
        {"calibrated rgb", NSColor::colorWithCalibratedRed(1, 0, 0, 0.5), 4, 1.0 / 3},
        {"system", NSColor::controlTextColor(), 4, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.color->numberOfComponents(), c.components);
        EXPECT_DOUBLE_EQ(c.color->whiteComponent(), c.white);
    }
}

TEST(NSColorTest, EqualityIncludesTheColorSpace) {
    EXPECT_EQ(*NSColor::colorWithDeviceRed(1, 0, 0, 1), *NSColor::colorWithDeviceRed(1, 0, 0, 1));
    EXPECT_FALSE(*NSColor::colorWithDeviceRed(1, 0, 0, 1) == *NSColor::redColor());
    EXPECT_FALSE(*NSColor::colorWithDeviceWhite(1, 1) == *NSColor::colorWithDeviceRed(1, 1, 1, 1));
    EXPECT_FALSE(*NSColor::textColor() == *NSColor::colorWithDeviceRed(1, 1, 1, 1));
    EXPECT_EQ(NSColor::redColor(), NSColor::redColor());  // one shared instance
}

TEST(NSColorTest, DescriptionNamesSpaceAndComponents) {
    EXPECT_EQ(NSColor::redColor()->description(), "NSCalibratedRGBColorSpace 1 0 0 1");
    EXPECT_EQ(NSColor::colorWithDeviceWhite(0.5, 1)->description(),
              "NSDeviceWhiteColorSpace 0.5 1");
    EXPECT_EQ(NSColor::controlColor()->description(), "NSNamedColorSpace System controlColor");
}

}  // namespace
