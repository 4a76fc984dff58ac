#include "controls/KBButton/TitleInColor.h"

#include "platform/foundation/NSString.h"

Ref<NSAttributedString> titleInColor(const Ref<NSAttributedString>& title,
                                     const std::string& cellTitle, const Ref<NSColor>& color) {
    if (!title) return title;
    auto copy = NSMutableAttributedString::make("");
    copy->appendAttributedString(*title);
    copy->addAttribute(NSForegroundColorAttributeName, color,
                       NSMakeRange(0, ns::length(cellTitle)));
    return copy;
}
