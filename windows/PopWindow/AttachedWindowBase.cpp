#include "windows/PopWindow/AttachedWindowBase.h"

#include <algorithm>
#include <cmath>

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSScreen.h"
#include "platform/appkit/NSTrackingArea.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSImage.h"
#include "services/Palette.h"
#include "services/TCPublicUtilities.h"

namespace {

// Keeps what the windows draw off the screen until the end of the scope.
struct ScreenUpdatesHeld {
    ScreenUpdatesHeld() { NSDisableScreenUpdates(); }
    ~ScreenUpdatesHeld() { NSEnableScreenUpdates(); }
    ScreenUpdatesHeld(const ScreenUpdatesHeld&) = delete;
    ScreenUpdatesHeld& operator=(const ScreenUpdatesHeld&) = delete;
};

// The arrow strip widens the window on these sides and heightens it on the vertical ones.
bool isHorizontalSide(int side) {
    return side == 0 || side == 2 || (side >= 4 && side <= 7);
}
bool isVerticalSide(int side) {
    return side == 1 || side == 3 || (side >= 8 && side <= 11);
}

constexpr NSTrackingAreaOptions kTrackingOptions =
    NSTrackingMouseEnteredAndExited | NSTrackingMouseMoved | NSTrackingActiveAlways;  // 131

}  // namespace

AttachedWindowBase::~AttachedWindowBase() {
    NSNotificationCenter::defaultCenter().removeObserver(this);
}

float AttachedWindowBase::scale() const {
    // Without a screen there is nothing to scale for: lengths stay in points.
    NSScreen* screen = NSScreen::mainScreen();
    return screen ? static_cast<float>(screen->userSpaceScaleFactor()) : 1.0f;
}

bool AttachedWindowBase::initAttachedWindow(const Ref<NSView>& view, NSPoint point,
                                            NSWindow* window, int side, float distance) {
    if (!view) return false;
    NSSize size = view->frame().size;
    PopBaseWindow::initWithContentRect(NSMakeRect(0, 0, size.width, size.height),
                                       NSWindowStyleMaskBorderless, NSBackingStoreBuffered, false);
    view_ = view;
    if (window) window_ = std::dynamic_pointer_cast<NSWindow>(window->weak_from_this().lock());
    point_ = point;
    side_ = side;
    distance_ = distance;

    if (style_.translucent) setAlphaValue(0.99);
    setHasShadow(true);
    setOpaque(false);
    setMovableByWindowBackground(true);
    setExcludedFromWindowsMenu(true);
    useOptimizedDrawing(true);
    setStyleMask(NSWindowStyleMaskBorderless);
    setBackingType(NSBackingStoreBuffered);

    int version = TCPublicUtilities::getSystemVersion();
    if (version >= 1010) setWindowBackgroundBlurRadius(400);

    windowBackgroundColor_ =
        Palette::popUpBlue()->colorWithAlphaComponent(version < 1009 ? 0.98 : 0.8);
    borderColor_ = Palette::popUpBorder();
    borderWidth_ = 0;
    viewMargin_ = 1;
    arrowBaseWidth_ = 15;
    arrowHeight_ = 10;
    hasArrow_ = false;
    cornerRadius_ = style_.defaultCornerRadius;
    drawsRoundCornerBesideArrow_ = true;
    resizing_ = false;

    if (side_ == AttachedWindowAutomatic) side_ = bestSideForAutomaticPosition();
    updateGeometry();
    updateBackground();
    contentView()->addSubview(view);

    observeOwn(NSWindowDidResizeNotification,
               [this](const Ref<NSNotification>& n) { windowDidResize(n); });
    observeOwn(NSWindowDidResignKeyNotification,
               [this](const Ref<NSNotification>&) { closeMattachedWindow(); });
    updateTrackingAreas();
    return true;
}

// --- Geometry -------------------------------------------------------------------------------

float AttachedWindowBase::arrowInset() const {
    float inset = arrowBaseWidth_ / 2;
    if (drawsRoundCornerBesideArrow_) inset += cornerRadius_;
    return scale() * inset;
}

