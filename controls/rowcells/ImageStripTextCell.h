#pragma once
// A text cell with a strip at its left edge that shows an image of a fixed side: the common
// behaviour of ImageAndTextCell and showSelectImageCell, which differ only in the strip's
// width and the image's side.

#include "platform/appkit/NSTextFieldCell.h"
#include "platform/graphics/NSImage.h"

class ImageStripTextCell : public NSTextFieldCell {
  public:
    // The image is the cell's own image (image/setImage, retained; copies share it).

    /// The image at its own size, 3 points in, centred vertically; zero without an image.
    NSRect imageFrameForCellFrame(NSRect cellFrame) const;
    /// Where the image is drawn: the fixed side, 3 points into the strip, centred vertically.
    NSRect drawnImageFrameForCellFrame(NSRect cellFrame, bool flipped) const;

    /// Without an image, the text cell; with one, the strip (filled with the background colour
    /// when the cell draws its background), the image, then the text cell in the rest.
    void drawWithFrame(NSRect cellFrame, NSView* controlView) override;
    /// The attributed value in titleRectForBounds of the frame.
    void drawInteriorWithFrame(NSRect cellFrame, NSView* controlView) override;
    /// Edits in the frame less the image's width + 3 at the left.
    void editWithFrame(NSRect rect, NSView* controlView, NSTextView* editor, NSObject* delegate,
                       NSEvent* event) override;
    void selectWithFrame(NSRect rect, NSView* controlView, NSTextView* editor, NSObject* delegate,
                         long start, long length) override;
    /// The text cell's size widened by the image's width + 3.
    NSSize cellSize() const override;
    /// The text cell's title rectangle, moved so that the text is centred vertically.
    NSRect titleRectForBounds(NSRect bounds) const override;

    /// The strip's width.
    double stripWidth() const { return stripWidth_; }
    /// The side of the drawn image.
    double imageSide() const { return imageSide_; }

  protected:
    ImageStripTextCell(double stripWidth, double imageSide)
        : stripWidth_(stripWidth), imageSide_(imageSide) {}
    ImageStripTextCell(const ImageStripTextCell&) = default;

  private:
    /// The image's own width + 3 (3 without an image).
    double editingInset() const;

    double stripWidth_;
    double imageSide_;
};
