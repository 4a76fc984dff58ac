#include "windows/PopWindow/MStatusAttachedWindow.h"

Ref<MStatusAttachedWindow> MStatusAttachedWindow::make(const Ref<NSView>& view, NSPoint point,
                                                       NSWindow* window, int side, float distance) {
    auto made = std::make_shared<MStatusAttachedWindow>();
    if (!made->initWithView(view, point, window, side, distance)) return nullptr;
    return made;
}

bool MStatusAttachedWindow::initWithView(const Ref<NSView>& view, NSPoint point, NSWindow* window,
                                         int side, float distance) {
    return initAttachedWindow(view, point, window, side, distance);
}

bool MStatusAttachedWindow::initWithViewInWindowAtDistance(const Ref<NSView>& view, NSPoint point,
                                                           NSWindow* window, float distance) {
    return initWithView(view, point, window, AttachedWindowAutomatic, distance);
}

bool MStatusAttachedWindow::initWithViewOnSideAtDistance(const Ref<NSView>& view, NSPoint point,
                                                         int side, float distance) {
    return initWithView(view, point, nullptr, side, distance);
}

bool MStatusAttachedWindow::initWithViewAtDistance(const Ref<NSView>& view, NSPoint point,
                                                   float distance) {
    return initWithView(view, point, nullptr, AttachedWindowAutomatic, distance);
}

bool MStatusAttachedWindow::initWithViewInWindow(const Ref<NSView>& view, NSPoint point,
                                                 NSWindow* window) {
    return initWithView(view, point, window, AttachedWindowAutomatic, 0);
}

bool MStatusAttachedWindow::initWithViewOnSide(const Ref<NSView>& view, NSPoint point, int side) {
    return initWithView(view, point, nullptr, side, 0);
}

bool MStatusAttachedWindow::initWithView(const Ref<NSView>& view, NSPoint point) {
    return initWithView(view, point, nullptr, AttachedWindowAutomatic, 0);
}

void MStatusAttachedWindow::notifyMouseInWindow(bool inside) {
    auto delegate = delegate_.lock();
    if (auto* answering = dynamic_cast<MStatusAttachedWindowMouseDelegate*>(delegate.get()))
        answering->mouseInWindow(inside);
}

void MStatusAttachedWindow::notifyWindowHidden() {
    auto delegate = delegate_.lock();
    if (auto* answering = dynamic_cast<MStatusAttachedWindowHidingDelegate*>(delegate.get()))
        answering->isHiddenWindow();
}

void MStatusAttachedWindow::registerClass() {
    ClassRegistry::shared().registerClass<MStatusAttachedWindow, AttachedWindowBase>(
        "MStatusAttachedWindow");
}
