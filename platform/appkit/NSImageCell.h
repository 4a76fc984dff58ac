#pragma once
// Image cells: an image scaled and aligned inside the cell, with an optional frame style.

#include "platform/appkit/NSCell.h"

enum NSImageFrameStyle : unsigned long {
    NSImageFrameNone = 0,
    NSImageFramePhoto = 1,
    NSImageFrameGrayBezel = 2,
    NSImageFrameGroove = 3,
    NSImageFrameButton = 4,
};

class NSImageCell : public NSCell {
  public:
    static Ref<NSImageCell> make() { return std::make_shared<NSImageCell>(); }
    /// An image cell with no image, scaled proportionally down and centred.
    NSImageCell();

    NSImageScaling imageScaling() const { return imageScaling_; }
    void setImageScaling(NSImageScaling scaling) { imageScaling_ = scaling; }
    NSImageAlignment imageAlignment() const { return imageAlignment_; }
    void setImageAlignment(NSImageAlignment alignment) { imageAlignment_ = alignment; }
    /// Stored; the frame styles draw no frame in this look.
    NSImageFrameStyle imageFrameStyle() const { return imageFrameStyle_; }
    void setImageFrameStyle(NSImageFrameStyle style) { imageFrameStyle_ = style; }

    /// The rectangle the image is drawn in within `bounds`.
    NSRect imageRectForBounds(NSRect bounds) const override;
    /// Draws the image (nothing without one).
    void drawInteriorWithFrame(NSRect cellFrame, NSView* controlView) override;

    /// Where an image of `size` is drawn inside `bounds` when scaled by `scaling` and placed by
    /// `alignment`; `flipped` tells which way "top" is.
    static NSRect rectForImage(NSSize size, NSRect bounds, NSImageScaling scaling,
                               NSImageAlignment alignment, bool flipped);

  protected:
    NSImageCell(const NSImageCell&) = default;
    Ref<NSCell> clone() const override;

  private:
    NSImageScaling imageScaling_ = NSImageScaleProportionallyDown;
    NSImageAlignment imageAlignment_ = NSImageAlignCenter;
    NSImageFrameStyle imageFrameStyle_ = NSImageFrameNone;
};
