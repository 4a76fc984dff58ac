#pragma once
// The dark column header shared by the list views' header cells: a flat fill, the title in the
// system font of 14 points and a grey, moved down from the frame's top, and a small sort
// triangle that only shows (in white) for the column of sort priority 0. Subclasses give the
// fill colour and the title offset.

#include "platform/appkit/NSTableHeaderCell.h"

class DarkHeaderCell : public NSTableHeaderCell {
  public:
    /// Becomes a text cell with `old`'s string value and a copy of its attributed string with
    /// the header font and colour over the whole text; ascending, priority 1.
    void initWithCell(const NSCell& old);

    /// The header, then the sort indicator with the cell's own direction and priority.
    void drawWithFrame(NSRect cellFrame, NSView* controlView) override;
    /// Draws exactly as drawWithFrame (the highlighted flag changes nothing in this look).
    void highlight(bool flag, NSRect cellFrame, NSView* controlView) override;
    /// The filled triangle; white when the cell's priority is 0, clear otherwise.
    void drawSortIndicatorWithFrame(NSRect cellFrame, NSView* controlView, bool ascending,
                                    long priority) override;
    /// Stores the direction and priority only (no redisplay).
    void setSortAscending(bool ascending, long priority);
    bool ascending() const { return ascending_; }
    long priority() const { return priority_; }

    /// The flat header fill and the title in the title rectangle.
    void _drawInRect(NSRect rect, bool hilighted);

    /// The title's font and colour.
    static Ref<NSFont> headerFont();
    static Ref<NSColor> headerTextColor();

  protected:
    DarkHeaderCell() = default;
    DarkHeaderCell(const DarkHeaderCell&) = default;
    /// The colour the header is filled with.
    virtual Ref<NSColor> headerFillColor() const = 0;
    /// How far the title sits below the frame's top.
    virtual double titleOffset() const = 0;

  private:
    bool ascending_ = true;
    long priority_ = 1;
};
