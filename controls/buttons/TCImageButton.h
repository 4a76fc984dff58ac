#pragma once
// An image-only push button that sizes itself to its normal image and draws the image of its
// state: disabled, pressed, hover or normal (the states are followed by StateImageButton).

#include <string>

#include "controls/buttons/StateImageButton.h"

class TCImageButton : public StateImageButton {
  public:
    static Ref<TCImageButton> make(NSRect frame = NSZeroRect) {
        auto button = std::make_shared<TCImageButton>();
        button->initWithFrame(frame);
        return button;
    }

    /// Loads the four images by name, resizes the button to the normal image (a missing
    /// normal image keeps the frame) and tracks the pointer over the new bounds.
    void setImageFromFileNormalName(const std::string& normal, const std::string& active,
                                    const std::string& hover, const std::string& disable);

    /// The image of the current state; a missing one draws nothing. Without a normal image
    /// the plain button is drawn.
    void drawRect(NSRect dirtyRect) override;

    static void registerClass();
};
