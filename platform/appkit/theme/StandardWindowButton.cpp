#include "platform/appkit/theme/StandardWindowButton.h"

#include "platform/appkit/NSWindow.h"
#include "platform/appkit/theme/WindowTheme.h"
#include "platform/graphics/NSGraphicsContext.h"

Ref<StandardWindowButton> StandardWindowButton::make(int kind) {
    auto button = std::make_shared<StandardWindowButton>();
    double size = platform::theme::kWindowButtonSize;
    button->initWithFrame(NSMakeRect(0, 0, size, size));
    button->kind_ = kind;
    button->setBordered(false);
    button->setTitle("");
    button->setButtonType(NSButtonTypeMomentaryChange);
    button->updateTrackingAreas();
    return button;
}

void StandardWindowButton::drawRect(NSRect) {
    auto context = NSGraphicsContext::currentContext();
    if (!context) return;
    NSWindow* w = window();
    bool active = w && (w->isKeyWindow() || w->isMainWindow());
    auto* buttonCell = cell();
    bool pressed = buttonCell && buttonCell->isHighlighted();
    platform::theme::drawWindowButton(*context, bounds(), kind_, active, hovered_, pressed,
                                      isEnabled());
}

void StandardWindowButton::updateTrackingAreas() {
    if (area_) removeTrackingArea(area_);
    area_ = NSTrackingArea::make(bounds(), NSTrackingMouseEnteredAndExited | NSTrackingActiveAlways,
                                 nullptr);
    area_->setRawOwner(this);
    addTrackingArea(area_);
}

void StandardWindowButton::setGroupHovered(bool hovered) {
    NSView* parent = superview();
    if (!parent) return;
    for (auto& sibling : parent->subviews()) {
        if (auto* b = dynamic_cast<StandardWindowButton*>(sibling.get())) {
            b->hovered_ = hovered;
            b->setNeedsDisplay(true);
        }
    }
}

void StandardWindowButton::mouseEntered(NSEvent&) {
    setGroupHovered(true);
}

void StandardWindowButton::mouseExited(NSEvent&) {
    setGroupHovered(false);
}
