#include "platform/appkit/NSTextField.h"

#include "platform/graphics/NSColor.h"

namespace {
NSTextFieldCell& cellOf(const NSTextField& field) {
    if (NSTextFieldCell* cell = field.cell()) return *cell;
    static NSTextFieldCell scratch;  // only when another kind of cell was set
    return scratch;
}
}  // namespace

void NSTextField::initWithFrame(NSRect frame) {
    NSControl::initWithFrame(frame);
    NSCell* c = NSControl::cell();
    c->setEditable(true);
    c->setSelectable(true);
    c->setBezeled(true);
}

Ref<NSTextField> NSTextField::labelWithString(const std::string& text) {
    auto field = make();
    field->setEditable(false);
    field->setSelectable(false);
    field->setBezeled(false);
    field->setBordered(false);
    field->setDrawsBackground(false);
    field->setStringValue(text);
    field->sizeToFit();
    return field;
}

Ref<NSTextField> NSTextField::textFieldWithString(const std::string& text) {
    auto field = make();
    field->setStringValue(text);
    field->sizeToFit();
    return field;
}

Ref<NSCell> NSTextField::makeCell() const {
    return NSTextFieldCell::make();
}

NSTextFieldCell* NSTextField::cell() const {
    return dynamic_cast<NSTextFieldCell*>(NSControl::cell());
}

Ref<NSColor> NSTextField::textColor() const {
    return cellOf(*this).textColor();
}

void NSTextField::setTextColor(const Ref<NSColor>& color) {
    cellOf(*this).setTextColor(color);
    updateCell(NSControl::cell());
}

Ref<NSColor> NSTextField::backgroundColor() const {
    return cellOf(*this).backgroundColor();
}

void NSTextField::setBackgroundColor(const Ref<NSColor>& color) {
    cellOf(*this).setBackgroundColor(color);
    updateCell(NSControl::cell());
}

bool NSTextField::drawsBackground() const {
    return cellOf(*this).drawsBackground();
}

void NSTextField::setDrawsBackground(bool draws) {
    cellOf(*this).setDrawsBackground(draws);
    updateCell(NSControl::cell());
}

bool NSTextField::isBezeled() const {
    return NSControl::cell()->isBezeled();
}

void NSTextField::setBezeled(bool bezeled) {
    NSControl::cell()->setBezeled(bezeled);
    updateCell(NSControl::cell());
}

NSTextFieldBezelStyle NSTextField::bezelStyle() const {
    return cellOf(*this).bezelStyle();
}

void NSTextField::setBezelStyle(NSTextFieldBezelStyle style) {
    cellOf(*this).setBezelStyle(style);
    updateCell(NSControl::cell());
}

bool NSTextField::isBordered() const {
    return NSControl::cell()->isBordered();
}

void NSTextField::setBordered(bool bordered) {
    NSControl::cell()->setBordered(bordered);
    updateCell(NSControl::cell());
}

bool NSTextField::isEditable() const {
    return NSControl::cell()->isEditable();
}

void NSTextField::setEditable(bool editable) {
    NSControl::cell()->setEditable(editable);
}

bool NSTextField::isSelectable() const {
    return NSControl::cell()->isSelectable();
}

void NSTextField::setSelectable(bool selectable) {
    NSControl::cell()->setSelectable(selectable);
}

std::string NSTextField::placeholderString() const {
    return cellOf(*this).placeholderString();
}

void NSTextField::setPlaceholderString(const std::string& placeholder) {
    cellOf(*this).setPlaceholderString(placeholder);
    updateCell(NSControl::cell());
}

Ref<NSAttributedString> NSTextField::placeholderAttributedString() const {
    return cellOf(*this).placeholderAttributedString();
}

void NSTextField::setPlaceholderAttributedString(const Ref<NSAttributedString>& placeholder) {
    cellOf(*this).setPlaceholderAttributedString(placeholder);
    updateCell(NSControl::cell());
}
