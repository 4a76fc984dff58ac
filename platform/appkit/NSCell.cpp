#include "platform/appkit/NSCell.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <typeinfo>

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSControl.h"
#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSTextView.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/theme/ControlTheme.h"
#include "platform/foundation/NSDate.h"
#include "platform/foundation/NSLog.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSImage.h"
#include "platform/graphics/TextLayout.h"

namespace platform::detail {

Ref<NSAttributedString> withDefaultAttributes(const NSAttributedString& text,
                                              const NSAttributes& defaults) {
    auto out = NSMutableAttributedString::make(text.string(), defaults);
    for (const auto& run : text.runs())
        out->addAttributes(run.attributes, run.range);
    return out;
}

Ref<NSAttributedString> copyAttributedString(const NSAttributedString& text) {
    auto out = NSMutableAttributedString::make("");
    out->appendAttributedString(text);
    return out;
}

bool wasTargetSet(const WeakRef<NSObject>& target) {
    WeakRef<NSObject> never;
    return target.owner_before(never) || never.owner_before(target);
}

}  // namespace platform::detail

namespace {

/// The object held by a value, whichever Ref type it was stored as.
Ref<NSObject> objectIn(const std::any& value) {
    if (const auto* o = std::any_cast<Ref<NSObject>>(&value)) return *o;
    if (const auto* a = std::any_cast<Ref<NSAttributedString>>(&value)) return *a;
    if (const auto* m = std::any_cast<Ref<NSMutableAttributedString>>(&value)) return *m;
    return nullptr;
}

/// A number held by a value, or nullopt.
std::optional<double> numberIn(const std::any& value) {
    if (const auto* v = std::any_cast<double>(&value)) return *v;
    if (const auto* v = std::any_cast<float>(&value)) return *v;
    if (const auto* v = std::any_cast<long>(&value)) return static_cast<double>(*v);
    if (const auto* v = std::any_cast<int>(&value)) return *v;
    if (const auto* v = std::any_cast<long long>(&value)) return static_cast<double>(*v);
    if (const auto* v = std::any_cast<unsigned long>(&value)) return static_cast<double>(*v);
    if (const auto* v = std::any_cast<bool>(&value)) return *v ? 1 : 0;
    return std::nullopt;
}

std::optional<long> integerIn(const std::any& value) {
    if (const auto* v = std::any_cast<long>(&value)) return *v;
    if (const auto* v = std::any_cast<int>(&value)) return *v;
    if (const auto* v = std::any_cast<long long>(&value)) return static_cast<long>(*v);
    if (const auto* v = std::any_cast<unsigned long>(&value)) return static_cast<long>(*v);
    if (const auto* v = std::any_cast<bool>(&value)) return *v ? 1 : 0;
    return std::nullopt;
}

std::string formatNumber(double v) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", v);
    return buffer;
}

NSApplication& application() {
    if (!NSApp) NSApplication::sharedApplication();
    return *NSApp;
}

}  // namespace

NSCell::NSCell() : font_(NSFont::systemFontOfSize(13)) {}

NSCell::~NSCell() = default;

NSCell::NSCell(const NSCell& other)
    : NSObject(),
      type_(other.type_),
      state_(other.state_),
      allowsMixedState_(other.allowsMixedState_),
      enabled_(other.enabled_),
      bordered_(other.bordered_),
      bezeled_(other.bezeled_),
      highlighted_(other.highlighted_),
      editable_(other.editable_),
      selectable_(other.selectable_),
      scrollable_(other.scrollable_),
      continuous_(other.continuous_),
      usesSingleLineMode_(other.usesSingleLineMode_),
      truncatesLastVisibleLine_(other.truncatesLastVisibleLine_),
      controlSize_(other.controlSize_),
      focusRingType_(other.focusRingType_),
      font_(other.font_),
      alignment_(other.alignment_),
      lineBreakMode_(other.lineBreakMode_),
      objectValue_(other.objectValue_),
      image_(other.image_),
      representedObject_(other.representedObject_),
      controlView_(nullptr) {
    // An attributed value may be mutable: the copy gets its own.
    if (auto object = objectIn(objectValue_))
        if (auto text = std::dynamic_pointer_cast<NSAttributedString>(object))
            objectValue_ = platform::detail::copyAttributedString(*text);
}

Ref<NSCell> NSCell::clone() const {
    return Ref<NSCell>(new NSCell(*this));
}

