// Catches keys that reach the platform with the wrong key code, characters or modifier flags
// (Ctrl must be Command, Super Control, Alt Option), and modifier keys taken for typed keys.
#include <gtest/gtest.h>

#include <SDL2/SDL_keycode.h>

#include "platform/backend/sdl/SdlKeyMap.h"

namespace {

using platform::sdl::kUnknownKeyCode;
using platform::sdl::translateKey;

struct KeyCase {
    SDL_Keycode sym;
    std::uint16_t mod;
    unsigned short keyCode;
    const char* characters;
    const char* ignoringModifiers;
    NSEventModifierFlags flags;
};

TEST(SdlKeyMap, TranslatesKeysWithTheirModifiers) {
    constexpr auto Shift = NSEventModifierFlagShift, Command = NSEventModifierFlagCommand,
                   Option = NSEventModifierFlagOption, Control = NSEventModifierFlagControl,
                   Caps = NSEventModifierFlagCapsLock;
    const KeyCase cases[] = {
        {SDLK_a, KMOD_NONE, 0, "a", "a", 0},
        {SDLK_a, KMOD_LSHIFT, 0, "A", "A", Shift},
        {SDLK_a, KMOD_CAPS, 0, "A", "a", Caps},
        {SDLK_k, KMOD_NONE, 40, "k", "k", 0},
        {SDLK_z, KMOD_NONE, 6, "z", "z", 0},
        {SDLK_c, KMOD_LCTRL, 8, "c", "c", Command},
        {SDLK_c, KMOD_RCTRL | KMOD_CAPS, 8, "C", "c", Command | Caps},
        {SDLK_z, KMOD_LCTRL | KMOD_RSHIFT, 6, "Z", "Z", Command | Shift},
        {SDLK_x, KMOD_LALT, 7, "x", "x", Option},
        {SDLK_a, KMOD_LGUI, 0, "\x01", "a", Control},
        {SDLK_v, KMOD_LCTRL | KMOD_RALT | KMOD_RGUI, 9, "\x16", "v", Command | Option | Control},
        {SDLK_0, KMOD_NONE, 29, "0", "0", 0},
        {SDLK_1, KMOD_LSHIFT, 18, "!", "!", Shift},
        {SDLK_9, KMOD_NONE, 25, "9", "9", 0},
        {SDLK_SLASH, KMOD_RSHIFT, 44, "?", "?", Shift},
        {SDLK_MINUS, KMOD_NONE, 27, "-", "-", 0},
        {SDLK_RETURN, KMOD_NONE, 36, "\r", "\r", 0},
        {SDLK_TAB, KMOD_LSHIFT, 48, "\t", "\t", Shift},
        {SDLK_SPACE, KMOD_NONE, 49, " ", " ", 0},
        {SDLK_BACKSPACE, KMOD_NONE, 51, "\x7f", "\x7f", 0},
        {SDLK_ESCAPE, KMOD_NONE, 53, "\x1b", "\x1b", 0},
        {SDLK_DELETE, KMOD_NONE, 117, "\uF728", "\uF728", 0},
        {SDLK_HOME, KMOD_NONE, 115, "\uF729", "\uF729", 0},
        {SDLK_END, KMOD_NONE, 119, "\uF72B", "\uF72B", 0},
        {SDLK_PAGEUP, KMOD_NONE, 116, "\uF72C", "\uF72C", 0},
        {SDLK_PAGEDOWN, KMOD_NONE, 121, "\uF72D", "\uF72D", 0},
        {SDLK_LEFT, KMOD_NONE, 123, "\uF702", "\uF702", 0},
        {SDLK_RIGHT, KMOD_LCTRL, 124, "\uF703", "\uF703", Command},
        {SDLK_DOWN, KMOD_NONE, 125, "\uF701", "\uF701", 0},
        {SDLK_UP, KMOD_LSHIFT, 126, "\uF700", "\uF700", Shift},
        {SDLK_F1, KMOD_NONE, 122, "\uF704", "\uF704", 0},
        {SDLK_F5, KMOD_NONE, 96, "\uF708", "\uF708", 0},
        {SDLK_F10, KMOD_NONE, 109, "\uF70D", "\uF70D", 0},
        {SDLK_F12, KMOD_NONE, 111, "\uF70F", "\uF70F", 0},
        {SDLK_KP_ENTER, KMOD_NONE, 76, "\x03", "\x03", 0},
        {SDLK_KP_8, KMOD_NONE, 91, "8", "8", 0},
        // A letter of another layout has its character but no key code of the platform.
        {0xE9, KMOD_NONE, kUnknownKeyCode, "\u00E9", "\u00E9", 0},
        {SDLK_AUDIOPLAY, KMOD_NONE, kUnknownKeyCode, "", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "sym " << c.sym << " mod " << c.mod);
        auto key = translateKey(c.sym, c.mod);
        EXPECT_EQ(key.keyCode, c.keyCode);
        EXPECT_EQ(key.characters, c.characters);
        EXPECT_EQ(key.charactersIgnoringModifiers, c.ignoringModifiers);
        EXPECT_EQ(key.flags, c.flags);
        EXPECT_FALSE(key.isModifierKey);
    }
}

TEST(SdlKeyMap, ModifierKeysAreNotTyped) {
    const struct {
        SDL_Keycode sym;
        std::uint16_t mod;  // as SDL reports it while the key is down
        unsigned short keyCode;
        NSEventModifierFlags flags;
    } cases[] = {
        {SDLK_LCTRL, KMOD_LCTRL, 55, NSEventModifierFlagCommand},
        {SDLK_RCTRL, KMOD_RCTRL, 54, NSEventModifierFlagCommand},
        {SDLK_LSHIFT, KMOD_LSHIFT, 56, NSEventModifierFlagShift},
        {SDLK_RSHIFT, KMOD_RSHIFT, 60, NSEventModifierFlagShift},
        {SDLK_LALT, KMOD_LALT, 58, NSEventModifierFlagOption},
        {SDLK_RALT, KMOD_RALT, 61, NSEventModifierFlagOption},
        {SDLK_LGUI, KMOD_LGUI, 59, NSEventModifierFlagControl},
        {SDLK_RGUI, KMOD_RGUI, 62, NSEventModifierFlagControl},
        {SDLK_CAPSLOCK, KMOD_CAPS, 57, NSEventModifierFlagCapsLock},
        {SDLK_LSHIFT, KMOD_NONE, 56, 0},  // released
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "sym " << c.sym);
        auto key = translateKey(c.sym, c.mod);
        EXPECT_TRUE(key.isModifierKey);
        EXPECT_EQ(key.keyCode, c.keyCode);
        EXPECT_EQ(key.flags, c.flags);
        EXPECT_EQ(key.characters, "");
    }
}

}  // namespace
