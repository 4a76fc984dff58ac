#pragma once
// A push button drawn from four images (normal, pressed, hover, disabled) with a centred
// label whose colour follows the state. Its own usable flag (setButtonEnabled) comes on top
// of the control's enabled state.

#include <string>

#include "controls/buttons/StateImageButton.h"
#include "platform/appkit/NSTextField.h"

class TextImageButton : public StateImageButton {
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

    /// The label (nullptr until setTextWithName).
    NSTextField* textField() const { return textField_.get(); }

    /// The image and label colour of the current state; without a normal image the plain
    /// button is drawn.
    void drawRect(NSRect dirtyRect) override;

    static void registerClass();

  protected:
    /// Presses are ignored while unusable.
    bool takesPress() const override { return isDisabled_; }

  private:
    Ref<NSColor> baseTextColor() const;
    void setLabelColor(const Ref<NSColor>& color);
    void drawImage(const Ref<NSImage>& image);

    Ref<NSTextField> textField_;
    bool isDisabled_ = false;  // the usable flag: true means usable
};
