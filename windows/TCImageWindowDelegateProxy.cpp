#include "windows/TCImageWindowDelegateProxy.h"

#include "platform/foundation/NSLog.h"
#include "windows/TCImageWindow.h"

namespace {
const SEL kWillPositionSheet("window:willPositionSheet:usingRect:");
}  // namespace

Ref<NSObject> TCImageWindowDelegateProxy::secondaryObject() const {
    return std::dynamic_pointer_cast<NSObject>(secondary_.lock());
}

bool TCImageWindowDelegateProxy::respondsToSelector(SEL sel) const {
    if (sel == kWillPositionSheet) return true;
    Ref<NSObject> object = secondaryObject();
    return object && object->respondsToSelector(sel);
}

bool TCImageWindowDelegateProxy::methodSignatureForSelector(SEL sel) const {
    Ref<NSObject> object = secondaryObject();
    const ClassInfo* info = object ? object->classInfo() : nullptr;
    if (sel && info && info->findMethod(sel)) return true;
    // The selector's name goes in as an argument, never as part of the format.
    std::string description = ns::stringWithFormat(
        "The method signature(%@) should not be nil becuase of the respondsToSelector: check",
        sel.name());
    NSLog(
        "*** Assertion failure in -[TCImageWindowDelegateProxy methodSignatureForSelector:], "
        "%@:%d %@",
        std::string("TCImageWindow"), 105, description);
    return false;
}

bool TCImageWindowDelegateProxy::forwardInvocation(SEL sel, const SelectorArg& arg) {
    Ref<NSObject> object = secondaryObject();
    if (!object || !object->respondsToSelector(sel)) return false;
    return object->performSelector(sel, arg);
}

bool TCImageWindowDelegateProxy::isKindOfClass(std::string_view name) const {
    Ref<NSObject> object = secondaryObject();
    return object && object->isKindOfClass(name);
}

NSRect TCImageWindowDelegateProxy::willPositionSheet(NSWindow* window, NSWindow*, NSRect rect) {
    if (auto* imageWindow = dynamic_cast<TCImageWindow*>(window))
        rect.origin.y = imageWindow->frame().size.height - imageWindow->titleBarHeight();
    return rect;
}

bool TCImageWindowDelegateProxy::windowShouldClose(NSWindow* sender) {
    auto d = secondary_.lock();
    return d ? d->windowShouldClose(sender) : true;
}

void TCImageWindowDelegateProxy::windowWillClose(NSWindow* window) {
    if (auto d = secondary_.lock()) d->windowWillClose(window);
}

void TCImageWindowDelegateProxy::windowDidBecomeKey(NSWindow* window) {
    if (auto d = secondary_.lock()) d->windowDidBecomeKey(window);
}

void TCImageWindowDelegateProxy::windowDidResignKey(NSWindow* window) {
    if (auto d = secondary_.lock()) d->windowDidResignKey(window);
}

void TCImageWindowDelegateProxy::windowDidBecomeMain(NSWindow* window) {
    if (auto d = secondary_.lock()) d->windowDidBecomeMain(window);
}

void TCImageWindowDelegateProxy::windowDidResignMain(NSWindow* window) {
    if (auto d = secondary_.lock()) d->windowDidResignMain(window);
}

void TCImageWindowDelegateProxy::windowDidResize(NSWindow* window) {
    if (auto d = secondary_.lock()) d->windowDidResize(window);
}

void TCImageWindowDelegateProxy::windowDidMove(NSWindow* window) {
    if (auto d = secondary_.lock()) d->windowDidMove(window);
}

void TCImageWindowDelegateProxy::windowWillEnterFullScreen(NSWindow* window) {
    if (auto d = secondary_.lock()) d->windowWillEnterFullScreen(window);
}

void TCImageWindowDelegateProxy::windowWillExitFullScreen(NSWindow* window) {
    if (auto d = secondary_.lock()) d->windowWillExitFullScreen(window);
}
