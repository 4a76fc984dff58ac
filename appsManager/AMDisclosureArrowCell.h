#pragma once
// The disclosure arrow of the review dialog's group rows: an image cell that also keeps a
// target and an action, and sends the action when a click on it is released inside it. The
// arrow is drawn at its own size, centred in the arrow area of the frame.

#include "platform/appkit/NSImageCell.h"

class AMDisclosureArrowCell : public NSImageCell {
  public:
    static Ref<AMDisclosureArrowCell> make() { return std::make_shared<AMDisclosureArrowCell>(); }
    AMDisclosureArrowCell();
    AMDisclosureArrowCell(const AMDisclosureArrowCell&) = default;

    /// The object that receives the action; not retained.
    WeakRef<NSObject> target() const override { return target_; }
    void setTarget(WeakRef<NSObject> target) override { target_ = std::move(target); }
    SEL action() const override { return action_; }
    void setAction(SEL action) override { action_ = action; }

    /// The width of the arrow area (40 points unless set). The dialog's outline hands this
    /// column's cells a frame that starts 10 points before the column and runs to the view's
    /// width; the area is the column itself then. A frame too narrow for that is the area.
    double areaWidth() const { return areaWidth_; }
    void setAreaWidth(double width) { areaWidth_ = width; }
    /// The arrow area of `bounds`.
    NSRect arrowAreaForBounds(NSRect bounds) const;
    /// The image at its own size, centred in the arrow area.
    NSRect imageRectForBounds(NSRect bounds) const override;

    /// Trackable inside the frame while the cell has an action; no hit otherwise.
    NSCellHitResult hitTestForEvent(NSEvent& event, NSRect cellFrame, NSView* controlView) override;
    /// Follows the click and, when it is released inside, sends the action through the control.
    bool trackMouse(NSEvent& event, NSRect cellFrame, NSView* controlView,
                    bool untilMouseUp) override;

    static void registerClass();

  protected:
    Ref<NSCell> clone() const override { return std::make_shared<AMDisclosureArrowCell>(*this); }

  private:
    WeakRef<NSObject> target_;
    SEL action_;
    double areaWidth_ = 40;
};
