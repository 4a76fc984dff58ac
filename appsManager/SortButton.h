#pragma once
// One entry of the sort pop-up: a label with a check mark that is filled green while it is
// the chosen entry, and tells its delegate its tag when clicked. The pointer entering or
// leaving it is passed on unchanged to its next responder.

#include <cstdint>
#include <string>

#include "platform/appkit/NSImageView.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSView.h"

class SortButton : public NSView {
  public:
    static Ref<SortButton> make(NSRect frame = NSZeroRect) {
        auto button = std::make_shared<SortButton>();
        button->initWithFrame(frame);
        return button;
    }

    /// Tracks the pointer over the bounds (owner itself, no user data, not assumed inside).
    void awakeFromNib() override;
    /// Makes the check mark (4, 4, 8 by 8) and the label (16, 1, 80 by 16) on the first call,
    /// then sets the label's text.
    void setButtonString(const std::string& text);
    /// Whether the entry is drawn as chosen; redraws it.
    void setSelectStart(bool select);
    bool isSelect() const { return isSelect_; }

    /// Tells the delegate the tag, then redraws the entry.
    void mouseDown(NSEvent& event) override;
    /// Chosen: green fill, white label and the check mark; otherwise no fill, a dimmed label
    /// and no mark.
    void drawRect(NSRect dirtyRect) override;

    /// The entry's number, 0 to 3, read as a 32-bit value (setTag stores it).
    long tag() const override { return static_cast<std::int32_t>(NSView::tag()); }

    /// The object told of clicks (not retained); it hears them when it adopts
    /// SortButtonDelegate.
    Ref<NSObject> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<NSObject>& delegate) { delegate_ = delegate; }

    /// The label and the check mark (nullptr until setButtonString).
    NSTextField* textField() const { return textField_.get(); }
    NSImageView* selImageV() const { return selImageV_.get(); }

    static void registerClass();

  private:
    Ref<NSTextField> textField_;
    Ref<NSImageView> selImageV_;
    bool isSelect_ = false;
    WeakRef<NSObject> delegate_;
};
