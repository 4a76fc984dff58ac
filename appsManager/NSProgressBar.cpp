#include "appsManager/NSProgressBar.h"

#include "platform/graphics/NSBezierPath.h"
#include "services/Palette.h"

void NSProgressBar::drawRect(NSRect) {
    NSRect inner = NSInsetRect(bounds(), 1, 1);
    if (NSIsEmptyRect(inner)) return;
    Palette::accentGreen()->setFill();
    NSBezierPath::bezierPathWithRoundedRect(inner, 3.0, 3.0)->fill();
}

void NSProgressBar::registerClass() {
    ClassRegistry::shared().registerClass<NSProgressBar, NSView>("NSProgressBar");
}
