#include "appsManager/CountHeadline.h"

#include <string>
#include <string_view>

#include "platform/appkit/NSTextField.h"
#include "platform/foundation/NSString.h"
#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSParagraphStyle.h"
#include "services/Palette.h"
#include "services/TCPublicUtilities.h"

void CountHeadline::show(NSTextField* label, const char* format, std::size_t count) {
    const std::string number = ns::stringWithFormat("%d", static_cast<int>(count));
    const std::string text = ns::stringWithFormat(format, number);
    auto headline = NSMutableAttributedString::make(text);
    // Ranges count UTF-16 units; the search answers bytes.
    NSRange found = ns::rangeOfString(text, number);
    if (found.location != NSNotFound) {
        NSRange range{ns::length(std::string_view(text).substr(0, found.location)),
                      ns::length(number)};
        headline->addAttribute(NSFontAttributeName, TCPublicUtilities::regularFontOfSize(20),
                               range);
        headline->addAttribute(NSForegroundColorAttributeName, Palette::selectionGreen(), range);
    }
    auto centred = NSMutableParagraphStyle::defaultParagraphStyle();
    centred->setAlignment(NSCenterTextAlignment);
    headline->addAttribute(NSParagraphStyleAttributeName, centred, NSRange{0, headline->length()});
    if (label) {
        label->setAttributedStringValue(headline);
        label->setNeedsDisplay(true);
    }
}
