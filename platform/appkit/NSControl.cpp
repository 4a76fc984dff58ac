#include "platform/appkit/NSControl.h"

#include "platform/appkit/NSActionCell.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSTextView.h"
#include "platform/appkit/NSWindow.h"

NSControl::~NSControl() {
    if (cell_ && cell_->controlView() == this) cell_->setControlView(nullptr);
}

void NSControl::initWithFrame(NSRect frame) {
    NSView::initWithFrame(frame);
    cell();
}

// --- Cell -----------------------------------------------------------------------------------

NSCell* NSControl::cell() const {
    return cellRef().get();
}

const Ref<NSCell>& NSControl::cellRef() const {
    if (!cell_) {
        cell_ = makeCell();
        if (!cell_) cell_ = NSActionCell::make();
        cell_->setControlView(const_cast<NSControl*>(this));
    }
    return cell_;
}

void NSControl::setCell(const Ref<NSCell>& cell) {
    if (cell_ && cell_->controlView() == this) cell_->setControlView(nullptr);
    cell_ = cell;
    if (cell_) cell_->setControlView(this);
    setNeedsDisplay(true);
}

Ref<NSCell> NSControl::makeCell() const {
    return NSActionCell::make();
}

void NSControl::updateCell(NSCell*) {
    setNeedsDisplay(true);
}

// --- Target and action ----------------------------------------------------------------------

WeakRef<NSObject> NSControl::target() const {
    return cell()->target();
}

void NSControl::setTarget(WeakRef<NSObject> target) {
    cell()->setTarget(std::move(target));
}

SEL NSControl::action() const {
    return cell()->action();
}

void NSControl::setAction(SEL action) {
    cell()->setAction(action);
}

bool NSControl::sendAction(SEL action, NSObject* target) {
    if (!action) return false;
    if (!NSApp) NSApplication::sharedApplication();
    return NSApp->sendAction(action, target, this);
}

bool NSControl::sendAction(SEL action, const WeakRef<NSObject>& target) {
    Ref<NSObject> receiver = target.lock();
    if (!receiver && platform::detail::wasTargetSet(target)) return false;
    return sendAction(action, receiver.get());
}

// --- State ----------------------------------------------------------------------------------

void NSControl::setEnabled(bool enabled) {
    if (cell()->isEnabled() == enabled) return;
    cell()->setEnabled(enabled);
    updateCell(cell());
}

long NSControl::tag() const {
    // Action cells keep the tag; a control with another kind of cell keeps its own.
    NSCell* c = cell();
    return dynamic_cast<NSActionCell*>(c) ? c->tag() : NSView::tag();
}

void NSControl::setTag(long tag) {
    NSView::setTag(tag);
    cell()->setTag(tag);
}

void NSControl::setHighlighted(bool highlighted) {
    cell()->setHighlighted(highlighted);
    updateCell(cell());
}

void NSControl::setControlSize(NSControlSize size) {
    cell()->setControlSize(size);
    updateCell(cell());
}

void NSControl::setFont(const Ref<NSFont>& font) {
    cell()->setFont(font);
    updateCell(cell());
}

void NSControl::setAlignment(NSTextAlignment alignment) {
    cell()->setAlignment(alignment);
    updateCell(cell());
}

void NSControl::setLineBreakMode(NSLineBreakMode mode) {
    cell()->setLineBreakMode(mode);
    updateCell(cell());
}

void NSControl::setUsesSingleLineMode(bool single) {
    cell()->setUsesSingleLineMode(single);
    updateCell(cell());
}

// --- Value ----------------------------------------------------------------------------------

void NSControl::setObjectValue(const std::any& value) {
    cell()->setObjectValue(value);
    updateCell(cell());
}

void NSControl::setStringValue(const std::string& text) {
    cell()->setStringValue(text);
    updateCell(cell());
}

void NSControl::setIntValue(int value) {
    cell()->setIntValue(value);
    updateCell(cell());
}

void NSControl::setIntegerValue(long value) {
    cell()->setIntegerValue(value);
    updateCell(cell());
}

void NSControl::setFloatValue(float value) {
    cell()->setFloatValue(value);
    updateCell(cell());
}

void NSControl::setDoubleValue(double value) {
    cell()->setDoubleValue(value);
    updateCell(cell());
}

void NSControl::setAttributedStringValue(const Ref<NSAttributedString>& text) {
    cell()->setAttributedStringValue(text);
    updateCell(cell());
}

NSTextView* NSControl::currentEditor() const {
    NSWindow* w = window();
    if (!w) return nullptr;
    NSTextView* editor = w->fieldEditor(false, nullptr);
    return editor && editor->superview() == this && editor->window() == w ? editor : nullptr;
}

void NSControl::sizeToFit() {
    setFrameSize(cell()->cellSize());
}

void NSControl::performClick(NSObject* sender) {
    Ref<NSObject> keep = weak_from_this().lock();
    Ref<NSCell> keepCell = cellRef();
    keepCell->setControlView(this);
    keepCell->performClick(sender);
    updateCell(keepCell.get());
}

// --- Events and drawing ---------------------------------------------------------------------

void NSControl::mouseDown(NSEvent& event) {
    if (!isEnabled()) return;
    // The action may drop the control or replace its cell while the loop runs.
    Ref<NSObject> keep = weak_from_this().lock();
    Ref<NSCell> keepCell = cellRef();
    keepCell->setControlView(this);
    keepCell->trackMouse(event, bounds(), this, keepCell->prefersTrackingUntilMouseUp());
    setNeedsDisplay(true);
}

void NSControl::drawRect(NSRect) {
    Ref<NSCell> c = cellRef();
    c->setControlView(this);
    c->drawWithFrame(bounds(), this);
}

void NSControl::addNibChild(Ref<NSObject> child) {
    if (auto cell = std::dynamic_pointer_cast<NSCell>(child)) {
        setCell(cell);
        return;
    }
    NSView::addNibChild(std::move(child));
}
