// Catches images that are drawn blurred or upside down, sizes read wrongly from SVG or PNG,
// named images that are not cached or lose their name, files read before they are needed,
// and drawing into an image (lockFocus) that goes elsewhere.
#include "platform/graphics/NSImage.h"

#include <gtest/gtest.h>

#include "platform/foundation/NSBundle.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphics.h"
#include "support/FileFixtures.h"
#include "support/ImageFixtures.h"

namespace {

using Pixel = NSGraphicsContext::Pixel;

/// An SVG whose top half is red and bottom half blue, 20 x 40 points.
const char* kTopRedSvg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="40">
<rect x="0" y="0" width="20" height="20" fill="#ff0000"/>
<rect x="0" y="20" width="20" height="20" fill="#0000ff"/></svg>)";

using fixtures::writeSolidPng;

class ImageTest : public ::testing::Test {
  protected:
    void draw(bool flipped) {
        context = NSGraphicsContext::contextWithBitmap(100, 100, flipped);
        NSGraphicsContext::setCurrentContext(context);
    }
    void TearDown() override { NSGraphicsContext::setCurrentContext(nullptr); }

    fixtures::TempDir dir;
    Ref<NSGraphicsContext> context;
};

bool isRed(Pixel p) {
    return p.r > 200 && p.b < 50 && p.a > 200;
}
bool isBlue(Pixel p) {
    return p.b > 200 && p.r < 50 && p.a > 200;
}

TEST_F(ImageTest, SvgIsSizedInPointsAndDrawnUpright) {
    auto image = NSImage::initWithContentsOfFile(dir.write("half.svg", kTopRedSvg));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), (NSSize{20, 40}));
    struct Case {
        bool flipped;
        bool respectFlipped;
        bool redOnTop;
    };
    for (Case c : {Case{false, false, true}, Case{false, true, true}, Case{true, true, true},
                   Case{true, false, false}}) {
        draw(c.flipped);
        image->drawInRect(NSMakeRect(0, 0, 50, 100), NSZeroRect, NSCompositingOperationSourceOver,
                          1, c.respectFlipped);
        // The drawing covers the whole bitmap: device rows from the top.
        Pixel top = context->pixelAt(25, 10), bottom = context->pixelAt(25, 90);
        EXPECT_EQ(isRed(top), c.redOnTop) << c.flipped << c.respectFlipped;
        EXPECT_EQ(isBlue(bottom), c.redOnTop) << c.flipped << c.respectFlipped;
    }
}

TEST_F(ImageTest, SvgStaysSharpAtEverySize) {
    auto image = NSImage::initWithContentsOfFile(dir.write("half.svg", kTopRedSvg));
    for (double scale : {1.0, 2.5}) {
        draw(true);
        // The red/blue edge sits at half the height: at row 20 * scale.
        image->drawInRect(NSMakeRect(0, 0, 20 * scale, 40 * scale));
        int edge = static_cast<int>(20 * scale);
        EXPECT_TRUE(isRed(context->pixelAt(5, edge - 1))) << scale;
        EXPECT_TRUE(isBlue(context->pixelAt(5, edge + 1))) << scale;  // no blurred band
    }
}

TEST_F(ImageTest, PngIsSizedInPixelsAndDrawnWithFractionAndPart) {
    std::string path = dir / "solid.png";
    writeSolidPng(path, 8, 6, NSColor::redColor());
    auto image = NSImage::initWithContentsOfFile(path);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), (NSSize{8, 6}));
    draw(false);
    image->drawInRect(NSMakeRect(10, 10, 40, 30), NSZeroRect, NSCompositingOperationSourceOver,
                      0.5);
    Pixel p = context->pixelAt(30, 75);
    EXPECT_NEAR(p.a, 128, 2);
    EXPECT_EQ(p.r, 255);
    EXPECT_EQ(context->pixelAt(5, 75).a, 0);  // outside the destination
    image->drawAtPoint({60, 60}, NSMakeRect(0, 0, 4, 3), NSCompositingOperationCopy, 1);
    EXPECT_TRUE(isRed(context->pixelAt(62, 38)));  // (60..64, 60..63) in y-up points
    EXPECT_EQ(context->pixelAt(66, 38).a, 0);
}

