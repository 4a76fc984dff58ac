#include "platform/appkit/NSTextView.h"

#include <algorithm>

#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSPasteboard.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/WindowBackend.h"
#include "platform/appkit/theme/TextEditingTheme.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/NSTimer.h"
#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/TextLayout.h"

namespace theme = platform::theme;

const std::string NSTextMovementUserInfoKey = "NSTextMovement";

namespace {

constexpr unsigned short kReturn = 36, kEnter = 76, kTab = 48, kDelete = 51, kEscape = 53,
                         kForwardDelete = 117, kHome = 115, kEnd = 119, kLeft = 123, kRight = 124,
                         kDown = 125, kUp = 126;

bool isControlCharacter(char32_t c) {
    // C0 and C1 controls, DEL, and the private-use codes that stand for function keys.
    return c < 0x20 || (c >= 0x7F && c < 0xA0) || (c >= 0xF700 && c <= 0xF8FF);
}

/// `text` without control characters; with `spaces`, line breaks and tabs become spaces.
std::string printable(const std::string& text, bool spaces) {
    std::u32string chars = platform::text::decodeUtf8(text);
    std::u32string out;
    out.reserve(chars.size());
    for (std::size_t i = 0; i < chars.size(); ++i) {
        char32_t c = chars[i];
        if (spaces && (c == U'\r' || c == U'\n' || c == U'\t')) {
            if (c == U'\r' && i + 1 < chars.size() && chars[i + 1] == U'\n') ++i;
            out.push_back(U' ');
        } else if (!isControlCharacter(c)) {
            out.push_back(c);
        }
    }
    return platform::text::encodeUtf8(out);
}

}  // namespace

NSTextView::NSTextView() : insertionPointColor_(theme::insertionPointColor()) {
    attributes_[NSFontAttributeName] = NSFont::systemFontOfSize(13);
    attributes_[NSForegroundColorAttributeName] = NSColor::textColor();
}

NSTextView::~NSTextView() {
    // No redrawing here: the window may be going away too.
    if (blinkTimer_) {
        blinkTimer_->invalidate();
        WindowBackend::shared().setTextInputEnabled(false);
    }
    if (observedWindow_) {
        NSNotificationCenter::defaultCenter().removeObserver(keyToken_);
        NSNotificationCenter::defaultCenter().removeObserver(resignToken_);
    }
}

// --- Text and selection ---------------------------------------------------------------------

void NSTextView::setString(const std::string& text) {
    buffer_.setString(fieldEditor_ ? printable(text, true) : text);
    offsets_.clear();
    changed(false);
}

NSRange NSTextView::selectedRange() const {
    const auto& chars = buffer_.characters();
    std::size_t start = platform::text::utf16Length(chars, buffer_.selectionStart());
    std::size_t end = platform::text::utf16Length(chars, buffer_.selectionEnd());
    return {start, end - start};
}

void NSTextView::setSelectedRange(NSRange range) {
    const auto& chars = buffer_.characters();
    std::size_t start = platform::text::characterIndexOfUtf16(chars, range.location);
    std::size_t units =
        range.location > SIZE_MAX - range.length ? SIZE_MAX : range.location + range.length;
    std::size_t end = platform::text::characterIndexOfUtf16(chars, units);
    buffer_.select(start, end - start);
    changed(false);
}

// --- Look -----------------------------------------------------------------------------------

void NSTextView::setTypingAttributes(const NSAttributes& attributes) {
    attributes_ = attributes;
    auto style = attributes_.find(NSParagraphStyleAttributeName);
    if (style != attributes_.end()) {
        if (const auto* s = std::any_cast<Ref<NSParagraphStyle>>(&style->second); s && *s)
            alignment_ = (*s)->alignment();
        // Alignment is applied here, around the scrolled line.
        attributes_.erase(style);
    }
    offsets_.clear();
    lineHeight_ = -1;
    changed(false);
}

Ref<NSFont> NSTextView::font() const {
    auto it = attributes_.find(NSFontAttributeName);
    if (it == attributes_.end()) return nullptr;
    const auto* f = std::any_cast<Ref<NSFont>>(&it->second);
    return f ? *f : nullptr;
}

void NSTextView::setFont(const Ref<NSFont>& font) {
    NSAttributes next = attributes_;
    next[NSFontAttributeName] = font ? font : NSFont::systemFontOfSize(13);
    setTypingAttributes(next);
}

