#include "platform/appkit/NibValueParsers.h"

#include <cmath>
#include <map>

#include "platform/appkit/NibColorNames.h"
#include "platform/foundation/ClassInfo.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSImage.h"

namespace platform {

namespace {

std::string_view trim(std::string_view text) {
    const char* blanks = " \t\r\n";
    std::size_t start = text.find_first_not_of(blanks);
    if (start == std::string_view::npos) return {};
    std::size_t end = text.find_last_not_of(blanks);
    return text.substr(start, end - start + 1);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

Ref<NSColor> namedColor(std::string_view name) {
    using Factory = Ref<NSColor> (*)();
    static const std::map<std::string_view, Factory> colors = {
        {"clearColor", &NSColor::clearColor},
        {"whiteColor", &NSColor::whiteColor},
        {"blackColor", &NSColor::blackColor},
        {"grayColor", &NSColor::grayColor},
        {"darkGrayColor", &NSColor::darkGrayColor},
        {"lightGrayColor", &NSColor::lightGrayColor},
        {"redColor", &NSColor::redColor},
        {"greenColor", &NSColor::greenColor},
        {"blueColor", &NSColor::blueColor},
        {"yellowColor", &NSColor::yellowColor},
        {"orangeColor", &NSColor::orangeColor},
        {"controlTextColor", &NSColor::controlTextColor},
        {"textColor", &NSColor::textColor},
        {"selectedControlColor", &NSColor::selectedControlColor},
        {"windowBackgroundColor", &NSColor::windowBackgroundColor},
        {"controlColor", &NSColor::controlColor},
        {"controlBackgroundColor", &NSColor::controlBackgroundColor},
        {"alternateSelectedControlColor", &NSColor::alternateSelectedControlColor},
    };
    auto it = colors.find(name);
    return it == colors.end() ? nullptr : it->second();
}

Ref<NSColor> hexColor(std::string_view hex) {
    if (hex.size() != 6 && hex.size() != 8) return nullptr;
    double c[4] = {0, 0, 0, 1};
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        int hi = hexDigit(hex[i]), lo = hexDigit(hex[i + 1]);
        if (hi < 0 || lo < 0) return nullptr;
        c[i / 2] = (hi * 16 + lo) / 255.0;
    }
    return NSColor::colorWithDeviceRed(c[0], c[1], c[2], c[3]);
}

/// Splits at blanks.
std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        std::size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t')
            ++i;
        if (i > start) out.push_back(text.substr(start, i - start));
    }
    return out;
}

}  // namespace

Ref<NSColor> parseColorText(std::string_view text) {
    text = trim(text);
    if (text.empty()) return nullptr;
    if (text[0] == '#') return hexColor(text.substr(1));
    constexpr std::string_view kPalette = "palette:";
    if (text.starts_with(kPalette)) return NibColorNames::colorNamed(text.substr(kPalette.size()));
    if (auto named = namedColor(text)) return named;
    auto parts = words(text);
    if (parts.size() != 3 && parts.size() != 4) return nullptr;
    double c[4] = {0, 0, 0, 1};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (!parsePropertyText(parts[i], c[i]) || c[i] < 0 || c[i] > 1) return nullptr;
    }
    return NSColor::colorWithDeviceRed(c[0], c[1], c[2], c[3]);
}

Ref<NSFont> parseFontText(std::string_view text) {
    text = trim(text);
    std::size_t space = text.find_last_of(" \t");
    if (space == std::string_view::npos) return nullptr;
    double size = 0;
    if (!parsePropertyText(text.substr(space + 1), size) || !(size > 0) || size > 1000)
        return nullptr;
    std::string_view name = trim(text.substr(0, space));
    if (name.empty()) return nullptr;
    if (name == "system") return NSFont::systemFontOfSize(size);
    if (name == "boldSystem") return NSFont::boldSystemFontOfSize(size);
    return NSFont::fontWithName(name, size);
}

Ref<NSImage> parseImageText(std::string_view text, bool& found) {
    text = trim(text);
    if (text.empty()) {
        found = true;
        return nullptr;
    }
    Ref<NSImage> image = NSImage::imageNamed(std::string(text));
    found = image != nullptr;
    return image;
}

bool parseEnumText(std::string_view text, const std::vector<EnumName>& names, long& out) {
    text = trim(text);
    for (const EnumName& n : names) {
        if (text == n.name) {
            out = n.value;
            return true;
        }
    }
    long number = 0;
    if (!parsePropertyText(text, number)) return false;
    for (const EnumName& n : names) {
        if (n.value == number) {
            out = number;
            return true;
        }
    }
    return false;
}

std::vector<std::string> splitListText(std::string_view text) {
    std::vector<std::string> parts;
    if (text.empty()) return parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t bar = text.find('|', start);
        parts.emplace_back(
            text.substr(start, bar == std::string_view::npos ? text.npos : bar - start));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    return parts;
}

}  // namespace platform
