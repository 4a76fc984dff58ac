#include "platform/backend/BackendSelection.h"

#include <cstdlib>

#include "platform/appkit/WindowBackend.h"
#include "platform/backend/HeadlessBackend.h"
#include "platform/backend/sdl/SdlBackend.h"
#include "platform/foundation/NSLog.h"

namespace platform {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

void logOnce(const std::string& message) {
    static bool logged = false;
    if (logged) return;
    logged = true;
    NSLog("%s", message);
}

}  // namespace

BackendKind chooseBackendKind(const std::string& requested, bool displayNamed) {
    if (requested == "headless") return BackendKind::Headless;
    return displayNamed ? BackendKind::Sdl : BackendKind::Headless;
}

void useHeadlessBackendByDefault() {
    WindowBackend::setFallbackFactory([] { return std::make_shared<HeadlessBackend>(); });
}

BackendKind installDefaultBackend() {
    useHeadlessBackendByDefault();
    const std::string requested = environment("PLATFORM_BACKEND");
    const bool displayNamed =
        !environment("DISPLAY").empty() || !environment("WAYLAND_DISPLAY").empty();
    if (!requested.empty() && requested != "sdl" && requested != "headless")
        logOnce("PLATFORM_BACKEND=" + requested +
                " is not a backend (sdl, headless); choosing by display");
    if (chooseBackendKind(requested, displayNamed) == BackendKind::Sdl) {
        std::string error;
        if (auto sdl = SdlBackend::create(&error)) {
            WindowBackend::setShared(std::move(sdl));
            return BackendKind::Sdl;
        }
        logOnce("no window system (" + error + "): running without windows on screen");
    } else if (requested == "sdl") {
        logOnce("PLATFORM_BACKEND=sdl but no display is named: running without windows on screen");
    }
    WindowBackend::setShared(std::make_shared<HeadlessBackend>());
    return BackendKind::Headless;
}

std::optional<BackendKind> installApplicationBackend(std::string* problem) {
    useHeadlessBackendByDefault();
    const std::string requested = environment("PLATFORM_BACKEND");
    if (requested == "headless") {
        WindowBackend::setShared(std::make_shared<HeadlessBackend>());
        return BackendKind::Headless;
    }
    const std::string hint =
        " Start it from a desktop session, set DISPLAY to a running X server (DISPLAY=:0, for "
        "instance), or set PLATFORM_BACKEND=headless to run it without windows.";
    const std::string x11 = environment("DISPLAY");
    const std::string wayland = environment("WAYLAND_DISPLAY");
    if (x11.empty() && wayland.empty()) {
        if (problem) *problem = "no display: neither DISPLAY nor WAYLAND_DISPLAY is set." + hint;
        return std::nullopt;
    }
    std::string error;
    if (auto sdl = SdlBackend::create(&error)) {
        WindowBackend::setShared(std::move(sdl));
        return BackendKind::Sdl;
    }
    if (problem) {
        const std::string named = !x11.empty() ? "DISPLAY=" + x11 : "WAYLAND_DISPLAY=" + wayland;
        *problem = "cannot open a window on " + named + " (" +
                   (error.empty() ? std::string("no answer") : error) + ")." + hint;
    }
    return std::nullopt;
}

}  // namespace platform
