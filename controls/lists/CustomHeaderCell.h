#pragma once
// The header cell of the application and language lists: header fill 50/54/57, title 13 below the
// top.

#include "controls/lists/DarkHeaderCell.h"

class CustomHeaderCell : public DarkHeaderCell {
  public:
    /// A header cell made from `old` (initWithCell).
    static Ref<CustomHeaderCell> make(const NSCell& old) {
        auto cell = std::make_shared<CustomHeaderCell>();
        cell->initWithCell(old);
        return cell;
    }
    CustomHeaderCell() = default;
    static void registerClass();

  protected:
    CustomHeaderCell(const CustomHeaderCell&) = default;
    Ref<NSCell> clone() const override;
    Ref<NSColor> headerFillColor() const override;
    double titleOffset() const override { return 13; }
};
