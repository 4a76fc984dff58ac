#pragma once
// Choosing the window-system backend at start-up: real windows when a display is there,
// image surfaces otherwise or when PLATFORM_BACKEND=headless asks for them. Every executable
// that makes windows calls one of these first (its main, or the test and benchmark mains).

#include <optional>
#include <string>

namespace platform {

/// The kinds of backend the platform can run on.
enum class BackendKind { Headless, Sdl };

/// What to try for a PLATFORM_BACKEND value ("", "sdl", "headless"; others are treated as
/// unset) and whether DISPLAY or WAYLAND_DISPLAY names a display.
BackendKind chooseBackendKind(const std::string& requested, bool displayNamed);

/// Makes the headless backend the one that windows get while no other is installed, and the one
/// that WindowBackend::setShared(nullptr) installs (tests, benchmarks, tools without windows).
void useHeadlessBackendByDefault();

/// Installs the SDL backend when a display is available and SDL's video starts on it, else the
/// headless one (saying once in the log why, when SDL was asked for or a display was named).
/// Answers the kind installed.
BackendKind installDefaultBackend();

/// For an application that the user starts: the headless backend only when PLATFORM_BACKEND=
/// headless asks for it, else the SDL backend. Without a usable window system nothing is
/// installed, nullopt is answered and `problem` receives what is missing and what to set.
std::optional<BackendKind> installApplicationBackend(std::string* problem);

}  // namespace platform
