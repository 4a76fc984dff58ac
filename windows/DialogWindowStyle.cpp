#include "windows/DialogWindowStyle.h"

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSButton.h"
#include "platform/graphics/NSColor.h"

void DialogWindowStyle::centreClearAndMovable(NSWindow* window) {
    if (!window) return;
    window->center();
    window->setMovableByWindowBackground(true);
    window->setOpaque(false);
    window->setBackgroundColor(NSColor::clearColor());
}

void DialogWindowStyle::keepOnlyCloseButton(NSWindow* window, const WeakRef<NSObject>& target,
                                            SEL closeAction) {
    if (!window) return;
    if (NSButton* close = window->standardWindowButton(NSWindowCloseButton)) {
        close->setTarget(target);
        close->setAction(closeAction);
    }
    for (NSWindowButton kind : {NSWindowMiniaturizeButton, NSWindowZoomButton})
        if (NSButton* button = window->standardWindowButton(kind)) button->setHidden(true);
}

void DialogWindowStyle::apply(NSWindow* window, const WeakRef<NSObject>& target, SEL closeAction) {
    keepOnlyCloseButton(window, target, closeAction);
    centreClearAndMovable(window);
}

void DialogWindowStyle::closeAndStopModal(NSWindowController& controller) {
    if (controller.isWindowLoaded())
        if (NSWindow* w = controller.window()) w->close();
    if (auto app = NSApplication::sharedApplication()) app->stopModal();
}
