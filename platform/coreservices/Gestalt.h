#pragma once
// The OS version as the Cocoa interfaces report it: the layer provides those of 10.15.0.

#include <cstdint>
#include <functional>

using OSErr = int16_t;
using OSType = uint32_t;
using SInt32 = int32_t;

namespace platform::detail {
/// The four-character code 'abcd' as a number (multi-character literals are not portable).
constexpr OSType fourCharCode(const char (&code)[5]) {
    return (OSType(uint8_t(code[0])) << 24) | (OSType(uint8_t(code[1])) << 16) |
           (OSType(uint8_t(code[2])) << 8) | OSType(uint8_t(code[3]));
}
}  // namespace platform::detail

inline constexpr OSType gestaltSystemVersion = platform::detail::fourCharCode("sysv");
inline constexpr OSType gestaltSystemVersionMajor = platform::detail::fourCharCode("sys1");
inline constexpr OSType gestaltSystemVersionMinor = platform::detail::fourCharCode("sys2");
inline constexpr OSType gestaltSystemVersionBugFix = platform::detail::fourCharCode("sys3");

inline constexpr OSErr noErr = 0;
inline constexpr OSErr paramErr = -50;
inline constexpr OSErr gestaltUndefSelectorErr = -5551;

/// Answers the value for a selector: 'sysv' the packed version 0x1099 (minor and bug-fix
/// digits clamp at 9, as on the platform), 'sys1' 10, 'sys2' 15, 'sys3' 0. Unknown selectors
/// give gestaltUndefSelectorErr, a null response paramErr; *response is untouched on error.
OSErr Gestalt(OSType selector, SInt32* response);

namespace platform {
/// Replaces the answers of Gestalt (tests); nullptr restores the built-in ones.
void setGestaltHandlerForTesting(std::function<OSErr(OSType, SInt32*)> handler);
}  // namespace platform
