#include "shell/ToolBoxBgView.h"

#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "services/getColor.h"

void ToolBoxBgView::drawRect(NSRect dirtyRect) {
    NSView::drawRect(dirtyRect);
    // As the About panel: the corners belong to the bounds, not to the piece redrawn.
    getColor(255, 255, 255, 0.06f)->setFill();
    NSBezierPath::bezierPathWithRoundedRect(bounds(), 8, 8)->fill();
}

void ToolBoxBgView::registerClass() {
    ClassRegistry::shared().registerClass<ToolBoxBgView, NSView>("ToolBoxBgView");
}
