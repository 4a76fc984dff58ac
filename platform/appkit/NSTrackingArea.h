#pragma once
// A region of a view whose owner hears when the mouse enters, leaves or moves in it.

#include <map>
#include <string>

#include "platform/foundation/NSGeometry.h"
#include "platform/foundation/Ref.h"

class NSResponder;
class NSView;

using NSTrackingAreaOptions = unsigned long;
inline constexpr NSTrackingAreaOptions NSTrackingMouseEnteredAndExited = 0x01;
inline constexpr NSTrackingAreaOptions NSTrackingMouseMoved = 0x02;
inline constexpr NSTrackingAreaOptions NSTrackingCursorUpdate = 0x04;
inline constexpr NSTrackingAreaOptions NSTrackingActiveWhenFirstResponder = 0x10;
inline constexpr NSTrackingAreaOptions NSTrackingActiveInKeyWindow = 0x20;
inline constexpr NSTrackingAreaOptions NSTrackingActiveInActiveApp = 0x40;
inline constexpr NSTrackingAreaOptions NSTrackingActiveAlways = 0x80;
inline constexpr NSTrackingAreaOptions NSTrackingAssumeInside = 0x100;
inline constexpr NSTrackingAreaOptions NSTrackingInVisibleRect = 0x200;
inline constexpr NSTrackingAreaOptions NSTrackingEnabledDuringMouseDrag = 0x400;

/// The tag that addTrackingRect returns.
using NSTrackingRectTag = long;

class NSTrackingArea {
  public:
    /// An area over `rect` (in the view's coordinates; ignored with NSTrackingInVisibleRect).
    static Ref<NSTrackingArea> make(NSRect rect, NSTrackingAreaOptions options,
                                    const Ref<NSResponder>& owner,
                                    std::map<std::string, std::string> userInfo = {});

    NSRect rect() const { return rect_; }
    NSTrackingAreaOptions options() const { return options_; }
    /// The object that gets the events (not retained).
    Ref<NSResponder> owner() const { return owner_.lock(); }
    const std::map<std::string, std::string>& userInfo() const { return userInfo_; }

    /// addTrackingRect areas: the caller's data and the tag (0 for other areas).
    void* userData() const { return userData_; }
    NSTrackingRectTag tag() const { return tag_; }

    // Platform-internal: set by the view that holds the area.
    void setTrackingRectData(void* data, NSTrackingRectTag tag) {
        userData_ = data;
        tag_ = tag;
    }
    /// The owner as a raw pointer, for owners that are not held by a Ref (the view itself).
    void setRawOwner(NSResponder* owner) { rawOwner_ = owner; }
    NSResponder* rawOwner() const { return rawOwner_; }

  private:
    NSRect rect_;
    NSTrackingAreaOptions options_ = 0;
    WeakRef<NSResponder> owner_;
    NSResponder* rawOwner_ = nullptr;
    std::map<std::string, std::string> userInfo_;
    void* userData_ = nullptr;
    NSTrackingRectTag tag_ = 0;
};