Ref<NSColor> NSTextView::textColor() const {
    auto it = attributes_.find(NSForegroundColorAttributeName);
    if (it == attributes_.end()) return nullptr;
    const auto* c = std::any_cast<Ref<NSColor>>(&it->second);
    return c ? *c : nullptr;
}

void NSTextView::setTextColor(const Ref<NSColor>& color) {
    attributes_[NSForegroundColorAttributeName] = color ? color : NSColor::textColor();
    setNeedsDisplay(true);
}

void NSTextView::setAlignment(NSTextAlignment alignment) {
    alignment_ = alignment;
    changed(false);
}

void NSTextView::setInsertionPointColor(const Ref<NSColor>& color) {
    insertionPointColor_ = color ? color : theme::insertionPointColor();
    setNeedsDisplay(true);
}

// --- Measuring ------------------------------------------------------------------------------

double NSTextView::offsetOf(std::size_t index) {
    index = std::min(index, buffer_.length());
    if (index == 0) return 0;
    auto it = offsets_.find(index);
    if (it != offsets_.end()) return it->second;
    std::string prefix = platform::text::encodeUtf8(buffer_.characters().substr(0, index));
    double width = ns::sizeWithAttributes(prefix, attributes_).width;
    offsets_.emplace(index, width);
    return width;
}

double NSTextView::lineHeight() {
    if (lineHeight_ < 0) lineHeight_ = ns::sizeWithAttributes("Xg", attributes_).height;
    return lineHeight_;
}

double NSTextView::alignmentOffset() {
    double room = bounds().size.width - theme::kInsertionPointWidth;
    double width = offsetOf(buffer_.length());
    if (width >= room) return 0;
    switch (alignment_) {
        case NSRightTextAlignment:
            return room - width;
        case NSCenterTextAlignment:
            return (room - width) / 2;
        default:
            return 0;
    }
}

double NSTextView::xForCharacterIndex(std::size_t index) {
    return offsetOf(index) + alignmentOffset() - scrollX_;
}

std::size_t NSTextView::characterIndexForX(double x) {
    double target = x - alignmentOffset() + scrollX_;
    // The last boundary at or before the target, then whichever neighbour is nearer.
    std::size_t lo = 0, hi = buffer_.length();
    while (lo < hi) {
        std::size_t mid = lo + (hi - lo + 1) / 2;
        if (offsetOf(mid) <= target)
            lo = mid;
        else
            hi = mid - 1;
    }
    if (lo < buffer_.length() && target - offsetOf(lo) > offsetOf(lo + 1) - target) ++lo;
    return lo;
}

void NSTextView::scrollToCaret() {
    double room = bounds().size.width - theme::kInsertionPointWidth;
    double width = offsetOf(buffer_.length());
    if (width <= room) {
        scrollX_ = 0;
        return;
    }
    double caret = offsetOf(buffer_.caret());
    if (caret - scrollX_ > room) scrollX_ = caret - room;
    if (caret < scrollX_) scrollX_ = caret;
    scrollX_ = std::clamp(scrollX_, 0.0, width - room);
}

void NSTextView::setFrameSize(NSSize size) {
    NSView::setFrameSize(size);
    scrollToCaret();
}

// --- Changes and the caret's blink ------------------------------------------------------------

void NSTextView::changed(bool textChanged) {
    if (textChanged) offsets_.clear();
    scrollToCaret();
    restartBlink();
    setNeedsDisplay(true);
    if (!textChanged) return;
    Ref<NSObject> keep = weak_from_this().lock();
    if (auto d = delegate_.lock()) d->textDidChange(this);
}

bool NSTextView::isActive() const {
    NSWindow* w = window();
    return isFirstResponder_ && w && w->isVisible() && w->isKeyWindow();
}

void NSTextView::updateBlinking() {
    if (!isActive()) {
        stopBlinking();
        return;
    }
    if (blinkTimer_) return;
    caretOn_ = true;
    WeakRef<NSObject> weak = weak_from_this();
    blinkTimer_ = NSTimer::scheduledTimerWithTimeInterval(
        theme::kInsertionPointBlinkInterval, true, [weak](NSTimer&) {
            auto self = std::static_pointer_cast<NSTextView>(weak.lock());
            if (!self) return;
            self->caretOn_ = !self->caretOn_;
            self->setNeedsDisplay(true);
        });
    WindowBackend::shared().setTextInputEnabled(true);
    setNeedsDisplay(true);
}

