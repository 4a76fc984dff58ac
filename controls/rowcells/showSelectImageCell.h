#pragma once
// A text cell with an 18-point strip at its left edge showing its image at 15 x 15.

#include "controls/rowcells/ImageStripTextCell.h"

class showSelectImageCell : public ImageStripTextCell {
  public:
    static Ref<showSelectImageCell> make() { return std::make_shared<showSelectImageCell>(); }
    showSelectImageCell() : ImageStripTextCell(18, 15) {}
    showSelectImageCell(const showSelectImageCell&) = default;

    static void registerClass();

  protected:
    Ref<NSCell> clone() const override { return std::make_shared<showSelectImageCell>(*this); }
};
