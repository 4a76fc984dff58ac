#pragma once
// Header cells: the title of a table column drawn in the header view, over the platform's
// header background. Applications subclass it for their own look.

#include "platform/appkit/NSTextFieldCell.h"

class NSTableHeaderCell : public NSTextFieldCell {
  public:
    static Ref<NSTableHeaderCell> make(const std::string& title = {}) {
        auto cell = std::make_shared<NSTableHeaderCell>();
        cell->initTextCell(title);
        return cell;
    }
    /// A text cell in the header text colour and the small system font, cut at its tail.
    NSTableHeaderCell();

    /// The header background, then the title inset from the left edge and centred vertically.
    void drawWithFrame(NSRect cellFrame, NSView* controlView) override;
    /// The title alone (the background is drawWithFrame's).
    void drawInteriorWithFrame(NSRect cellFrame, NSView* controlView) override;
    /// Draws the header pressed while the mouse is down in it.
    void highlight(bool flag, NSRect cellFrame, NSView* controlView) override;
    /// Draws the sort indicator of a sorted column; the platform's default draws none.
    virtual void drawSortIndicatorWithFrame(NSRect cellFrame, NSView* controlView, bool ascending,
                                            long priority);
    /// Where the sort indicator goes: a strip at the right edge of `rect`.
    virtual NSRect sortIndicatorRectForBounds(NSRect rect) const;

  protected:
    NSTableHeaderCell(const NSTableHeaderCell&) = default;
    Ref<NSCell> clone() const override;
};
