#pragma once
// The window-system backend without a window system: every window is an ARGB32 image surface
// and input comes from an in-memory queue that tests (or other threads) fill.

#include <deque>
#include <map>
#include <mutex>

#include "platform/appkit/WindowBackend.h"
#include "platform/foundation/RunLoopWaiter.h"

class HeadlessBackend final : public WindowBackend {
  public:
    HeadlessBackend();

    NSRect mainScreenFrame() const override { return NSMakeRect(0, 0, 1280, 800); }
    WindowId createWindow(NSWindow* owner, NSRect frame) override;
    void destroyWindow(WindowId window) override;
    void setWindowFrame(WindowId window, NSRect frame) override;
    void setWindowVisible(WindowId window, bool visible) override;
    Ref<NSGraphicsContext> beginFrame(WindowId window) override;
    void presentFrame(WindowId window) override;
    void postEvent(Ref<NSEvent> event) override;
    Ref<NSEvent> nextEvent() override;
    std::shared_ptr<RunLoopWaiter> runLoopWaiter() override { return waiter_; }

    /// The surface last presented for `window` (nullptr before the first frame).
    Ref<NSGraphicsContext> presentedSurface(WindowId window) const;
    bool isWindowVisible(WindowId window) const;
    NSRect windowFrame(WindowId window) const;
    /// The number of frames presented for `window`.
    int presentCount(WindowId window) const;
    std::size_t queuedEventCount() const;

  private:
    /// Sleeps on a condition variable; answers true when events are queued.
    class Waiter final : public RunLoopWaiter {
      public:
        explicit Waiter(HeadlessBackend& backend) : backend_(backend) {}
        bool wait(double timeout) override;
        void wake() override;

      private:
        friend class HeadlessBackend;
        HeadlessBackend& backend_;
        bool woken_ = false;
    };
    struct Window {
        NSWindow* owner = nullptr;
        NSRect frame;
        bool visible = false;
        Ref<NSGraphicsContext> drawing;
        Ref<NSGraphicsContext> presented;
        int presents = 0;
    };

    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<Ref<NSEvent>> events_;
    std::map<WindowId, Window> windows_;
    WindowId lastId_ = 0;
    std::shared_ptr<Waiter> waiter_;
};
