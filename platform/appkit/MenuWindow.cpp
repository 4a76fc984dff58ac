#include "platform/appkit/MenuWindow.h"

#include <algorithm>

#include "platform/appkit/NSScreen.h"

Ref<MenuWindow> MenuWindow::make(const Ref<NSMenu>& menu, NSPoint topLeft) {
    auto view = MenuView::make(menu);
    NSSize size = view->preferredSize();
    auto window = std::make_shared<MenuWindow>();
    window->initWithContentRect(
        NSMakeRect(topLeft.x, topLeft.y - size.height, size.width, size.height),
        NSWindowStyleMaskBorderless, NSBackingStoreBuffered, false);
    window->setLevel(NSPopUpMenuWindowLevel);
    window->setHasShadow(true);
    window->setBackgroundColor(NSColor::colorWithDeviceWhite(0.15, 1));
    window->setContentView(view);
    window->view_ = view;
    window->moveTopLeftTo(topLeft);
    return window;
}

void MenuWindow::moveTopLeftTo(NSPoint topLeft) {
    NSSize size = frame().size;
    NSRect screen = NSScreen::mainScreen()->visibleFrame();
    double x = std::max(std::min(topLeft.x, NSMaxX(screen) - size.width), NSMinX(screen));
    double y = topLeft.y - size.height;
    y = std::min(std::max(y, NSMinY(screen)), NSMaxY(screen) - size.height);
    setFrameOrigin(NSMakePoint(x, y));
}

NSRect MenuWindow::screenRectOfItemAtIndex(long index) const {
    NSRect row = view_->rectOfItemAtIndex(index);
    if (NSIsEmptyRect(row)) return NSZeroRect;
    return convertRectToScreen(view_->convertRectToView(row, nullptr));
}

long MenuWindow::indexOfItemAtScreenPoint(NSPoint point) const {
    NSPoint local = view_->convertPoint(convertScreenToBase(point), nullptr);
    return view_->indexOfItemAtPoint(local);
}

bool MenuWindow::containsScreenPoint(NSPoint point) const {
    return isVisible() && NSPointInRect(point, frame());
}
