#include "platform/backend/sdl/SdlKeyMap.h"

#include <SDL.h>

#include <array>

namespace platform::sdl {

namespace {

// The platform's characters for keys that produce no text.
constexpr char32_t kUpArrow = 0xF700, kDownArrow = 0xF701, kLeftArrow = 0xF702,
                   kRightArrow = 0xF703, kF1 = 0xF704, kForwardDelete = 0xF728, kHome = 0xF729,
                   kEnd = 0xF72B, kPageUp = 0xF72C, kPageDown = 0xF72D, kHelp = 0xF746;

struct KeyEntry {
    SdlKeycode sym;
    unsigned short keyCode;
    char32_t character;  // 0: none
};

// Keys whose platform key code does not follow from a printable character.
constexpr KeyEntry kSpecialKeys[] = {
    {SDLK_RETURN, 36, '\r'},
    {SDLK_TAB, 48, '\t'},
    {SDLK_SPACE, 49, ' '},
    {SDLK_BACKSPACE, 51, 0x7F},
    {SDLK_ESCAPE, 53, 0x1B},
    {SDLK_DELETE, 117, kForwardDelete},
    {SDLK_INSERT, 114, kHelp},
    {SDLK_HOME, 115, kHome},
    {SDLK_END, 119, kEnd},
    {SDLK_PAGEUP, 116, kPageUp},
    {SDLK_PAGEDOWN, 121, kPageDown},
    {SDLK_LEFT, 123, kLeftArrow},
    {SDLK_RIGHT, 124, kRightArrow},
    {SDLK_DOWN, 125, kDownArrow},
    {SDLK_UP, 126, kUpArrow},
    {SDLK_F1, 122, kF1 + 0},
    {SDLK_F2, 120, kF1 + 1},
    {SDLK_F3, 99, kF1 + 2},
    {SDLK_F4, 118, kF1 + 3},
    {SDLK_F5, 96, kF1 + 4},
    {SDLK_F6, 97, kF1 + 5},
    {SDLK_F7, 98, kF1 + 6},
    {SDLK_F8, 100, kF1 + 7},
    {SDLK_F9, 101, kF1 + 8},
    {SDLK_F10, 109, kF1 + 9},
    {SDLK_F11, 103, kF1 + 10},
    {SDLK_F12, 111, kF1 + 11},
    {SDLK_KP_ENTER, 76, 0x03},
    {SDLK_KP_PERIOD, 65, '.'},
    {SDLK_KP_MULTIPLY, 67, '*'},
    {SDLK_KP_PLUS, 69, '+'},
    {SDLK_KP_DIVIDE, 75, '/'},
    {SDLK_KP_MINUS, 78, '-'},
    {SDLK_KP_EQUALS, 81, '='},
    {SDLK_KP_0, 82, '0'},
    {SDLK_KP_1, 83, '1'},
    {SDLK_KP_2, 84, '2'},
    {SDLK_KP_3, 85, '3'},
    {SDLK_KP_4, 86, '4'},
    {SDLK_KP_5, 87, '5'},
    {SDLK_KP_6, 88, '6'},
    {SDLK_KP_7, 89, '7'},
    {SDLK_KP_8, 91, '8'},
    {SDLK_KP_9, 92, '9'},
};

// The modifier keys themselves; Ctrl sits where the platform has Command, Super where it has
// Control.
constexpr KeyEntry kModifierKeys[] = {
    {SDLK_LCTRL, 55, 0},  {SDLK_RCTRL, 54, 0}, {SDLK_LSHIFT, 56, 0},
    {SDLK_RSHIFT, 60, 0}, {SDLK_LALT, 58, 0},  {SDLK_RALT, 61, 0},
    {SDLK_LGUI, 59, 0},   {SDLK_RGUI, 62, 0},  {SDLK_CAPSLOCK, 57, 0},
};

// Virtual key codes of the letters a..z on the platform's ANSI keyboard.
constexpr std::array<unsigned short, 26> kLetterCodes = {
    0, 11, 8, 2, 14, 3, 5, 4, 34, 38, 40, 37, 46, 45, 31, 35, 12, 15, 1, 17, 32, 9, 13, 7, 16, 6,
};
// Virtual key codes of the digits 0..9.
constexpr std::array<unsigned short, 10> kDigitCodes = {29, 18, 19, 20, 21, 23, 22, 26, 28, 25};

struct PunctuationEntry {
    char plain;
    char shifted;  // on a US layout
    unsigned short keyCode;
};
constexpr PunctuationEntry kPunctuation[] = {
    {'-', '_', 27},  {'=', '+', 24}, {'[', '{', 33},  {']', '}', 30},
    {'\\', '|', 42}, {';', ':', 41}, {'\'', '"', 39}, {',', '<', 43},
    {'.', '>', 47},  {'/', '?', 44}, {'`', '~', 50},
};
constexpr char kShiftedDigits[] = ")!@#$%^&*(";

}  // namespace

std::string utf8FromCodePoint(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        if (c >= 0xD800 && c <= 0xDFFF) return {};
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else if (c <= 0x10FFFF) {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
    return out;
}

NSEventModifierFlags modifierFlagsFromSdl(SdlKeymod mod) {
    NSEventModifierFlags flags = 0;
    if (mod & KMOD_CTRL) flags |= NSEventModifierFlagCommand;
    if (mod & KMOD_ALT) flags |= NSEventModifierFlagOption;
    if (mod & KMOD_GUI) flags |= NSEventModifierFlagControl;
    if (mod & KMOD_SHIFT) flags |= NSEventModifierFlagShift;
    if (mod & KMOD_CAPS) flags |= NSEventModifierFlagCapsLock;
    return flags;
}

KeyTranslation translateKey(SdlKeycode sym, SdlKeymod mod) {
    KeyTranslation t;
    t.flags = modifierFlagsFromSdl(mod);
    const bool shift = (mod & KMOD_SHIFT) != 0;
    const bool caps = (mod & KMOD_CAPS) != 0;
    const bool control = (t.flags & NSEventModifierFlagControl) != 0;

    for (const auto& key : kModifierKeys) {
        if (key.sym == sym) {
            t.keyCode = key.keyCode;
            t.isModifierKey = true;
            return t;
        }
    }
    for (const auto& key : kSpecialKeys) {
        if (key.sym == sym) {
            t.keyCode = key.keyCode;
            t.characters = t.charactersIgnoringModifiers = utf8FromCodePoint(key.character);
            return t;
        }
    }
    if (sym >= 'a' && sym <= 'z') {
        char lower = char(sym), upper = char(sym - 'a' + 'A');
        t.keyCode = kLetterCodes[sym - 'a'];
        t.charactersIgnoringModifiers = std::string(1, shift ? upper : lower);
        // The platform's Control key turns letters into control characters.
        if (control)
            t.characters = std::string(1, char(sym - 'a' + 1));
        else
            t.characters = std::string(1, (shift || caps) ? upper : lower);
        return t;
    }
    if (sym >= '0' && sym <= '9') {
        t.keyCode = kDigitCodes[sym - '0'];
        t.charactersIgnoringModifiers = t.characters =
            std::string(1, shift ? kShiftedDigits[sym - '0'] : char(sym));
        return t;
    }
    for (const auto& key : kPunctuation) {
        if (key.plain == sym) {
            t.keyCode = key.keyCode;
            t.charactersIgnoringModifiers = t.characters =
                std::string(1, shift ? key.shifted : key.plain);
            return t;
        }
    }
    // Other printable symbols of the layout carry their character and no key code; keys that
    // are neither (media keys and the like) carry nothing.
    if (!(sym & SDLK_SCANCODE_MASK) && sym >= 0x20 && sym != 0x7F)
        t.characters = t.charactersIgnoringModifiers = utf8FromCodePoint(char32_t(sym));
    return t;
}

}  // namespace platform::sdl
