#pragma once
// A scroller that draws only its knob, for laying over the right edge of a list. Every scroll,
// and the pointer entering or moving over it, keeps it fully opaque; a fade is scheduled 1.5 s
// after the last scroll and cancelled while the pointer is over it.

#include "platform/appkit/NSScroller.h"
#include "platform/appkit/NSTrackingArea.h"

class RFOverlayScroller : public NSScroller {
  public:
    static Ref<RFOverlayScroller> make(NSRect frame = NSZeroRect) {
        auto scroller = std::make_shared<RFOverlayScroller>();
        scroller->initWithFrame(frame);
        return scroller;
    }
    RFOverlayScroller() = default;
    ~RFOverlayScroller() override;

    /// Sets the frame, then runs commonInitializer (the scroller must be owned by a Ref).
    void initWithFrame(NSRect frame) override;
    /// Interface files: the platform's handling, then commonInitializer.
    void awakeFromNib() override;
    /// Tracks the pointer over the current bounds (entered-and-exited, moved, active in the
    /// active application), replacing an area that an earlier call added.
    void commonInitializer();
    /// The area commonInitializer added, or nullptr before it ran.
    const Ref<NSTrackingArea>& overlayTrackingArea() const { return trackingArea_; }

    /// Draws the knob only.
    void drawRect(NSRect dirtyRect) override;
    /// Draws nothing: the scroller has no track.
    void drawKnobSlotInRect(NSRect slotRect, bool highlight) override;

    /// The platform's handling; then opaque through the animator and the fade re-armed 1.5 s
    /// later.
    void setFloatValue(float value) override;
    /// Fades in over 0.1 s and cancels a pending fade.
    void mouseEntered(NSEvent& event) override;
    /// Fades at once.
    void mouseExited(NSEvent& event) override;
    /// Becomes opaque at once.
    void mouseMoved(NSEvent& event) override;
    /// Animates the alpha value to 1.0 over 0.3 s: the knob stays visible.
    virtual void fadeOut();

    /// True only for this class itself; subclasses answer false.
    virtual bool isCompatibleWithOverlayScrollers() const;
    /// The stand-in for the scroller width while an overlay scroll view lays out.
    static double zeroWidth() { return 0.0; }

    static void registerClass();

  private:
    /// Cancels a pending fadeOut of this scroller.
    void cancelFade();

    Ref<NSTrackingArea> trackingArea_;
};
