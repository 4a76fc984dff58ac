#include "platform/backend/sdl/SdlEventTranslator.h"

#include <SDL.h>

#include "platform/appkit/NSWindow.h"

namespace platform::sdl {

namespace {

double secondsOf(std::uint32_t ticks) {
    return ticks / 1000.0;
}

}  // namespace

bool SdlEventTranslator::translate(const SDL_Event& event) {
    bool turn = false;
    // What is held back goes first, so that the queue keeps SDL's order.
    if (event.type != SDL_MOUSEMOTION) turn |= flushMotion();
    if (event.type != SDL_TEXTINPUT) turn |= flushKey();
    switch (event.type) {
        case SDL_WINDOWEVENT:
            return translateWindowEvent(event) || turn;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            return translateKey(event) || turn;
        case SDL_TEXTINPUT:
            return translateText(event) || turn;
        case SDL_MOUSEMOTION:
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEWHEEL:
            return translateMouse(event) || turn;
        default:
            return turn;
    }
}

bool SdlEventTranslator::flush() {
    bool motion = flushMotion();
    bool key = flushKey();
    return motion || key;
}

bool SdlEventTranslator::flushMotion() {
    if (!pendingMotion_) return false;
    host_.enqueue(std::move(pendingMotion_));
    pendingMotion_ = nullptr;
    return true;
}

bool SdlEventTranslator::flushKey() {
    if (!pendingKey_) return false;
    PendingKey pending = std::move(*pendingKey_);
    pendingKey_.reset();
    const KeyTranslation& key = pending.key;
    host_.enqueue(NSEvent::keyEventWithType(
        NSEventTypeKeyDown, pending.window->mouseLocationOutsideOfEventStream(), key.flags,
        pending.timestamp, pending.window, key.characters, key.charactersIgnoringModifiers,
        pending.repeat, key.keyCode));
    return true;
}

NSWindow* SdlEventTranslator::keyTarget(std::uint32_t sdlWindowId) {
    // Without a window manager the system's focus follows whatever X focused last, so the
    // platform's key window decides.
    if (NSWindow* key = NSWindow::keyWindow()) return key;
    if (NSWindow* focused = host_.ownerOfSdlWindow(focusedWindow_)) return focused;
    return host_.ownerOfSdlWindow(sdlWindowId);
}

NSPoint SdlEventTranslator::baseLocation(std::uint32_t sdlWindowId, double x, double y) {
    return {x, host_.heightOfSdlWindow(sdlWindowId) - y};
}

bool SdlEventTranslator::translateWindowEvent(const SDL_Event& event) {
    const auto& w = event.window;
    switch (w.event) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
            if (NSWindow* owner = host_.ownerOfSdlWindow(w.windowID)) {
                owner->noteNeedsDisplay();
                return true;
            }
            return false;
        case SDL_WINDOWEVENT_LEAVE:
            if (NSWindow* owner = host_.ownerOfSdlWindow(w.windowID)) {
                host_.enqueue(NSEvent::mouseEventWithType(
                    NSEventTypeMouseMoved, {kOutside, kOutside},
                    modifierFlagsFromSdl(SDL_GetModState()), secondsOf(w.timestamp), owner, 0));
                return true;
            }
            return false;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            focusedWindow_ = w.windowID;
            return false;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (focusedWindow_ == w.windowID) focusedWindow_ = 0;
            return false;
        case SDL_WINDOWEVENT_CLOSE:
            host_.closeRequested(w.windowID);
            return true;
        case SDL_WINDOWEVENT_HIDDEN:
            return releaseHeldButtons(w.windowID, secondsOf(w.timestamp));
        default:
            return false;
    }
}

// A hidden window's pressed buttons are released where they were pressed: its release will not
// come, and a tracking loop that waits for it would take the next click's instead.
bool SdlEventTranslator::releaseHeldButtons(std::uint32_t sdlWindowId, double timestamp) {
    bool queued = false;
    for (int i = 0; i < 2; ++i) {
        Press& press = presses_[i];
        if (press.window != sdlWindowId) continue;
        if (NSWindow* owner = host_.ownerOfSdlWindow(sdlWindowId)) {
            host_.enqueue(NSEvent::mouseEventWithType(
                i == 0 ? NSEventTypeLeftMouseUp : NSEventTypeRightMouseUp, press.location,
                modifierFlagsFromSdl(SDL_GetModState()), timestamp, owner, 1));
            queued = true;
        }
        press.window = kNoWindow;
    }
    return queued;
}

bool SdlEventTranslator::translateKey(const SDL_Event& event) {
    const auto& k = event.key;
    KeyTranslation key = sdl::translateKey(k.keysym.sym, k.keysym.mod);
    NSWindow* window = keyTarget(k.windowID);
    lastFlags_ = key.flags;
    if (!window) return false;
    NSPoint location = window->mouseLocationOutsideOfEventStream();
    double timestamp = secondsOf(k.timestamp);
    if (key.isModifierKey) {
        // A modifier key says so only through its flags; its own up and down are not keys.
        if (k.type == SDL_KEYDOWN && k.repeat) return false;
        host_.enqueue(NSEvent::keyEventWithType(NSEventTypeFlagsChanged, location, key.flags,
                                                timestamp, window, "", "", false, key.keyCode));
        return true;
    }
    if (k.type == SDL_KEYUP) {
        host_.enqueue(NSEvent::keyEventWithType(
            NSEventTypeKeyUp, location, key.flags, timestamp, window, key.characters,
            key.charactersIgnoringModifiers, false, key.keyCode));
        return true;
    }
    // The text that SDL reports right after the key replaces the key map's characters.
    pendingKey_ = PendingKey{std::move(key), window, timestamp, k.repeat != 0};
    return false;
}

