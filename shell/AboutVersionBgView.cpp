#include "shell/AboutVersionBgView.h"

#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "services/Palette.h"

void AboutVersionBgView::drawRect(NSRect dirtyRect) {
    NSView::drawRect(dirtyRect);
    // The panel follows the view's bounds: a partial redraw must not round the corners of the
    // piece being redrawn.
    Palette::aboutPanelGrey()->setFill();
    NSBezierPath::bezierPathWithRoundedRect(bounds(), 4, 4)->fill();
}

void AboutVersionBgView::registerClass() {
    ClassRegistry::shared().registerClass<AboutVersionBgView, NSView>("AboutVersionBgView");
}
