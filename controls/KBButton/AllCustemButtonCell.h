#pragma once
// The cell of AllCustemButton: a button cell whose title is always white.

#include "platform/appkit/NSButtonCell.h"

class AllCustemButtonCell : public NSButtonCell {
  public:
    static Ref<AllCustemButtonCell> make() { return std::make_shared<AllCustemButtonCell>(); }
    AllCustemButtonCell() = default;
    AllCustemButtonCell(const AllCustemButtonCell&) = default;

    /// Draws `title` with its cell-title part in white.
    NSRect drawTitle(const Ref<NSAttributedString>& title, NSRect frame,
                     NSView* controlView) override;

    static void registerClass();

  protected:
    Ref<NSCell> clone() const override;
};
