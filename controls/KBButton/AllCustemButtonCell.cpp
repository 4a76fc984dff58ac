#include "controls/KBButton/AllCustemButtonCell.h"

#include "platform/foundation/NSString.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphicsContext.h"

Ref<NSCell> AllCustemButtonCell::clone() const {
    return std::make_shared<AllCustemButtonCell>(*this);
}

NSRect AllCustemButtonCell::drawTitle(const Ref<NSAttributedString>& title, NSRect frame,
                                      NSView* controlView) {
    NSGraphicsContext::saveGraphicsState();
    Ref<NSAttributedString> shown = title;
    if (title) {
        auto copy = NSMutableAttributedString::make("");
        copy->appendAttributedString(*title);
        // The range is clipped to the copy when the cell's title is the longer.
        copy->addAttribute(NSForegroundColorAttributeName, NSColor::whiteColor(),
                           NSMakeRange(0, ns::length(this->title())));
        shown = copy;
    }
    const NSRect rect = NSButtonCell::drawTitle(shown, frame, controlView);
    NSGraphicsContext::restoreGraphicsState();
    return rect;
}

void AllCustemButtonCell::registerClass() {
    ClassRegistry::shared().registerClass<AllCustemButtonCell, NSButtonCell>("AllCustemButtonCell");
}
