#include "platform/appkit/KeyEquivalent.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <vector>

namespace platform {

namespace {

/// The UTF-8 form of a code point of the Basic Multilingual Plane.
std::string utf8(std::uint32_t c) {
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

// The platform's private-use characters of the function keys.
constexpr std::uint32_t kUpArrowCharacter = 0xF700;
constexpr std::uint32_t kDownArrowCharacter = 0xF701;
constexpr std::uint32_t kLeftArrowCharacter = 0xF702;
constexpr std::uint32_t kRightArrowCharacter = 0xF703;
constexpr std::uint32_t kF1Character = 0xF704;
constexpr std::uint32_t kDeleteCharacter = 0xF728;

struct NamedKey {
    const char* name;
    std::string characters;
};

const std::vector<NamedKey>& namedKeys() {
    static const std::vector<NamedKey> keys = [] {
        std::vector<NamedKey> k = {
            {"Return", "\r"},
            {"Tab", "\t"},
            {"Space", " "},
            {"Esc", "\x1b"},
            {"Backspace", "\x7f"},
            {"Delete", utf8(kDeleteCharacter)},
            {"Up", utf8(kUpArrowCharacter)},
            {"Down", utf8(kDownArrowCharacter)},
            {"Left", utf8(kLeftArrowCharacter)},
            {"Right", utf8(kRightArrowCharacter)},
        };
        static const char* const fNames[] = {"F1", "F2", "F3", "F4",  "F5",  "F6",
                                             "F7", "F8", "F9", "F10", "F11", "F12"};
        for (std::uint32_t i = 0; i < 12; ++i)
            k.push_back({fNames[i], utf8(kF1Character + i)});
        return k;
    }();
    return keys;
}

bool isAsciiLetter(std::string_view s) {
    return s.size() == 1 && std::isalpha(static_cast<unsigned char>(s[0]));
}

std::string lowercase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

bool keyEquivalentMatches(std::string_view key, NSEventModifierFlags mask, const NSEvent& event) {
    if (key.empty() || event.type() != NSEventTypeKeyDown) return false;
    const std::string& chars = event.charactersIgnoringModifiers();
    NSEventModifierFlags flags = event.modifierFlags() & kKeyEquivalentModifierBits;
    NSEventModifierFlags wanted = mask & kKeyEquivalentModifierBits;
    if (isAsciiLetter(key)) {
        if (std::isupper(static_cast<unsigned char>(key[0]))) wanted |= NSEventModifierFlagShift;
        return equalsIgnoringCase(chars, key) && flags == wanted;
    }
    if (chars != key) return false;
    if (flags == wanted) return true;
    // A shifted symbol is typed with Shift: "Ctrl+?" is Ctrl+Shift+/ on most layouts.
    return !(wanted & NSEventModifierFlagShift) && flags == (wanted | NSEventModifierFlagShift);
}

std::string keyEquivalentLabel(std::string_view key, NSEventModifierFlags mask) {
    if (key.empty()) return {};
    if (isAsciiLetter(key) && std::isupper(static_cast<unsigned char>(key[0])))
        mask |= NSEventModifierFlagShift;
    std::string label;
    // The desktop's names: Command is the Ctrl key here, Option is Alt, Control is Super.
    if (mask & NSEventModifierFlagCommand) label += "Ctrl+";
    if (mask & NSEventModifierFlagOption) label += "Alt+";
    if (mask & NSEventModifierFlagShift) label += "Shift+";
    if (mask & NSEventModifierFlagControl) label += "Super+";
    for (const NamedKey& named : namedKeys()) {
        if (named.characters == key) return label + named.name;
    }
    if (key == "\b") return label + "Backspace";
    if (key == "\x03") return label + "Enter";
    if (isAsciiLetter(key)) {
        label += static_cast<char>(std::toupper(static_cast<unsigned char>(key[0])));
        return label;
    }
    return label + std::string(key);
}

std::optional<std::string> parseKeyEquivalent(std::string_view text) {
    if (text.empty()) return std::string();
    // One character, which may take several bytes in UTF-8.
    unsigned char first = static_cast<unsigned char>(text[0]);
    std::size_t length = first < 0x80 ? 1 : first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : 2;
    if (text.size() == length) return std::string(text);
    std::string name = lowercase(text);
    if (name == "escape") name = "esc";
    if (name == "enter") name = "return";
    for (const NamedKey& named : namedKeys())
        if (lowercase(named.name) == name) return named.characters;
    return std::nullopt;
}

std::optional<NSEventModifierFlags> parseModifierMask(std::string_view text) {
    auto isSeparator = [](char c) { return c == '|' || c == '+' || c == ' ' || c == '\t'; };
    std::size_t start = 0;
    while (start < text.size() && isSeparator(text[start]))
        ++start;
    std::size_t end = text.size();
    while (end > start && isSeparator(text[end - 1]))
        --end;
    std::string_view trimmed = text.substr(start, end - start);
    if (trimmed.empty()) return NSEventModifierFlags{0};
    if (std::isdigit(static_cast<unsigned char>(trimmed[0]))) {
        int base = 10;
        if (trimmed.size() > 2 && trimmed[0] == '0' && (trimmed[1] == 'x' || trimmed[1] == 'X')) {
            trimmed.remove_prefix(2);
            base = 16;
        }
        NSEventModifierFlags value = 0;
        auto [ptr, ec] =
            std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value, base);
        if (ec != std::errc() || ptr != trimmed.data() + trimmed.size()) return std::nullopt;
        return value;
    }
    NSEventModifierFlags mask = 0;
    std::size_t i = 0;
    while (i < trimmed.size()) {
        while (i < trimmed.size() && isSeparator(trimmed[i]))
            ++i;
        std::size_t j = i;
        while (j < trimmed.size() && !isSeparator(trimmed[j]))
            ++j;
        std::string word = lowercase(trimmed.substr(i, j - i));
        if (word == "command" || word == "cmd")
            mask |= NSEventModifierFlagCommand;
        else if (word == "shift")
            mask |= NSEventModifierFlagShift;
        else if (word == "option" || word == "alternate" || word == "alt")
            mask |= NSEventModifierFlagOption;
        else if (word == "control")
            mask |= NSEventModifierFlagControl;
        else
            return std::nullopt;
        i = j;
    }
    return mask;
}

}  // namespace platform
