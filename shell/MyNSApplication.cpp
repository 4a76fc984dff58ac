#include "shell/MyNSApplication.h"

#include <cctype>
#include <string>

SEL MyNSApplication::editActionForEvent(const NSEvent& event) {
    if (event.type() != NSEventTypeKeyDown) return SEL();
    const NSEventModifierFlags flags = event.modifierFlags() & 0xFFFF0000ul;
    const std::string& keys = event.charactersIgnoringModifiers();
    if (flags == NSEventModifierFlagCommand ||
        flags == (NSEventModifierFlagCommand | NSEventModifierFlagCapsLock)) {
        std::string lower = keys;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower == "x") return SEL("cut:");
        if (lower == "c") return SEL("copy:");
        if (lower == "v") return SEL("paste:");
        if (lower == "z") return SEL("undo:");
        if (lower == "a") return SEL("selectAll:");
        return SEL();
    }
    if (flags == (NSEventModifierFlagCommand | NSEventModifierFlagShift) && keys == "Z")
        return SEL("redo:");
    return SEL();
}

void MyNSApplication::sendEvent(NSEvent& event) {
    if (SEL action = editActionForEvent(event)) {
        if (sendAction(action, nullptr, this)) return;
    }
    NSApplication::sendEvent(event);
}

void MyNSApplication::registerClass() {
    ClassRegistry::shared().registerClass<MyNSApplication, NSApplication>("MyNSApplication");
}
