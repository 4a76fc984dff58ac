#pragma once
// A push button drawn from four images (normal, pressed, hover, disabled) with a centred
// label whose colour follows the state. Its own usable flag (setButtonEnabled) comes on top
// of the control's enabled state.

#include <string>

#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSTextField.h"
#include "platform/graphics/NSImage.h"

class TextImageButton : public NSButton {
  public:
    static Ref<TextImageButton> make(NSRect frame = NSZeroRect) {
        auto button = std::make_shared<TextImageButton>();
        button->initWithFrame(frame);
        return button;
    }

    /// The control's initialiser, then usable. Buttons from interface files skip it and stay
    /// unusable until setButtonEnabled(true).
    void initWithFrame(NSRect frame) override;

    /// Loads the four images by name; they are drawn over the frame's size as it is now, and
    /// the pointer is tracked over the bounds.
    void setImageFromFileNormalName(const std::string& normal, const std::string& active,
                                    const std::string& hover, const std::string& disable);
    /// Sets the label's text, making the label on first use (its font is chosen then only).
    void setTextWithName(const std::string& text, float fontSize);
    /// Makes the button usable or not and redraws it at once.
    void setButtonEnabled(bool enabled);
    /// The usable flag (true: usable).
    bool isButtonEnabled() const { return isDisabled_; }

    /// Whether the pointer is over the button; setting only stores the flag.
    bool isFocus() const { return isFocus_; }
    void setIsFocus(bool focus) { isFocus_ = focus; }
    /// Whether the mouse button is held down on the button.
    bool isTracking() const { return isTracking_; }

    /// The label (nullptr until setTextWithName).
    NSTextField* textField() const { return textField_.get(); }
    const Ref<NSImage>& normalImage() const { return normalImage_; }
    const Ref<NSImage>& activeImage() const { return activeImage_; }
    const Ref<NSImage>& hoverImage() const { return hoverImage_; }
    const Ref<NSImage>& disableImage() const { return disableImage_; }

    /// The image and label colour of the current state; without a normal image the plain
    /// button is drawn.
    void drawRect(NSRect dirtyRect) override;
    /// Ignored while unusable; otherwise shows the pressed image while the click is tracked.
    void mouseDown(NSEvent& event) override;
    /// Shows the hover image (enabled buttons only).
    void mouseEntered(NSEvent& event) override;
    void mouseExited(NSEvent& event) override;

    static void registerClass();

  private:
    Ref<NSColor> baseTextColor() const;
    void setLabelColor(const Ref<NSColor>& color);
    void drawImage(const Ref<NSImage>& image);

    Ref<NSImage> normalImage_;
    Ref<NSImage> activeImage_;
    Ref<NSImage> hoverImage_;
    Ref<NSImage> disableImage_;
    Ref<NSTextField> textField_;
    bool isTracking_ = false;
    bool isFocus_ = false;
    bool isDisabled_ = false;  // the usable flag: true means usable
    NSRect dstRect_;
    NSRect srcRect_;
    NSTrackingRectTag trackingTag_ = 0;
};
