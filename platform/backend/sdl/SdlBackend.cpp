#include "platform/backend/sdl/SdlBackend.h"

#include <SDL.h>
#include <SDL_shape.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSWindow.h"
#include "platform/backend/sdl/WindowShapeMask.h"
#include "platform/backend/sdl/X11ErrorLog.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/detail/CairoGraphics.h"

namespace {

int pixels(double points) {
    return int(std::lround(points));
}

SDL_SystemCursor systemCursor(WindowBackend::Cursor cursor) {
    switch (cursor) {
        case WindowBackend::Cursor::PointingHand:
            return SDL_SYSTEM_CURSOR_HAND;
        case WindowBackend::Cursor::IBeam:
            return SDL_SYSTEM_CURSOR_IBEAM;
        case WindowBackend::Cursor::ResizeLeftRight:
            return SDL_SYSTEM_CURSOR_SIZEWE;
        case WindowBackend::Cursor::ResizeUpDown:
            return SDL_SYSTEM_CURSOR_SIZENS;
        case WindowBackend::Cursor::Crosshair:
            return SDL_SYSTEM_CURSOR_CROSSHAIR;
        case WindowBackend::Cursor::Arrow:
            break;
    }
    return SDL_SYSTEM_CURSOR_ARROW;
}

}  // namespace

std::shared_ptr<SdlBackend> SdlBackend::create(std::string* error) {
    std::shared_ptr<SdlBackend> backend(new SdlBackend());
    if (!backend->start(error)) return nullptr;
    return backend;
}

SdlBackend::SdlBackend() : translator_(*this), waiter_(std::make_shared<Waiter>(*this)) {}

bool SdlBackend::start(std::string* error) {
    // The platform keeps signals, the last window and the window frames to itself.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // Without a renderer behind the window surface SDL never recreates the native window.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (error) *error = SDL_GetError();
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0) {
        if (error) *error = std::string("no usable video driver (") + (driver ? driver : "") + ")";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    if (std::strcmp(driver, "x11") == 0) platform::sdl::X11ErrorLog::install();
    started_ = true;
    std::uint32_t type = SDL_RegisterEvents(1);
    wakeEventType_ = type == std::uint32_t(-1) ? std::uint32_t(SDL_USEREVENT) : type;
    // Text input starts off, as the interface promises; the field editor turns it on.
    SDL_StopTextInput();
    return true;
}