void AttachedWindowBase::updateGeometry() {
    auto view = view_.lock();
    if (!view) return;
    const float s = scale();
    NSSize size = view->frame().size;
    const float m = viewMargin_ * s;
    const float a = arrowHeight_ * s;
    double width = size.width + 2 * m, height = size.height + 2 * m;
    if (isHorizontalSide(side_)) width += a;
    if (isVerticalSide(side_)) height += a;
    viewFrame_ = NSMakeRect(m, m, size.width, size.height);
    if (side_ == 2 || side_ == 6 || side_ == 7) viewFrame_.origin.x += a;
    if (side_ == 3 || side_ == 8 || side_ == 9) viewFrame_.origin.y += a;

    auto parent = window_.lock();
    NSPoint p = parent ? parent->convertBaseToScreen(point_) : point_;
    const double d = distance_, i = arrowInset();
    const double halfW = static_cast<float>(width / 2), halfH = static_cast<float>(height / 2);
    NSPoint origin = p;
    switch (side_) {
        case 0:
            origin = {p.x - width - d, p.y - halfH};
            break;
        case 1:
            origin = {p.x - halfW, p.y - height - d};
            break;
        case 2:
            origin = {p.x + d, p.y - halfH};
            break;
        case 3:
            origin = {p.x - halfW, p.y + d};
            break;
        case 4:
            origin = {p.x - width - d, p.y - i};
            break;
        case 5:
            origin = {p.x - width - d, p.y - height + i};
            break;
        case 6:
            origin = {p.x + d, p.y - i};
            break;
        case 7:
            origin = {p.x + d, p.y - height + i};
            break;
        case 8:
            origin = {p.x - width + i, p.y + d};
            break;
        case 9:
            origin = {p.x - i, p.y + d};
            break;
        case 10:
            origin = {p.x - width + i, p.y - height - d};
            break;
        case 11:
            origin = {p.x - i, p.y - height - d};
            break;
        default:
            break;  // lower-left corner on the point, no strip
    }
    setFrame(NSRect{origin, {width, height}}, false);
    view->setFrame(viewFrame_);
}

int AttachedWindowBase::bestSideForAutomaticPosition() const {
    auto view = view_.lock();
    auto parent = window_.lock();
    NSScreen* screen = parent && parent->screen() ? parent->screen() : NSScreen::mainScreen();
    const NSRect v = screen ? screen->visibleFrame() : NSZeroRect;
    const float s = scale();
    NSPoint p = parent ? parent->convertBaseToScreen(point_) : point_;
    NSSize size = view ? view->frame().size : NSZeroSize;
    const double w = size.width + 2 * viewMargin_ * s, h = size.height + 2 * viewMargin_ * s;
    const double g = static_cast<float>(distance_ + arrowHeight_ * s);
    const double i = arrowInset();
    const NSRect f = parent ? parent->frame() : v;
    const double halfW = static_cast<float>(w / 2), halfH = static_cast<float>(h / 2);

    int side = 1;
    if (p.y - h - g >= NSMinY(v))
        side = 1;
    else if (p.x + w + g < NSMaxX(v))
        side = 2;
    else if (p.x - w - g >= NSMinX(v))
        side = 0;
    else if (p.y + h + g < NSMaxY(v))
        side = 3;

    if (side == 0 || side == 2) {
        if (NSMinY(f) > p.y - halfH) {
            if (p.y + h - i < NSMaxY(v)) side = side == 0 ? 4 : 6;
        } else if (p.y + halfH >= NSMaxY(f)) {
            if (p.y - h + i >= NSMinY(v)) side = side == 0 ? 5 : 7;
        }
    } else {
        if (NSMinX(f) > p.x - halfW) {
            if (p.x + w - i < NSMaxX(v)) side = side == 1 ? 11 : 9;
        } else if (p.x + halfW >= NSMaxX(f)) {
            if (p.x - w + i >= NSMinX(v)) side = side == 1 ? 10 : 8;
        }
    }
    return side;
}

void AttachedWindowBase::setPoint(NSPoint point, int side) {
    point_ = point;
    side_ = side;
    ScreenUpdatesHeld held;
    updateGeometry();
    updateBackground();
}

void AttachedWindowBase::redisplay() {
    if (resizing_) return;
    resizing_ = true;
    {
        ScreenUpdatesHeld held;
        updateGeometry();
        updateBackground();
    }
    resizing_ = false;
}

// --- Background -----------------------------------------------------------------------------

