#pragma once
// Progress indicators: a bar that fills from its minimum to its maximum value, or moves while
// indeterminate, and a spinner. Animation runs on a run-loop timer that exists only while the
// indicator animates and is on screen, so an idle application spends no time on it.

#include "platform/appkit/NSCell.h"
#include "platform/appkit/NSView.h"

class NSTimer;

enum NSProgressIndicatorStyle : unsigned long {
    NSProgressIndicatorStyleBar = 0,
    NSProgressIndicatorStyleSpinning = 1,
    NSProgressIndicatorBarStyle = 0,
    NSProgressIndicatorSpinningStyle = 1,
};

class NSProgressIndicator : public NSView {
  public:
    static Ref<NSProgressIndicator> make(NSRect frame = NSZeroRect) {
        auto indicator = std::make_shared<NSProgressIndicator>();
        indicator->initWithFrame(frame);
        return indicator;
    }
    NSProgressIndicator() = default;
    ~NSProgressIndicator() override;

    /// Seconds between two animation frames.
    static constexpr double kAnimationInterval = 1.0 / 12;

    NSProgressIndicatorStyle style() const { return style_; }
    void setStyle(NSProgressIndicatorStyle style);
    bool isIndeterminate() const { return indeterminate_; }
    void setIndeterminate(bool indeterminate);
    NSControlSize controlSize() const { return controlSize_; }
    void setControlSize(NSControlSize size);
    bool isBezeled() const { return bezeled_; }
    void setBezeled(bool bezeled) { bezeled_ = bezeled; }

    // The value, for determinate bars.
    double minValue() const { return minValue_; }
    void setMinValue(double value);
    double maxValue() const { return maxValue_; }
    void setMaxValue(double value);
    double doubleValue() const { return doubleValue_; }
    /// Stored as given (NaN reads as the minimum); drawing clamps it to the range.
    void setDoubleValue(double value);
    /// Adds `delta` to the value.
    void incrementBy(double delta);
    /// The filled part of the bar, 0 to 1.
    double fraction() const;

    // Animation.
    /// Starts animating: a timer in the common modes redraws every kAnimationInterval while
    /// the indicator is visible in a visible window.
    void startAnimation(NSObject* sender);
    /// Stops animating and drops the timer.
    void stopAnimation(NSObject* sender);
    bool isAnimating() const { return animating_; }
    bool isDisplayedWhenStopped() const { return displayedWhenStopped_; }
    /// Whether a stopped spinner (or a stopped indeterminate bar) still draws.
    void setDisplayedWhenStopped(bool displayed);
    bool usesThreadedAnimation() const { return usesThreadedAnimation_; }
    /// Stored only: animation always runs on the main run loop.
    void setUsesThreadedAnimation(bool uses) { usesThreadedAnimation_ = uses; }
    /// Whether the animation timer is armed now.
    bool isAnimationTimerArmed() const;
    /// The current animation frame.
    int animationStep() const { return step_; }

    /// Resizes to the natural thickness of the style (bars keep their width).
    void sizeToFit();

    void drawRect(NSRect dirtyRect) override;
    void viewDidMoveToWindow() override;

  private:
    bool shouldRunTimer() const;
    void updateTimer();
    void tick();

    NSProgressIndicatorStyle style_ = NSProgressIndicatorStyleBar;
    bool indeterminate_ = true;
    NSControlSize controlSize_ = NSControlSizeRegular;
    bool bezeled_ = true;
    double minValue_ = 0;
    double maxValue_ = 100;
    double doubleValue_ = 0;
    bool animating_ = false;
    bool displayedWhenStopped_ = true;
    bool usesThreadedAnimation_ = false;
    int step_ = 0;
    Ref<NSTimer> timer_;
};