SdlBackend::~SdlBackend() {
    for (auto& [id, window] : windows_)
        if (window.sdl) SDL_DestroyWindow(window.sdl);
    windows_.clear();
    for (SDL_Cursor*& cursor : cursors_) {
        if (cursor) SDL_FreeCursor(cursor);
        cursor = nullptr;
    }
    if (started_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// --- Screen ---------------------------------------------------------------------------------

NSRect SdlBackend::mainScreenFrame() const {
    SDL_Rect r;
    if (SDL_GetDisplayBounds(0, &r) != 0) return NSMakeRect(0, 0, 1280, 800);
    return NSMakeRect(0, 0, r.w, r.h);
}

NSRect SdlBackend::mainScreenVisibleFrame() const {
    NSRect screen = mainScreenFrame();
    SDL_Rect r;
    if (SDL_GetDisplayUsableBounds(0, &r) != 0) return screen;
    return NSMakeRect(r.x, screen.size.height - (r.y + r.h), r.w, r.h);
}

std::optional<NSPoint> SdlBackend::mouseLocationOnScreen() const {
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    return NSPoint{double(x), mainScreenFrame().size.height - y};
}

void SdlBackend::toSdlRect(NSRect frame, int& x, int& y, int& w, int& h) const {
    const double screenHeight = mainScreenFrame().size.height;
    x = pixels(frame.origin.x);
    y = pixels(screenHeight - (frame.origin.y + frame.size.height));
    w = std::max(1, pixels(frame.size.width));
    h = std::max(1, pixels(frame.size.height));
}

// --- Windows --------------------------------------------------------------------------------

SdlBackend::Window* SdlBackend::find(WindowId window) {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : &it->second;
}

WindowBackend::WindowId SdlBackend::createWindow(NSWindow* owner, NSRect frame) {
    int x, y, w, h;
    toSdlRect(frame, x, y, w, h);
    std::string title = owner ? owner->title() : std::string();
    // Windows are shaped where the window system can, so that what they leave clear (rounded
    // corners, a pop-up's arrow) is not shown black. Made at the origin, then placed: a shaped
    // window made elsewhere would jump back there on its first outline.
    bool shaped = true;
    SDL_Window* sdl =
        SDL_CreateShapedWindow(title.c_str(), 0, 0, unsigned(std::max(1, w)),
                               unsigned(std::max(1, h)), SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
    if (sdl) {
        SDL_SetWindowPosition(sdl, x, y);
    } else {
        shaped = false;
        sdl =
            SDL_CreateWindow(title.c_str(), x, y, w, h, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
    }
    if (!sdl) {
        NSLog("SDL could not create a window: %s", std::string(SDL_GetError()));
        return 0;
    }
    WindowId id = ++lastId_;
    Window entry;
    entry.sdl = sdl;
    entry.owner = owner;
    entry.frame = frame;
    entry.title = std::move(title);
    entry.shaped = shaped;
    windows_[id] = std::move(entry);
    bySdlId_[SDL_GetWindowID(sdl)] = id;
    return id;
}

void SdlBackend::destroyWindow(WindowId window) {
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    bySdlId_.erase(SDL_GetWindowID(it->second.sdl));
    SDL_DestroyWindow(it->second.sdl);
    windows_.erase(it);
}

void SdlBackend::setWindowFrame(WindowId window, NSRect frame) {
    Window* entry = find(window);
    if (!entry) return;
    int x, y, w, h;
    toSdlRect(frame, x, y, w, h);
    const bool resized = frame.size != entry->frame.size;
    entry->frame = frame;
    if (resized) SDL_SetWindowSize(entry->sdl, w, h);
    SDL_SetWindowPosition(entry->sdl, x, y);
}

void SdlBackend::setWindowVisible(WindowId window, bool visible) {
    Window* entry = find(window);
    if (!entry) return;
    if (visible) {
        syncTitle(*entry);
        SDL_ShowWindow(entry->sdl);
    } else {
        SDL_HideWindow(entry->sdl);
    }
}

void SdlBackend::syncTitle(Window& window) {
    if (!window.owner || window.owner->title() == window.title) return;
    window.title = window.owner->title();
    SDL_SetWindowTitle(window.sdl, window.title.c_str());
}

std::string SdlBackend::nativeTitle(WindowId window) const {
    auto it = windows_.find(window);
    return it == windows_.end() ? std::string() : std::string(SDL_GetWindowTitle(it->second.sdl));
}

Ref<NSGraphicsContext> SdlBackend::beginFrame(WindowId window) {
    Window* entry = find(window);
    if (!entry) return nullptr;
    const int w = std::max(1, pixels(entry->frame.size.width));
    const int h = std::max(1, pixels(entry->frame.size.height));
    // The surface is reused while the size stays: its content is undefined at each frame.
    if (!entry->drawing || entry->drawing->pixelsWide() != w || entry->drawing->pixelsHigh() != h)
        entry->drawing = NSGraphicsContext::contextWithBitmap(w, h, false);
    return entry->drawing;
}

void SdlBackend::presentFrame(WindowId window) {
    Window* entry = find(window);
    if (!entry || !entry->drawing) return;
    syncTitle(*entry);
    cairo_surface_t* source = cairo_get_target(platform::detail::cairoOf(*entry->drawing));
    cairo_surface_flush(source);
    const unsigned char* pixelsIn = cairo_image_surface_get_data(source);
    const int stride = cairo_image_surface_get_stride(source);
    // The window surface is fetched each time: SDL replaces it after a resize.
    SDL_Surface* target = SDL_GetWindowSurface(entry->sdl);
    if (!pixelsIn || !target) return;
    const int w = std::min(cairo_image_surface_get_width(source), target->w);
    const int h = std::min(cairo_image_surface_get_height(source), target->h);
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return;
    auto* pixelsOut = static_cast<unsigned char*>(target->pixels);
    const auto format = target->format->format;
    if (format == SDL_PIXELFORMAT_ARGB8888 || format == SDL_PIXELFORMAT_RGB888) {
        // Cairo's ARGB32 is SDL's ARGB8888 (XRGB8888 ignores the alpha byte): rows copy as
        // they are.
        for (int row = 0; row < h; ++row)
            std::memcpy(pixelsOut + std::size_t(row) * target->pitch,
                        pixelsIn + std::size_t(row) * stride, std::size_t(w) * 4);
    } else {
        SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_ARGB8888, pixelsIn, stride, format, pixelsOut,
                          target->pitch);
    }
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
    if (entry->shaped) updateShape(*entry, pixelsIn, w, h, stride);
    SDL_UpdateWindowSurface(entry->sdl);
}

void SdlBackend::updateShape(Window& window, const unsigned char* argb, int width, int height,
                             int stride) {
    const std::uint64_t signature =
        platform::sdl::WindowShapeMask::signature(argb, width, height, stride);
    if (window.shapeSignature == signature) return;
    // A window that has never had an outline is a plain rectangle: an opaque frame needs none.
    if (!window.shapeSignature &&
        platform::sdl::WindowShapeMask::isFullyInside(argb, width, height, stride)) {
        window.shapeSignature = signature;
        return;
    }
    SDL_Surface* shape = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<unsigned char*>(argb), width, height, 32, stride, SDL_PIXELFORMAT_ARGB8888);
    if (!shape) return;
    SDL_WindowShapeMode mode{};
    mode.mode = ShapeModeBinarizeAlpha;
    mode.parameters.binarizationCutoff = platform::sdl::WindowShapeMask::kAlphaCutoff;
    // A refusal (a size the window does not have yet) is not retried for the same outline.
    SDL_SetWindowShape(window.sdl, shape, &mode);
    SDL_FreeSurface(shape);
    window.shapeSignature = signature;
}

void SdlBackend::setWindowAlpha(WindowId window, double alpha) {
    // Refused without a compositor; the window then stays opaque.
    if (Window* entry = find(window)) SDL_SetWindowOpacity(entry->sdl, float(alpha));
}

void SdlBackend::raiseWindow(WindowId window) {
    if (Window* entry = find(window)) SDL_RaiseWindow(entry->sdl);
}

void SdlBackend::focusWindow(WindowId window) {
    // Refused for windows that are not shown; key status is the platform's anyway.
    if (Window* entry = find(window)) SDL_SetWindowInputFocus(entry->sdl);
}

bool SdlBackend::miniaturizeWindow(WindowId window) {
    Window* entry = find(window);
    if (!entry) return false;
    SDL_MinimizeWindow(entry->sdl);
    return true;
}

bool SdlBackend::setWindowFullScreen(WindowId window, bool fullScreen) {
    Window* entry = find(window);
    if (!entry) return false;
    return SDL_SetWindowFullscreen(entry->sdl, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0;
}

// --- Cursors, clipboard, text input ---------------------------------------------------------

void SdlBackend::setCursor(Cursor cursor) {
    WindowBackend::setCursor(cursor);
    SDL_Cursor*& cached = cursors_[std::size_t(cursor)];
    if (!cached) cached = SDL_CreateSystemCursor(systemCursor(cursor));
    if (cached) SDL_SetCursor(cached);
}

std::optional<std::string> SdlBackend::clipboardText() {
    if (!SDL_HasClipboardText()) return std::nullopt;
    char* text = SDL_GetClipboardText();
    if (!text) return std::nullopt;
    std::string result(text);
    SDL_free(text);
    return result;
}

void SdlBackend::setClipboardText(const std::string& text) {
    SDL_SetClipboardText(text.c_str());
}

void SdlBackend::clearClipboard() {
    SDL_SetClipboardText("");
}

void SdlBackend::setTextInputEnabled(bool enabled) {
    WindowBackend::setTextInputEnabled(enabled);
    if (enabled)
        SDL_StartTextInput();
    else
        SDL_StopTextInput();
}

// --- Events ---------------------------------------------------------------------------------

void SdlBackend::postEvent(Ref<NSEvent> event) {
    {
        std::lock_guard lock(eventsMutex_);
        events_.push_back(std::move(event));
    }
    pushWakeUp();
}

Ref<NSEvent> SdlBackend::nextEvent() {
    std::lock_guard lock(eventsMutex_);
    if (events_.empty()) return nullptr;
    Ref<NSEvent> event = std::move(events_.front());
    events_.pop_front();
    return event;
}

void SdlBackend::enqueue(Ref<NSEvent> event) {
    std::lock_guard lock(eventsMutex_);
    events_.push_back(std::move(event));
}

void SdlBackend::pushWakeUp() {
    // One wake-up in SDL's queue is enough: the waiter clears the mark when it takes it.
    if (wakePending_.exchange(true)) return;
    SDL_Event event;
    SDL_zero(event);
    event.type = wakeEventType_;
    if (SDL_PushEvent(&event) != 1) wakePending_ = false;
}

bool SdlBackend::waitForEvents(double timeout) {
    SDL_Event event;
    int got;
    if (timeout < 0) {
        got = SDL_WaitEvent(&event);
    } else {
        const double ms = std::ceil(timeout * 1000);
        got = ms <= 0 ? SDL_PollEvent(&event)
                      : SDL_WaitEventTimeout(&event, ms >= INT_MAX ? INT_MAX : int(ms));
    }
    if (!got && timeout < 0) {
        // An endless wait that fails would spin; report it once and back off a little.
        static bool reported = false;
        if (!reported) NSLog("SDL event wait failed: %s", std::string(SDL_GetError()));
        reported = true;
        SDL_Delay(10);
    }
    bool turn = false;
    while (got) {
        if (event.type == wakeEventType_)
            wakePending_ = false;
        else if (translator_.translate(event))
            turn = true;
        got = SDL_PollEvent(&event);
    }
    if (translator_.flush()) turn = true;
    std::lock_guard lock(eventsMutex_);
    return turn || !events_.empty();
}

NSWindow* SdlBackend::ownerOfSdlWindow(std::uint32_t sdlWindowId) {
    auto it = bySdlId_.find(sdlWindowId);
    if (it == bySdlId_.end()) return nullptr;
    Window* entry = find(it->second);
    return entry ? entry->owner : nullptr;
}

double SdlBackend::heightOfSdlWindow(std::uint32_t sdlWindowId) {
    auto it = bySdlId_.find(sdlWindowId);
    Window* entry = it == bySdlId_.end() ? nullptr : find(it->second);
    return entry ? std::max(1, pixels(entry->frame.size.height)) : 0;
}

void SdlBackend::closeRequested(std::uint32_t sdlWindowId) {
    auto it = bySdlId_.find(sdlWindowId);
    if (it == bySdlId_.end()) return;
    // The close runs as a main-queue block, outside the event wait: it may destroy windows.
    WindowId id = it->second;
    SdlBackend* self = this;
    NSRunLoop::mainRunLoop().enqueueBlock([self, id] {
        if (dynamic_cast<SdlBackend*>(&WindowBackend::shared()) != self) return;
        Window* entry = self->find(id);
        if (!entry || !entry->owner) return;
        NSWindow* owner = entry->owner;
        if (NSApp && NSApp->isWindowBlockedByModal(owner)) return;
        auto keepAlive = owner->weak_from_this().lock();
        if (keepAlive) owner->performClose(nullptr);
    });
}
