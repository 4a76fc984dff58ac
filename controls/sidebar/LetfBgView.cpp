#include "controls/sidebar/LetfBgView.h"

#include "controls/sidebar/NewView.h"
#include "platform/graphics/NSColor.h"
#include "services/Palette.h"

void LetfBgView::drawRect(NSRect dirtyRect) {
    NSView::drawRect(dirtyRect);
    NewView::drawPanel(bounds(), Palette::sidebarGrey());
}

void LetfBgView::registerClass() {
    ClassRegistry::shared().registerClass<LetfBgView, NSView>("LetfBgView");
}
