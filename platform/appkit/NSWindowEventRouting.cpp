#include <algorithm>

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/NSWindowFrameView.h"

// Input routing of windows: the view under a click, the first responder for keys, tracking
// areas for movement, and window dragging by the title bar or the background.

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
        return frameView_ ? frameView_->hitTest(event.locationInWindow()) : nullptr;
    };
    auto retained = [](NSView* view) -> Ref<NSView> {
        return view ? std::static_pointer_cast<NSView>(view->shared_from_this()) : nullptr;
    };
    switch (type) {
        case NSEventTypeLeftMouseDown:
        case NSEventTypeRightMouseDown: {
            if (!isKeyWindow() && visible_) makeKeyWindow();
            if (ignoresMouseEvents_) return;
            Ref<NSView> view = retained(hit());
            if (type == NSEventTypeLeftMouseDown) {
                // The view still gets the click; the drags that follow move the window.
                windowDrag_ = shouldDragWindow(view.get(), event.locationInWindow());
                if (windowDrag_) dragPoint_ = screenPointOf(event);
            }
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
            if (windowDrag_) {
                NSPoint now = screenPointOf(event);
                setFrameOrigin({frame_.origin.x + now.x - dragPoint_.x,
                                frame_.origin.y + now.y - dragPoint_.y});
                dragPoint_ = now;
                return;
            }
            if (auto view = mouseDownView_.lock()) view->mouseDragged(event);
            return;
        case NSEventTypeRightMouseDragged:
            if (auto view = rightMouseDownView_.lock()) view->rightMouseDragged(event);
            return;
        case NSEventTypeLeftMouseUp:
            windowDrag_ = false;
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
            collectAreas(frameView_.get(), areas);
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
    if (frameView_) collectAreas(frameView_.get(), areas);
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

bool NSWindow::performKeyEquivalent(NSEvent& event) {
    return frameView_ && frameView_->performKeyEquivalent(event);
}

bool NSWindow::shouldDragWindow(NSView* hit, NSPoint location) const {
    if (!movable_ || (styleMask_ & NSWindowStyleMaskFullScreen)) return false;
    if (hit == frameView_.get() || !hit) {
        // The bare title bar always drags; the rest of the frame only for background moves.
        NSPoint local = frameView_->convertPoint(location, nullptr);
        if (NSPointInRect(local, frameView_->titleBarRect())) return true;
        return movableByBackground_ && hit;
    }
    return movableByBackground_ && hit->mouseDownCanMoveWindow();
}

NSPoint NSWindow::screenPointOf(const NSEvent& event) const {
    // Event locations are relative to where the window was when each event was made; the
    // pointer's own screen position, when the system tells it, does not lag behind a move.
    if (auto global = WindowBackend::shared().mouseLocationOnScreen()) return *global;
    return convertBaseToScreen(event.locationInWindow());
}
