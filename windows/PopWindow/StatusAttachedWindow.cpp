#include "windows/PopWindow/StatusAttachedWindow.h"

Ref<StatusAttachedWindow> StatusAttachedWindow::make(const Ref<NSView>& view, NSPoint point,
                                                     NSWindow* window, int side, float distance,
                                                     float alpha) {
    auto made = std::make_shared<StatusAttachedWindow>();
    if (!made->initWithView(view, point, window, side, distance, alpha)) return nullptr;
    return made;
}

bool StatusAttachedWindow::initWithView(const Ref<NSView>& view, NSPoint point, NSWindow* window,
                                        int side, float distance, float /*alpha*/) {
    return initAttachedWindow(view, point, window, side, distance);
}

bool StatusAttachedWindow::initWithViewInWindowAtDistance(const Ref<NSView>& view, NSPoint point,
                                                          NSWindow* window, float distance) {
    return initWithView(view, point, window, AttachedWindowAutomatic, distance, 0);
}

bool StatusAttachedWindow::initWithViewOnSideAtDistance(const Ref<NSView>& view, NSPoint point,
                                                        int side, float distance) {
    return initWithView(view, point, nullptr, side, distance, 0);
}

bool StatusAttachedWindow::initWithViewAtDistance(const Ref<NSView>& view, NSPoint point,
                                                  float distance) {
    return initWithView(view, point, nullptr, AttachedWindowAutomatic, distance, 0);
}

bool StatusAttachedWindow::initWithViewInWindow(const Ref<NSView>& view, NSPoint point,
                                                NSWindow* window) {
    return initWithView(view, point, window, AttachedWindowAutomatic, 0, 0);
}

bool StatusAttachedWindow::initWithViewOnSide(const Ref<NSView>& view, NSPoint point, int side) {
    return initWithView(view, point, nullptr, side, 0, 0);
}

bool StatusAttachedWindow::initWithView(const Ref<NSView>& view, NSPoint point) {
    return initWithView(view, point, nullptr, AttachedWindowAutomatic, 0, 0);
}

void StatusAttachedWindow::notifyMouseInWindow(bool inside) {
    auto delegate = delegate_.lock();
    if (auto* answering = dynamic_cast<StatusAttachedWindowMouseDelegate*>(delegate.get()))
        answering->mouseInWindow(inside);
}

void StatusAttachedWindow::notifyWindowHidden() {
    auto delegate = delegate_.lock();
    if (auto* answering = dynamic_cast<StatusAttachedWindowHidingDelegate*>(delegate.get()))
        answering->isHiddenWindow();
}

void StatusAttachedWindow::registerClass() {
    ClassRegistry::shared().registerClass<StatusAttachedWindow, AttachedWindowBase>(
        "StatusAttachedWindow");
}
