#include "platform/appkit/NSPasteboard.h"

#include "platform/appkit/WindowBackend.h"

const NSPasteboardType NSPasteboardTypeString = "public.utf8-plain-text";
const NSPasteboardType NSStringPboardType = "NSStringPboardType";

Ref<NSPasteboard> NSPasteboard::generalPasteboard() {
    static Ref<NSPasteboard> pasteboard = std::make_shared<NSPasteboard>(Key{});
    return pasteboard;
}

bool NSPasteboard::isTextType(const NSPasteboardType& type) {
    return type == NSPasteboardTypeString || type == NSStringPboardType;
}

long NSPasteboard::clearContents() {
    WindowBackend::shared().clearClipboard();
    cleared_ = true;
    return ++changeCount_;
}

long NSPasteboard::declareTypes(const std::vector<NSPasteboardType>&, NSObject*) {
    return clearContents();
}

bool NSPasteboard::setString(const std::string& text, const NSPasteboardType& type) {
    if (!isTextType(type)) return false;
    WindowBackend::shared().setClipboardText(text);
    // Writing without clearing first still replaces what another owner put there: that is a
    // change the count must show.
    if (!cleared_) ++changeCount_;
    cleared_ = false;
    return true;
}

std::optional<std::string> NSPasteboard::stringForType(const NSPasteboardType& type) const {
    if (!isTextType(type)) return std::nullopt;
    return WindowBackend::shared().clipboardText();
}

std::vector<NSPasteboardType> NSPasteboard::types() const {
    if (!WindowBackend::shared().clipboardText()) return {};
    return {NSPasteboardTypeString, NSStringPboardType};
}
