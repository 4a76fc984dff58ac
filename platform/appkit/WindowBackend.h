#pragma once
// What windows need from the window system: native windows to place, show and draw into, and
// the input events that arrive for them. The headless backend implements it with image
// surfaces and an in-memory queue.

#include <cstdint>
#include <memory>

#include "platform/foundation/NSGeometry.h"
#include "platform/foundation/Ref.h"

class NSEvent;
class NSGraphicsContext;
class NSWindow;
class RunLoopWaiter;

class WindowBackend {
  public:
    using WindowId = std::uint64_t;

    /// The backend that windows use (a headless one unless another was installed).
    static WindowBackend& shared();
    /// Installs `backend` and its run-loop waiter on the main run loop (nullptr: headless).
    static void setShared(std::shared_ptr<WindowBackend> backend);

    virtual ~WindowBackend() = default;

    /// The main screen in screen coordinates (origin bottom-left).
    virtual NSRect mainScreenFrame() const = 0;

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

    /// Queues an input event (callable from any thread); it wakes the main run loop.
    virtual void postEvent(Ref<NSEvent> event) = 0;
    /// The oldest queued event, or nullptr when none is waiting.
    virtual Ref<NSEvent> nextEvent() = 0;
    /// The waiter that the main run loop sleeps in while this backend is installed.
    virtual std::shared_ptr<RunLoopWaiter> runLoopWaiter() = 0;
};
