#pragma once
// What windows need from the window system: native windows to place, show and draw into, and
// the input events that arrive for them. The backends that implement it (real windows, and
// image surfaces with an in-memory queue for tests) live in platform/backend, above this layer;
// each executable's main chooses one there.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/NSGeometry.h"
#include "platform/foundation/Ref.h"

class NSEvent;
class NSGraphicsContext;
class NSWindow;
class RunLoopWaiter;

class WindowBackend {
  public:
    using WindowId = std::uint64_t;

    /// Makes a backend on first need.
    using Factory = std::function<std::shared_ptr<WindowBackend>()>;

    /// The backend that windows use: the one installed, else one from the fallback factory.
    /// Ends the process with a message when neither exists (no backend was chosen at start-up).
    static WindowBackend& shared();
    /// Installs `backend` and its run-loop waiter on the main run loop (nullptr: a fresh one from
    /// the fallback factory, or none until the next shared() when there is no factory).
    static void setShared(std::shared_ptr<WindowBackend> backend);
    /// Sets what shared() and setShared(nullptr) install when no backend is given.
    static void setFallbackFactory(Factory factory);

    virtual ~WindowBackend() = default;

    /// The main screen in screen coordinates (origin bottom-left).
    virtual NSRect mainScreenFrame() const = 0;
    /// The part of the main screen not taken by the desktop's panels.
    virtual NSRect mainScreenVisibleFrame() const { return mainScreenFrame(); }
    /// The pointer's position in screen coordinates, when the system can tell.
    virtual std::optional<NSPoint> mouseLocationOnScreen() const { return std::nullopt; }

    /// A hidden native window for `owner` with `frame` in screen coordinates.
    virtual WindowId createWindow(NSWindow* owner, NSRect frame) = 0;
    virtual void destroyWindow(WindowId window) = 0;
    virtual void setWindowFrame(WindowId window, NSRect frame) = 0;
    virtual void setWindowVisible(WindowId window, bool visible) = 0;
    /// The surface to draw the next frame into: an unflipped context of the window's size whose
    /// base coordinates have their origin at the bottom left. Its content is undefined.
    virtual Ref<NSGraphicsContext> beginFrame(WindowId window) = 0;
    /// Shows what was drawn into the surface since beginFrame().
    virtual void presentFrame(WindowId window) = 0;

    /// Sets the window's opacity as a whole (0 transparent to 1 opaque) where the system can.
    virtual void setWindowAlpha(WindowId /*window*/, double /*alpha*/) {}
    /// Raises the window above the others (the platform keeps the order of levels itself and
    /// raises windows from the lowest level up).
    virtual void raiseWindow(WindowId /*window*/) {}
    /// Asks the system to give the window keyboard focus (the platform keeps key status itself).
    virtual void focusWindow(WindowId /*window*/) {}
    /// Minimises the window to the desktop's task bar; false when the system has none.
    virtual bool miniaturizeWindow(WindowId /*window*/) { return false; }
    /// Puts the window into (or out of) the system's full screen; false when refused.
    virtual bool setWindowFullScreen(WindowId /*window*/, bool /*fullScreen*/) { return false; }

    /// The standard cursors the platform shows.
    enum class Cursor { Arrow, PointingHand, IBeam, ResizeLeftRight, ResizeUpDown, Crosshair };
    /// Shows `cursor` while the pointer is over the application's windows.
    virtual void setCursor(Cursor cursor) { cursor_ = cursor; }
    Cursor currentCursor() const { return cursor_; }

    /// The clipboard's text, or nullopt when it holds none.
    virtual std::optional<std::string> clipboardText() { return clipboard_; }
    /// Replaces the clipboard's content with `text`.
    virtual void setClipboardText(const std::string& text) { clipboard_ = text; }
    /// Empties the clipboard.
    virtual void clearClipboard() { clipboard_.reset(); }
    /// Turns the system's text input (composed characters) on or off for the key window.
    virtual void setTextInputEnabled(bool enabled) { textInput_ = enabled; }
    bool textInputEnabled() const { return textInput_; }

    /// Queues an input event (callable from any thread); it wakes the main run loop.
    virtual void postEvent(Ref<NSEvent> event) = 0;
    /// The oldest queued event, or nullptr when none is waiting.
    virtual Ref<NSEvent> nextEvent() = 0;
    /// The waiter that the main run loop sleeps in while this backend is installed.
    virtual std::shared_ptr<RunLoopWaiter> runLoopWaiter() = 0;

  private:
    Cursor cursor_ = Cursor::Arrow;
    std::optional<std::string> clipboard_;
    bool textInput_ = false;
};
