#include "platform/appkit/NSScreen.h"

#include "platform/appkit/WindowBackend.h"

NSScreen* NSScreen::mainScreen() {
    static NSScreen screen;
    return &screen;
}

std::vector<NSScreen*> NSScreen::screens() {
    return {mainScreen()};
}

NSRect NSScreen::frame() const {
    return WindowBackend::shared().mainScreenFrame();
}

NSRect NSScreen::visibleFrame() const {
    return WindowBackend::shared().mainScreenVisibleFrame();
}
