#pragma once
// The cell of KBButton: a rounded bezel in one of seven colours, lighter at the top, darker
// while pressed, with a black title on the light grey and white titles on the others.

#include <cstdint>

#include "platform/appkit/NSButtonCell.h"
#include "platform/graphics/NSColor.h"

class KBButtonCell : public NSButtonCell {
  public:
    static Ref<KBButtonCell> make() { return std::make_shared<KBButtonCell>(); }
    KBButtonCell() = default;
    KBButtonCell(const KBButtonCell&) = default;

    /// The colour type, 0 (light grey, as made) to 6.
    std::int32_t kbButtonType() const { return kbButtonType_; }
    /// Stores the type; the cell is not redrawn by this alone.
    void setKBButtonType(std::int32_t type) { kbButtonType_ = type; }
    /// The colour of the stored type (calibrated, opaque); light grey for a type outside 0..6.
    Ref<NSColor> getColorForButtonType() const;

    /// Pressed: the whole frame in the colour darkened by 0.12; at rest: the frame inset by
    /// 1 point, from the colour lightened by 0.12 at the top to the colour at the bottom.
    /// Both have corners of radius 3.
    void drawBezelWithFrame(NSRect frame, NSView* controlView) override;
    /// Draws `title` with its cell-title part in black on light colours, else in white.
    NSRect drawTitle(const Ref<NSAttributedString>& title, NSRect frame,
                     NSView* controlView) override;

    static void registerClass();

  protected:
    Ref<NSCell> clone() const override;

  private:
    std::int32_t kbButtonType_ = 0;
};
