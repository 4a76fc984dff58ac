#include "controls/SubBgView.h"

#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "services/getColor.h"

void SubBgView::drawRect(NSRect dirtyRect) {
    NSView::drawRect(dirtyRect);
    getColor(60, 64, 67, 0)->setFill();
    NSBezierPath::fillRect(bounds());
}

void SubBgView::registerClass() {
    ClassRegistry::shared().registerClass<SubBgView, NSView>("SubBgView");
}
