#include "controls/LetfBgView.h"

#include "controls/NewView.h"
#include "platform/graphics/NSColor.h"

void LetfBgView::drawRect(NSRect dirtyRect) {
    NSView::drawRect(dirtyRect);
    NewView::drawPanel(bounds(),
                       NSColor::colorWithDeviceRed(64 / 255.0, 68 / 255.0, 70 / 255.0, 1.0));
}

void LetfBgView::registerClass() {
    ClassRegistry::shared().registerClass<LetfBgView, NSView>("LetfBgView");
}
