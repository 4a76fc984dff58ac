#include "controls/KBButton/AllCustemButtonCell.h"

#include "controls/KBButton/TitleInColor.h"
#include "platform/foundation/NSString.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphicsContext.h"

Ref<NSCell> AllCustemButtonCell::clone() const {
    return std::make_shared<AllCustemButtonCell>(*this);
}

NSRect AllCustemButtonCell::drawTitle(const Ref<NSAttributedString>& title, NSRect frame,
                                      NSView* controlView) {
    NSGraphicsContext::saveGraphicsState();
    const Ref<NSAttributedString> shown = titleInColor(title, this->title(), NSColor::whiteColor());
    const NSRect rect = NSButtonCell::drawTitle(shown, frame, controlView);
    NSGraphicsContext::restoreGraphicsState();
    return rect;
}

void AllCustemButtonCell::registerClass() {
    ClassRegistry::shared().registerClass<AllCustemButtonCell, NSButtonCell>("AllCustemButtonCell");
}
