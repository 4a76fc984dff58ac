#pragma once
// Input events: mouse, key, scroll and tracking-area events, with the platform's type and
// modifier values.

#include <cstdint>
#include <string>

#include "platform/foundation/NSGeometry.h"
#include "platform/foundation/Ref.h"

class NSObject;
class NSWindow;
class NSTrackingArea;

enum NSEventType : unsigned long {
    NSEventTypeLeftMouseDown = 1,
    NSEventTypeLeftMouseUp = 2,
    NSEventTypeRightMouseDown = 3,
    NSEventTypeRightMouseUp = 4,
    NSEventTypeMouseMoved = 5,
    NSEventTypeLeftMouseDragged = 6,
    NSEventTypeRightMouseDragged = 7,
    NSEventTypeMouseEntered = 8,
    NSEventTypeMouseExited = 9,
    NSEventTypeKeyDown = 10,
    NSEventTypeKeyUp = 11,
    NSEventTypeFlagsChanged = 12,
    NSEventTypeApplicationDefined = 15,
    NSEventTypeScrollWheel = 22,
    // The older spellings.
    NSLeftMouseDown = 1,
    NSLeftMouseUp = 2,
    NSRightMouseDown = 3,
    NSRightMouseUp = 4,
    NSMouseMoved = 5,
    NSLeftMouseDragged = 6,
    NSRightMouseDragged = 7,
    NSMouseEntered = 8,
    NSMouseExited = 9,
    NSKeyDown = 10,
    NSKeyUp = 11,
    NSFlagsChanged = 12,
    NSApplicationDefined = 15,
    NSScrollWheel = 22,
};

using NSEventModifierFlags = unsigned long;
inline constexpr NSEventModifierFlags NSEventModifierFlagCapsLock = 0x10000;
inline constexpr NSEventModifierFlags NSEventModifierFlagShift = 0x20000;
inline constexpr NSEventModifierFlags NSEventModifierFlagControl = 0x40000;
inline constexpr NSEventModifierFlags NSEventModifierFlagOption = 0x80000;
inline constexpr NSEventModifierFlags NSEventModifierFlagCommand = 0x100000;
inline constexpr NSEventModifierFlags NSAlphaShiftKeyMask = NSEventModifierFlagCapsLock;
inline constexpr NSEventModifierFlags NSShiftKeyMask = NSEventModifierFlagShift;
inline constexpr NSEventModifierFlags NSControlKeyMask = NSEventModifierFlagControl;
inline constexpr NSEventModifierFlags NSAlternateKeyMask = NSEventModifierFlagOption;
inline constexpr NSEventModifierFlags NSCommandKeyMask = NSEventModifierFlagCommand;
inline constexpr NSEventModifierFlags NSDeviceIndependentModifierFlagsMask = 0xffff0000;
inline constexpr NSEventModifierFlags NSEventModifierFlagDeviceIndependentFlagsMask =
    NSDeviceIndependentModifierFlagsMask;

class NSEvent {
  private:
    struct Key {};

  public:
    /// A mouse button or movement event at `location` in the window's base coordinates.
    static Ref<NSEvent> mouseEventWithType(NSEventType type, NSPoint location,
                                           NSEventModifierFlags flags, double timestamp,
                                           NSWindow* window, long clickCount = 1);
    /// A key event; `keyCode` is the platform's virtual key code.
    static Ref<NSEvent> keyEventWithType(NSEventType type, NSPoint location,
                                         NSEventModifierFlags flags, double timestamp,
                                         NSWindow* window, std::string characters,
                                         std::string charactersIgnoringModifiers, bool isARepeat,
                                         unsigned short keyCode);
    /// A scroll-wheel event; positive deltaY scrolls content down (wheel away from the user).
    static Ref<NSEvent> scrollEventWithLocation(NSPoint location, NSEventModifierFlags flags,
                                                double timestamp, NSWindow* window, double deltaX,
                                                double deltaY);
    /// An entered or exited event for `area` (its user data travels with the event).
    static Ref<NSEvent> enterExitEventWithType(NSEventType type, NSPoint location,
                                               NSEventModifierFlags flags, double timestamp,
                                               NSWindow* window, long trackingNumber,
                                               const Ref<NSTrackingArea>& area, void* userData);

    explicit NSEvent(Key) {}

    NSEventType type() const { return type_; }
    NSEventModifierFlags modifierFlags() const { return flags_; }
    /// The location in the window's base coordinates (origin bottom-left of the content).
    NSPoint locationInWindow() const { return location_; }
    /// The window of the event; nullptr once the window is gone or for window-less events.
    NSWindow* window() const;
    double timestamp() const { return timestamp_; }
    long clickCount() const { return clickCount_; }
    const std::string& characters() const { return characters_; }
    const std::string& charactersIgnoringModifiers() const { return charactersIgnoring_; }
    bool isARepeat() const { return repeat_; }
    unsigned short keyCode() const { return keyCode_; }
    double deltaX() const { return deltaX_; }
    double deltaY() const { return deltaY_; }
    /// Entered/exited events: the tracking area (nullptr once it is freed).
    Ref<NSTrackingArea> trackingArea() const { return area_.lock(); }
    long trackingNumber() const { return trackingNumber_; }
    void* userData() const { return userData_; }

  private:
    static Ref<NSEvent> make(NSEventType type, NSPoint location, NSEventModifierFlags flags,
                             double timestamp, NSWindow* window);

    NSEventType type_ = NSEventTypeApplicationDefined;
    NSEventModifierFlags flags_ = 0;
    NSPoint location_;
    double timestamp_ = 0;
    std::weak_ptr<NSObject> window_;
    long clickCount_ = 0;
    std::string characters_, charactersIgnoring_;
    bool repeat_ = false;
    unsigned short keyCode_ = 0;
    double deltaX_ = 0, deltaY_ = 0;
    WeakRef<NSTrackingArea> area_;
    long trackingNumber_ = 0;
    void* userData_ = nullptr;
    /// Left mouse-ups the application had taken from its queue when it took this event
    /// (-1: the event never went through the queue).
    long mouseUpsBefore_ = -1;
    friend class NSApplication;
};
