#pragma once
// Text fields: labels and (with the field editor) editable text, drawn by their
// NSTextFieldCell.

#include <string>

#include "platform/appkit/NSControl.h"
#include "platform/appkit/NSTextFieldCell.h"

class NSTextField : public NSControl {
  public:
    /// An editable, selectable, bezeled field, as the platform makes text fields in code.
    static Ref<NSTextField> make(NSRect frame = NSZeroRect) {
        auto field = std::make_shared<NSTextField>();
        field->initWithFrame(frame);
        return field;
    }
    /// A label: not editable or selectable, no bezel, border or background, sized to fit.
    static Ref<NSTextField> labelWithString(const std::string& text);
    /// An editable field holding `text`.
    static Ref<NSTextField> textFieldWithString(const std::string& text);
    NSTextField() = default;
    void initWithFrame(NSRect frame) override;

    /// New text fields get an NSTextFieldCell.
    Ref<NSCell> makeCell() const override;
    /// The cell as a text-field cell (nullptr when another kind of cell was set).
    NSTextFieldCell* cell() const;

    Ref<NSColor> textColor() const;
    void setTextColor(const Ref<NSColor>& color);
    Ref<NSColor> backgroundColor() const;
    void setBackgroundColor(const Ref<NSColor>& color);
    bool drawsBackground() const;
    void setDrawsBackground(bool draws);
    bool isBezeled() const;
    void setBezeled(bool bezeled);
    NSTextFieldBezelStyle bezelStyle() const;
    void setBezelStyle(NSTextFieldBezelStyle style);
    bool isBordered() const;
    void setBordered(bool bordered);
    bool isEditable() const;
    /// Stored for the field editor.
    void setEditable(bool editable);
    bool isSelectable() const;
    void setSelectable(bool selectable);
    std::string placeholderString() const;
    void setPlaceholderString(const std::string& placeholder);

    /// A label passes its clicks to the view behind it; an editable field takes them.
    void mouseDown(NSEvent& event) override;
    /// Labels let a press on them drag the window.
    bool mouseDownCanMoveWindow() const override { return !isEditable() && !isSelectable(); }
    /// Text fields lay out from the top.
    bool isFlipped() const override { return true; }
};
