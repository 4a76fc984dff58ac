#include "windows/PopWindow/PopBaseWindow.h"

#include <algorithm>

#include "platform/appkit/NSApplication.h"

Ref<PopBaseWindow> PopBaseWindow::make(NSRect contentRect, NSWindowStyleMask style,
                                       NSBackingStoreType backing, bool defer) {
    auto window = std::make_shared<PopBaseWindow>();
    window->initWithContentRect(contentRect, style, backing, defer);
    return window;
}

PopBaseWindow::~PopBaseWindow() {
    auto& center = NSNotificationCenter::defaultCenter();
    for (auto& [name, token] : observations_)
        center.removeObserver(token);
}

void PopBaseWindow::initWithContentRect(NSRect contentRect, NSWindowStyleMask,
                                        NSBackingStoreType backing, bool defer) {
    NSWindow::initWithContentRect(contentRect, NSWindowStyleMaskResizable, backing, defer);
    setOpaque(false);
    NSWindow::setBackgroundColor(NSColor::clearColor());
    setMovableByWindowBackground(true);
    setStyleMask(NSWindowStyleMaskResizable);
    setHasShadow(true);
    observeOwn(NSWindowDidDeminiaturizeNotification,
               [this](const Ref<NSNotification>& n) { windowDidDeminiaturize(n); });
    // Virtual: an attached window's own windowWillClose: takes this observation.
    observeOwn(NSWindowWillCloseNotification,
               [this](const Ref<NSNotification>& n) { windowWillClose(n); });
}

void PopBaseWindow::observeOwn(const NSNotificationName& name, Handler handler) {
    // The handler may reach the window through a raw pointer: the destructor ends every
    // observation before the window goes away.
    auto token = NSNotificationCenter::defaultCenter().addObserverForName(
        name, this, [handler = std::move(handler)](const NSNotification& notification) {
            handler(std::make_shared<NSNotification>(notification));
        });
    observations_.emplace_back(name, token);
}

void PopBaseWindow::endOwnObservation(const NSNotificationName& name) {
    auto& center = NSNotificationCenter::defaultCenter();
    std::erase_if(observations_, [&](const auto& entry) {
        if (entry.first != name) return false;
        center.removeObserver(entry.second);
        return true;
    });
}

void PopBaseWindow::becomeMainWindow() {
    NSWindow::becomeMainWindow();
    NSApplication::sharedApplication()->addWindowsItem(this, title(), false);
}

void PopBaseWindow::close() {
    if (closing_) return;
    Ref<NSObject> keep = weak_from_this().lock();
    closing_ = true;
    NSWindow::close();
    closing_ = false;
}

void PopBaseWindow::windowWillClose(const Ref<NSNotification>&) {
    endOwnObservation(NSWindowDidDeminiaturizeNotification);
    endOwnObservation(NSWindowWillCloseNotification);
    close();
}

void PopBaseWindow::windowDidDeminiaturize(const Ref<NSNotification>&) {
    invalidateShadow();
}

void PopBaseWindow::registerClass() {
    ClassRegistry::shared()
        .registerClass<PopBaseWindow, NSWindow>("PopBaseWindow")
        .method("windowWillClose:", &PopBaseWindow::windowWillClose)
        .method("windowDidDeminiaturize:", &PopBaseWindow::windowDidDeminiaturize);
}