Ref<NSCell> NSCell::copy() const {
    Ref<NSCell> copy = clone();
    const NSCell* made = copy.get();
    if (made && typeid(*made) != typeid(*this)) {
        // A subclass that does not override clone() loses its class in copies: say so once
        // for each such class.
        static std::set<std::string> told;
        if (told.insert(className()).second) {
            NSLog("%@ does not override NSCell::clone(); its copies are %@", className(),
                  copy->className());
        }
    }
    return copy;
}

void NSCell::initTextCell(const std::string& text) {
    type_ = NSTextCellType;
    setStringValue(text);
}

void NSCell::initImageCell(const Ref<NSImage>& image) {
    type_ = NSImageCellType;
    setImage(image);
}

// --- State ----------------------------------------------------------------------------------

void NSCell::setState(NSControlStateValue state) {
    if (state > 0)
        state_ = NSControlStateValueOn;
    else if (state < 0)
        state_ = allowsMixedState_ ? NSControlStateValueMixed : NSControlStateValueOn;
    else
        state_ = NSControlStateValueOff;
}

NSControlStateValue NSCell::nextState() const {
    NSControlStateValue current = state();
    if (!allowsMixedState_) return current == NSControlStateValueOff ? NSOnState : NSOffState;
    if (current == NSControlStateValueOn) return NSControlStateValueOff;
    if (current == NSControlStateValueOff) return NSControlStateValueMixed;
    return NSControlStateValueOn;
}

void NSCell::setEditable(bool editable) {
    editable_ = editable;
    if (editable) selectable_ = true;
}

// --- Text -----------------------------------------------------------------------------------

void NSCell::setFont(const Ref<NSFont>& font) {
    font_ = font ? font : NSFont::systemFontOfSize(13);
}

bool NSCell::wraps() const {
    return lineBreakMode_ == NSLineBreakByWordWrapping ||
           lineBreakMode_ == NSLineBreakByCharWrapping;
}

NSAttributes NSCell::textAttributes() const {
    auto style = NSParagraphStyle::defaultParagraphStyle();
    style->setAlignment(alignment_);
    style->setLineBreakMode(lineBreakMode_);
    return {{NSFontAttributeName, font_},
            {NSForegroundColorAttributeName, platform::theme::titleColor(enabled_)},
            {NSParagraphStyleAttributeName, style}};
}

// --- Value ----------------------------------------------------------------------------------

void NSCell::setObjectValue(const std::any& value) {
    if (const auto* c = std::any_cast<const char*>(&value))
        objectValue_ = std::string(*c ? *c : "");
    else
        objectValue_ = value;
}

std::string NSCell::stringValue() const {
    std::any value = objectValue();
    if (const auto* s = std::any_cast<std::string>(&value)) return *s;
    if (auto n = integerIn(value)) return std::to_string(*n);
    if (auto d = numberIn(value)) return formatNumber(*d);
    if (auto object = objectIn(value)) {
        if (auto text = std::dynamic_pointer_cast<NSAttributedString>(object))
            return text->string();
        return object->description();
    }
    return "";
}

void NSCell::setStringValue(const std::string& text) {
    setObjectValue(std::any(text));
}

long NSCell::integerValue() const {
    std::any value = objectValue();
    if (auto n = integerIn(value)) return *n;
    if (auto d = numberIn(value)) return std::isfinite(*d) ? static_cast<long>(*d) : 0;
    std::string text = stringValue();
    return std::strtol(text.c_str(), nullptr, 10);
}

double NSCell::doubleValue() const {
    std::any value = objectValue();
    if (auto d = numberIn(value)) return *d;
    std::string text = stringValue();
    double d = std::strtod(text.c_str(), nullptr);
    return std::isfinite(d) ? d : 0;
}

Ref<NSAttributedString> NSCell::attributedStringValue() const {
    std::any value = objectValue();
    if (auto object = objectIn(value))
        if (auto text = std::dynamic_pointer_cast<NSAttributedString>(object))
            return platform::detail::withDefaultAttributes(*text, textAttributes());
    return NSAttributedString::make(stringValue(), textAttributes());
}

void NSCell::setAttributedStringValue(const Ref<NSAttributedString>& text) {
    if (!text) {
        setObjectValue(std::any(std::string()));
        return;
    }
    setObjectValue(std::any(platform::detail::copyAttributedString(*text)));
}

void NSCell::setImage(const Ref<NSImage>& image) {
    image_ = image;
}

// --- Geometry -------------------------------------------------------------------------------