TEST_F(ImageTest, MissingOrBrokenFilesDrawNothing) {
    EXPECT_FALSE(NSImage::initWithContentsOfFile(dir / "missing.png"));
    auto broken = NSImage::initWithContentsOfFile(dir.write("broken.svg", "<svg"));
    ASSERT_TRUE(broken);
    EXPECT_FALSE(broken->isValid());
    draw(false);
    broken->drawInRect(NSMakeRect(0, 0, 100, 100));
    EXPECT_EQ(context->pixelAt(50, 50).a, 0);
}

TEST_F(ImageTest, FileIsReadOnFirstDrawNotWhenMade) {
    std::string path = dir / "late.png";
    writeSolidPng(path, 4, 4, NSColor::redColor());
    auto image = NSImage::initWithContentsOfFile(path);
    EXPECT_EQ(image->size(), (NSSize{4, 4}));  // the header alone
    writeSolidPng(path, 4, 4, NSColor::blueColor());
    draw(false);
    image->drawInRect(NSMakeRect(0, 0, 100, 100));
    EXPECT_TRUE(isBlue(context->pixelAt(50, 50)));
}

class NamedImageTest : public ImageTest {
  protected:
    void SetUp() override {
        dir.write("images/both.svg", kTopRedSvg);
        writeSolidPng(dir.mkdir("images") + "/both.png", 3, 3, NSColor::blueColor());
        writeSolidPng(dir / "images/onlypng.png", 5, 7, NSColor::blueColor());
        NSBundle::setMainBundleForTesting(dir.path());
    }
    void TearDown() override {
        NSBundle::setMainBundleForTesting(std::nullopt);
        ImageTest::TearDown();
    }
};

TEST_F(NamedImageTest, FindsSvgBeforePngCachesAndKeepsTheName) {
    // Names are unique to this test: the cache lives for the whole process.
    auto svg = NSImage::imageNamed("both");
    ASSERT_TRUE(svg);
    EXPECT_EQ(svg->size(), (NSSize{20, 40}));
    EXPECT_EQ(svg->name(), "both");
    EXPECT_EQ(NSImage::imageNamed("both"), svg);
    auto png = NSImage::imageNamed("onlypng");
    ASSERT_TRUE(png);
    EXPECT_EQ(png->size(), (NSSize{5, 7}));
    EXPECT_EQ(NSImage::imageNamed("onlypng.png"), NSImage::imageNamed("onlypng.png"));
    EXPECT_FALSE(NSImage::imageNamed("absent"));
}

TEST_F(NamedImageTest, SetNameMovesTheRegistration) {
    auto made = NSImage::initWithSize({2, 2});
    EXPECT_TRUE(made->setName("registered-one"));
    EXPECT_EQ(NSImage::imageNamed("registered-one"), made);
    EXPECT_TRUE(made->setName("registered-two"));
    EXPECT_EQ(NSImage::imageNamed("registered-two"), made);
    EXPECT_FALSE(NSImage::imageNamed("registered-one"));
    auto other = NSImage::initWithSize({2, 2});
    EXPECT_FALSE(other->setName("registered-two"));  // taken by `made`
    EXPECT_EQ(other->name(), "");
    EXPECT_TRUE(made->setName(""));
    EXPECT_FALSE(NSImage::imageNamed("registered-two"));
}

TEST_F(ImageTest, LockFocusDrawsIntoTheImage) {
    draw(false);
    auto image = NSImage::initWithSize({10, 10});
    image->lockFocus();
    EXPECT_NE(NSGraphicsContext::currentContext(), context);
    NSColor::redColor()->set();
    NSRectFill(NSMakeRect(0, 5, 10, 5));  // the top half (y up)
    image->unlockFocus();
    EXPECT_EQ(NSGraphicsContext::currentContext(), context);
    EXPECT_EQ(context->pixelAt(50, 50).a, 0);  // nothing went to the outer context

    image->drawInRect(NSMakeRect(0, 0, 100, 100));
    EXPECT_TRUE(isRed(context->pixelAt(50, 20)));
    EXPECT_EQ(context->pixelAt(50, 80).a, 0);
}

}  // namespace
