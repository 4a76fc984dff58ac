#pragma once
// Segmented cells: a row of segments, each with a label or image, a width (0: an equal share of
// what the fixed widths leave), an enabled flag and a selected flag, chosen by clicks as the
// tracking mode says.

#include <string>
#include <vector>

#include "platform/appkit/NSActionCell.h"

enum NSSegmentSwitchTracking : unsigned long {
    NSSegmentSwitchTrackingSelectOne = 0,
    NSSegmentSwitchTrackingSelectAny = 1,
    NSSegmentSwitchTrackingMomentary = 2,
};

enum NSSegmentStyle : long {
    NSSegmentStyleAutomatic = 0,
    NSSegmentStyleRounded = 1,
    NSSegmentStyleTexturedRounded = 2,
    NSSegmentStyleRoundRect = 3,
    NSSegmentStyleTexturedSquare = 4,
    NSSegmentStyleCapsule = 5,
    NSSegmentStyleSmallSquare = 6,
    NSSegmentStyleSeparated = 8,
};

class NSSegmentedCell : public NSActionCell {
  public:
    static Ref<NSSegmentedCell> make() { return std::make_shared<NSSegmentedCell>(); }
    /// A cell without segments, selecting one segment at a time.
    NSSegmentedCell();

    long segmentCount() const { return static_cast<long>(segments_.size()); }
    /// Adds empty segments or drops the last ones (a dropped selection becomes -1).
    void setSegmentCount(long count);

    // Per segment; an index out of range reads as empty and is ignored when set.
    std::string labelForSegment(long segment) const;
    void setLabel(const std::string& label, long segment);
    Ref<NSImage> imageForSegment(long segment) const;
    using NSActionCell::setImage;
    void setImage(const Ref<NSImage>& image, long segment);
    /// The width set for `segment`; 0 means automatic.
    double widthForSegment(long segment) const;
    void setWidth(double width, long segment);
    bool isEnabledForSegment(long segment) const;
    void setEnabledForSegment(bool enabled, long segment);
    long tagForSegment(long segment) const;
    void setTagForSegment(long tag, long segment);
    std::string toolTipForSegment(long segment) const;
    void setToolTip(const std::string& toolTip, long segment);
    bool isSelectedForSegment(long segment) const;
    /// Selects or deselects `segment`; selecting one deselects the others unless the cell
    /// selects any.
    void setSelected(bool selected, long segment);

    /// The selected segment (the last one selected when several are), or -1.
    long selectedSegment() const;
    /// Selects `segment` alone (-1 deselects all); an index out of range changes nothing.
    void setSelectedSegment(long segment);
    /// Selects the first segment with `tag`; false when none has it.
    bool selectSegmentWithTag(long tag);

    NSSegmentSwitchTracking trackingMode() const { return trackingMode_; }
    void setTrackingMode(NSSegmentSwitchTracking mode) { trackingMode_ = mode; }
    NSSegmentStyle segmentStyle() const { return segmentStyle_; }
    /// Stored only: every style draws the same look here.
    void setSegmentStyle(NSSegmentStyle style) { segmentStyle_ = style; }
    /// The segment being pressed, or -1.
    long pressedSegment() const { return pressed_; }

    /// The rectangles of the segments within `cellFrame`, laid from the left.
    std::vector<NSRect> segmentRectsForFrame(NSRect cellFrame) const;
    /// The segment whose rectangle holds `point` (control view coordinates), or -1.
    long segmentAtPoint(NSPoint point, NSRect cellFrame, NSView* controlView) const;

    NSSize cellSizeForBounds(NSRect bounds) const override;
    /// The background, then each segment through drawSegment.
    void drawWithFrame(NSRect cellFrame, NSView* controlView) override;
    /// Draws the fill, label or image, and divider of `segment` in `frame`.
    virtual void drawSegment(long segment, NSRect frame, NSView* controlView);

    /// NSCellHitTrackableArea over an enabled segment of an enabled cell.
    NSCellHitResult hitTestForEvent(NSEvent& event, NSRect cellFrame, NSView* controlView) override;
    /// Presses the segment under the mouse; on release over the same enabled segment,
    /// selects it as the tracking mode says and sends the action.
    bool trackMouse(NSEvent& event, NSRect cellFrame, NSView* controlView,
                    bool untilMouseUp) override;
    bool prefersTrackingUntilMouseUp() const override { return true; }

  protected:
    NSSegmentedCell(const NSSegmentedCell&) = default;
    Ref<NSCell> clone() const override;

  private:
    struct Segment {
        std::string label;
        Ref<NSImage> image;
        double width = 0;
        bool enabled = true;
        bool selected = false;
        long tag = 0;
        std::string toolTip;
    };
    bool valid(long segment) const { return segment >= 0 && segment < segmentCount(); }
    void clickSegment(long segment);

    std::vector<Segment> segments_;
    long lastSelected_ = -1;
    long pressed_ = -1;
    NSSegmentSwitchTracking trackingMode_ = NSSegmentSwitchTrackingSelectOne;
    NSSegmentStyle segmentStyle_ = NSSegmentStyleAutomatic;
};
