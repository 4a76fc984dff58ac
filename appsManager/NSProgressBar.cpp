#include "appsManager/NSProgressBar.h"

#include "platform/graphics/NSBezierPath.h"
#include "services/getColor.h"

void NSProgressBar::drawRect(NSRect) {
    NSRect inner = NSInsetRect(bounds(), 1, 1);
    if (NSIsEmptyRect(inner)) return;
    getColor(48, 207, 110, 1.0)->setFill();
    NSBezierPath::bezierPathWithRoundedRect(inner, 3.0, 3.0)->fill();
}

void NSProgressBar::registerClass() {
    ClassRegistry::shared().registerClass<NSProgressBar, NSView>("NSProgressBar");
}
