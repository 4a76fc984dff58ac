#include "controls/sidebar/NewView.h"

#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "services/Palette.h"

void NewView::drawPanel(NSRect bounds, const Ref<NSColor>& colour) {
    colour->setFill();
    NSBezierPath::bezierPathWithRoundedRect(bounds, 12, 12)->fill();
    NSBezierPath::fillRect(NSMakeRect(0, bounds.size.height - 30, bounds.size.width, 30));
}

void NewView::drawRect(NSRect dirtyRect) {
    NSView::drawRect(dirtyRect);
    drawPanel(bounds(), Palette::panelGrey());
}

void NewView::registerClass() {
    ClassRegistry::shared().registerClass<NewView, NSView>("NewView");
}
