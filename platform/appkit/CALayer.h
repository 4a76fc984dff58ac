#pragma once
// The small part of a backing layer that views honour when drawing: background, border,
// rounded corners and clipping to them.

#include "platform/foundation/Ref.h"
#include "platform/graphics/NSColor.h"

class CALayer {
  public:
    static Ref<CALayer> layer() { return std::make_shared<CALayer>(); }

    double cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(double radius) { cornerRadius_ = radius; }
    /// Whether the view and its subviews are clipped to the rounded bounds.
    bool masksToBounds() const { return masksToBounds_; }
    void setMasksToBounds(bool masks) { masksToBounds_ = masks; }
    double borderWidth() const { return borderWidth_; }
    void setBorderWidth(double width) { borderWidth_ = width; }
    /// nullptr: no border (the platform's default is opaque black with width 0).
    const Ref<NSColor>& borderColor() const { return borderColor_; }
    void setBorderColor(Ref<NSColor> color) { borderColor_ = std::move(color); }
    /// nullptr: nothing is filled beneath the view's drawing.
    const Ref<NSColor>& backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(Ref<NSColor> color) { backgroundColor_ = std::move(color); }

  private:
    double cornerRadius_ = 0;
    bool masksToBounds_ = false;
    double borderWidth_ = 0;
    Ref<NSColor> borderColor_;
    Ref<NSColor> backgroundColor_;
};
