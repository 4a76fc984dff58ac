#include "windows/PopWindow/PopWindowBgView.h"

#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "services/Palette.h"

void PopWindowBgView::drawRect(NSRect dirtyRect) {
    NSView::drawRect(dirtyRect);
    // The panel covers the view's own bounds, wherever the view sits in its superview.
    auto panel = NSBezierPath::bezierPathWithRoundedRect(bounds(), 12, 12);
    Palette::dialogGrey()->setFill();
    panel->fill();
    Palette::dialogEdgeGrey()->setStroke();
    panel->stroke();
}

void PopWindowBgView::registerClass() {
    ClassRegistry::shared().registerClass<PopWindowBgView, NSView>("PopWindowBgView");
}
