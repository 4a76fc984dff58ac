// Catches text that is measured or drawn wrongly: faces that are not the asked ones, sizes a
// third too large (96 dpi), wrapping that ignores the width, alignment that is ignored, text
// that is upside down or misplaced in unflipped coordinates, and shadows that are not cast.
#include "platform/graphics/TextLayout.h"

#include <gtest/gtest.h>

#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSParagraphStyle.h"
#include "platform/graphics/NSShadow.h"

namespace {

/// The rows and columns that hold ink, in device pixels from the top-left.
struct Ink {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
    bool any() const { return right >= 0; }
};

Ink inkOf(const NSGraphicsContext& context, int alphaAbove = 100) {
    Ink ink;
    for (int y = 0; y < context.pixelsHigh(); ++y)
        for (int x = 0; x < context.pixelsWide(); ++x)
            if (context.pixelAt(x, y).a > alphaAbove) {
                ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

NSAttributes withFont(const char* name, double size) {
    return {{NSFontAttributeName, NSFont::fontWithName(name, size)},
            {NSForegroundColorAttributeName, NSColor::blackColor()}};
}

class TextTest : public ::testing::Test {
  protected:
    void draw(int w, int h, bool flipped) {
        context = NSGraphicsContext::contextWithBitmap(w, h, flipped);
        NSGraphicsContext::setCurrentContext(context);
    }
    void TearDown() override { NSGraphicsContext::setCurrentContext(nullptr); }
    Ref<NSGraphicsContext> context;
};

TEST_F(TextTest, SizeFollowsFaceAndPointSize) {
    const std::string text = "Uninstall applications";
    NSSize bold = ns::sizeWithAttributes(text, withFont("DejaVuSans-Bold", 20));
    NSSize light = ns::sizeWithAttributes(text, withFont("DejaVuSans-ExtraLight", 20));
    EXPECT_GT(bold.width, light.width * 1.05);
    // One line of 20-point DejaVu Sans is about 23 points high at 72 dpi (31 at 96 dpi).
    EXPECT_GT(bold.height, 20);
    EXPECT_LT(bold.height, 26);
    NSSize ten = ns::sizeWithAttributes(text, withFont("DejaVuSans-Bold", 10));
    EXPECT_NEAR(ten.width * 2, bold.width, bold.width * 0.05);
    // No font: the system font of size 12.
    NSSize plain = ns::sizeWithAttributes(text, {});
    NSSize twelve =
        ns::sizeWithAttributes(text, {{NSFontAttributeName, NSFont::systemFontOfSize(12)}});
    EXPECT_DOUBLE_EQ(plain.width, twelve.width);
    EXPECT_EQ(ns::sizeWithAttributes("", {}), NSZeroSize);
}

TEST_F(TextTest, NarrowerWidthWrapsToMoreLines) {
    NSAttributedString text("the quick brown fox jumps over the lazy dog",
                            withFont("DejaVuSans", 12));
    NSSize line = ns::size(text);
    auto heightAt = [&](double width) {
        return ns::boundingRectWithSize(text, {width, 1000}, NSStringDrawingUsesLineFragmentOrigin)
            .size.height;
    };
    double one = heightAt(1000), wide = heightAt(line.width / 2 + 10),
           narrow = heightAt(line.width / 4);
    EXPECT_NEAR(one, line.height, 0.5);
    EXPECT_GT(wide, one * 1.8);
    EXPECT_GT(narrow, wide * 1.4);
    EXPECT_LE(ns::boundingRectWithSize(text, {line.width / 4, 1000},
                                       NSStringDrawingUsesLineFragmentOrigin)
                  .size.width,
              line.width / 4 + 0.5);
    // Without the line-fragment option the text is one line around its baseline.
    NSRect single = ns::boundingRectWithSize(text, {10, 10}, 0);
    EXPECT_NEAR(single.size.width, line.width, 0.5);
    EXPECT_LT(single.origin.y, 0);
}

TEST_F(TextTest, AlignmentPlacesInkAcrossTheRect) {
    struct Case {
        NSTextAlignment alignment;
        double expectedCentre;  // as a fraction of the width
    };
    for (Case c : {Case{NSLeftTextAlignment, 0.1}, Case{NSCenterTextAlignment, 0.5},
                   Case{NSRightTextAlignment, 0.9}}) {
        draw(200, 30, true);
        auto style = NSParagraphStyle::defaultParagraphStyle();
        style->setAlignment(c.alignment);
        NSAttributes a = withFont("DejaVuSans", 12);
        a[NSParagraphStyleAttributeName] = style;
        ns::drawInRect("Remove", NSMakeRect(0, 0, 200, 30), a);
        Ink ink = inkOf(*context);
        ASSERT_TRUE(ink.any());
        double centre = (ink.left + ink.right) / 2.0 / 200;
        EXPECT_NEAR(centre, c.expectedCentre, 0.1) << c.alignment;
    }
}

TEST_F(TextTest, TruncationKeepsOneLineInsideTheWidth) {
    auto style = NSParagraphStyle::defaultParagraphStyle();
    style->setLineBreakMode(NSLineBreakByTruncatingTail);
    NSAttributes a = withFont("DejaVuSans", 12);
    a[NSParagraphStyleAttributeName] = style;
    NSAttributedString text("a long application name that does not fit", a);
    NSRect r = ns::boundingRectWithSize(text, {80, 1000}, NSStringDrawingUsesLineFragmentOrigin);
    EXPECT_LE(r.size.width, 80.5);
    EXPECT_NEAR(r.size.height, ns::size(text).height, 0.5);
}

TEST_F(TextTest, UnflippedTextIsUprightAndSitsOnThePoint) {
    // A "T": its bar is the widest row of ink, and it must be the top one.
    for (bool flipped : {false, true}) {
        draw(60, 60, flipped);
        NSAttributedString t("T", withFont("DejaVuSans", 40));
        ns::drawAtPoint(t, {10, 10});
        Ink ink = inkOf(*context);
        ASSERT_TRUE(ink.any());
        auto widthOfRow = [&](int y) {
            int n = 0;
            for (int x = 0; x < 60; ++x)
                n += context->pixelAt(x, y).a > 100;
            return n;
        };
        EXPECT_GT(widthOfRow(ink.top + 1), 3 * widthOfRow(ink.bottom - 1)) << flipped;
        // The point is the top-left in flipped coordinates and the bottom-left otherwise:
        // the ink lies on that side of row 10 (device rows from the top).
        NSSize s = ns::size(t);
        if (flipped) {
            EXPECT_GT(ink.top, 10);
        } else {
            EXPECT_LT(ink.bottom, 50);
            EXPECT_GT(ink.top, 50 - s.height - 1);
        }
    }
}

TEST_F(TextTest, ColourAndShadowAttributesAreDrawn) {
    draw(80, 40, true);
    auto shadow = NSShadow::make();
    shadow->setShadowOffset({0, -8});  // downwards
    shadow->setShadowColor(NSColor::blueColor());
    NSAttributes a = withFont("DejaVuSans-Bold", 20);
    a[NSForegroundColorAttributeName] = NSColor::redColor();
    a[NSShadowAttributeName] = shadow;
    ns::drawAtPoint("I", {10, 0}, a);
    Ink ink = inkOf(*context);
    ASSERT_TRUE(ink.any());
    bool red = false, blue = false;
    for (int y = ink.top; y <= ink.bottom; ++y)
        for (int x = ink.left; x <= ink.right; ++x) {
            NSGraphicsContext::Pixel p = context->pixelAt(x, y);
            red |= p.a > 200 && p.r > 200 && p.b < 60;
            blue |= p.a > 200 && p.b > 200 && p.r < 60;
        }
    EXPECT_TRUE(red);
    EXPECT_TRUE(blue);
    // The shadow reaches below the glyph's own ink.
    EXPECT_TRUE(context->pixelAt((ink.left + ink.right) / 2, ink.bottom).b > 200);
}

}  // namespace