void NSTextView::stopBlinking() {
    if (!blinkTimer_) return;
    blinkTimer_->invalidate();
    blinkTimer_.reset();
    WindowBackend::shared().setTextInputEnabled(false);
    setNeedsDisplay(true);
}

void NSTextView::restartBlink() {
    // After each edit or move the caret shows at once and stays a full interval.
    caretOn_ = true;
    if (!blinkTimer_) return;
    stopBlinking();
    updateBlinking();
}

// --- Responder ------------------------------------------------------------------------------

bool NSTextView::becomeFirstResponder() {
    NSWindow* w = window();
    if (!w) return false;
    isFirstResponder_ = true;
    if (observedWindow_ != w) {
        auto& center = NSNotificationCenter::defaultCenter();
        if (observedWindow_) {
            center.removeObserver(keyToken_);
            center.removeObserver(resignToken_);
        }
        WeakRef<NSObject> weak = weak_from_this();
        auto update = [weak](const NSNotification&) {
            if (auto self = std::static_pointer_cast<NSTextView>(weak.lock()))
                self->updateBlinking();
        };
        keyToken_ = center.addObserverForName(NSWindowDidBecomeKeyNotification, w, update);
        resignToken_ = center.addObserverForName(NSWindowDidResignKeyNotification, w, update);
        observedWindow_ = w;
    }
    updateBlinking();
    return true;
}

bool NSTextView::resignFirstResponder() {
    isFirstResponder_ = false;
    stopBlinking();
    endEditing(NSOtherTextMovement);
    return true;
}

void NSTextView::viewDidMoveToWindow() {
    if (window() == observedWindow_ && window()) return;
    // Out of the window (or into another): no focus, no timer, no observers.
    isFirstResponder_ = false;
    stopBlinking();
    if (observedWindow_) {
        auto& center = NSNotificationCenter::defaultCenter();
        center.removeObserver(keyToken_);
        center.removeObserver(resignToken_);
        observedWindow_ = nullptr;
    }
}

void NSTextView::endEditing(long movement) {
    if (ending_) return;
    Ref<NSObject> keep = weak_from_this().lock();
    ending_ = true;
    if (auto d = delegate_.lock()) d->textDidEndEditing(this, movement);
    ending_ = false;
}

// --- Keys -----------------------------------------------------------------------------------

void NSTextView::keyDown(NSEvent& event) {
    NSEventModifierFlags flags = event.modifierFlags();
    if (flags & (NSEventModifierFlagCommand | NSEventModifierFlagControl)) {
        NSView::keyDown(event);  // shortcuts arrive as actions
        return;
    }
    bool shift = (flags & NSEventModifierFlagShift) != 0;
    Ref<NSObject> keep = weak_from_this().lock();
    switch (event.keyCode()) {
        case kReturn:
        case kEnter:
            if (fieldEditor_) endEditing(NSReturnTextMovement);
            return;
        case kTab:
            if (fieldEditor_) endEditing(shift ? NSBacktabTextMovement : NSTabTextMovement);
            return;
        case kDelete:
            deleteBackward(nullptr);
            return;
        case kForwardDelete:
            deleteForward(nullptr);
            return;
        case kLeft:
            buffer_.moveLeft(shift);
            changed(false);
            return;
        case kRight:
            buffer_.moveRight(shift);
            changed(false);
            return;
        case kHome:
        case kUp:
            buffer_.moveToStart(shift);
            changed(false);
            return;
        case kEnd:
        case kDown:
            buffer_.moveToEnd(shift);
            changed(false);
            return;
        case kEscape:
            return;
        default:
            insertText(event.characters());
    }
}

// --- Commands -------------------------------------------------------------------------------

void NSTextView::insertText(const std::string& text) {
    if (!editable_) return;
    std::string clean = printable(text, false);
    if (clean.empty()) return;
    if (buffer_.insert(clean, true)) changed(true);
}

void NSTextView::deleteBackward(NSObject*) {
    if (editable_ && buffer_.deleteBackward()) changed(true);
}