Ref<NSBezierPath> AttachedWindowBase::backgroundPath() const {
    const float s = scale();
    const float r = cornerRadius_ * s, b = arrowBaseWidth_ * s, half = b / 2;
    const NSRect outer = NSInsetRect(viewFrame_, -viewMargin_ * s, -viewMargin_ * s);
    const double minX = std::ceil(static_cast<float>(NSMinX(outer) * s + 0.5f));
    const double maxX = std::floor(static_cast<float>(NSMaxX(outer) * s - 0.5f));
    const double minY = std::ceil(static_cast<float>(NSMinY(outer) * s + 0.5f));
    const double maxY = std::floor(static_cast<float>(NSMaxY(outer) * s - 0.5f));
    const double midX = static_cast<float>(NSMidX(outer) * s);
    const double midY = static_cast<float>(NSMidY(outer) * s);

    // The corner beside the arrow of a corner side is square unless asked to be round; this
    // follows the side alone, whether or not the arrow is drawn.
    const bool squareBeside = !drawsRoundCornerBesideArrow_;
    const bool round = r > 0;
    const bool topLeft = round && !(squareBeside && (side_ == 7 || side_ == 11));
    const bool topRight = round && !(squareBeside && (side_ == 5 || side_ == 10));
    const bool bottomRight = round && !(squareBeside && (side_ == 4 || side_ == 8));
    const bool bottomLeft = round && !(squareBeside && (side_ == 6 || side_ == 9));

    auto path = NSBezierPath::bezierPath();
    path->setLineJoinStyle(NSRoundLineJoinStyle);

    // Top edge, left to right.
    path->moveToPoint({topLeft ? minX + r : minX, maxY});
    const double topEnd = topRight ? maxX - r : maxX;
    if (side_ == 11) {
        appendArrowToPath(*path);
    } else if (side_ == 10) {
        path->lineToPoint({topEnd - b, maxY});
        appendArrowToPath(*path);
    } else if (side_ == 1) {
        path->lineToPoint({midX - half, maxY});
        appendArrowToPath(*path);
    }
    path->lineToPoint({topEnd, maxY});
    if (topRight) path->appendBezierPathWithArcFromPoint({maxX, maxY}, {maxX, maxY - r}, r);

    // Right edge, downward.
    const double rightEnd = bottomRight ? minY + r : minY;
    if (side_ == 5) {
        appendArrowToPath(*path);
    } else if (side_ == 4) {
        path->lineToPoint({maxX, rightEnd + b});
        appendArrowToPath(*path);
    } else if (side_ == 0) {
        path->lineToPoint({maxX, midY + half});
        appendArrowToPath(*path);
    }
    path->lineToPoint({maxX, rightEnd});
    if (bottomRight) path->appendBezierPathWithArcFromPoint({maxX, minY}, {maxX - r, minY}, r);

    // Bottom edge, right to left.
    const double bottomEnd = bottomLeft ? minX + r : minX;
    if (side_ == 8) {
        appendArrowToPath(*path);
    } else if (side_ == 9) {
        path->lineToPoint({bottomEnd + b, minY});
        appendArrowToPath(*path);
    } else if (side_ == 3) {
        path->lineToPoint({midX + half, minY});
        appendArrowToPath(*path);
    }
    path->lineToPoint({bottomEnd, minY});
    if (bottomLeft) path->appendBezierPathWithArcFromPoint({minX, minY}, {minX, minY + r}, r);

    // Left edge, upward.
    const double leftEnd = topLeft ? maxY - r : maxY;
    if (side_ == 6) {
        appendArrowToPath(*path);
    } else if (side_ == 7) {
        path->lineToPoint({minX, leftEnd - b});
        appendArrowToPath(*path);
    } else if (side_ == 2) {
        path->lineToPoint({minX, midY - half});
        appendArrowToPath(*path);
    }
    path->lineToPoint({minX, leftEnd});
    if (topLeft) path->appendBezierPathWithArcFromPoint({minX, maxY}, {minX + r, maxY}, r);

    path->closePath();
    return path;
}

void AttachedWindowBase::appendArrowToPath(NSBezierPath& path) const {
    if (!hasArrow_) return;
    const float s = scale();
    const double b = arrowBaseWidth_ * s, half = static_cast<float>(b / 2);
    const double h = arrowHeight_ * s;
    const NSPoint c = path.currentPoint();
    switch (side_) {
        case 1:
        case 10:
        case 11:  // top edge
            path.lineToPoint({c.x + half, c.y + h});
            path.lineToPoint({c.x + b, c.y});
            break;
        case 0:
        case 4:
        case 5:  // right edge
            path.lineToPoint({c.x + h, c.y - half});
            path.lineToPoint({c.x, c.y - b});
            break;
        case 3:
        case 8:
        case 9:  // bottom edge
            path.lineToPoint({c.x - half, c.y - h});
            path.lineToPoint({c.x - b, c.y});
            break;
        case 2:
        case 6:
        case 7:  // left edge
            path.lineToPoint({c.x - h, c.y + half});
            path.lineToPoint({c.x, c.y + b});
            break;
        default:
            break;
    }
}

Ref<NSColor> AttachedWindowBase::backgroundColorPatternImage() const {
    auto image = NSImage::initWithSize(frame().size);
    image->lockFocus();
    NSGraphicsContext::saveGraphicsState();
    auto path = backgroundPath();
    path->addClip();
    if (windowBackgroundColor_) {
        windowBackgroundColor_->setFill();
        path->fill();
    }
    if (borderWidth_ > 0 && borderColor_) {
        // Twice the width, of which the clip keeps the inner half.
        path->setLineWidth(2 * borderWidth_ * scale());
        borderColor_->setStroke();
        path->stroke();
    }
    NSGraphicsContext::restoreGraphicsState();
    image->unlockFocus();
    return NSColor::colorWithPatternImage(image);
}

