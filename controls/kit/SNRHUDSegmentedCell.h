#pragma once
// A dark segmented cell of the drawing kit: a thin dark rounded border, a flat green selected
// segment, one-point dividers between unselected segments, and centred white or light grey
// labels. A disabled cell or segment draws at half opacity.

#include "platform/appkit/NSSegmentedCell.h"
#include "platform/graphics/NSBezierPath.h"

class SNRHUDSegmentedCell : public NSSegmentedCell {
  public:
    static Ref<SNRHUDSegmentedCell> make() { return std::make_shared<SNRHUDSegmentedCell>(); }
    SNRHUDSegmentedCell() = default;
    SNRHUDSegmentedCell(const SNRHUDSegmentedCell&) = default;

    /// The border, then every segment clipped to it. Segments of width 0 share the border's
    /// width less 7 points per gap; every segment but the last is 7 points wider than its share
    /// or its set width.
    void drawWithFrame(NSRect cellFrame, NSView* controlView) override;
    /// Strokes the rounded border of `frame` and returns its path.
    Ref<NSBezierPath> snr_drawBackgroundWithFrame(NSRect frame, NSView* controlView);
    /// The fill of a selected segment, its label, the pressed look under a left mouse-down
    /// inside it, and the divider that follows an unselected segment.
    void drawSegment(long segment, NSRect frame, NSView* controlView) override;
    /// The label of `segment`, centred in `frame` on whole points.
    void snr_drawInteriorOfSegment(long segment, NSRect frame, NSView* controlView);

    static void registerClass();

  protected:
    Ref<NSCell> clone() const override;
};
