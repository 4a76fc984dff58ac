#pragma once
// Segmented controls: a row of segments drawn and tracked by an NSSegmentedCell; a click on an
// enabled segment selects it as the tracking mode says and sends the action.

#include <string>

#include "platform/appkit/NSControl.h"
#include "platform/appkit/NSSegmentedCell.h"

class NSSegmentedControl : public NSControl {
  public:
    static Ref<NSSegmentedControl> make(NSRect frame = NSZeroRect) {
        auto control = std::make_shared<NSSegmentedControl>();
        control->initWithFrame(frame);
        return control;
    }
    NSSegmentedControl() = default;

    /// New segmented controls get an NSSegmentedCell.
    Ref<NSCell> makeCell() const override;
    /// The cell as a segmented cell (nullptr when another kind of cell was set).
    NSSegmentedCell* cell() const;

    long segmentCount() const;
    void setSegmentCount(long count);
    std::string labelForSegment(long segment) const;
    void setLabel(const std::string& label, long segment);
    Ref<NSImage> imageForSegment(long segment) const;
    void setImage(const Ref<NSImage>& image, long segment);
    double widthForSegment(long segment) const;
    /// 0 makes the width automatic.
    void setWidth(double width, long segment);
    bool isEnabledForSegment(long segment) const;
    void setEnabledForSegment(bool enabled, long segment);
    bool isSelectedForSegment(long segment) const;
    void setSelected(bool selected, long segment);
    long selectedSegment() const;
    /// Selects `segment` alone; -1 deselects every segment.
    void setSelectedSegment(long segment);
    bool selectSegmentWithTag(long tag);
    NSSegmentSwitchTracking trackingMode() const;
    void setTrackingMode(NSSegmentSwitchTracking mode);
    NSSegmentStyle segmentStyle() const;
    void setSegmentStyle(NSSegmentStyle style);

    /// Segmented controls lay out from the top.
    bool isFlipped() const override { return true; }
};
