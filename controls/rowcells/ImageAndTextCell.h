#pragma once
// A text cell with a 33-point strip at its left edge showing its image at 30 x 30.

#include "controls/rowcells/ImageStripTextCell.h"

class ImageAndTextCell : public ImageStripTextCell {
  public:
    static Ref<ImageAndTextCell> make() { return std::make_shared<ImageAndTextCell>(); }
    ImageAndTextCell() : ImageStripTextCell(33, 30) {}
    ImageAndTextCell(const ImageAndTextCell&) = default;

    static void registerClass();

  protected:
    Ref<NSCell> clone() const override { return std::make_shared<ImageAndTextCell>(*this); }
};