void AttachedWindowBase::updateBackground() {
    ScreenUpdatesHeld held;
    NSWindow::setBackgroundColor(backgroundColorPatternImage());
    if (isVisible()) {
        display();
        invalidateShadow();
    }
}

// --- Accessors ------------------------------------------------------------------------------

float AttachedWindowBase::shortestOutlineSide() const {
    return 2 * viewMargin_ +
           static_cast<float>(std::min(viewFrame_.size.width, viewFrame_.size.height));
}

void AttachedWindowBase::setBorderColor(const Ref<NSColor>& color) {
    if (color == borderColor_) return;
    borderColor_ = color;  // colours are immutable: sharing is copying
    updateBackground();
}

void AttachedWindowBase::setBorderWidth(float width) {
    if (width == borderWidth_) return;
    borderWidth_ = std::min(width, viewMargin_);
    updateBackground();
}

void AttachedWindowBase::setViewMargin(float margin) {
    if (margin == viewMargin_) return;
    viewMargin_ = std::max(margin, 0.0f);
    setCornerRadius(cornerRadius_);
}

void AttachedWindowBase::setArrowBaseWidth(float width) {
    float limit = shortestOutlineSide() - cornerRadius_;
    if (drawsRoundCornerBesideArrow_) limit -= cornerRadius_;
    // A negative base would turn the arrow inside out.
    arrowBaseWidth_ = std::max(std::min(width, limit), 0.0f);
    redisplay();
}

void AttachedWindowBase::setArrowHeight(float height) {
    if (height == arrowHeight_) return;
    arrowHeight_ = height;
    redisplay();
}

void AttachedWindowBase::setHasArrow(float flag) {
    bool value = flag != 0;
    if (value == hasArrow_) return;
    hasArrow_ = value;
    updateBackground();
}

void AttachedWindowBase::setCornerRadius(float radius) {
    float limit = (shortestOutlineSide() - arrowBaseWidth_) / 2;
    cornerRadius_ = std::max(std::min(radius, limit), 0.0f);
    setArrowBaseWidth(arrowBaseWidth_);
}

void AttachedWindowBase::setDrawsRoundCornerBesideArrow(float flag) {
    bool value = flag != 0;
    if (value == drawsRoundCornerBesideArrow_) return;
    drawsRoundCornerBesideArrow_ = value;
    redisplay();
}

void AttachedWindowBase::setBackgroundColor(Ref<NSColor> color) {
    if (color == windowBackgroundColor_) return;
    windowBackgroundColor_ = std::move(color);
    updateBackground();
}

void AttachedWindowBase::setBackgroundImage(const Ref<NSImage>& image) {
    if (!image) return;
    setBackgroundColor(NSColor::colorWithPatternImage(image));
}

// --- Window behaviour -----------------------------------------------------------------------

bool AttachedWindowBase::validateMenuItem(NSMenuItem* item) {
    if (auto parent = window_.lock()) {
        if (auto* validator = dynamic_cast<NSMenuItemValidation*>(parent.get()))
            return validator->validateMenuItem(item);
        return true;
    }
    return true;
}

void AttachedWindowBase::performClose(NSObject* sender) {
    if (auto parent = window_.lock()) {
        parent->performClose(sender);
        return;
    }
    NSWindow::performClose(sender);
}

void AttachedWindowBase::close() {
    windowWillClose(nullptr);
    PopBaseWindow::close();
}

void AttachedWindowBase::windowWillClose(const Ref<NSNotification>&) {
    if (NSApp) NSApp->stopModal();
}

void AttachedWindowBase::windowDidResize(const Ref<NSNotification>&) {
    redisplay();
}

void AttachedWindowBase::closeMattachedWindow() {
    notifyWindowHidden();
}

void AttachedWindowBase::updateTrackingAreas() {
    NSView* content = contentView();
    if (!content) return;
    for (const auto& area : std::vector<Ref<NSTrackingArea>>(content->trackingAreas()))
        content->removeTrackingArea(area);
    auto owner = std::dynamic_pointer_cast<NSResponder>(weak_from_this().lock());
    auto area = NSTrackingArea::make(content->bounds(), kTrackingOptions, owner);
    if (!owner) area->setRawOwner(this);
    content->addTrackingArea(area);
}

void AttachedWindowBase::mouseEntered(NSEvent&) {
    notifyMouseInWindow(true);
}

void AttachedWindowBase::mouseExited(NSEvent&) {
    notifyMouseInWindow(false);
}

void AttachedWindowBase::registerClass() {
    ClassRegistry::shared()
        .registerClass<AttachedWindowBase, PopBaseWindow>("AttachedWindowBase")
        .method("windowDidResize:", &AttachedWindowBase::windowDidResize)
        .method("closeMattachedWindow", &AttachedWindowBase::closeMattachedWindow)
        .method("updateTrackingAreas", &AttachedWindowBase::updateTrackingAreas);
}
