#include "shell/AboutVersionBgView.h"

#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "services/getColor.h"

void AboutVersionBgView::drawRect(NSRect dirtyRect) {
    NSView::drawRect(dirtyRect);
    // The panel follows the view's bounds: a partial redraw must not round the corners of the
    // piece being redrawn.
    getColor(59, 63, 66, 1)->setFill();
    NSBezierPath::bezierPathWithRoundedRect(bounds(), 4, 4)->fill();
}

void AboutVersionBgView::registerClass() {
    ClassRegistry::shared().registerClass<AboutVersionBgView, NSView>("AboutVersionBgView");
}
