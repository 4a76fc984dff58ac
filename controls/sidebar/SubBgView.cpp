#include "controls/sidebar/SubBgView.h"

#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "services/Palette.h"

void SubBgView::drawRect(NSRect dirtyRect) {
    NSView::drawRect(dirtyRect);
    Palette::panelGreyClear()->setFill();
    NSBezierPath::fillRect(bounds());
}

void SubBgView::registerClass() {
    ClassRegistry::shared().registerClass<SubBgView, NSView>("SubBgView");
}
