#pragma once
// A sidebar entry: an icon and a title over a backdrop that shows only while the entry is
// selected. A click performs the stored action on the delegate with the tag as text.

#include <string>

#include "platform/appkit/NSView.h"

class NSImage;
class NSImageView;
class NSTextField;

class LeftTypeButton : public NSView {
  public:
    static Ref<LeftTypeButton> make(NSRect frame = NSZeroRect) {
        auto button = std::make_shared<LeftTypeButton>();
        button->initWithFrame(frame);
        return button;
    }

    /// Builds the entry from its two icons (normal, selected) and its title; sent once, after
    /// the frame is set.
    void setNormarlImage(const Ref<NSImage>& normal, const Ref<NSImage>& hover,
                         const std::string& title);

    bool isSelect() const { return isSelect_; }
    /// Stores the flag only; the next drawing applies the look.
    void setIsSelect(bool select) { isSelect_ = select; }
    int buttonTag() const { return buttonTag_; }
    void setButtonTag(int tag) { buttonTag_ = tag; }
    const Ref<NSObject>& delegate() const { return delegate_; }
    void setDelegate(const Ref<NSObject>& delegate) { delegate_ = delegate; }
    SEL buttonAction() const { return buttonAction_; }
    void setButtonAction(SEL action) { buttonAction_ = action; }
    const Ref<NSImage>& normarlImage() const { return normarlImage_; }
    const Ref<NSImage>& hoverImage() const { return hoverImage_; }
    const std::string& titleStr() const { return titleStr_; }

    /// Where the icon sits: (10, y + 7, 32, 32) for a rectangle at y.
    static NSRect getImageFrameForViewFrma(NSRect rect);
    /// Where the title sits: (50, y + 15, 150, 19) for a rectangle at y.
    static NSRect getTitleFrameForViewFrma(NSRect rect);

    void drawRect(NSRect dirtyRect) override;
    void mouseDown(NSEvent& event) override;
    /// The whole entry takes the click, its icon and title included.
    NSView* hitTest(NSPoint point) override;

    // The parts, for the owner's tests and layout.
    NSImageView* iconImageView() const { return iconImageView_; }
    NSImageView* selectImageView() const { return selectImageView_; }
    NSTextField* titleLabel() const { return titleLabel_; }

    static void registerClass();

  private:
    bool isSelect_ = false;
    NSImageView* iconImageView_ = nullptr;
    NSImageView* selectImageView_ = nullptr;
    Ref<NSImage> normarlImage_;
    Ref<NSImage> hoverImage_;
    std::string titleStr_;
    NSTextField* titleLabel_ = nullptr;
    int buttonTag_ = 0;
    Ref<NSObject> delegate_;
    SEL buttonAction_;
};
