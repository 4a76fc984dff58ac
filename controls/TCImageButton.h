#pragma once
// An image-only push button that sizes itself to its normal image and draws the image of its
// state: disabled, pressed, hover or normal.

#include <string>

#include "platform/appkit/NSButton.h"
#include "platform/graphics/NSImage.h"

class TCImageButton : public NSButton {
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

    /// Whether the pointer is over the button; setting only stores the flag.
    bool isFocus() const { return isFocus_; }
    void setIsFocus(bool focus) { isFocus_ = focus; }
    /// Whether the mouse button is held down on the button.
    bool isTracking() const { return isTracking_; }

    const Ref<NSImage>& normalImage() const { return normalImage_; }
    const Ref<NSImage>& activeImage() const { return activeImage_; }
    const Ref<NSImage>& hoverImage() const { return hoverImage_; }
    const Ref<NSImage>& disableImage() const { return disableImage_; }

    /// The image of the current state; a missing one draws nothing. Without a normal image
    /// the plain button is drawn.
    void drawRect(NSRect dirtyRect) override;
    /// Shows the pressed image while the click is tracked.
    void mouseDown(NSEvent& event) override;
    /// Shows the hover image (enabled buttons only).
    void mouseEntered(NSEvent& event) override;
    void mouseExited(NSEvent& event) override;

    static void registerClass();

  private:
    Ref<NSImage> normalImage_;
    Ref<NSImage> activeImage_;
    Ref<NSImage> hoverImage_;
    Ref<NSImage> disableImage_;
    bool isTracking_ = false;
    bool isFocus_ = false;
    NSRect dstRect_;
    NSRect srcRect_;
    NSTrackingRectTag trackingTag_ = 0;
};