void NSTextView::deleteForward(NSObject*) {
    if (editable_ && buffer_.deleteForward()) changed(true);
}

void NSTextView::selectAll(NSObject*) {
    buffer_.selectAll();
    changed(false);
}

void NSTextView::copy(NSObject*) {
    if (!buffer_.hasSelection()) return;
    auto board = NSPasteboard::generalPasteboard();
    board->clearContents();
    board->setString(buffer_.selectedString(), NSPasteboardTypeString);
}

void NSTextView::cut(NSObject* sender) {
    if (!editable_ || !buffer_.hasSelection()) return;
    copy(sender);
    if (buffer_.deleteSelection()) changed(true);
}

void NSTextView::paste(NSObject*) {
    if (!editable_) return;
    auto text = NSPasteboard::generalPasteboard()->stringForType(NSPasteboardTypeString);
    if (!text) return;
    std::string clean = printable(*text, true);
    if (clean.empty() && !buffer_.hasSelection()) return;
    if (buffer_.insert(clean, false)) changed(true);
}

void NSTextView::undo(NSObject*) {
    if (editable_ && buffer_.undo()) changed(true);
}

void NSTextView::redo(NSObject*) {
    if (editable_ && buffer_.redo()) changed(true);
}

// --- Mouse ----------------------------------------------------------------------------------

NSPoint NSTextView::localPoint(const NSEvent& event) const {
    return convertPoint(event.locationInWindow(), nullptr);
}

void NSTextView::mouseDown(NSEvent& event) {
    if (!selectable_ && !editable_) return;
    NSPoint p = localPoint(event);
    std::size_t index = characterIndexForX(p.x);
    bool shift = (event.modifierFlags() & NSEventModifierFlagShift) != 0;
    wordDrag_ = false;
    if (event.clickCount() >= 3) {
        buffer_.selectAll();
    } else if (event.clickCount() == 2) {
        // The character under the pointer: the one to the left of the nearest boundary when
        // the pointer is left of it.
        std::size_t under = index;
        if (under > 0 && (under == buffer_.length() || p.x < xForCharacterIndex(under))) --under;
        buffer_.selectWord(under);
        wordDrag_ = true;
    } else {
        buffer_.moveTo(index, shift);
    }
    dragAnchor_ = buffer_.anchor();
    changed(false);
}

void NSTextView::mouseDragged(NSEvent& event) {
    if ((!selectable_ && !editable_) || wordDrag_) return;
    std::size_t index = characterIndexForX(localPoint(event).x);
    buffer_.select(dragAnchor_, 0);
    buffer_.moveTo(index, true);
    changed(false);
}

void NSTextView::mouseUp(NSEvent&) {
    wordDrag_ = false;
}

// --- Drawing --------------------------------------------------------------------------------

void NSTextView::drawRect(NSRect) {
    double height = std::max(lineHeight(), 1.0);
    double base = alignmentOffset() - scrollX_;
    bool active = isActive();
    if (buffer_.hasSelection()) {
        double x0 = base + offsetOf(buffer_.selectionStart());
        double x1 = base + offsetOf(buffer_.selectionEnd());
        theme::textSelectionColor(active)->setFill();
        NSBezierPath::fillRect(NSMakeRect(x0, 0, x1 - x0, height));
    }
    if (buffer_.length() > 0) ns::drawAtPoint(buffer_.string(), NSMakePoint(base, 0), attributes_);
    if (active && caretOn_ && editable_ && !buffer_.hasSelection()) {
        insertionPointColor_->setFill();
        NSBezierPath::fillRect(
            NSMakeRect(base + offsetOf(buffer_.caret()), 0, theme::kInsertionPointWidth, height));
    }
}

void NSTextView::registerClass() {
    ClassRegistry::shared()
        .registerClass<NSTextView, NSView>("NSTextView")
        .action("cut:", &NSTextView::cut)
        .action("copy:", &NSTextView::copy)
        .action("paste:", &NSTextView::paste)
        .action("selectAll:", &NSTextView::selectAll)
        .action("undo:", &NSTextView::undo)
        .action("redo:", &NSTextView::redo)
        .action("deleteBackward:", &NSTextView::deleteBackward)
        .action("deleteForward:", &NSTextView::deleteForward)
        .action("insertText:", &NSTextView::insertText);
}
