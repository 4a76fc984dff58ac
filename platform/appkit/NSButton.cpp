#include "platform/appkit/NSButton.h"

#include "platform/appkit/NSEvent.h"
#include "platform/graphics/NSImage.h"

namespace {
/// Every button keeps a button cell: accessors fall back to a scratch one when another kind
/// of cell was set, so they never dereference null.
NSButtonCell& cellOf(const NSButton& button) {
    if (NSButtonCell* cell = button.cell()) return *cell;
    static NSButtonCell scratch;
    return scratch;
}
}  // namespace

Ref<NSButton> NSButton::buttonWithTitle(const std::string& title, const Ref<NSObject>& target,
                                        SEL action) {
    auto button = make();
    button->setTitle(title);
    button->setTarget(target);
    button->setAction(action);
    button->sizeToFit();
    return button;
}

Ref<NSButton> NSButton::checkboxWithTitle(const std::string& title, const Ref<NSObject>& target,
                                          SEL action) {
    auto button = make();
    button->setButtonType(NSButtonTypeSwitch);
    button->setTitle(title);
    button->setTarget(target);
    button->setAction(action);
    button->sizeToFit();
    return button;
}

Ref<NSCell> NSButton::makeCell() const {
    return NSButtonCell::make();
}

NSButtonCell* NSButton::cell() const {
    return dynamic_cast<NSButtonCell*>(NSControl::cell());
}

NSButtonType NSButton::buttonType() const {
    return cellOf(*this).buttonType();
}

void NSButton::setButtonType(NSButtonType type) {
    cellOf(*this).setButtonType(type);
    updateCell(NSControl::cell());
}

NSBezelStyle NSButton::bezelStyle() const {
    return cellOf(*this).bezelStyle();
}

void NSButton::setBezelStyle(NSBezelStyle style) {
    cellOf(*this).setBezelStyle(style);
    updateCell(NSControl::cell());
}

bool NSButton::isBordered() const {
    return NSControl::cell()->isBordered();
}

void NSButton::setBordered(bool bordered) {
    NSControl::cell()->setBordered(bordered);
    updateCell(NSControl::cell());
}

bool NSButton::isTransparent() const {
    return cellOf(*this).isTransparent();
}

void NSButton::setTransparent(bool transparent) {
    cellOf(*this).setTransparent(transparent);
    updateCell(NSControl::cell());
}

bool NSButton::showsBorderOnlyWhileMouseInside() const {
    return cellOf(*this).showsBorderOnlyWhileMouseInside();
}

void NSButton::setShowsBorderOnlyWhileMouseInside(bool shows) {
    cellOf(*this).setShowsBorderOnlyWhileMouseInside(shows);
}

std::string NSButton::title() const {
    return NSControl::cell()->title();
}

void NSButton::setTitle(const std::string& title) {
    NSControl::cell()->setTitle(title);
    updateCell(NSControl::cell());
}

Ref<NSAttributedString> NSButton::attributedTitle() const {
    return cellOf(*this).attributedTitle();
}

void NSButton::setAttributedTitle(const Ref<NSAttributedString>& title) {
    cellOf(*this).setAttributedTitle(title);
    updateCell(NSControl::cell());
}

std::string NSButton::alternateTitle() const {
    return cellOf(*this).alternateTitle();
}

void NSButton::setAlternateTitle(const std::string& title) {
    cellOf(*this).setAlternateTitle(title);
    updateCell(NSControl::cell());
}

Ref<NSImage> NSButton::image() const {
    return NSControl::cell()->image();
}

void NSButton::setImage(const Ref<NSImage>& image) {
    NSControl::cell()->setImage(image);
    updateCell(NSControl::cell());
}

Ref<NSImage> NSButton::alternateImage() const {
    return cellOf(*this).alternateImage();
}

void NSButton::setAlternateImage(const Ref<NSImage>& image) {
    cellOf(*this).setAlternateImage(image);
    updateCell(NSControl::cell());
}

NSCellImagePosition NSButton::imagePosition() const {
    return cellOf(*this).imagePosition();
}

void NSButton::setImagePosition(NSCellImagePosition position) {
    cellOf(*this).setImagePosition(position);
    updateCell(NSControl::cell());
}

NSImageScaling NSButton::imageScaling() const {
    return cellOf(*this).imageScaling();
}

void NSButton::setImageScaling(NSImageScaling scaling) {
    cellOf(*this).setImageScaling(scaling);
    updateCell(NSControl::cell());
}

NSControlStateValue NSButton::state() const {
    return NSControl::cell()->state();
}

void NSButton::setState(NSControlStateValue state) {
    NSControl::cell()->setState(state);
    updateCell(NSControl::cell());
}

bool NSButton::allowsMixedState() const {
    return NSControl::cell()->allowsMixedState();
}

void NSButton::setAllowsMixedState(bool allows) {
    NSControl::cell()->setAllowsMixedState(allows);
}

void NSButton::setNextState() {
    NSControl::cell()->setNextState();
    updateCell(NSControl::cell());
}

void NSButton::highlight(bool flag) {
    NSControl::cell()->highlight(flag, bounds(), this);
}

std::string NSButton::keyEquivalent() const {
    return cellOf(*this).keyEquivalent();
}

void NSButton::setKeyEquivalent(const std::string& key) {
    cellOf(*this).setKeyEquivalent(key);
}

NSEventModifierFlags NSButton::keyEquivalentModifierMask() const {
    return cellOf(*this).keyEquivalentModifierMask();
}

void NSButton::setKeyEquivalentModifierMask(NSEventModifierFlags mask) {
    cellOf(*this).setKeyEquivalentModifierMask(mask);
}

bool NSButton::performKeyEquivalent(NSEvent& event) {
    const std::string& key = keyEquivalent();
    if (!key.empty() && isEnabled() && !isHiddenOrHasHiddenAncestor() &&
        event.type() == NSEventTypeKeyDown) {
        const NSEventModifierFlags relevant =
            NSEventModifierFlagShift | NSEventModifierFlagControl | NSEventModifierFlagOption |
            NSEventModifierFlagCommand;
        if (event.charactersIgnoringModifiers() == key &&
            (event.modifierFlags() & relevant) == (keyEquivalentModifierMask() & relevant)) {
            performClick(this);
            return true;
        }
    }
    return NSControl::performKeyEquivalent(event);
}
