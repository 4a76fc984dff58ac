#pragma once
// Turns SDL's input and window events into the platform's events: positions in the window's
// base coordinates (origin bottom-left), keys routed to the platform's key window, characters
// from the key or from the text that SDL reports with it, runs of motion folded into one.

#include <cstdint>
#include <optional>

#include "platform/appkit/NSEvent.h"
#include "platform/backend/sdl/SdlKeyMap.h"

union SDL_Event;

namespace platform::sdl {

class SdlEventTranslator {
  public:
    /// What the translator needs to know about the backend's windows.
    class Host {
      public:
        virtual ~Host() = default;
        /// The platform window behind an SDL window id, or nullptr.
        virtual NSWindow* ownerOfSdlWindow(std::uint32_t sdlWindowId) = 0;
        /// The height of the SDL window's content in pixels.
        virtual double heightOfSdlWindow(std::uint32_t sdlWindowId) = 0;
        /// Queues a translated event.
        virtual void enqueue(Ref<NSEvent> event) = 0;
        /// The window system asks to close the window (its close box, a keyboard shortcut).
        virtual void closeRequested(std::uint32_t sdlWindowId) = 0;
    };

    /// Where a window's pointer goes when the pointer leaves it: far outside every view, so
    /// that tracking areas report that the mouse exited.
    static constexpr double kOutside = -100000;

    explicit SdlEventTranslator(Host& host) : host_(host) {}

    /// Translates one SDL event; true when the run loop should take a turn (an event was
    /// queued or a window needs drawing).
    bool translate(const SDL_Event& event);
    /// Queues what is held back (the last motion, a key-down waiting for its text); true when
    /// something was queued. Called once every pending SDL event went through translate().
    bool flush();

  private:
    struct PendingKey {
        KeyTranslation key;
        NSWindow* window = nullptr;
        double timestamp = 0;
        bool repeat = false;
    };

    bool translateWindowEvent(const SDL_Event& event);
    bool translateKey(const SDL_Event& event);
    bool translateText(const SDL_Event& event);
    bool translateMouse(const SDL_Event& event);
    bool releaseHeldButtons(std::uint32_t sdlWindowId, double timestamp);
    bool flushKey();
    bool flushMotion();
    /// The window that gets key events: the platform's key window, else SDL's focused window.
    NSWindow* keyTarget(std::uint32_t sdlWindowId);
    NSPoint baseLocation(std::uint32_t sdlWindowId, double x, double y);

    Host& host_;
    std::optional<PendingKey> pendingKey_;
    Ref<NSEvent> pendingMotion_;
    /// A button press whose release has not come yet (left, then right).
    static constexpr std::uint32_t kNoWindow = 0;
    struct Press {
        std::uint32_t window = kNoWindow;
        NSPoint location;
    };
    Press presses_[2];
    std::uint32_t focusedWindow_ = 0;
    NSEventModifierFlags lastFlags_ = 0;
};

}  // namespace platform::sdl
