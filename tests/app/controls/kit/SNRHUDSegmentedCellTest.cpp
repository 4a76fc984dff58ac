// Catches a dark segmented cell that lays its segments out with the wrong widths, puts
// dividers next to the selected segment (or after the last), draws a disabled cell or segment
// at full opacity, gives labels the wrong colour, or shows the pressed look for a press that is
// not on the segment or not in its window.
#include "controls/kit/SNRHUDSegmentedCell.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/controls/ButtonTestWindow.h"
#include "platform/appkit/NSSegmentedControl.h"
#include "platform/graphics/NSGraphicsContext.h"

using namespace buttontest;

namespace {

/// Records the rectangles its segments are drawn in.
class RecordingCell : public SNRHUDSegmentedCell {
  public:
    void drawSegment(long segment, NSRect frame, NSView* controlView) override {
        drawn.push_back({segment, frame});
        SNRHUDSegmentedCell::drawSegment(segment, frame, controlView);
    }
    std::vector<std::pair<long, NSRect>> drawn;
};

/// Draws its window into `seen` (or runs `onPress`) when pressed instead of tracking the press.
class SnapshotControl : public NSSegmentedControl {
  public:
    void mouseDown(NSEvent&) override {
        if (onPress)
            onPress();
        else if (NSWindow* w = window())
            seen = pt::renderWindow(*w);
    }
    Ref<NSGraphicsContext> seen;
    std::function<void()> onPress;
};

constexpr Pixel kGreen{49, 190, 106, 255};
constexpr Pixel kBorder{51, 55, 58, 255};

bool close(Pixel p, Pixel q, int tolerance = 3) {
    return near(p, q.r, q.g, q.b, tolerance);
}

class HUDSegments : public ButtonWindow {
  protected:
    void SetUp() override {
        ButtonWindow::SetUp();
        window->setBackgroundColor(NSColor::colorWithDeviceWhite(0.5, 1));
    }
    /// A control of `count` unlabelled segments with frame x 0..width, y 20..50 in the window.
    template <class Control = NSSegmentedControl>
    Ref<Control> place(double width, long count, const Ref<SNRHUDSegmentedCell>& cell) {
        auto control = std::make_shared<Control>();
        control->initWithFrame(NSMakeRect(0, 20, width, 30));
        control->setCell(cell);
        control->setSegmentCount(count);
        add(control);
        return control;
    }
    static Pixel pixel(const Ref<NSGraphicsContext>& surface, double x, double y) {
        return surface->pixelAt(int(x), surface->pixelsHigh() - 1 - int(y));
    }
};

TEST_F(HUDSegments, SegmentsShareTheWidthWithSevenPointsForEachButTheLast) {
    struct Case {
        const char* name;
        double frameWidth;
        std::vector<double> widths;  // set widths; 0 is automatic
        std::vector<double> drawnX, drawnWidths;
    };
    const Case cases[] = {
        {"two automatic", 201, {0, 0}, {0.5, 104}, {103.5, 96.5}},
        {"three automatic",
         151,
         {0, 0, 0},
         {0.5, 0.5 + 52 + 1.0 / 3, 0.5 + 104 + 2.0 / 3},
         {52 + 1.0 / 3, 52 + 1.0 / 3, 45 + 1.0 / 3}},
        {"set widths", 201, {50, 60}, {0.5, 57.5}, {57, 60}},
        {"one set, one automatic", 201, {50, 0}, {0.5, 57.5}, {57, 96.5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto cell = std::make_shared<RecordingCell>();
        auto control = place(c.frameWidth, long(c.widths.size()), cell);
        for (std::size_t i = 0; i < c.widths.size(); ++i)
            control->setWidth(c.widths[i], long(i));
        ASSERT_TRUE(pt::renderWindow(*window));
        ASSERT_EQ(cell->drawn.size(), c.widths.size());
        for (std::size_t i = 0; i < c.widths.size(); ++i) {
            const NSRect r = cell->drawn[i].second;
            EXPECT_EQ(cell->drawn[i].first, long(i));
            EXPECT_NEAR(r.origin.x, c.drawnX[i], 1e-4) << i;
            EXPECT_NEAR(r.size.width, c.drawnWidths[i], 1e-4) << i;
            // Inset by half a point, and one point less high.
            EXPECT_DOUBLE_EQ(r.origin.y, 0.5);
            EXPECT_DOUBLE_EQ(r.size.height, 28);
        }
        control->removeFromSuperview();
    }
}

TEST_F(HUDSegments, DividersFollowUnselectedSegmentsNotBeforeTheSelectedOne) {
    // Three automatic segments of a 151-point cell: dividers fall on columns 52 and 104.
    struct Case {
        const char* name;
        long selected;
        bool dividerAfter0, dividerAfter1;
    };
    const Case cases[] = {
        {"first selected", 0, false, true},
        {"middle selected", 1, false, false},
        {"last selected", 2, true, false},
        {"none selected", -1, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto control = place(151, 3, SNRHUDSegmentedCell::make());
        control->setSelectedSegment(c.selected);
        auto surface = pt::renderWindow(*window);
        // Column 52 lies at the right end of segment 0, column 104 at that of segment 1.
        EXPECT_EQ(close(pixel(surface, 52, 35), kBorder), c.dividerAfter0);
        EXPECT_EQ(close(pixel(surface, 104, 35), kBorder), c.dividerAfter1);
        // A divider is one point wide.
        EXPECT_FALSE(close(pixel(surface, 51, 35), kBorder));
        EXPECT_FALSE(close(pixel(surface, 103, 35), kBorder));
        control->removeFromSuperview();
    }
}

TEST_F(HUDSegments, DisabledCellsAndSegmentsDrawAtHalfOpacity) {
    // Two automatic segments of 201 points, both selected in turn over a black window.
    window->setBackgroundColor(NSColor::blackColor());
    const Pixel half{25, 95, 53, 255};
    struct Case {
        const char* name;
        bool cellEnabled, segmentEnabled;
        Pixel expected;
    };
    const Case cases[] = {
        {"enabled", true, true, kGreen},
        {"disabled cell", false, true, half},
        {"disabled segment", true, false, half},
        {"disabled cell and segment", false, false, half},  // not a quarter
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto control = place(201, 2, SNRHUDSegmentedCell::make());
        control->setSelected(true, 0);
        control->setEnabledForSegment(c.segmentEnabled, 0);
        control->setEnabled(c.cellEnabled);
        auto surface = pt::renderWindow(*window);
        EXPECT_TRUE(close(pixel(surface, 50, 35), c.expected, 4));
        // The bottom border (under the unselected segment) dims with the cell only.
        const Pixel border = pixel(surface, 150, 21);
        EXPECT_LT(border.g, c.cellEnabled ? 60 : 40);
        EXPECT_GT(border.g, c.cellEnabled ? 40 : 15);
        control->removeFromSuperview();
    }
}

TEST_F(HUDSegments, LabelsAreWhiteWhenSelectedAndLightGreyOtherwise) {
    window->setBackgroundColor(NSColor::blackColor());
    auto control = place(201, 2, SNRHUDSegmentedCell::make());
    control->setLabel("MMMM", 0);
    control->setLabel("MMMM", 1);
    control->setSelectedSegment(1);
    auto surface = pt::renderWindow(*window);
    auto brightest = [&](double x0, double x1) {
        int best = 0;
        for (double x = x0; x < x1; ++x)
            for (double y = 24; y < 46; ++y)
                best = std::max<int>(best, pixel(surface, x, y).r);
        return best;
    };
    EXPECT_NEAR(brightest(10, 95), 179, 4);    // unselected: white 0.7
    EXPECT_NEAR(brightest(110, 195), 255, 4);  // selected: white over green
}

TEST_F(HUDSegments, APressInsideASegmentDarkensItWhileTheMouseIsDown) {
    struct Case {
        const char* name;
        bool segmentEnabled;
        bool darkened;
    };
    for (const Case& c :
         {Case{"enabled segment", true, true}, Case{"disabled segment", false, false}}) {
        SCOPED_TRACE(c.name);
        auto control = place<SnapshotControl>(201, 2, SNRHUDSegmentedCell::make());
        control->setSelectedSegment(0);
        control->setEnabledForSegment(c.segmentEnabled, 1);
        pt::postMouse(*window, NSEventTypeLeftMouseDown, NSMakePoint(150, 35));
        pt::pumpEvents();
        ASSERT_TRUE(control->seen);
        EXPECT_TRUE(close(pixel(control->seen, 50, 35), kGreen));  // the other segment is not
        const Pixel pressed = pixel(control->seen, 150, 35);
        EXPECT_EQ(close(pressed, kBorder), c.darkened)
            << int(pressed.r) << " " << int(pressed.g) << " " << int(pressed.b);
        // Once the press is over, the segment draws as before.
        EXPECT_FALSE(close(at(150, 35), kBorder));
        pt::postMouse(*window, NSEventTypeLeftMouseUp, NSMakePoint(150, 35));
        pt::pumpEvents();
        control->removeFromSuperview();
    }
}

TEST_F(HUDSegments, APressInAnotherWindowDoesNotDarkenASegment) {
    auto control = place(201, 2, SNRHUDSegmentedCell::make());
    control->setSelectedSegment(0);
    // A second window, pressed at the point that segment 1 has in the first.
    auto other = makeWindow(NSMakeRect(300, 0, 200, 100));
    auto snapshot = std::make_shared<SnapshotControl>();
    snapshot->initWithFrame(NSMakeRect(0, 0, 200, 100));
    other->contentView()->addSubview(snapshot);
    other->makeKeyAndOrderFront();
    Ref<NSGraphicsContext> seen;
    snapshot->onPress = [&] { seen = pt::renderWindow(*window); };
    pt::postMouse(*other, NSEventTypeLeftMouseDown, NSMakePoint(150, 35));
    pt::pumpEvents();
    ASSERT_TRUE(seen);
    EXPECT_FALSE(close(pixel(seen, 150, 35), kBorder));
    pt::postMouse(*other, NSEventTypeLeftMouseUp, NSMakePoint(150, 35));
    pt::pumpEvents();
    other->orderOut();
}

}  // namespace
