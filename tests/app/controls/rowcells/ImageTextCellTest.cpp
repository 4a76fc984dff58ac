// Catches an application-name cell that draws its icon upside down or off its place in a
// flipped list, draws text where there is none, lets a long name run past its 200 points, or
// gives copies objects of their own.
#include "controls/rowcells/ImageTextCell.h"

#include <gtest/gtest.h>

#include "app/controls/rowcells/RowCellTestWindow.h"

using namespace rowcelltest;

namespace {

class ImageTextCellDrawing : public RowCellWindow {
  protected:
    void SetUp() override {
        RowCellWindow::SetUp();
        cell = ImageTextCell::make();
        // Red above, blue below: upright shows red at the top.
        cell->setIconImage(
            solidImage(NSMakeSize(64, 64), NSColor::redColor(), NSColor::blueColor()));
    }
    /// The columns of the row band (cell-local x from 0 to 300) that hold light text pixels.
    std::pair<int, int> lightColumns(const Ref<NSGraphicsContext>& surface, CellHostView& host,
                                     NSRect frame) {
        int first = -1, last = -1;
        for (int dx = 0; dx < 300; ++dx)
            for (int dy = 0; dy < int(frame.size.height); ++dy) {
                Pixel px =
                    pixelOf(surface, host, frame.origin.x + dx + 0.5, frame.origin.y + dy + 0.5);
                if (px.r > 150 && px.g > 150 && px.b > 150) {
                    if (first < 0) first = dx;
                    last = dx;
                }
            }
        return {first, last};
    }

    Ref<ImageTextCell> cell;
};

TEST_F(ImageTextCellDrawing, TheIconStandsUprightTenPointsFromTheEdgesOfAFlippedRow) {
    const NSRect frame = NSMakeRect(20, 96, 300, 48);
    auto host = addHost(cell, frame, true);
    struct Probe {
        const char* name;
        double dx, dy;  // from the frame's top-left, y downwards
        int r, g, b;
    };
    const Probe probes[] = {
        {"icon top, red", 11.5, 10.5, 255, 0, 0}, {"icon upper half", 25, 18, 255, 0, 0},
        {"icon lower half", 25, 30, 0, 0, 255},   {"icon bottom, blue", 38.5, 37.5, 0, 0, 255},
        {"left of the icon", 10.5, 24, 0, 0, 0},  {"above the icon", 25, 9.5, 0, 0, 0},
        {"below the icon", 25, 38.5, 0, 0, 0},    {"right of the icon", 39.5, 24, 0, 0, 0},
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(p.name);
        Pixel px = pixelIn(*host, frame.origin.x + p.dx, frame.origin.y + p.dy);
        EXPECT_TRUE(near(px, p.r, p.g, p.b)) << int(px.r) << " " << int(px.g) << " " << int(px.b);
    }
}

TEST_F(ImageTextCellDrawing, InAViewThatIsNotFlippedTheIconStandsUprightTooAtItsOrigin) {
    const NSRect frame = NSMakeRect(20, 96, 300, 48);
    auto host = addHost(cell, frame, false);
    // y upwards: the icon spans y + 10 to y + 38.
    EXPECT_TRUE(near(pixelIn(*host, 40, 96 + 36), 255, 0, 0));
    EXPECT_TRUE(near(pixelIn(*host, 40, 96 + 12), 0, 0, 255));
    EXPECT_TRUE(near(pixelIn(*host, 40, 96 + 9), 0, 0, 0));
}

TEST_F(ImageTextCellDrawing, TheTextStartsBelowTheTopAndIsCutWithinTwoHundredPoints) {
    const NSRect frame = NSMakeRect(0, 48, 300, 48);
    cell->setIconImage(nullptr);
    cell->setPrimaryTextKeyPath(std::string(80, 'W'));
    auto host = addHost(cell, frame, true);
    auto surface = pt::renderWindow(*window);
    ASSERT_TRUE(surface);
    auto [first, last] = lightColumns(surface, *host, frame);
    EXPECT_GE(first, 49);
    EXPECT_LT(last, 49 + 200);
    EXPECT_GT(last, 49 + 150);  // it does fill its box
    // Nothing above the text box.
    for (int dy = 0; dy < 14; ++dy) {
        Pixel px = pixelIn(*host, 100.5, frame.origin.y + dy + 0.5);
        EXPECT_TRUE(near(px, 0, 0, 0, 20)) << dy;
    }
}

TEST_F(ImageTextCellDrawing, WithoutTextOnlyTheIconIsDrawn) {
    const NSRect frame = NSMakeRect(0, 48, 300, 48);
    cell->setSecondaryTextKeyPath(std::string("com.example.app"));
    cell->setIconKeyPath(std::string("icon"));
    cell->setStringValue("the cell's own value");
    auto host = addHost(cell, frame, true);
    auto surface = pt::renderWindow(*window);
    ASSERT_TRUE(surface);
    EXPECT_EQ(lightColumns(surface, *host, frame).first, -1);
    EXPECT_TRUE(near(pixelIn(*host, 25, 48 + 20), 255, 0, 0));
}

TEST(ImageTextCellCopies, ReferToTheSameObjects) {
    auto cell = ImageTextCell::make();
    auto icon = NSImage::initWithSize(NSMakeSize(28, 28));
    cell->setIconImage(icon);
    cell->setPrimaryTextKeyPath(std::string("Preview"));
    cell->setSecondaryTextKeyPath(std::string("com.apple.Preview"));
    auto copy = std::dynamic_pointer_cast<ImageTextCell>(cell->copy());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->iconImage(), icon);
    EXPECT_EQ(copy->primaryTextKeyPath(), std::optional<std::string>("Preview"));
    EXPECT_EQ(copy->secondaryTextKeyPath(), std::optional<std::string>("com.apple.Preview"));
    EXPECT_FALSE(copy->iconKeyPath());
}

}  // namespace
