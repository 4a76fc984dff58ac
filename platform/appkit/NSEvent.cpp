#include "platform/appkit/NSEvent.h"

#include "platform/appkit/NSWindow.h"

Ref<NSEvent> NSEvent::make(NSEventType type, NSPoint location, NSEventModifierFlags flags,
                           double timestamp, NSWindow* window) {
    auto event = std::make_shared<NSEvent>(Key{});
    event->type_ = type;
    event->location_ = location;
    event->flags_ = flags;
    event->timestamp_ = timestamp;
    if (window) event->window_ = window->weak_from_this();
    return event;
}

Ref<NSEvent> NSEvent::mouseEventWithType(NSEventType type, NSPoint location,
                                         NSEventModifierFlags flags, double timestamp,
                                         NSWindow* window, long clickCount) {
    auto event = make(type, location, flags, timestamp, window);
    event->clickCount_ = clickCount;
    return event;
}

Ref<NSEvent> NSEvent::keyEventWithType(NSEventType type, NSPoint location,
                                       NSEventModifierFlags flags, double timestamp,
                                       NSWindow* window, std::string characters,
                                       std::string charactersIgnoringModifiers, bool isARepeat,
                                       unsigned short keyCode) {
    auto event = make(type, location, flags, timestamp, window);
    event->characters_ = std::move(characters);
    event->charactersIgnoring_ = std::move(charactersIgnoringModifiers);
    event->repeat_ = isARepeat;
    event->keyCode_ = keyCode;
    return event;
}

Ref<NSEvent> NSEvent::scrollEventWithLocation(NSPoint location, NSEventModifierFlags flags,
                                              double timestamp, NSWindow* window, double deltaX,
                                              double deltaY) {
    auto event = make(NSEventTypeScrollWheel, location, flags, timestamp, window);
    event->deltaX_ = deltaX;
    event->deltaY_ = deltaY;
    return event;
}

Ref<NSEvent> NSEvent::enterExitEventWithType(NSEventType type, NSPoint location,
                                             NSEventModifierFlags flags, double timestamp,
                                             NSWindow* window, long trackingNumber,
                                             const Ref<NSTrackingArea>& area, void* userData) {
    auto event = make(type, location, flags, timestamp, window);
    event->trackingNumber_ = trackingNumber;
    event->area_ = area;
    event->userData_ = userData;
    return event;
}

NSWindow* NSEvent::window() const {
    return static_cast<NSWindow*>(window_.lock().get());
}
