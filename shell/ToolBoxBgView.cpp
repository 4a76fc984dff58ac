#include "shell/ToolBoxBgView.h"

#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "services/Palette.h"

void ToolBoxBgView::drawRect(NSRect dirtyRect) {
    NSView::drawRect(dirtyRect);
    // As the About panel: the corners belong to the bounds, not to the piece redrawn.
    Palette::toolBoxTint()->setFill();
    NSBezierPath::bezierPathWithRoundedRect(bounds(), 8, 8)->fill();
}

void ToolBoxBgView::registerClass() {
    ClassRegistry::shared().registerClass<ToolBoxBgView, NSView>("ToolBoxBgView");
}
