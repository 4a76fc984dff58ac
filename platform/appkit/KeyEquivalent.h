#pragma once
// Key equivalents of menu items: matching a key event against an item's key and modifier mask,
// the label that a menu shows for them, the text forms interface files write, and the virtual
// key codes that menus navigate with.

#include <optional>
#include <string>
#include <string_view>

#include "platform/appkit/NSEvent.h"

namespace platform {

/// Virtual key codes of the keys that menus and the application react to.
namespace keycode {
inline constexpr unsigned short kReturn = 36;
inline constexpr unsigned short kTab = 48;
inline constexpr unsigned short kSpace = 49;
inline constexpr unsigned short kDelete = 51;
inline constexpr unsigned short kEscape = 53;
inline constexpr unsigned short kKeypadEnter = 76;
inline constexpr unsigned short kF10 = 109;
inline constexpr unsigned short kLeftArrow = 123;
inline constexpr unsigned short kRightArrow = 124;
inline constexpr unsigned short kDownArrow = 125;
inline constexpr unsigned short kUpArrow = 126;
}  // namespace keycode

/// The modifier bits that take part in key-equivalent matching (Shift, Control, Option,
/// Command); Caps Lock, the numeric-pad and function-key bits do not.
inline constexpr NSEventModifierFlags kKeyEquivalentModifierBits =
    NSEventModifierFlagShift | NSEventModifierFlagControl | NSEventModifierFlagOption |
    NSEventModifierFlagCommand;

/// Whether a key-down `event` triggers the key equivalent `key` with `mask`. The characters
/// compared are the event's charactersIgnoringModifiers, letters without regard to case; an
/// upper-case letter as `key` implies Shift. The event's modifiers (Caps Lock ignored) must
/// equal the mask, except that Shift may be held for a non-letter key whose shifted character
/// is the key itself ("?" or "+"). An empty key never matches.
bool keyEquivalentMatches(std::string_view key, NSEventModifierFlags mask, const NSEvent& event);

/// What a menu shows for a key equivalent, in this desktop's words: "Ctrl+Q", "Ctrl+Shift+Z",
/// "Alt+Return"; "" when `key` is empty.
std::string keyEquivalentLabel(std::string_view key, NSEventModifierFlags mask);

/// Reads the key of an interface file: one character as it is, or a key name ("Return",
/// "Escape", "Tab", "Space", "Backspace", "Delete", "Up", "Down", "Left", "Right", "F1".."F12");
/// nullopt for anything else.
std::optional<std::string> parseKeyEquivalent(std::string_view text);

/// Reads a modifier mask of an interface file: a number ("1048576", "0x100000") or names
/// joined by '|', '+' or blanks ("command|shift"; "command", "control", "option"/"alternate",
/// "shift"); nullopt for anything else.
std::optional<NSEventModifierFlags> parseModifierMask(std::string_view text);

}  // namespace platform
