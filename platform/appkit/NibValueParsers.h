#pragma once
// Text forms of the values that interface files give controls: colours, fonts, images by
// name, enumerations by name or number, and lists separated by '|'.

#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Ref.h"

class NSColor;
class NSFont;
class NSImage;

namespace platform {

/// A colour: "r g b" or "r g b a" with components in 0..1, "#RRGGBB" or "#RRGGBBAA", the
/// name of a standard or system colour ("clearColor", "controlTextColor", ...), or
/// "palette:NAME" for a colour registered with NibColorNames. nullptr when the text is none of
/// these (an unregistered palette name included).
Ref<NSColor> parseColorText(std::string_view text);

/// A font: "NAME SIZE" where NAME is a PostScript or family name (it may hold spaces) and SIZE
/// a positive number of points; "system SIZE" and "boldSystem SIZE" name the system fonts.
/// nullptr when malformed.
Ref<NSFont> parseFontText(std::string_view text);

/// An image by name through NSImage::imageNamed. `found` is false when the text names no
/// image; the empty text is a valid "no image" (found true, result nullptr).
Ref<NSImage> parseImageText(std::string_view text, bool& found);

/// One name of an enumeration and its value.
struct EnumName {
    std::string_view name;
    long value;
};
/// An enumeration value given by one of `names` or by the decimal value of one of them.
bool parseEnumText(std::string_view text, const std::vector<EnumName>& names, long& out);

/// The parts of `text` between '|' separators ("A|B|C"); the empty text has no parts.
std::vector<std::string> splitListText(std::string_view text);

}  // namespace platform
