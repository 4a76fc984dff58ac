#include "platform/appkit/NSWindowFrameView.h"

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/theme/WindowTheme.h"
#include "platform/graphics/NSGraphicsContext.h"

NSRect NSWindowFrameView::titleBarRect() const {
    NSWindow* w = window();
    if (!w || !(w->styleMask() & NSWindowStyleMaskTitled) ||
        (w->styleMask() & NSWindowStyleMaskFullScreen))
        return NSZeroRect;
    double h = platform::theme::kTitleBarHeight;
    NSRect b = bounds();
    return NSMakeRect(0, b.size.height - h, b.size.width, h);
}

void NSWindowFrameView::drawRect(NSRect) {
    NSRect bar = titleBarRect();
    if (NSIsEmptyRect(bar)) return;
    NSWindow* w = window();
    // A clear, non-opaque window draws its own chrome: the platform's bar would show through.
    if (!w->isOpaque() && w->backgroundColor()->alphaComponent() == 0) return;
    if (auto* context = NSGraphicsContext::currentContext().get())
        platform::theme::drawTitleBar(*context, bar, w->title(), w->isKeyWindow());
}

void NSWindowFrameView::rightMouseDown(NSEvent& event) {
    NSPoint local = convertPoint(event.locationInWindow(), nullptr);
    if (NSApp && NSPointInRect(local, titleBarRect()) && window()) {
        NSApp->showMainMenu(window(), event.locationInWindow());
        return;
    }
    NSView::rightMouseDown(event);
}

void NSWindowFrameView::mouseUp(NSEvent& event) {
    NSPoint local = convertPoint(event.locationInWindow(), nullptr);
    if (event.clickCount() == 2 && NSPointInRect(local, titleBarRect()) && window()) {
        window()->zoom(nullptr);
        return;
    }
    NSView::mouseUp(event);
}
