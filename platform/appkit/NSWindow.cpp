#include "platform/appkit/NSWindow.h"

#include <algorithm>

#include "platform/appkit/NSEvent.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/detail/CairoGraphics.h"

namespace {
NSWindow* gKeyWindow = nullptr;
std::vector<NSWindow*>& allWindows() {
    static std::vector<NSWindow*> windows;
    return windows;
}
}  // namespace

const std::vector<NSWindow*>& NSWindow::windows() {
    return allWindows();
}

NSWindow::~NSWindow() {
    if (gKeyWindow == this) gKeyWindow = nullptr;
    auto& all = allWindows();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    if (contentView_) {
        contentView_->setWindowRecursively(nullptr);
        contentView_->setNextResponder(nullptr);
    }
    if (backendWindow_) WindowBackend::shared().destroyWindow(backendWindow_);
}

void NSWindow::initWithContentRect(NSRect contentRect, NSWindowStyleMask style,
                                   NSBackingStoreType /*backing*/, bool /*defer*/) {
    styleMask_ = style;
    if (std::find(allWindows().begin(), allWindows().end(), this) == allWindows().end())
        allWindows().push_back(this);
    frame_ = frameRectForContentRect(contentRect);
    backendWindow_ = WindowBackend::shared().createWindow(this, frame_);
    setContentView(NSView::make());
}

void NSWindow::setContentView(const Ref<NSView>& view) {
    if (contentView_ == view) return;
    if (contentView_) {
        contentView_->setWindowRecursively(nullptr);
        contentView_->setNextResponder(nullptr);
    }
    contentView_ = view;
    if (view) {
        view->removeFromSuperview();
        NSRect content = contentRectForFrameRect(frame_);
        view->setFrame(NSMakeRect(0, 0, content.size.width, content.size.height));
        view->setNextResponder(this);
        view->setWindowRecursively(this);
    }
    needsDisplay_ = true;
    trackingDirty_ = true;
}

void NSWindow::setFrame(NSRect frame, bool display) {
    bool resized = frame.size != frame_.size, moved = frame.origin != frame_.origin;
    frame_ = frame;
    WindowBackend::shared().setWindowFrame(backendWindow_, frame_);
    if (resized && contentView_) {
        NSRect content = contentRectForFrameRect(frame_);
        contentView_->setFrameSize(content.size);
        needsDisplay_ = true;
    }
    auto delegate = delegate_.lock();
    if (delegate && resized) delegate->windowDidResize(this);
    if (delegate && moved) delegate->windowDidMove(this);
    if (display && visible_) displayIfNeeded();
}

void NSWindow::setFrameOrigin(NSPoint origin) {
    setFrame(NSRect{origin, frame_.size}, false);
}

void NSWindow::orderFront(NSObject*) {
    if (!visible_) {
        visible_ = true;
        WindowBackend::shared().setWindowVisible(backendWindow_, true);
        needsDisplay_ = true;
    }
    displayIfNeeded();
}

void NSWindow::makeKeyAndOrderFront(NSObject* sender) {
    orderFront(sender);
    makeKeyWindow();
}

void NSWindow::makeKeyWindow() {
    if (gKeyWindow == this) return;
    NSWindow* old = gKeyWindow;
    gKeyWindow = this;
    if (old) {
        if (auto d = old->delegate_.lock()) d->windowDidResignKey(old);
        old->trackingDirty_ = true;
    }
    if (auto d = delegate_.lock()) d->windowDidBecomeKey(this);
    trackingDirty_ = true;
}

void NSWindow::orderOut(NSObject*) {
    if (!visible_) return;
    visible_ = false;
    WindowBackend::shared().setWindowVisible(backendWindow_, false);
    if (gKeyWindow == this) gKeyWindow = nullptr;
}

void NSWindow::close() {
    if (auto d = delegate_.lock()) d->windowWillClose(this);
    orderOut(nullptr);
}

bool NSWindow::isKeyWindow() const {
    return gKeyWindow == this;
}

NSWindow* NSWindow::keyWindow() {
    return gKeyWindow;
}

NSWindowDelegate* NSWindow::delegate() const {
    return delegate_.lock().get();
}

void NSWindow::setBackgroundColor(Ref<NSColor> color) {
    backgroundColor_ = color ? std::move(color) : NSColor::windowBackgroundColor();
    needsDisplay_ = true;
}

void NSWindow::setOpaque(bool opaque) {
    opaque_ = opaque;
    needsDisplay_ = true;
}

NSPoint NSWindow::convertBaseToScreen(NSPoint p) const {
    NSRect content = contentRectForFrameRect(frame_);
    return {p.x + content.origin.x, p.y + content.origin.y};
}

NSPoint NSWindow::convertScreenToBase(NSPoint p) const {
    NSRect content = contentRectForFrameRect(frame_);
    return {p.x - content.origin.x, p.y - content.origin.y};
}

