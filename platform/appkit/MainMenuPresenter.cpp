#include "platform/appkit/MainMenuPresenter.h"

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSMenu.h"
#include "platform/appkit/NSWindow.h"

namespace platform {

void showMainMenu(NSWindow* window, NSPoint locationInWindow) {
    if (!NSApp || !window || !NSApp->mainMenu()) return;
    auto menu = std::dynamic_pointer_cast<NSMenu>(NSApp->mainMenu()->weak_from_this().lock());
    if (!menu) return;
    Ref<NSObject> keepWindow = window->weak_from_this().lock();
    NSRect frame = window->frame();
    NSRect bounds = NSMakeRect(0, 0, frame.size.width, frame.size.height);
    NSPoint at = locationInWindow;
    if (!NSPointInRect(at, bounds)) {
        NSRect content = window->contentRectForFrameRect(frame);
        at = NSMakePoint(0, content.size.height);
    }
    menu->popUpMenuPositioningItem(nullptr, window->convertBaseToScreen(at), nullptr);
}

}  // namespace platform
