#include "windows/QVTitlebarView.h"

#include "platform/appkit/NSApplication.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSGradient.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSShadow.h"
#include "platform/graphics/TextLayout.h"
#include "services/Palette.h"
#include "windows/NSColor+TCAdditions.h"
#include "windows/TCImageWindow.h"

namespace {
constexpr double kCornerRadius = 16;
// The font size of regular controls, which title bars use.
constexpr double kTitleFontSize = 13;
}  // namespace

bool QVTitlebarView::drawsAsMain(const NSWindow* window) {
    return window && window->isMainWindow() && NSApp && NSApp->isActive();
}

Ref<NSBezierPath> QVTitlebarView::clippingPath(NSRect r) {
    const double minX = NSMinX(r), minY = NSMinY(r), maxX = NSMaxX(r), maxY = NSMaxY(r);
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint(NSMakePoint(minX, minY));
    path->lineToPoint(NSMakePoint(minX, maxY - kCornerRadius));
    path->appendBezierPathWithArcFromPoint(NSMakePoint(minX, maxY),
                                           NSMakePoint(minX + kCornerRadius, maxY), kCornerRadius);
    path->lineToPoint(NSMakePoint(maxX - kCornerRadius, maxY));
    path->appendBezierPathWithArcFromPoint(NSMakePoint(maxX, maxY),
                                           NSMakePoint(maxX, maxY - kCornerRadius), kCornerRadius);
    path->lineToPoint(NSMakePoint(maxX, minY));
    path->closePath();
    return path;
}

void QVTitlebarView::drawRect(NSRect) {
    auto* window = dynamic_cast<TCImageWindow*>(this->window());
    if (!window) return;
    const bool main = drawsAsMain(window);
    // The view covers its container from the origin, so its bounds are its frame.
    const NSRect r = bounds();
    Ref<NSBezierPath> path = clippingPath(r);
    if (const auto& block = window->titleBarDrawingBlock()) {
        block(main, r, path);
    } else {
        NSGraphicsContext::saveGraphicsState();
        path->addClip();
        auto clear = QV_CGColorCreate(*NSColor::clearColor());
        auto gradient = NSGradient::initWithColorsAndLocations(
            {{QV_NSColorFromCGColor(clear), 0.0}, {QV_NSColorFromCGColor(clear), 1.0}});
        gradient->drawFromPoint(NSMakePoint(NSMidX(r), NSMinY(r)),
                                NSMakePoint(NSMidX(r), NSMaxY(r)), 0);
        NSGraphicsContext::restoreGraphicsState();
    }
    const bool fullScreen = window->styleMask() & NSWindowStyleMaskFullScreen;
    if (window->showsTitle() && (!fullScreen || window->showsTitleInFullscreen())) {
        NSRect titleFrame;
        NSAttributes attributes;
        getTitleFrame(&titleFrame, &attributes, window);
        ns::drawInRect(window->title(), titleFrame, attributes);
    }
}

void QVTitlebarView::getTitleFrame(NSRect* frame, NSAttributes* attributes,
                                   TCImageWindow* window) const {
    if (!window) return;
    const bool main = drawsAsMain(window);
    Ref<NSShadow> shadow = main ? window->titleTextShadow() : window->inactiveTitleTextShadow();
    if (!shadow) {
        shadow = NSShadow::make();
        shadow->setShadowBlurRadius(10);
        shadow->setShadowOffset(NSMakeSize(0, -1));
        shadow->setShadowColor(Palette::titleShadowWhite());
    }
    Ref<NSColor> color = main ? window->titleTextColor() : window->inactiveTitleTextColor();
    if (!color) color = Palette::titleTextGrey()->colorWithAlphaComponent(main ? 1.0 : 0.5);
    NSAttributes attrs{{NSFontAttributeName, NSFont::systemFontOfSize(kTitleFontSize)},
                       {NSForegroundColorAttributeName, color},
                       {NSShadowAttributeName, shadow}};
    const NSSize size = ns::sizeWithAttributes(window->title(), attrs);
    const NSRect b = bounds();

    double x;
    if (NSButton* icon = window->standardWindowButton(NSWindowDocumentIconButton)) {
        x = NSMaxX(convertRect(icon->frame(), icon->superview())) + 4;
    } else if (NSButton* versions = window->standardWindowButton(NSWindowDocumentVersionsButton)) {
        // Windows here carry no document, so there are no unsaved changes to make room for.
        x = convertRect(versions->frame(), versions->superview()).origin.x - size.width - 1;
    } else {
        x = b.origin.x + b.size.width * 0.5 - 0.5 * size.width;
    }
    if (frame)
        *frame =
            NSMakeRect(x, b.origin.y + b.size.height - size.height - 2, size.width, size.height);
    if (attributes) *attributes = std::move(attrs);
}

void QVTitlebarView::mouseUp(NSEvent& event) {
    // Not passed on: the frame view under the bar would zoom the window on a double click.
    if (event.clickCount() != 2) return;
    auto value =
        NSUserDefaults::standardUserDefaults()->objectForKey("AppleMiniaturizeOnDoubleClick");
    if (value && value->boolValue() && window()) window()->miniaturize(this);
}

void QVTitlebarView::drawNoiseWithOpacity(double) {}

void QVTitlebarView::registerClass() {
    ClassRegistry::shared().registerClass<QVTitlebarView, NSView>("QVTitlebarView");
}
