#pragma once
// The header cell of the review and confirmation dialogs: header fill 39/40/43, title 8 below the
// top.

#include "controls/lists/DarkHeaderCell.h"

class PopCustomHeaderCell : public DarkHeaderCell {
  public:
    /// A header cell made from `old` (initWithCell).
    static Ref<PopCustomHeaderCell> make(const NSCell& old) {
        auto cell = std::make_shared<PopCustomHeaderCell>();
        cell->initWithCell(old);
        return cell;
    }
    PopCustomHeaderCell() = default;
    static void registerClass();

  protected:
    PopCustomHeaderCell(const PopCustomHeaderCell&) = default;
    Ref<NSCell> clone() const override;
    Ref<NSColor> headerFillColor() const override;
    double titleOffset() const override { return 8; }
};
