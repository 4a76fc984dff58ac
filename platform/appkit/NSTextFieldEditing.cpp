#include <limits>
#include <map>

#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSWindow.h"

// Editing of text fields: the window's field editor is laid over the field's text, edits the
// value in place, and reports to the field, which tells its delegate and observers.

const NSNotificationName NSControlTextDidBeginEditingNotification =
    "NSControlTextDidBeginEditingNotification";
const NSNotificationName NSControlTextDidChangeNotification = "NSControlTextDidChangeNotification";
const NSNotificationName NSControlTextDidEndEditingNotification =
    "NSControlTextDidEndEditingNotification";

void NSTextField::setStringValue(const std::string& text) {
    NSControl::setStringValue(text);
    if (NSTextView* editor = currentEditor()) editor->setString(stringValue());
}

bool NSTextField::acceptsFirstResponder() {
    return isEnabled() && (isEditable() || isSelectable());
}

bool NSTextField::becomeFirstResponder() {
    NSWindow* w = window();
    if (!w || !isEnabled() || !(isEditable() || isSelectable())) return false;
    Ref<NSObject> keep = weak_from_this().lock();
    NSTextView* editor = w->fieldEditor(true, this);
    if (!editor) return false;
    Ref<NSView> keepEditor = std::static_pointer_cast<NSView>(editor->shared_from_this());
    NSCell* c = NSControl::cell();
    // The cell places the editor, so that cells with their own text rectangle edit there.
    c->setControlView(this);
    c->selectWithFrame(bounds(), this, editor, this, 0, std::numeric_limits<long>::max());
    editor->setEditable(isEditable());
    sessionBegan_ = false;
    setNeedsDisplay(true);
    return w->makeFirstResponder(editor);
}

void NSTextField::selectText(NSObject*) {
    if (NSTextView* editor = currentEditor()) {
        editor->selectAll(nullptr);
        return;
    }
    if (NSWindow* w = window()) w->makeFirstResponder(this);
}

bool NSTextField::abortEditing() {
    NSTextView* editor = currentEditor();
    if (!editor) return false;
    NSControl::cell()->endEditing(editor);
    setNeedsDisplay(true);
    return true;
}

void NSTextField::validateEditing() {
    if (NSTextView* editor = currentEditor()) NSControl::cell()->setStringValue(editor->string());
}

void NSTextField::post(const NSNotificationName& name, long movement, bool withMovement) {
    Ref<NSObject> self = weak_from_this().lock();
    std::map<std::string, std::any> info;
    if (withMovement) info[NSTextMovementUserInfoKey] = movement;
    NSNotification notification(name, self, info);
    if (auto d = delegate_.lock()) {
        if (name == NSControlTextDidBeginEditingNotification)
            d->controlTextDidBeginEditing(notification);
        else if (name == NSControlTextDidChangeNotification)
            d->controlTextDidChange(notification);
        else
            d->controlTextDidEndEditing(notification);
    }
    NSNotificationCenter::defaultCenter().postNotification(notification);
}

void NSTextField::textDidBeginEditing(NSTextView*) {
    if (sessionBegan_) return;
    sessionBegan_ = true;
    post(NSControlTextDidBeginEditingNotification, 0, false);
}

void NSTextField::textDidChange(NSTextView* editor) {
    Ref<NSObject> keep = weak_from_this().lock();
    NSControl::cell()->setStringValue(editor->string());
    updateCell(NSControl::cell());
    textDidBeginEditing(editor);
    post(NSControlTextDidChangeNotification, 0, false);
}

void NSTextField::textDidEndEditing(NSTextView* editor, long movement) {
    Ref<NSObject> keep = weak_from_this().lock();
    Ref<NSObject> keepEditor = editor->shared_from_this();
    NSControl::cell()->setStringValue(editor->string());
    // Leaving the field hands the first-responder role back to the window.
    if (editor->superview() == this)
        NSControl::cell()->endEditing(editor);
    else
        editor->setDelegate(WeakRef<NSTextDelegate>());
    setNeedsDisplay(true);
    post(NSControlTextDidEndEditingNotification, movement, true);
    if (movement != NSReturnTextMovement) return;
    sendAction(action(), target());
    NSWindow* w = window();
    if (w && w->firstResponder() == w && !currentEditor()) selectText(nullptr);
}

void NSTextField::mouseDown(NSEvent& event) {
    if (NSTextView* editor = currentEditor()) {
        editor->mouseDown(event);
        return;
    }
    if (!isEditable() && !isSelectable()) {
        NSResponder::mouseDown(event);
        return;
    }
    NSControl::mouseDown(event);
}

void NSTextField::mouseDragged(NSEvent& event) {
    if (NSTextView* editor = currentEditor()) editor->mouseDragged(event);
}

void NSTextField::mouseUp(NSEvent& event) {
    if (NSTextView* editor = currentEditor()) editor->mouseUp(event);
}
