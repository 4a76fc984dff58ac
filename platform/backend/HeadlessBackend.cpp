#include "platform/backend/HeadlessBackend.h"

#include <chrono>
#include <cmath>

#include "platform/appkit/NSEvent.h"
#include "platform/graphics/NSGraphicsContext.h"

HeadlessBackend::HeadlessBackend() : waiter_(std::make_shared<Waiter>(*this)) {}

WindowBackend::WindowId HeadlessBackend::createWindow(NSWindow* owner, NSRect frame) {
    std::lock_guard lock(mutex_);
    WindowId id = ++lastId_;
    Window entry;
    entry.owner = owner;
    entry.frame = frame;
    windows_[id] = std::move(entry);
    return id;
}

void HeadlessBackend::destroyWindow(WindowId window) {
    std::lock_guard lock(mutex_);
    windows_.erase(window);
}

void HeadlessBackend::setWindowFrame(WindowId window, NSRect frame) {
    std::lock_guard lock(mutex_);
    if (auto it = windows_.find(window); it != windows_.end()) it->second.frame = frame;
}

void HeadlessBackend::setWindowVisible(WindowId window, bool visible) {
    std::lock_guard lock(mutex_);
    if (auto it = windows_.find(window); it != windows_.end()) it->second.visible = visible;
}

Ref<NSGraphicsContext> HeadlessBackend::beginFrame(WindowId window) {
    std::lock_guard lock(mutex_);
    auto it = windows_.find(window);
    if (it == windows_.end()) return nullptr;
    int w = std::max(1, int(std::lround(it->second.frame.size.width)));
    int h = std::max(1, int(std::lround(it->second.frame.size.height)));
    // A fresh surface each frame, so that a presented frame stays as it was shown.
    it->second.drawing = NSGraphicsContext::contextWithBitmap(w, h, false);
    return it->second.drawing;
}

void HeadlessBackend::presentFrame(WindowId window) {
    std::lock_guard lock(mutex_);
    auto it = windows_.find(window);
    if (it == windows_.end() || !it->second.drawing) return;
    it->second.presented = std::move(it->second.drawing);
    ++it->second.presents;
}

Ref<NSGraphicsContext> HeadlessBackend::presentedSurface(WindowId window) const {
    std::lock_guard lock(mutex_);
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : it->second.presented;
}

bool HeadlessBackend::isWindowVisible(WindowId window) const {
    std::lock_guard lock(mutex_);
    auto it = windows_.find(window);
    return it != windows_.end() && it->second.visible;
}

NSRect HeadlessBackend::windowFrame(WindowId window) const {
    std::lock_guard lock(mutex_);
    auto it = windows_.find(window);
    return it == windows_.end() ? NSZeroRect : it->second.frame;
}

int HeadlessBackend::presentCount(WindowId window) const {
    std::lock_guard lock(mutex_);
    auto it = windows_.find(window);
    return it == windows_.end() ? 0 : it->second.presents;
}

void HeadlessBackend::postEvent(Ref<NSEvent> event) {
    {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
    }
    cv_.notify_all();
}

Ref<NSEvent> HeadlessBackend::nextEvent() {
    std::lock_guard lock(mutex_);
    if (events_.empty()) return nullptr;
    Ref<NSEvent> event = std::move(events_.front());
    events_.pop_front();
    return event;
}

std::size_t HeadlessBackend::queuedEventCount() const {
    std::lock_guard lock(mutex_);
    return events_.size();
}

bool HeadlessBackend::Waiter::wait(double timeout) {
    std::unique_lock lock(backend_.mutex_);
    auto ready = [&] { return woken_ || !backend_.events_.empty(); };
    if (timeout < 0)
        backend_.cv_.wait(lock, ready);
    else
        backend_.cv_.wait_for(lock, std::chrono::duration<double>(timeout), ready);
    woken_ = false;
    return !backend_.events_.empty();
}

void HeadlessBackend::Waiter::wake() {
    {
        std::lock_guard lock(backend_.mutex_);
        woken_ = true;
    }
    backend_.cv_.notify_all();
}