// --- First responder ------------------------------------------------------------------------

bool NSWindow::makeFirstResponder(NSResponder* responder) {
    if (!responder) responder = this;
    if (responder == firstResponder_) return true;
    if (auto* view = dynamic_cast<NSView*>(responder); view && view->window() != this) return false;
    if (responder != this && !responder->acceptsFirstResponder()) return false;
    if (!firstResponder_->resignFirstResponder()) return false;
    if (!responder->becomeFirstResponder()) {
        firstResponder_ = this;
        return false;
    }
    firstResponder_ = responder;
    return true;
}

void NSWindow::viewWillLeaveWindow(NSView* view) {
    if (auto* fr = dynamic_cast<NSView*>(firstResponder_); fr && fr->isDescendantOf(view))
        firstResponder_ = this;
    trackingDirty_ = true;
    needsDisplay_ = true;
}

// --- Events ---------------------------------------------------------------------------------

void NSWindow::sendEvent(NSEvent& event) {
    NSEventType type = event.type();
    bool isMouse = type == NSEventTypeLeftMouseDown || type == NSEventTypeLeftMouseUp ||
                   type == NSEventTypeRightMouseDown || type == NSEventTypeRightMouseUp ||
                   type == NSEventTypeMouseMoved || type == NSEventTypeLeftMouseDragged ||
                   type == NSEventTypeRightMouseDragged || type == NSEventTypeScrollWheel;
    if (isMouse) {
        mouseLocation_ = event.locationInWindow();
        mouseKnown_ = true;
        updateTrackingState(event.timestamp(), event.modifierFlags());
    }
    auto hit = [&]() -> NSView* {
        return contentView_ ? contentView_->hitTest(event.locationInWindow()) : nullptr;
    };
    auto retained = [](NSView* view) -> Ref<NSView> {
        return view ? std::static_pointer_cast<NSView>(view->shared_from_this()) : nullptr;
    };
    switch (type) {
        case NSEventTypeLeftMouseDown:
        case NSEventTypeRightMouseDown: {
            if (!isKeyWindow() && visible_) makeKeyWindow();
            Ref<NSView> view = retained(hit());
            (type == NSEventTypeLeftMouseDown ? mouseDownView_ : rightMouseDownView_) = view;
            if (!view) return;
            if (view->acceptsFirstResponder()) makeFirstResponder(view.get());
            if (type == NSEventTypeLeftMouseDown)
                view->mouseDown(event);
            else
                view->rightMouseDown(event);
            return;
        }
        case NSEventTypeLeftMouseDragged:
            if (auto view = mouseDownView_.lock()) view->mouseDragged(event);
            return;
        case NSEventTypeRightMouseDragged:
            if (auto view = rightMouseDownView_.lock()) view->rightMouseDragged(event);
            return;
        case NSEventTypeLeftMouseUp:
            if (auto view = mouseDownView_.lock()) {
                mouseDownView_.reset();
                view->mouseUp(event);
            }
            return;
        case NSEventTypeRightMouseUp:
            if (auto view = rightMouseDownView_.lock()) {
                rightMouseDownView_.reset();
                view->rightMouseUp(event);
            }
            return;
        case NSEventTypeScrollWheel:
            if (auto view = retained(hit())) view->scrollWheel(event);
            return;
        case NSEventTypeMouseMoved: {
            std::vector<std::pair<Ref<NSTrackingArea>, NSView*>> areas;
            if (contentView_) collectAreas(contentView_.get(), areas);
            for (auto& [area, view] : areas) {
                if (!(area->options() & NSTrackingMouseMoved) || !areaActive(*area, view)) continue;
                const NSTrackingArea* identity = area.get();
                bool inside =
                    std::any_of(insideAreas_.begin(), insideAreas_.end(),
                                [identity](const InsideArea& a) { return a.identity == identity; });
                if (inside)
                    sendToArea(area, type, event.modifierFlags(), event.timestamp(), &event);
            }
            return;
        }
        case NSEventTypeKeyDown:
            firstResponder_->keyDown(event);
            return;
        case NSEventTypeKeyUp:
            firstResponder_->keyUp(event);
            return;
        case NSEventTypeFlagsChanged:
            firstResponder_->flagsChanged(event);
            return;
        default:
            return;
    }
}

void NSWindow::collectAreas(NSView* view,
                            std::vector<std::pair<Ref<NSTrackingArea>, NSView*>>& out) {
    if (view->isHidden()) return;
    for (auto& area : view->trackingAreas())
        out.emplace_back(area, view);
    for (auto& sub : view->subviews())
        collectAreas(sub.get(), out);
}

bool NSWindow::areaActive(const NSTrackingArea& area, NSView* view) const {
    auto options = area.options();
    if (options & (NSTrackingActiveAlways | NSTrackingActiveInActiveApp)) return visible_;
    if (options & NSTrackingActiveInKeyWindow) return visible_ && isKeyWindow();
    if (options & NSTrackingActiveWhenFirstResponder)
        return visible_ && isKeyWindow() && firstResponder_ == view;
    return false;
}

