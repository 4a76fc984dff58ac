#pragma once
// The window-system backend on SDL2: borderless native windows that show the platform's
// drawing, input translated into the platform's events, cursors, clipboard and text input.
// Everything but postEvent() and the waiter's wake() runs on the main thread.

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/appkit/WindowBackend.h"
#include "platform/backend/sdl/SdlEventTranslator.h"
#include "platform/foundation/RunLoopWaiter.h"

struct SDL_Window;
struct SDL_Cursor;

class SdlBackend final : public WindowBackend, private platform::sdl::SdlEventTranslator::Host {
  public:
    /// Starts SDL's video on the display it finds; nullptr (and the reason in `error`) when
    /// there is none or only SDL's dummy or offscreen drivers are left.
    static std::shared_ptr<SdlBackend> create(std::string* error = nullptr);
    ~SdlBackend() override;
    SdlBackend(const SdlBackend&) = delete;
    SdlBackend& operator=(const SdlBackend&) = delete;

    NSRect mainScreenFrame() const override;
    NSRect mainScreenVisibleFrame() const override;
    std::optional<NSPoint> mouseLocationOnScreen() const override;

    WindowId createWindow(NSWindow* owner, NSRect frame) override;
    void destroyWindow(WindowId window) override;
    void setWindowFrame(WindowId window, NSRect frame) override;
    void setWindowVisible(WindowId window, bool visible) override;
    Ref<NSGraphicsContext> beginFrame(WindowId window) override;
    void presentFrame(WindowId window) override;

    void setWindowAlpha(WindowId window, double alpha) override;
    void raiseWindow(WindowId window) override;
    void focusWindow(WindowId window) override;
    bool miniaturizeWindow(WindowId window) override;
    bool setWindowFullScreen(WindowId window, bool fullScreen) override;

    void setCursor(Cursor cursor) override;
    std::optional<std::string> clipboardText() override;
    void setClipboardText(const std::string& text) override;
    void clearClipboard() override;
    void setTextInputEnabled(bool enabled) override;

    void postEvent(Ref<NSEvent> event) override;
    Ref<NSEvent> nextEvent() override;
    std::shared_ptr<RunLoopWaiter> runLoopWaiter() override { return waiter_; }

    /// The native window's title as the window system shows it (for diagnostics and tests).
    std::string nativeTitle(WindowId window) const;

  private:
    /// Sleeps in SDL's event wait, so that an idle process uses no processor time.
    class Waiter final : public RunLoopWaiter {
      public:
        explicit Waiter(SdlBackend& backend) : backend_(backend) {}
        bool wait(double timeout) override { return backend_.waitForEvents(timeout); }
        void wake() override { backend_.pushWakeUp(); }

      private:
        SdlBackend& backend_;
    };
    struct Window {
        SDL_Window* sdl = nullptr;
        NSWindow* owner = nullptr;
        NSRect frame;
        std::string title;
        Ref<NSGraphicsContext> drawing;
        /// Made as a shaped window: its outline follows the pixels it draws.
        bool shaped = false;
        /// The outline last given to the window system (or found to need none).
        std::optional<std::uint64_t> shapeSignature;
    };

    SdlBackend();
    bool start(std::string* error);
    /// Waits for SDL events (at most `timeout` seconds, negative: without limit) and translates
    /// every pending one; true when the run loop has something to handle.
    bool waitForEvents(double timeout);
    /// Wakes the waiting SDL event wait from any thread (coalescing wake-ups).
    void pushWakeUp();
    Window* find(WindowId window);
    /// Gives a shaped window the outline of the frame it is about to show, when that changed.
    void updateShape(Window& window, const unsigned char* argb, int width, int height, int stride);
    /// Top-left pixel rectangle of a frame in screen coordinates.
    void toSdlRect(NSRect frame, int& x, int& y, int& w, int& h) const;
    void syncTitle(Window& window);

    // SdlEventTranslator::Host
    NSWindow* ownerOfSdlWindow(std::uint32_t sdlWindowId) override;
    double heightOfSdlWindow(std::uint32_t sdlWindowId) override;
    void enqueue(Ref<NSEvent> event) override;
    void closeRequested(std::uint32_t sdlWindowId) override;

    std::map<WindowId, Window> windows_;
    std::map<std::uint32_t, WindowId> bySdlId_;
    WindowId lastId_ = 0;
    platform::sdl::SdlEventTranslator translator_;
    std::array<SDL_Cursor*, 6> cursors_{};
    std::uint32_t wakeEventType_ = 0;
    std::atomic<bool> wakePending_{false};
    bool started_ = false;

    mutable std::mutex eventsMutex_;
    std::deque<Ref<NSEvent>> events_;
    std::shared_ptr<Waiter> waiter_;
};
