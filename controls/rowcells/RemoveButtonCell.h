#pragma once
// The trash button of a list row. A mouse-down on the trash icon tells the delegate from
// inside the hit test; one latch shared by every trash cell of the process then refuses
// further trash clicks for a second, so that a double click removes one row, not two.

#include "platform/appkit/NSButtonCell.h"
#include "platform/appkit/NSImageCell.h"

class RemoveButtonCellDelegate;

class RemoveButtonCell : public NSButtonCell {
  public:
    static Ref<RemoveButtonCell> make() { return std::make_shared<RemoveButtonCell>(); }
    RemoveButtonCell() = default;
    RemoveButtonCell(const RemoveButtonCell&) = default;

    /// Whether the row is the list's selected row: the icon is drawn in its hover form.
    bool isIn() const { return isIn_; }
    void setIsIn(bool in) { isIn_ = in; }
    /// The cell that draws the trash icon (retained); made by the first draw when absent.
    const Ref<NSImageCell>& selectImageCell() const { return selectImageCell_; }
    void setSelectImageCell(const Ref<NSImageCell>& cell) { selectImageCell_ = cell; }
    /// Receives the trash clicks when it adopts RemoveButtonCellDelegate; not retained.
    const WeakRef<NSObject>& delegate() const { return delegate_; }
    void setDelegate(WeakRef<NSObject> delegate) { delegate_ = std::move(delegate); }

    NSSize _imageSize() const { return NSMakeSize(400, 22); }
    NSSize _iconImageSzie() const { return NSMakeSize(30, 30); }

    /// The trash icon: 26 x 26, 27 points in, centred vertically; zero without the cell.
    NSRect selectImageRectForBounds(NSRect bounds) const;
    /// Where a mouse-down counts as a trash click.
    static NSRect clickAreaForBounds(NSRect bounds);

    /// The trash icon ("icon_trash_hover" when isIn, else "icon_trash"), then the button cell
    /// itself over the whole frame.
    void drawWithFrame(NSRect cellFrame, NSView* controlView) override;
    /// Shows the hover icon while the mouse is held down; tracking goes on.
    bool startTrackingAt(NSPoint point, NSView* controlView) override;
    /// Shows the plain icon again (the next draw sets it from isIn anew).
    void stopTracking(NSPoint last, NSPoint stop, NSView* controlView, bool mouseIsUp) override;
    /// While the latch holds: no hit. Outside the click area: no hit. Inside: raises the latch,
    /// tells the delegate (when it answers) and answers the button's hit test for the area with
    /// the trackable flag.
    NSCellHitResult hitTestForEvent(NSEvent& event, NSRect cellFrame, NSView* controlView) override;

    /// Lowers the process-wide click latch (scheduled one second after an accepted click).
    void changeVlaue(NSObject* sender);

    /// The process-wide click latch: 0 when trash clicks are accepted.
    static int clickLatch();
    /// How long an accepted trash click refuses the next one, in seconds.
    static constexpr double kClickLatchSeconds = 1.0;
    /// For tests only: lowers the latch at once, so that one test's click does not refuse the
    /// next test's.
    static void resetClickLatchForTesting();

    static void registerClass();

  protected:
    /// The copy shares the icon cell.
    Ref<NSCell> clone() const override;

  private:
    void showImageNamed(const char* name);

    bool isIn_ = false;
    Ref<NSImageCell> selectImageCell_;
    WeakRef<NSObject> delegate_;
};
