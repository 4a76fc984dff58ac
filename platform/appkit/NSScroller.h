#pragma once
// Scrollers: a knob in a slot that shows which part of a document is visible and lets the user
// drag it or page by clicking the slot. Vertical when taller than wide; value 0 is the top (or
// left) end, 1 the bottom (or right) end.

#include <functional>
#include <optional>

#include "platform/appkit/NSControl.h"

class NSScrollView;

enum NSScrollerStyle : long {
    NSScrollerStyleLegacy = 0,
    NSScrollerStyleOverlay = 1,
};

enum NSScrollerPart : unsigned long {
    NSScrollerNoPart = 0,
    NSScrollerDecrementPage = 1,
    NSScrollerKnob = 2,
    NSScrollerIncrementPage = 3,
    NSScrollerDecrementLine = 4,
    NSScrollerIncrementLine = 5,
    NSScrollerKnobSlot = 6,
};

enum NSScrollerKnobStyle : long {
    NSScrollerKnobStyleDefault = 0,
    NSScrollerKnobStyleDark = 1,
    NSScrollerKnobStyleLight = 2,
};

class NSScroller : public NSControl {
  public:
    /// Answers a width for a size and style, or nullopt to let the platform answer.
    using WidthHook = std::function<std::optional<double>(NSControlSize, NSScrollerStyle)>;

    static Ref<NSScroller> make(NSRect frame = NSZeroRect) {
        auto scroller = std::make_shared<NSScroller>();
        scroller->initWithFrame(frame);
        return scroller;
    }
    NSScroller() = default;
    ~NSScroller() override;

    // The class-level width.
    /// The thickness of scrollers of `size` and `style`: the installed hook's answer when it
    /// gives one, else the platform's. Every scroll view lays out with it.
    static double scrollerWidthForControlSize(NSControlSize size, NSScrollerStyle style);
    /// Installs `hook` (nullptr: none) and returns the previous one, so that a caller can stand
    /// in for the width while it lays out and put the previous hook back afterwards. Main
    /// thread only.
    static WidthHook setScrollerWidthHook(WidthHook hook);
    /// The platform's own width, ignoring any hook.
    static double platformScrollerWidth(NSControlSize size, NSScrollerStyle style);

    // Value and proportion.
    /// The knob position, 0 (top or left) to 1 (bottom or right).
    double doubleValue() const { return value_; }
    float floatValue() const { return static_cast<float>(value_); }
    /// Sets the position (clamped to 0..1) and redraws when it changed.
    virtual void setDoubleValue(double value);
    /// The scroll view reports every scroll through this; subclasses may override it.
    virtual void setFloatValue(float value);
    /// The visible share of the document, 0..1; 1 (or more) leaves no knob to drag.
    double knobProportion() const { return proportion_; }
    void setKnobProportion(double proportion);
    /// Whether there is a knob to use: enabled and a proportion below 1.
    bool isUsable() const;

    // Look.
    NSScrollerStyle scrollerStyle() const { return style_; }
    void setScrollerStyle(NSScrollerStyle style);
    NSScrollerKnobStyle knobStyle() const { return knobStyle_; }
    void setKnobStyle(NSScrollerKnobStyle style);
    /// Whether the scroller runs up and down (taller than wide).
    bool isVertical() const;

    // Parts.
    /// The part the last mouse-down hit (NSScrollerNoPart outside tracking).
    NSScrollerPart hitPart() const { return hitPart_; }
    /// The rectangle of `part` in the scroller's coordinates (empty for parts it lacks).
    NSRect rectForPart(NSScrollerPart part) const;
    /// The part under `point` (the scroller's coordinates).
    NSScrollerPart testPart(NSPoint point) const;

    // Drawing.
    /// Draws the slot, then the knob.
    void drawRect(NSRect dirtyRect) override;
    /// Draws the knob in rectForPart(NSScrollerKnob).
    virtual void drawKnob();
    /// Draws the slot the knob runs in.
    virtual void drawKnobSlotInRect(NSRect slotRect, bool highlight);
    bool isFlipped() const override { return true; }

    // Events.
    /// Drags the knob, or pages once towards the click in the slot; each change of value sends
    /// the action and tells the scroll view.
    void mouseDown(NSEvent& event) override;

    // Platform-internal.
    /// The scroll view told of user scrolls (raw; set by the scroll view).
    void setOwningScrollView(NSScrollView* scrollView) { scrollView_ = scrollView; }
    NSScrollView* owningScrollView() const { return scrollView_; }

  private:
    void userChanged();
    void trackKnob(NSPoint start);
    /// The slot length the knob can travel and the knob's length.
    double slotLength() const;
    double knobLength() const;

    double value_ = 0;
    double proportion_ = 0;
    NSScrollerStyle style_ = NSScrollerStyleLegacy;
    NSScrollerKnobStyle knobStyle_ = NSScrollerKnobStyleDefault;
    NSScrollerPart hitPart_ = NSScrollerNoPart;
    NSScrollView* scrollView_ = nullptr;
};