NSSize NSCell::cellSize() const {
    return cellSizeForBounds(NSMakeRect(0, 0, 1e6, 1e6));
}

NSSize NSCell::cellSizeForBounds(NSRect bounds) const {
    NSSize content;
    NSRect drawing = drawingRectForBounds(bounds);
    NSSize inset{bounds.size.width - drawing.size.width, bounds.size.height - drawing.size.height};
    if (type_ == NSImageCellType) {
        if (image_) content = image_->size();
    } else {
        auto text = attributedStringValue();
        if (wraps() && !usesSingleLineMode_ && bounds.size.width < 1e5) {
            NSRect r = ns::boundingRectWithSize(
                *text, NSMakeSize(std::max(1.0, drawing.size.width - 4), 0),
                NSStringDrawingUsesLineFragmentOrigin);
            content = r.size;
        } else {
            content = ns::size(*text);
        }
        content.width += 4;  // the text's margins inside the title rectangle
    }
    return {std::ceil(content.width + inset.width), std::ceil(content.height + inset.height)};
}

NSRect NSCell::drawingRectForBounds(NSRect bounds) const {
    if (bezeled_)
        return NSInsetRect(bounds, platform::theme::kTextFieldInset,
                           platform::theme::kTextFieldInset);
    if (bordered_) return NSInsetRect(bounds, 1, 1);
    return bounds;
}

NSRect NSCell::titleRectForBounds(NSRect bounds) const {
    NSRect r = drawingRectForBounds(bounds);
    if (type_ == NSTextCellType) return NSInsetRect(r, 2, 0);
    return r;
}

NSRect NSCell::imageRectForBounds(NSRect bounds) const {
    return drawingRectForBounds(bounds);
}

// --- Drawing --------------------------------------------------------------------------------

void NSCell::drawWithFrame(NSRect cellFrame, NSView* controlView) {
    if (controlView) controlView_ = controlView;
    if (bezeled_)
        platform::theme::drawTextFieldBezel(cellFrame, false, enabled_);
    else if (bordered_)
        platform::theme::drawTextFieldBorder(cellFrame);
    drawInteriorWithFrame(cellFrame, controlView);
}

void NSCell::drawInteriorWithFrame(NSRect cellFrame, NSView* controlView) {
    if (controlView) controlView_ = controlView;
    if (type_ == NSImageCellType) {
        if (image_)
            image_->drawInRect(imageRectForBounds(cellFrame), NSZeroRect,
                               NSCompositingOperationSourceOver, enabled_ ? 1 : 0.5, true);
        return;
    }
    if (type_ == NSTextCellType) drawText(attributedStringValue(), titleRectForBounds(cellFrame));
}

void NSCell::drawText(const Ref<NSAttributedString>& text, NSRect rect) const {
    if (!text || text->length() == 0 || NSIsEmptyRect(rect)) return;
    if (usesSingleLineMode_ && wraps()) {
        // One line only: wrapping modes clip instead.
        auto single = NSMutableAttributedString::make("");
        single->appendAttributedString(*text);
        for (const auto& run : text->runs()) {
            auto style = NSParagraphStyle::defaultParagraphStyle();
            auto it = run.attributes.find(NSParagraphStyleAttributeName);
            if (it != run.attributes.end())
                if (const auto* s = std::any_cast<Ref<NSParagraphStyle>>(&it->second); s && *s)
                    style->setAlignment((*s)->alignment());
            style->setLineBreakMode(NSLineBreakByClipping);
            single->addAttribute(NSParagraphStyleAttributeName, style, run.range);
        }
        ns::drawInRect(*single, rect);
        return;
    }
    ns::drawInRect(*text, rect);
}

void NSCell::highlight(bool flag, NSRect cellFrame, NSView* controlView) {
    if (highlighted_ == flag) return;
    setHighlighted(flag);
    if (controlView) controlView->setNeedsDisplayInRect(cellFrame);
}

// --- Mouse ----------------------------------------------------------------------------------

NSCellHitResult NSCell::hitTestForEvent(NSEvent& event, NSRect cellFrame, NSView* controlView) {
    if (!controlView) return NSCellHitNone;
    NSPoint p = controlView->convertPoint(event.locationInWindow(), nullptr);
    if (!controlView->mouse(p, cellFrame)) return NSCellHitNone;
    NSCellHitResult result = NSCellHitContentArea;
    if (type_ == NSTextCellType && isSelectable()) result |= NSCellHitEditableTextArea;
    return result;
}

