#pragma once
// The "Name" cell of the tree lists: a check box, an icon and a label side by side. The owner
// fills the three sub-cells before each draw; a mouse-down on the check box tells the
// delegate from inside the hit test, before any tracking.

#include <string>

#include "platform/appkit/NSButtonCell.h"
#include "platform/appkit/NSImageCell.h"
#include "platform/appkit/NSTextFieldCell.h"

class NewButtonDelegate;

class NewButton : public NSButtonCell {
  public:
    static Ref<NewButton> make() { return std::make_shared<NewButton>(); }
    NewButton() = default;
    NewButton(const NewButton&) = default;

    /// The row's text (retained).
    const Ref<NSTextFieldCell>& label() const { return label_; }
    void setLabel(const Ref<NSTextFieldCell>& label) { label_ = label; }
    /// The row's icon (retained).
    const Ref<NSImageCell>& iconImageCell() const { return iconImageCell_; }
    void setIconImageCell(const Ref<NSImageCell>& cell) { iconImageCell_ = cell; }
    /// The check-box image of the row's selection state (retained).
    const Ref<NSImageCell>& selectImageCell() const { return selectImageCell_; }
    void setSelectImageCell(const Ref<NSImageCell>& cell) { selectImageCell_ = cell; }
    /// A stored integer in place of the button cell's own state.
    NSControlStateValue state() const override { return state_; }
    void setState(NSControlStateValue state) override { state_ = static_cast<int>(state); }
    /// Kept for the owner; the cell does not read it.
    const std::string& name() const { return name_; }
    void setName(const std::string& name) { name_ = name; }
    /// Whether the row is the list's selected row; kept for the owner.
    bool isSelect() const { return isSelect_; }
    void setIsSelect(bool select) { isSelect_ = select; }
    /// Receives the check-box clicks when it adopts NewButtonDelegate; not retained.
    const WeakRef<NSObject>& delegate() const { return delegate_; }
    void setDelegate(WeakRef<NSObject> delegate) { delegate_ = std::move(delegate); }

    /// The size of the label rectangle.
    NSSize _imageSize() const { return NSMakeSize(300, 22); }
    /// The size of the icon rectangle.
    NSSize _iconImageSzie() const { return NSMakeSize(24, 24); }

    /// The check box: 16 x 16 at the left edge, centred vertically; zero without the cell.
    NSRect selectImageRectForBounds(NSRect bounds) const;
    /// The icon: 33 points in, centred vertically; zero without the cell.
    NSRect iconImageRectForBounds(NSRect bounds) const;
    /// The label: after the icon (or 10 points in without one); zero without the cell.
    NSRect imageRectForBounds(NSRect bounds) const override;
    /// Where a mouse-down counts as a check-box click.
    static NSRect clickAreaForBounds(NSRect bounds);

    /// Gives the check-box cell this cell as target with aaa: as action.
    void awakeFromNib() override;
    /// Icon, check box, label (always in the light text colour, then made not editable),
    /// then the button cell itself over the whole frame.
    void drawWithFrame(NSRect cellFrame, NSView* controlView) override;
    /// Outside the click area: no hit. Inside: tells the delegate (when it answers) and
    /// answers the button's hit test for the area with the trackable flag.
    NSCellHitResult hitTestForEvent(NSEvent& event, NSRect cellFrame, NSView* controlView) override;

    /// The check-box cell's action: tells the delegate (when it answers).
    void aaa(NSObject* sender);
    /// Does nothing (interface files may name it).
    void changeVlaue(NSObject* sender);

    static void registerClass();

  protected:
    /// The copy shares the three sub-cells and shows its image to the left of the title.
    Ref<NSCell> clone() const override;

  private:
    NewButtonDelegate* answeringDelegate(Ref<NSObject>& keep) const;

    Ref<NSTextFieldCell> label_;
    Ref<NSImageCell> iconImageCell_;
    Ref<NSImageCell> selectImageCell_;
    int state_ = 0;
    std::string name_;
    bool isSelect_ = false;
    WeakRef<NSObject> delegate_;
};
