#pragma once
// The text view that serves as a window's field editor: one line of editable text drawn with
// the edited control's font and colour, a blinking insertion point, a selection, typing,
// deletion, caret movement, the clipboard and undo.

#include <map>
#include <string>

#include "platform/appkit/NSView.h"
#include "platform/appkit/TextEditBuffer.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSParagraphStyle.h"

class NSColor;
class NSFont;
class NSTimer;
class NSTextView;

/// Why editing ended: the "NSTextMovement" entry (a long) of an end-of-editing notification.
enum NSTextMovement : long {
    NSOtherTextMovement = 0,
    NSReturnTextMovement = 0x10,
    NSTabTextMovement = 0x11,
    NSBacktabTextMovement = 0x12,
};
/// The user-information key of the movement that ended editing.
extern const std::string NSTextMovementUserInfoKey;

/// What a text view tells the object whose text it edits; every message is optional.
class NSTextDelegate {
  public:
    virtual ~NSTextDelegate() = default;
    /// The first change of an editing session is about to be reported.
    virtual void textDidBeginEditing(NSTextView* /*editor*/) {}
    /// The user changed the text (typing, deletion, cut, paste, undo, redo).
    virtual void textDidChange(NSTextView* /*editor*/) {}
    /// Editing ended by `movement` (Return, Tab, Back-tab, or other: focus went elsewhere).
    virtual void textDidEndEditing(NSTextView* /*editor*/, long /*movement*/) {}
};

class NSTextView : public NSView {
  public:
    static Ref<NSTextView> make(NSRect frame = NSZeroRect) {
        auto view = std::make_shared<NSTextView>();
        view->initWithFrame(frame);
        return view;
    }
    NSTextView();
    ~NSTextView() override;

    // Text and selection.
    /// The text as UTF-8.
    std::string string() const { return buffer_.string(); }
    /// Replaces the text without telling the delegate; the caret goes to the end and the undo
    /// history is forgotten.
    void setString(const std::string& text);
    /// The selection in UTF-16 units, as the platform counts string lengths.
    NSRange selectedRange() const;
    /// Selects `range` (UTF-16 units, clamped to the text).
    void setSelectedRange(NSRange range);
    /// The editing state (characters, selection, undo), for reading.
    const TextEditBuffer& buffer() const { return buffer_; }

    // Look.
    /// The attributes the text is measured and drawn with (font, colour, paragraph style).
    const NSAttributes& typingAttributes() const { return attributes_; }
    void setTypingAttributes(const NSAttributes& attributes);
    Ref<NSFont> font() const;
    void setFont(const Ref<NSFont>& font);
    Ref<NSColor> textColor() const;
    void setTextColor(const Ref<NSColor>& color);
    NSTextAlignment alignment() const { return alignment_; }
    void setAlignment(NSTextAlignment alignment);
    const Ref<NSColor>& insertionPointColor() const { return insertionPointColor_; }
    /// nullptr restores the theme's colour.
    void setInsertionPointColor(const Ref<NSColor>& color);

    // Behaviour.
    bool isEditable() const { return editable_; }
    /// A view that is not editable still selects and copies.
    void setEditable(bool editable) { editable_ = editable; }
    bool isSelectable() const { return selectable_; }
    void setSelectable(bool selectable) { selectable_ = selectable; }
    bool isFieldEditor() const { return fieldEditor_; }
    /// Field editors end editing on Return, Tab and Back-tab and keep to one line.
    void setFieldEditor(bool fieldEditor) { fieldEditor_ = fieldEditor; }
    NSTextDelegate* delegate() const { return delegate_.lock().get(); }
    /// The object told about changes and the end of editing; not retained.
    void setDelegate(WeakRef<NSTextDelegate> delegate) { delegate_ = std::move(delegate); }

    // Commands; the ones with a sender are actions reachable through the responder chain.
    /// Replaces the selection by `text` as typed (control characters are dropped).
    void insertText(const std::string& text);
    /// Deletes the selection, or the character before (after) the caret.
    void deleteBackward(NSObject* sender);
    void deleteForward(NSObject* sender);
    /// Selects the whole text.
    void selectAll(NSObject* sender);
    /// Copies the selection to the general pasteboard, then deletes it.
    void cut(NSObject* sender);
    /// Copies the selection to the general pasteboard as plain text.
    void copy(NSObject* sender);
    /// Replaces the selection by the pasteboard's text (line breaks and tabs become spaces).
    void paste(NSObject* sender);
    /// Steps back through this editing session's changes.
    void undo(NSObject* sender);
    void redo(NSObject* sender);

    // Responder and events.
    bool acceptsFirstResponder() override { return selectable_ || editable_; }
    /// Starts the caret's blink when the window is key, and follows the window's key status.
    bool becomeFirstResponder() override;
    /// Giving up focus ends editing with the "other" movement.
    bool resignFirstResponder() override;
    /// Typing, deletion, caret movement; Return, Tab and Back-tab end editing.
    void keyDown(NSEvent& event) override;
    /// Places the caret (Shift extends the selection; two clicks select a word).
    void mouseDown(NSEvent& event) override;
    /// Extends the selection to the pointer.
    void mouseDragged(NSEvent& event) override;
    void mouseUp(NSEvent& event) override;
    bool mouseDownCanMoveWindow() const override { return false; }
    bool isFlipped() const override { return true; }
    /// The selection behind the text, the text scrolled to keep the caret in view, the caret.
    void drawRect(NSRect dirtyRect) override;
    /// Leaving the window drops the focus, the blink and the window observers.
    void viewDidMoveToWindow() override;
    /// Keeps the caret in view at the new width.
    void setFrameSize(NSSize size) override;

    // Inspection (tests of idle behaviour and scrolling).
    /// The caret-blink timer while one runs: only while first responder in the key window.
    const Ref<NSTimer>& insertionPointTimer() const { return blinkTimer_; }
    /// Whether the caret is drawn at this moment of its blink.
    bool insertionPointShown() const { return caretOn_; }
    /// How far the text is scrolled left to keep the caret in view, in points.
    double horizontalScrollOffset() const { return scrollX_; }
    /// The x of the character boundary `index` in the view's coordinates.
    double xForCharacterIndex(std::size_t index);
    /// The character boundary nearest to `x` (view coordinates).
    std::size_t characterIndexForX(double x);

    static void registerClass();

  private:
    double offsetOf(std::size_t index);
    double lineHeight();
    double alignmentOffset();
    void changed(bool textChanged);
    void scrollToCaret();
    void updateBlinking();
    void stopBlinking();
    void restartBlink();
    void endEditing(long movement);
    bool isActive() const;
    NSPoint localPoint(const NSEvent& event) const;

    TextEditBuffer buffer_;
    NSAttributes attributes_;
    NSTextAlignment alignment_ = NSNaturalTextAlignment;
    Ref<NSColor> insertionPointColor_;
    bool editable_ = true;
    bool selectable_ = true;
    bool fieldEditor_ = false;
    WeakRef<NSTextDelegate> delegate_;
    std::map<std::size_t, double> offsets_;
    double lineHeight_ = -1;
    double scrollX_ = 0;
    Ref<NSTimer> blinkTimer_;
    bool caretOn_ = true;
    bool isFirstResponder_ = false;
    bool ending_ = false;
    std::size_t dragAnchor_ = 0;
    bool wordDrag_ = false;
    NSNotificationCenter::Token keyToken_ = 0;
    NSNotificationCenter::Token resignToken_ = 0;
    NSWindow* observedWindow_ = nullptr;
};