bool NSCell::startTrackingAt(NSPoint, NSView*) {
    return continuous_;
}

bool NSCell::continueTracking(NSPoint, NSPoint, NSView*) {
    return true;
}

void NSCell::stopTracking(NSPoint, NSPoint, NSView*, bool) {}

bool NSCell::trackMouse(NSEvent& event, NSRect cellFrame, NSView* controlView, bool untilMouseUp) {
    if (!controlView || !enabled_) return false;
    controlView_ = controlView;
    // The view and this cell must outlive the loop even if an action drops them.
    Ref<NSObject> keepView = controlView->weak_from_this().lock();
    Ref<NSObject> keepCell = weak_from_this().lock();
    NSPoint last = controlView->convertPoint(event.locationInWindow(), nullptr);
    bool inside = controlView->mouse(last, cellFrame);
    bool callContinue = startTrackingAt(last, controlView);
    highlight(inside, cellFrame, controlView);
    const NSEventMask mask = NSEventMaskLeftMouseUp | NSEventMaskLeftMouseDragged;
    for (;;) {
        if (application().leftMouseReleasedSince(event)) {
            // Something run from the press (a modal dialog, say) took the release: waiting
            // for it would hold the application in tracking until the next click.
            stopTracking(last, last, controlView, false);
            highlight(false, cellFrame, controlView);
            return false;
        }
        Ref<NSEvent> next = application().nextEventMatchingMask(mask, NSDate::distantFuture(),
                                                                NSEventTrackingRunLoopMode, true);
        if (!next) {
            // The loop was interrupted (a modal session ended): give up without a click.
            stopTracking(last, last, controlView, false);
            highlight(false, cellFrame, controlView);
            return false;
        }
        NSPoint p = controlView->convertPoint(next->locationInWindow(), nullptr);
        inside = controlView->mouse(p, cellFrame);
        if (next->type() == NSEventTypeLeftMouseUp) {
            stopTracking(last, p, controlView, true);
            highlight(false, cellFrame, controlView);
            return inside;
        }
        if (!inside && !untilMouseUp) {
            stopTracking(last, p, controlView, false);
            highlight(false, cellFrame, controlView);
            return false;
        }
        highlight(inside, cellFrame, controlView);
        if (callContinue && !continueTracking(last, p, controlView)) callContinue = false;
        last = p;
    }
}

// --- Editing --------------------------------------------------------------------------------

namespace {

/// Puts `editor` over the cell's text in `controlView` and connects it to `delegate`.
void placeEditor(const NSCell& cell, NSRect rect, NSView* controlView, NSTextView* editor,
                 NSObject* delegate) {
    Ref<NSView> keep = std::static_pointer_cast<NSView>(editor->shared_from_this());
    editor->setDelegate(WeakRef<NSTextDelegate>());
    editor->setFrame(cell.titleRectForBounds(rect));
    editor->setTypingAttributes(cell.textAttributes());
    editor->setEditable(cell.isEditable());
    editor->setSelectable(true);
    editor->setString(cell.stringValue());
    if (controlView && editor->superview() != controlView) controlView->addSubview(keep);
    if (delegate) {
        if (Ref<NSObject> owner = delegate->weak_from_this().lock())
            editor->setDelegate(std::dynamic_pointer_cast<NSTextDelegate>(owner));
    }
}

}  // namespace

void NSCell::editWithFrame(NSRect rect, NSView* controlView, NSTextView* editor, NSObject* delegate,
                           NSEvent* event) {
    if (!editor) return;
    placeEditor(*this, rect, controlView, editor, delegate);
    if (event) editor->mouseDown(*event);
}

void NSCell::selectWithFrame(NSRect rect, NSView* controlView, NSTextView* editor,
                             NSObject* delegate, long start, long length) {
    if (!editor) return;
    placeEditor(*this, rect, controlView, editor, delegate);
    editor->setSelectedRange(NSMakeRange(static_cast<std::size_t>(std::max(0L, start)),
                                         static_cast<std::size_t>(std::max(0L, length))));
}

void NSCell::endEditing(NSTextView* editor) {
    if (!editor) return;
    Ref<NSObject> keep = editor->shared_from_this();
    editor->setDelegate(WeakRef<NSTextDelegate>());
    editor->removeFromSuperview();
}

void NSCell::performClick(NSObject* sender) {
    if (!enabled_) return;
    setNextState();
    if (auto* control = dynamic_cast<NSControl*>(controlView_))
        control->sendAction(action(), target());
    (void)sender;
}
