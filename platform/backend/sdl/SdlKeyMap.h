#pragma once
// Translation of SDL key symbols and modifier states into the platform's virtual key codes,
// characters and modifier flags. Pure functions of their arguments: no display is needed.

#include <cstdint>
#include <string>

#include "platform/appkit/NSEvent.h"

namespace platform::sdl {

/// An SDL_Keycode (the layout's unshifted character, or a scancode-based value for other keys).
using SdlKeycode = std::int32_t;
/// A set of SDL_Keymod bits.
using SdlKeymod = std::uint16_t;

/// The key code of keys that have no platform virtual key code.
inline constexpr unsigned short kUnknownKeyCode = 0xFFFF;

/// What one key means to the platform.
struct KeyTranslation {
    unsigned short keyCode = kUnknownKeyCode;  ///< the platform's virtual key code
    std::string characters;                    ///< UTF-8, with the modifiers applied
    std::string charactersIgnoringModifiers;   ///< UTF-8, lower case unless Shift is held
    NSEventModifierFlags flags = 0;            ///< the platform's modifier flags
    bool isModifierKey = false;                ///< Shift, Ctrl, Alt, Super or Caps Lock itself
};

/// The platform's modifier flags for an SDL modifier state: Ctrl is Command, Alt is Option,
/// Super is Control; Shift and Caps Lock keep their meaning.
NSEventModifierFlags modifierFlagsFromSdl(SdlKeymod mod);

/// The platform's view of `sym` pressed while `mod` is held. Characters follow a US layout for
/// shifted punctuation; keys without text (arrows, function keys) carry the platform's
/// function-key characters (U+F700 and up).
KeyTranslation translateKey(SdlKeycode sym, SdlKeymod mod);

/// The UTF-8 form of a code point (empty for values outside Unicode or surrogates).
std::string utf8FromCodePoint(char32_t codePoint);

}  // namespace platform::sdl
