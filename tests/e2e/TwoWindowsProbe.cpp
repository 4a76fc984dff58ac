// A real-window probe for tests/e2e/two_windows.sh: two titled windows through the SDL
// backend, each with a view that reports clicks and keys on standard output and turns green
// once clicked, so that a screenshot shows which view got the click. It runs the application's
// main loop until it is killed or its time limit passes.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSScreen.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/NSWindow.h"
#include "platform/backend/BackendSelection.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphics.h"

namespace {

// Flushed line by line: the driver script reads the report while the probe runs.
__attribute__((format(printf, 1, 2))) void report(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::printf("\n");
    std::fflush(stdout);
}

class ProbeView final : public NSView {
  public:
    ProbeView(int number, Ref<NSColor> colour) : number_(number), colour_(std::move(colour)) {}

    bool acceptsFirstResponder() override { return true; }
    bool isOpaque() const override { return true; }

    void drawRect(NSRect) override {
        colour_->setFill();
        NSRectFill(bounds());
    }

    void mouseDown(NSEvent& event) override {
        NSPoint p = convertPoint(event.locationInWindow(), nullptr);
        report("click view=%d x=%.0f y=%.0f count=%ld key-window=%s", number_, p.x, p.y,
               event.clickCount(), window() && window()->isKeyWindow() ? "yes" : "no");
        colour_ = NSColor::colorWithDeviceRed(60 / 255.0, 200 / 255.0, 90 / 255.0, 1);
        setNeedsDisplay(true);
    }

    void keyDown(NSEvent& event) override {
        report("key view=%d chars=%s keyCode=%u flags=0x%lx", number_, event.characters().c_str(),
               unsigned(event.keyCode()), event.modifierFlags());
        if (event.characters() == "r" && window()) {
            // Grows the window by 100 x 60 keeping its top-left corner, for the resize check.
            NSRect frame = window()->frame();
            frame.size.width += 100;
            frame.size.height += 60;
            frame.origin.y -= 60;
            window()->setFrame(frame, true);
            const double screenHeight = window()->screen()->frame().size.height;
            report("resized view=%d at=%ld,%ld size=%ld,%ld", number_, std::lround(frame.origin.x),
                   std::lround(screenHeight - (frame.origin.y + frame.size.height)),
                   std::lround(frame.size.width), std::lround(frame.size.height));
        }
    }

  private:
    int number_;
    Ref<NSColor> colour_;
};

Ref<NSWindow> openWindow(int number, const char* title, NSRect content, Ref<NSColor> colour) {
    auto window = NSWindow::make(content, NSWindowStyleMaskTitled | NSWindowStyleMaskClosable);
    window->setTitle(title);
    auto view = std::make_shared<ProbeView>(number, std::move(colour));
    view->initWithFrame(NSMakeRect(0, 0, content.size.width, content.size.height));
    window->setContentView(view);
    window->orderFront(nullptr);

    // Where the driver should click: the view's centre in top-left screen pixels, worked out
    // with the platform's own conversions.
    const double screenHeight = window->screen() ? window->screen()->frame().size.height : 800;
    NSRect bounds = view->bounds();
    NSPoint base = view->convertPoint(NSMakePoint(NSMidX(bounds), NSMidY(bounds)), nullptr);
    NSPoint screen = window->convertBaseToScreen(base);
    NSRect frame = window->frame();
    report("window %d title='%s' at=%ld,%ld size=%ld,%ld centre=%ld,%ld", number, title,
           std::lround(frame.origin.x),
           std::lround(screenHeight - (frame.origin.y + frame.size.height)),
           std::lround(frame.size.width), std::lround(frame.size.height), std::lround(screen.x),
           std::lround(screenHeight - screen.y));
    return window;
}

// Posts blocks to the main queue from another thread, one after the other, and reports how
// long the sleeping main loop took to run each: a lost or slow wake-up shows here.
void measureWakeUps(int rounds) {
    std::thread([rounds] {
        double worst = 0;
        for (int i = 0; i < rounds; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            auto done = std::make_shared<std::promise<void>>();
            auto start = std::chrono::steady_clock::now();
            NSRunLoop::mainRunLoop().enqueueBlock([done] { done->set_value(); });
            if (done->get_future().wait_for(std::chrono::seconds(2)) != std::future_status::ready) {
                report("wake lost at round %d", i);
                return;
            }
            std::chrono::duration<double, std::milli> took =
                std::chrono::steady_clock::now() - start;
            worst = std::max(worst, took.count());
        }
        report("wake rounds=%d worst=%.3fms", rounds, worst);
    }).detach();
}

}  // namespace

int main(int argc, char** argv) {
    double limit = 60;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--timeout") limit = std::atof(argv[i + 1]);

    if (platform::installDefaultBackend() != platform::BackendKind::Sdl) {
        report("probe: the SDL backend could not start (is a display there?)");
        return 2;
    }
    // Never outlive the driver by much, even if it dies without cleaning up.
    std::thread([limit] {
        std::this_thread::sleep_for(std::chrono::duration<double>(limit));
        std::fprintf(stderr, "probe: time limit reached\n");
        std::_Exit(3);
    }).detach();

    auto app = NSApplication::sharedApplication();
    auto first = openWindow(1, "Probe One", NSMakeRect(100, 250, 400, 300),
                            NSColor::colorWithDeviceRed(200 / 255.0, 60 / 255.0, 60 / 255.0, 1));
    auto second = openWindow(2, "Probe Two", NSMakeRect(640, 250, 400, 300),
                             NSColor::colorWithDeviceRed(60 / 255.0, 90 / 255.0, 200 / 255.0, 1));
    // The first window starts as key: the click must move key status to the second.
    first->makeKeyAndOrderFront(nullptr);
    report("ready");
    measureWakeUps(200);
    app->run();
    return 0;
}