bool SdlEventTranslator::translateText(const SDL_Event& event) {
    const std::string text = event.text.text;
    if (pendingKey_) {
        // Command and Control keep the key's own characters, as on the platform.
        constexpr NSEventModifierFlags keepKey =
            NSEventModifierFlagCommand | NSEventModifierFlagControl;
        if (!(pendingKey_->key.flags & keepKey) && !text.empty())
            pendingKey_->key.characters = text;
        return flushKey();
    }
    // Text without a key (an input method committing what was composed).
    NSWindow* window = keyTarget(event.text.windowID);
    if (!window || text.empty()) return false;
    host_.enqueue(NSEvent::keyEventWithType(
        NSEventTypeKeyDown, window->mouseLocationOutsideOfEventStream(), lastFlags_,
        secondsOf(event.text.timestamp), window, text, text, false, kUnknownKeyCode));
    return true;
}

bool SdlEventTranslator::translateMouse(const SDL_Event& event) {
    const NSEventModifierFlags flags = modifierFlagsFromSdl(SDL_GetModState());
    switch (event.type) {
        case SDL_MOUSEMOTION: {
            const auto& m = event.motion;
            NSWindow* owner = host_.ownerOfSdlWindow(m.windowID);
            if (!owner) return false;
            NSEventType type = NSEventTypeMouseMoved;
            if (m.state & SDL_BUTTON_LMASK)
                type = NSEventTypeLeftMouseDragged;
            else if (m.state & SDL_BUTTON_RMASK)
                type = NSEventTypeRightMouseDragged;
            auto moved = NSEvent::mouseEventWithType(type, baseLocation(m.windowID, m.x, m.y),
                                                     flags, secondsOf(m.timestamp), owner, 0);
            // A run of motions of one kind in one window folds into its last one.
            if (pendingMotion_ &&
                (pendingMotion_->type() != type || pendingMotion_->window() != owner))
                flushMotion();
            pendingMotion_ = std::move(moved);
            return true;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const auto& b = event.button;
            NSWindow* owner = host_.ownerOfSdlWindow(b.windowID);
            if (!owner) return false;
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            NSEventType type;
            if (b.button == SDL_BUTTON_LEFT)
                type = down ? NSEventTypeLeftMouseDown : NSEventTypeLeftMouseUp;
            else if (b.button == SDL_BUTTON_RIGHT)
                type = down ? NSEventTypeRightMouseDown : NSEventTypeRightMouseUp;
            else
                return false;
            const NSPoint location = baseLocation(b.windowID, b.x, b.y);
            const long clicks = b.clicks > 0 ? b.clicks : 1;
            Press& press = presses_[b.button == SDL_BUTTON_LEFT ? 0 : 1];
            if (down) {
                press = {b.windowID, location};
            } else {
                // A window hidden while its button was held never gets the release, and SDL
                // then drops the next press as one it already has: only that press's release
                // comes, in another window. The press is restored from it.
                if (press.window != b.windowID) {
                    NSEventType pressType = b.button == SDL_BUTTON_LEFT ? NSEventTypeLeftMouseDown
                                                                        : NSEventTypeRightMouseDown;
                    host_.enqueue(NSEvent::mouseEventWithType(
                        pressType, location, flags, secondsOf(b.timestamp), owner, clicks));
                }
                press = {};
            }
            host_.enqueue(NSEvent::mouseEventWithType(type, location, flags, secondsOf(b.timestamp),
                                                      owner, clicks));
            return true;
        }
        case SDL_MOUSEWHEEL: {
            const auto& w = event.wheel;
            NSWindow* owner = host_.ownerOfSdlWindow(w.windowID);
            if (!owner) return false;
#if SDL_VERSION_ATLEAST(2, 26, 0)
            const int x = w.mouseX, y = w.mouseY;
#else
            int x = 0, y = 0;
            SDL_GetMouseState(&x, &y);
#endif
            const double sign = w.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
            // SDL: y > 0 away from the user, x > 0 to the right. The platform: deltaY > 0
            // scrolls the content down (wheel away from the user), deltaX > 0 scrolls it right
            // (wheel tilted to the left).
            const double deltaY = sign * w.preciseY, deltaX = -sign * w.preciseX;
            host_.enqueue(NSEvent::scrollEventWithLocation(baseLocation(w.windowID, x, y), flags,
                                                           secondsOf(w.timestamp), owner, deltaX,
                                                           deltaY));
            return true;
        }
        default:
            return false;
    }
}

}  // namespace platform::sdl
