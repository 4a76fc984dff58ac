#include "platform/appkit/NSTextFieldCell.h"

#include "platform/appkit/NSControl.h"
#include "platform/appkit/theme/ControlTheme.h"
#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"

namespace theme = platform::theme;

NSTextFieldCell::NSTextFieldCell()
    : textColor_(NSColor::controlTextColor()), backgroundColor_(NSColor::controlBackgroundColor()) {
    setType(NSTextCellType);
}

Ref<NSCell> NSTextFieldCell::clone() const {
    return Ref<NSCell>(new NSTextFieldCell(*this));
}

void NSTextFieldCell::setTextColor(const Ref<NSColor>& color) {
    textColor_ = color ? color : NSColor::controlTextColor();
}

void NSTextFieldCell::setBackgroundColor(const Ref<NSColor>& color) {
    backgroundColor_ = color ? color : NSColor::controlBackgroundColor();
}

void NSTextFieldCell::setBordered(bool bordered) {
    NSActionCell::setBezeled(false);
    NSActionCell::setBordered(bordered);
}

void NSTextFieldCell::setBezeled(bool bezeled) {
    if (bezeled) NSActionCell::setBordered(false);
    NSActionCell::setBezeled(bezeled);
}

void NSTextFieldCell::setPlaceholderString(const std::string& placeholder) {
    placeholder_ = placeholder;
    placeholderAttributed_.reset();
}

void NSTextFieldCell::setPlaceholderAttributedString(const Ref<NSAttributedString>& placeholder) {
    placeholderAttributed_ =
        placeholder ? platform::detail::copyAttributedString(*placeholder) : nullptr;
    placeholder_ = placeholder ? placeholder->string() : std::string();
}

NSAttributes NSTextFieldCell::textAttributes() const {
    NSAttributes attributes = NSActionCell::textAttributes();
    Ref<NSColor> color = textColor_;
    if (!isEnabled()) color = color->colorWithAlphaComponent(color->alphaComponent() * 0.5);
    attributes[NSForegroundColorAttributeName] = color;
    return attributes;
}

NSRect NSTextFieldCell::titleRectForBounds(NSRect bounds) const {
    return NSInsetRect(drawingRectForBounds(bounds), 2, 0);
}

void NSTextFieldCell::drawWithFrame(NSRect cellFrame, NSView* controlView) {
    if (controlView) setControlView(controlView);
    if (isBezeled()) {
        theme::drawTextFieldBezel(cellFrame, bezelStyle_ == NSTextFieldRoundedBezel, isEnabled());
        if (drawsBackground_ && bezelStyle_ == NSTextFieldSquareBezel) {
            backgroundColor_->setFill();
            NSBezierPath::fillRect(NSInsetRect(cellFrame, 1, 1));
        }
    } else {
        if (drawsBackground_) {
            backgroundColor_->setFill();
            NSBezierPath::fillRect(cellFrame);
        }
        if (isBordered()) theme::drawTextFieldBorder(cellFrame);
    }
    drawInteriorWithFrame(cellFrame, controlView);
}

void NSTextFieldCell::drawInteriorWithFrame(NSRect cellFrame, NSView* controlView) {
    if (controlView) setControlView(controlView);
    NSRect rect = titleRectForBounds(cellFrame);
    Ref<NSAttributedString> text = attributedStringValue();
    // While the field editor edits the value, it draws the text; the placeholder stays ours.
    auto* control = dynamic_cast<NSControl*>(controlView);
    if (text->length() > 0 && control && control->cell() == this && control->currentEditor())
        return;
    if (text->length() == 0 && !placeholder_.empty()) {
        if (placeholderAttributed_) {
            text =
                platform::detail::withDefaultAttributes(*placeholderAttributed_, textAttributes());
        } else {
            NSAttributes attributes = textAttributes();
            attributes[NSForegroundColorAttributeName] = theme::placeholderColor();
            text = NSAttributedString::make(placeholder_, attributes);
        }
    }
    drawText(text, rect);
}
