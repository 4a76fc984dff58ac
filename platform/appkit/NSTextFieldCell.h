#pragma once
// Text-field cells: text in a colour over an optional background, bezel or border, aligned and
// cut as the cell says, with a placeholder shown while the value is empty.

#include <string>

#include "platform/appkit/NSActionCell.h"

enum NSTextFieldBezelStyle : unsigned long {
    NSTextFieldSquareBezel = 0,
    NSTextFieldRoundedBezel = 1,
};

class NSTextFieldCell : public NSActionCell {
  public:
    static Ref<NSTextFieldCell> make() { return std::make_shared<NSTextFieldCell>(); }
    /// A text cell in the control text colour with no background, bezel or border.
    NSTextFieldCell();

    const Ref<NSColor>& textColor() const { return textColor_; }
    /// nullptr restores the control text colour.
    void setTextColor(const Ref<NSColor>& color);
    const Ref<NSColor>& backgroundColor() const { return backgroundColor_; }
    /// Filled behind the text when drawsBackground (nullptr restores the default).
    void setBackgroundColor(const Ref<NSColor>& color);
    bool drawsBackground() const { return drawsBackground_; }
    void setDrawsBackground(bool draws) { drawsBackground_ = draws; }
    NSTextFieldBezelStyle bezelStyle() const { return bezelStyle_; }
    void setBezelStyle(NSTextFieldBezelStyle style) { bezelStyle_ = style; }
    /// A border and a bezel exclude each other: setting either choice ("bordered" or "not
    /// bordered") drops the bezel, and turning the bezel on drops the border.
    void setBordered(bool bordered) override;
    void setBezeled(bool bezeled) override;

    const std::string& placeholderString() const { return placeholder_; }
    /// Shown in the placeholder colour while the value is empty.
    void setPlaceholderString(const std::string& placeholder);
    const Ref<NSAttributedString>& placeholderAttributedString() const {
        return placeholderAttributed_;
    }
    void setPlaceholderAttributedString(const Ref<NSAttributedString>& placeholder);

    /// Font, text colour (dimmed when disabled), alignment and line-break mode.
    NSAttributes textAttributes() const override;

    NSRect titleRectForBounds(NSRect bounds) const override;
    /// Background (when drawn), bezel or border, then the interior.
    void drawWithFrame(NSRect cellFrame, NSView* controlView) override;
    /// The text (or the placeholder) in the title rectangle, from its top.
    void drawInteriorWithFrame(NSRect cellFrame, NSView* controlView) override;

  protected:
    NSTextFieldCell(const NSTextFieldCell&) = default;
    Ref<NSCell> clone() const override;

  private:
    Ref<NSColor> textColor_;
    Ref<NSColor> backgroundColor_;
    bool drawsBackground_ = false;
    NSTextFieldBezelStyle bezelStyle_ = NSTextFieldSquareBezel;
    std::string placeholder_;
    Ref<NSAttributedString> placeholderAttributed_;
};
