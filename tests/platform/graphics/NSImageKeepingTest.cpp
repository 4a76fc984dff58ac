// Catches icons that keep their full decoded member (megabytes each) or are scaled into the
// wrong colours, orientation or size, an icon given a larger size that stays blurred, drawing
// into an icon that a later size change throws away, SVG documents rendered again on every
// draw, an SVG cache that grows without bound, and cached SVG pixels placed off the device grid.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphics.h"
#include "platform/graphics/NSImage.h"
#include "support/FileFixtures.h"

namespace {

using Pixel = NSGraphicsContext::Pixel;
std::pair<int, int> keptBitmapPixels(const NSImage& image) {
    const NSSize size = image.keptPixelSize();
    return {int(size.width), int(size.height)};
}

std::string be32(std::size_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

class ImageKeepingTest : public ::testing::Test {
  protected:
    void TearDown() override { NSGraphicsContext::setCurrentContext(nullptr); }

    /// An .icns file holding one PNG member of `side` pixels: red top-left quarter, blue
    /// top-right, green bottom-left, half-transparent white bottom-right.
    std::string icon(int side) {
        auto bitmap = NSGraphicsContext::contextWithBitmap(side, side);
        NSGraphicsContext::setCurrentContext(bitmap);
        const double half = side / 2.0;
        struct Quarter {
            double x, y;
            Ref<NSColor> color;
        };
        // y up: the top quarters have y = half.
        for (const Quarter& q :
             {Quarter{0, half, NSColor::redColor()}, Quarter{half, half, NSColor::blueColor()},
              Quarter{0, 0, NSColor::greenColor()},
              Quarter{half, 0, NSColor::colorWithCalibratedWhite(1, 0.5)}}) {
            q.color->setFill();
            NSRectFill(NSMakeRect(q.x, q.y, half, half));
        }
        NSGraphicsContext::setCurrentContext(nullptr);
        const std::string png = dir / "member.png";
        EXPECT_TRUE(bitmap->writePNG(png));
        std::ifstream in(png, std::ios::binary);
        const std::string data((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        return dir.write("icon" + std::to_string(side) + ".icns",
                         "icns" + be32(16 + data.size()) + "ic10" + be32(8 + data.size()) + data);
    }

    /// A bitmap context of `w` x `h` made current.
    Ref<NSGraphicsContext> canvas(int w, int h, bool flipped = false) {
        auto context = NSGraphicsContext::contextWithBitmap(w, h, flipped);
        NSGraphicsContext::setCurrentContext(context);
        return context;
    }

    fixtures::TempDir dir;
};

bool near(Pixel p, Pixel want, int tolerance = 6) {
    return std::abs(p.r - want.r) <= tolerance && std::abs(p.g - want.g) <= tolerance &&
           std::abs(p.b - want.b) <= tolerance && std::abs(p.a - want.a) <= tolerance;
}

TEST_F(ImageKeepingTest, IconKeepsOnlyThePixelsOfItsSizeAndDrawsTheSameColours) {
    struct Case {
        int member;
        NSSize size;  // zero: none set
        std::pair<int, int> kept;
    };
    const Case cases[] = {
        {256, {32, 32}, {32, 32}},  // the list's icons
        {256, {48, 24}, {48, 24}},  // scaled to the size set, not kept square
        {16, {32, 32}, {16, 16}},   // never scaled up
        {64, {0, 0}, {64, 64}},     // no size set: the member as it is
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.member) + " px to " + std::to_string(int(c.size.width)));
        auto image = NSImage::initWithContentsOfFile(icon(c.member));
        ASSERT_TRUE(image);
        if (c.size.width > 0) image->setSize(c.size);
        ASSERT_TRUE(image->isValid());
        EXPECT_EQ(keptBitmapPixels(*image), c.kept);
        // Drawn upright with its colours, premultiplied once, whatever it keeps.
        auto context = canvas(40, 40, true);
        image->drawInRect(NSMakeRect(0, 0, 40, 40));
        EXPECT_TRUE(near(context->pixelAt(8, 8), Pixel{255, 0, 0, 255}));
        EXPECT_TRUE(near(context->pixelAt(31, 8), Pixel{0, 0, 255, 255}));
        EXPECT_TRUE(near(context->pixelAt(8, 31), Pixel{0, 255, 0, 255}));
        EXPECT_TRUE(near(context->pixelAt(31, 31), Pixel{255, 255, 255, 128}));
    }
}

TEST_F(ImageKeepingTest, IconGivenALargerSizeIsReadAgainAndDrawingIntoItIsKept) {
    auto image = NSImage::initWithContentsOfFile(icon(256));
    image->setSize(NSMakeSize(32, 32));
    ASSERT_TRUE(image->isValid());
    image->setSize(NSMakeSize(16, 16));
    EXPECT_EQ(keptBitmapPixels(*image), (std::pair{32, 32})) << "a smaller size needs no read";
    image->setSize(NSMakeSize(64, 64));
    EXPECT_FALSE(image->isDecoded());
    ASSERT_TRUE(image->isValid());
    EXPECT_EQ(keptBitmapPixels(*image), (std::pair{64, 64}));

    // What is drawn into the icon is its content from then on.
    image->lockFocus();
    NSColor::yellowColor()->setFill();
    NSRectFill(NSMakeRect(0, 0, 8, 8));
    image->unlockFocus();
    image->setSize(NSMakeSize(128, 128));
    auto context = canvas(128, 128);
    image->drawInRect(NSMakeRect(0, 0, 128, 128), NSZeroRect, NSCompositingOperationSourceOver, 1);
    EXPECT_TRUE(near(context->pixelAt(4, 124), Pixel{255, 255, 0, 255}));
}

TEST_F(ImageKeepingTest, PngGivenASizeKeepsAllItsPixels) {
    auto bitmap = canvas(64, 64);
    NSColor::redColor()->setFill();
    NSRectFill(NSMakeRect(0, 0, 64, 64));
    const std::string path = dir / "plain.png";
    ASSERT_TRUE(bitmap->writePNG(path));
    auto image = NSImage::initWithContentsOfFile(path);
    image->setSize(NSMakeSize(16, 16));
    ASSERT_TRUE(image->isValid());
    EXPECT_EQ(keptBitmapPixels(*image), (std::pair{64, 64}));
}

/// A red square filling its 10 x 10 viewport.
const char* kSquareSvg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10">
<rect x="0" y="0" width="10" height="10" fill="#ff0000"/></svg>)";

TEST_F(ImageKeepingTest, SvgIsRenderedOncePerSizeAndAFewSizesAreKept) {
    auto image = NSImage::initWithContentsOfFile(dir.write("square.svg", kSquareSvg));
    ASSERT_TRUE(image);
    auto context = canvas(100, 100);
    const auto drawAt = [&](double side) {
        const unsigned long before = NSImage::svgRenderingCount();
        image->drawInRect(NSMakeRect(0, 0, side, side));
        return NSImage::svgRenderingCount() - before;
    };
    EXPECT_EQ(drawAt(20), 1u);
    EXPECT_EQ(drawAt(20), 0u) << "the same size again copies the kept pixels";
    EXPECT_EQ(drawAt(30), 1u);
    EXPECT_EQ(drawAt(20), 0u);
    // More sizes than a document keeps: the least recently drawn one goes.
    for (std::size_t i = 0; i < NSImage::kSvgSizesKept; ++i)
        EXPECT_EQ(drawAt(40 + double(i)), 1u);
    EXPECT_EQ(drawAt(30), 1u);
    // A rendering too large to keep is rendered every time.
    auto large = canvas(2000, 2000);
    EXPECT_EQ(drawAt(1200), 1u);
    EXPECT_EQ(drawAt(1200), 1u);
}

TEST_F(ImageKeepingTest, KeptSvgPixelsLandWhereRenderingWouldPutThem) {
    auto image = NSImage::initWithContentsOfFile(dir.write("square.svg", kSquareSvg));
    struct Case {
        double x;
        bool flipped;
    };
    for (Case c : {Case{2, false}, Case{2.5, false}, Case{2.5, true}, Case{3.25, true}}) {
        SCOPED_TRACE(std::to_string(c.x) + (c.flipped ? " flipped" : ""));
        for (int pass = 0; pass < 2; ++pass) {  // rendered, then copied from what is kept
            auto context = canvas(20, 20, c.flipped);
            image->drawInRect(NSMakeRect(c.x, 4, 10, 10));
            const int first = int(c.x), last = int(c.x + 10);
            // An edge pixel is covered by the square and, once more, by the clip to the
            // destination rectangle, as when the vectors are rendered there.
            const double cover = 1 - (c.x - first);
            EXPECT_NEAR(context->pixelAt(first, 9).a, 255 * cover * cover, 2) << pass;
            EXPECT_EQ(context->pixelAt(first + 1, 9), (Pixel{255, 0, 0, 255})) << pass;
            EXPECT_EQ(context->pixelAt(last - 1, 9), (Pixel{255, 0, 0, 255})) << pass;
            const double rest = c.x != first ? 1 - cover : 0;
            EXPECT_NEAR(context->pixelAt(last, 9).a, 255 * rest * rest, 2) << pass;
            EXPECT_EQ(context->pixelAt(first - 1, 9).a, 0) << pass;
        }
    }
}

}  // namespace
