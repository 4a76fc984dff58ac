#include "appsManager/EUEndMessage.h"

#include <string_view>

#include "platform/foundation/NSString.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSParagraphStyle.h"
#include "services/Palette.h"
#include "services/TCPublicUtilities.h"

Ref<NSMutableAttributedString> EUEndMessage::attributedMessage(const std::string& text,
                                                               const std::vector<Part>& parts) {
    auto message = NSMutableAttributedString::make(text);
    const std::string_view whole(text);
    std::size_t from = 0;  // bytes: where the next part is looked for
    for (const Part& part : parts) {
        const NSRange found = ns::rangeOfString(whole.substr(from), part.text);
        if (found.location == NSNotFound) continue;
        const std::size_t start = from + found.location;
        // Ranges count UTF-16 units; the search answers bytes.
        const NSRange range{ns::length(whole.substr(0, start)), ns::length(part.text)};
        message->addAttribute(NSForegroundColorAttributeName, part.colour, range);
        message->addAttribute(NSFontAttributeName, TCPublicUtilities::regularFontOfSize(16), range);
        from = start + part.text.size();
    }
    auto centred = NSMutableParagraphStyle::defaultParagraphStyle();
    centred->setAlignment(NSCenterTextAlignment);
    message->addAttribute(NSParagraphStyleAttributeName, centred, NSRange{0, message->length()});
    return message;
}

Ref<NSColor> EUEndMessage::sizeColor() {
    return Palette::accentGreen();
}

Ref<NSColor> EUEndMessage::failureColor() {
    return Palette::failureRed();
}
