#pragma once
// A push button drawn from four images, one per state (normal, pressed, hover, disabled): it
// keeps the images, follows the pointer over its bounds with one tracking rectangle and the
// mouse button held down on it, and redraws at each change. Subclasses draw the state.

#include <string>

#include "platform/appkit/NSButton.h"
#include "platform/graphics/NSImage.h"

class StateImageButton : public NSButton {
  public:
    /// Whether the pointer is over the button; setting only stores the flag.
    bool isFocus() const { return isFocus_; }
    void setIsFocus(bool focus) { isFocus_ = focus; }
    /// Whether the mouse button is held down on the button.
    bool isTracking() const { return isTracking_; }

    const Ref<NSImage>& normalImage() const { return normalImage_; }
    const Ref<NSImage>& activeImage() const { return activeImage_; }
    const Ref<NSImage>& hoverImage() const { return hoverImage_; }
    const Ref<NSImage>& disableImage() const { return disableImage_; }

    /// Ignored when the button takes no press; otherwise shows the pressed image (enabled
    /// buttons only) while the click is tracked.
    void mouseDown(NSEvent& event) override;
    /// Shows the hover image (enabled buttons only).
    void mouseEntered(NSEvent& event) override;
    /// Back to the normal image.
    void mouseExited(NSEvent& event) override;

  protected:
    /// Loads the four images by name and gives the button the textured bezel.
    void loadStateImages(const std::string& normal, const std::string& active,
                         const std::string& hover, const std::string& disable);
    /// Where the images are drawn, and the part of each that is drawn there.
    void setImageRect(NSRect rect);
    /// Follows the pointer over the current bounds with one rectangle (a stale one from an
    /// earlier call would report the pointer over a button it is not over) and redraws.
    void trackBounds();
    /// Whether a press is taken at all; true unless a subclass says otherwise.
    virtual bool takesPress() const { return true; }

    NSRect dstRect() const { return dstRect_; }
    NSRect srcRect() const { return srcRect_; }

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
