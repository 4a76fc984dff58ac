#include "platform/appkit/NSWindowController.h"

#include "platform/appkit/NSWindow.h"
#include "platform/appkit/NibLoader.h"
#include "platform/foundation/NSLog.h"

void NSWindowController::initWithWindowNibName(std::string nibName) {
    nibName_ = std::move(nibName);
}

void NSWindowController::initWithWindow(const Ref<NSWindow>& window) {
    setWindow(window);
}

NSWindow* NSWindowController::window() {
    return windowRef().get();
}

Ref<NSWindow> NSWindowController::windowRef() {
    if (!window_ && !loading_ && !nibName_.empty()) {
        loading_ = true;
        windowWillLoad();
        loadWindow();
        loading_ = false;
        if (window_) windowDidLoad();
    }
    return window_;
}

void NSWindowController::setWindow(const Ref<NSWindow>& window) {
    if (window_ && window_->nextResponder() == this) window_->setNextResponder(nullptr);
    window_ = window;
    if (window_ && !window_->nextResponder()) window_->setNextResponder(this);
}

void NSWindowController::loadWindow() {
    NibLoadResult result = NibLoader::load(nibName_, self());
    if (!result) NSLog("%@", result.error);
}

void NSWindowController::showWindow(NSObject*) {
    if (NSWindow* w = window()) w->makeKeyAndOrderFront(nullptr);
}

void NSWindowController::close() {
    if (window_) window_->close();
}

void NSWindowController::registerClass() {
    ClassRegistry::shared()
        .registerClass<NSWindowController, NSResponder>("NSWindowController")
        .outlet("window", &NSWindowController::setWindow)
        .action("showWindow:", &NSWindowController::showWindow);
}
