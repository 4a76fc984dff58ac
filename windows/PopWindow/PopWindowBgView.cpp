#include "windows/PopWindow/PopWindowBgView.h"

#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"

void PopWindowBgView::drawRect(NSRect dirtyRect) {
    NSView::drawRect(dirtyRect);
    // The panel covers the view's own bounds, wherever the view sits in its superview.
    auto panel = NSBezierPath::bezierPathWithRoundedRect(bounds(), 12, 12);
    NSColor::colorWithDeviceRed(51 / 255.0, 55 / 255.0, 58 / 255.0, 1)->setFill();
    panel->fill();
    NSColor::colorWithDeviceRed(33 / 255.0, 36 / 255.0, 37 / 255.0, 1)->setStroke();
    panel->stroke();
}

void PopWindowBgView::registerClass() {
    ClassRegistry::shared().registerClass<PopWindowBgView, NSView>("PopWindowBgView");
}