void NSWindow::sendToArea(const Ref<NSTrackingArea>& area, NSEventType type,
                          NSEventModifierFlags flags, double timestamp, NSEvent* moved) {
    Ref<NSResponder> owner = area->owner();
    NSResponder* target = owner ? owner.get() : area->rawOwner();
    if (!target) return;
    if (moved) {
        target->mouseMoved(*moved);
        return;
    }
    auto event = NSEvent::enterExitEventWithType(type, mouseLocation_, flags, timestamp, this,
                                                 area->tag(), area, area->userData());
    if (type == NSEventTypeMouseEntered)
        target->mouseEntered(*event);
    else
        target->mouseExited(*event);
}

void NSWindow::updateTrackingState(double timestamp, NSEventModifierFlags flags) {
    trackingDirty_ = false;
    std::vector<std::pair<Ref<NSTrackingArea>, NSView*>> areas;
    if (contentView_ && contentView_->window() == this) collectAreas(contentView_.get(), areas);
    std::vector<Ref<NSTrackingArea>> nowInside;
    for (auto& [area, view] : areas) {
        if (!(area->options() & NSTrackingMouseEnteredAndExited) &&
            !(area->options() & NSTrackingMouseMoved))
            continue;
        if (!mouseKnown_ || !areaActive(*area, view)) continue;
        NSRect rect =
            (area->options() & NSTrackingInVisibleRect) ? view->visibleRect() : area->rect();
        NSPoint local = view->convertPoint(mouseLocation_, nullptr);
        if (view->mouse(local, rect)) nowInside.push_back(area);
    }
    auto wasInside = [&](NSTrackingArea* a) {
        return std::any_of(insideAreas_.begin(), insideAreas_.end(),
                           [&](const InsideArea& in) { return in.identity == a; });
    };
    auto isInside = [&](NSTrackingArea* a) {
        return std::any_of(nowInside.begin(), nowInside.end(),
                           [&](const Ref<NSTrackingArea>& in) { return in.get() == a; });
    };
    std::vector<InsideArea> previous = std::move(insideAreas_);
    insideAreas_.clear();
    for (auto& area : nowInside)
        insideAreas_.push_back({area, area.get()});
    // Areas that assume the mouse is inside at first count as inside from their first check.
    for (auto& [area, view] : areas) {
        if (!(area->options() & NSTrackingAssumeInside)) continue;
        const NSTrackingArea* identity = area.get();
        bool seen = std::any_of(previous.begin(), previous.end(), [identity](const InsideArea& in) {
            return in.identity == identity;
        });
        if (!seen && !isInside(area.get()) && !wasInside(area.get()))
            previous.push_back({area, area.get()});
    }
    for (auto& in : previous) {
        if (isInside(in.identity)) continue;
        if (auto area = in.area.lock()) {
            if (area->options() & NSTrackingMouseEnteredAndExited)
                sendToArea(area, NSEventTypeMouseExited, flags, timestamp, nullptr);
        }
    }
    for (auto& area : nowInside) {
        bool before = std::any_of(previous.begin(), previous.end(),
                                  [&](const InsideArea& in) { return in.identity == area.get(); });
        if (!before && (area->options() & NSTrackingMouseEnteredAndExited))
            sendToArea(area, NSEventTypeMouseEntered, flags, timestamp, nullptr);
    }
}

// --- Drawing --------------------------------------------------------------------------------

void NSWindow::displayIfNeeded() {
    if (trackingDirty_ && mouseKnown_) updateTrackingState(0, 0);
    if (needsDisplay_) display();
}

void NSWindow::display() {
    needsDisplay_ = false;
    if (!visible_) return;
    auto& backend = WindowBackend::shared();
    Ref<NSGraphicsContext> context = backend.beginFrame(backendWindow_);
    if (!context) return;
    surface_ = context;
    cairo_t* cr = platform::detail::cairoOf(*context);
    context->saveState();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    Ref<NSColor> background = backgroundColor_;
    if (!opaque_ || background->alphaComponent() < 1) {
        cairo_set_source_rgba(cr, 0, 0, 0, 0);
        cairo_paint(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    }
    platform::detail::setSourceColor(cr, background);
    cairo_paint(cr);
    cairo_restore(cr);
    auto previous = NSGraphicsContext::currentContext();
    NSGraphicsContext::setCurrentContext(context);
    // NOTE: the whole window is redrawn whenever anything in it is dirty.
    if (contentView_) contentView_->drawHierarchy(*context, false);
    NSGraphicsContext::setCurrentContext(previous);
    context->restoreState();
    if (contentView_) contentView_->clearNeedsDisplayRecursively();
    backend.presentFrame(backendWindow_);
}
