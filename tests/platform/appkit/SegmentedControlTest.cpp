// Catches segmented controls that lay segments out wrongly, select or act on a disabled
// segment or a release over another segment, break a tracking mode's selection rule, keep a
// selection past the last segment, or draw the selected segment like the others.
#include "platform/appkit/NSSegmentedControl.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/ControlTestSupport.h"

using namespace controltest;

namespace {

class Segments : public ControlWindow {
  protected:
    void SetUp() override {
        ControlWindow::SetUp();
        control = NSSegmentedControl::make(NSMakeRect(0, 30, 180, 40));
        control->setSegmentCount(3);
        control->setLabel("A", 0);
        control->setLabel("B", 1);
        control->setLabel("C", 2);
        control->setTarget(recorder);
        control->setAction(SEL("press:"));
        add(control);
    }
    /// The middle of segment `i` (60 points each) in window coordinates.
    static NSPoint centreOf(long i) { return {30.0 + 60 * i, 50}; }
    Ref<NSSegmentedControl> control;
};

TEST_F(Segments, AutomaticWidthsShareWhatFixedWidthsLeave) {
    control->setWidth(40, 1);
    auto rects = control->cell()->segmentRectsForFrame(NSMakeRect(10, 0, 180, 20));
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0], NSMakeRect(10, 0, 70, 20));
    EXPECT_EQ(rects[1], NSMakeRect(80, 0, 40, 20));
    EXPECT_EQ(rects[2], NSMakeRect(120, 0, 70, 20));
}

TEST_F(Segments, ClicksSelectAsTheTrackingModeSays) {
    struct Case {
        const char* name;
        NSSegmentSwitchTracking mode;
        std::vector<long> clicks;
        std::vector<bool> selected;  // afterwards
        std::size_t actions;
    };
    const Case cases[] = {
        {"select one", NSSegmentSwitchTrackingSelectOne, {0, 2}, {false, false, true}, 2},
        {"select one twice", NSSegmentSwitchTrackingSelectOne, {1, 1}, {false, true, false}, 2},
        {"select any", NSSegmentSwitchTrackingSelectAny, {0, 2}, {true, false, true}, 2},
        {"select any toggles", NSSegmentSwitchTrackingSelectAny, {0, 0}, {false, false, false}, 2},
        {"momentary", NSSegmentSwitchTrackingMomentary, {1}, {false, false, false}, 1},
    };
    for (const Case& c : cases) {
        control->setTrackingMode(c.mode);
        control->setSelectedSegment(-1);
        recorder->senders.clear();
        long selectedDuringAction = -2;
        recorder->onPress = [&](NSObject*) { selectedDuringAction = control->selectedSegment(); };
        for (long segment : c.clicks)
            click(centreOf(segment));
        for (long i = 0; i < 3; ++i)
            EXPECT_EQ(control->isSelectedForSegment(i), c.selected[static_cast<std::size_t>(i)])
                << c.name << ", segment " << i;
        EXPECT_EQ(recorder->senders.size(), c.actions) << c.name;
        if (c.mode != NSSegmentSwitchTrackingSelectAny) {
            EXPECT_EQ(selectedDuringAction, c.clicks.back()) << c.name;
        }
    }
}

TEST_F(Segments, OnlyAReleaseOverTheSameEnabledSegmentActs) {
    struct Case {
        const char* name;
        std::vector<Event> events;
        bool segmentEnabled, controlEnabled;
        long selected;
    };
    const Case cases[] = {
        {"press and release on B",
         {{NSEventTypeLeftMouseDown, centreOf(1)}, {NSEventTypeLeftMouseUp, centreOf(1)}},
         true,
         true,
         1},
        {"press on B, release on C",
         {{NSEventTypeLeftMouseDown, centreOf(1)},
          {NSEventTypeLeftMouseDragged, centreOf(2)},
          {NSEventTypeLeftMouseUp, centreOf(2)}},
         true,
         true,
         -1},
        {"B disabled",
         {{NSEventTypeLeftMouseDown, centreOf(1)}, {NSEventTypeLeftMouseUp, centreOf(1)}},
         false,
         true,
         -1},
        {"control disabled",
         {{NSEventTypeLeftMouseDown, centreOf(1)}, {NSEventTypeLeftMouseUp, centreOf(1)}},
         true,
         false,
         -1},
    };
    for (const Case& c : cases) {
        control->setSelectedSegment(-1);
        control->setEnabledForSegment(c.segmentEnabled, 1);
        control->setEnabled(c.controlEnabled);
        recorder->senders.clear();
        perform(c.events);
        EXPECT_EQ(control->selectedSegment(), c.selected) << c.name;
        EXPECT_EQ(recorder->senders.size(), c.selected >= 0 ? 1u : 0u) << c.name;
        EXPECT_EQ(control->cell()->pressedSegment(), -1) << c.name;
    }
}

TEST_F(Segments, SelectionFollowsTheSegments) {
    control->setSelectedSegment(2);
    control->setSelectedSegment(7);  // out of range: ignored
    EXPECT_EQ(control->selectedSegment(), 2);
    control->setSegmentCount(2);
    EXPECT_EQ(control->selectedSegment(), -1) << "the selected segment is gone";
    EXPECT_EQ(control->labelForSegment(1), "B");
    EXPECT_EQ(control->labelForSegment(5), "");
    control->setSegmentCount(3);
    EXPECT_EQ(control->labelForSegment(2), "") << "a new segment starts empty";
}

TEST_F(Segments, TheSelectedSegmentLooksDifferent) {
    control->setLabel("", 0);
    control->setLabel("", 1);
    control->setLabel("", 2);
    control->setSelectedSegment(1);
    Pixel selected = at(centreOf(1).x, 50);
    Pixel other = at(centreOf(0).x, 50);
    EXPECT_TRUE(near(selected, 49, 190, 106, 40));
    EXPECT_FALSE(near(other, 49, 190, 106, 60));
    control->setSelectedSegment(0);
    EXPECT_TRUE(near(at(centreOf(0).x, 50), 49, 190, 106, 40));
    EXPECT_FALSE(near(at(centreOf(1).x, 50), 49, 190, 106, 60));
}

}  // namespace
