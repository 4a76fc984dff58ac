#include "windows/PopWindow/PopBgView.h"

#include "platform/graphics/NSBezierPath.h"
#include "services/Palette.h"

void PopBgView::drawRect(NSRect dirtyRect) {
    NSView::drawRect(dirtyRect);
    // The whole panel is drawn on every pass, so that a partial redraw cannot round the
    // corners of the redrawn part only.
    NSRect panel = bounds();
    Palette::popUpGrey()->setFill();
    NSBezierPath::bezierPathWithRoundedRect(panel, 4, 4)->fill();
    auto outline = NSBezierPath::bezierPathWithRoundedRect(NSInsetRect(panel, 0.5, 0.5), 4, 4);
    outline->setLineWidth(1);
    Palette::popUpEdgeGrey()->setStroke();
    outline->stroke();
}

void PopBgView::registerClass() {
    ClassRegistry::shared().registerClass<PopBgView, NSView>("PopBgView");
}
