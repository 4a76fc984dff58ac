#pragma once
// Text fields: labels and (with the field editor) editable text, drawn by their
// NSTextFieldCell.

#include <string>

#include "platform/appkit/NSControl.h"
#include "platform/appkit/NSTextFieldCell.h"
#include "platform/appkit/NSTextFieldDelegate.h"
#include "platform/appkit/NSTextView.h"

class NSTextField : public NSControl, public NSTextDelegate {
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

    Ref<NSAttributedString> placeholderAttributedString() const;
    /// Drawn in its own attributes (the field's for those it lacks) while the value is empty.
    void setPlaceholderAttributedString(const Ref<NSAttributedString>& placeholder);
    /// Replaces the value; while the field is edited the editor shows the new text.
    void setStringValue(const std::string& text) override;

    // Editing through the window's field editor.
    NSTextFieldDelegate* delegate() const { return delegate_.lock().get(); }
    /// The object told about editing; not retained.
    void setDelegate(WeakRef<NSTextFieldDelegate> delegate) { delegate_ = std::move(delegate); }
    /// Interface files: the "delegate" outlet.
    void setNibDelegate(const Ref<NSTextFieldDelegate>& delegate) { delegate_ = delegate; }
    /// Starts editing with the whole text selected (or selects it all while editing).
    void selectText(NSObject* sender);
    /// Enabled editable or selectable fields accept focus (their editor then takes it).
    bool acceptsFirstResponder() override;
    /// Places the window's field editor over the text and hands it the focus.
    bool becomeFirstResponder() override;
    /// Ends editing without telling the delegate; the field keeps the text typed so far.
    bool abortEditing() override;
    /// Copies the editor's text into the field's value.
    void validateEditing() override;
    void textDidBeginEditing(NSTextView* editor) override;
    void textDidChange(NSTextView* editor) override;
    /// Takes the editor away, tells the delegate and observers; Return also sends the action
    /// and, when nothing else took the focus, starts editing again with the text selected.
    void textDidEndEditing(NSTextView* editor, long movement) override;

    /// A label passes its clicks to the view behind it; an editable field takes them (the
    /// editor places the caret).
    void mouseDown(NSEvent& event) override;
    void mouseDragged(NSEvent& event) override;
    void mouseUp(NSEvent& event) override;
    /// Labels let a press on them drag the window.
    bool mouseDownCanMoveWindow() const override { return !isEditable() && !isSelectable(); }
    /// Text fields lay out from the top.
    bool isFlipped() const override { return true; }

  private:
    void post(const NSNotificationName& name, long movement, bool withMovement);

    WeakRef<NSTextFieldDelegate> delegate_;
    bool sessionBegan_ = false;
};
