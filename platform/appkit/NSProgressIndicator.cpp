#include "platform/appkit/NSProgressIndicator.h"

#include <algorithm>
#include <cmath>

#include "platform/appkit/NSWindow.h"
#include "platform/appkit/theme/ProgressTheme.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/foundation/NSTimer.h"

namespace theme = platform::theme;

NSProgressIndicator::~NSProgressIndicator() {
    if (timer_) timer_->invalidate();
}

void NSProgressIndicator::setStyle(NSProgressIndicatorStyle style) {
    if (style_ == style) return;
    style_ = style;
    setNeedsDisplay(true);
}

void NSProgressIndicator::setIndeterminate(bool indeterminate) {
    if (indeterminate_ == indeterminate) return;
    indeterminate_ = indeterminate;
    updateTimer();
    setNeedsDisplay(true);
}

void NSProgressIndicator::setControlSize(NSControlSize size) {
    controlSize_ = size;
    setNeedsDisplay(true);
}

void NSProgressIndicator::setMinValue(double value) {
    if (std::isnan(value)) return;
    minValue_ = value;
    setNeedsDisplay(true);
}

void NSProgressIndicator::setMaxValue(double value) {
    if (std::isnan(value)) return;
    maxValue_ = value;
    setNeedsDisplay(true);
}

void NSProgressIndicator::setDoubleValue(double value) {
    doubleValue_ = std::isnan(value) ? minValue_ : value;
    if (!indeterminate_) setNeedsDisplay(true);
}

void NSProgressIndicator::incrementBy(double delta) {
    setDoubleValue(doubleValue_ + delta);
}

double NSProgressIndicator::fraction() const {
    double span = maxValue_ - minValue_;
    // An empty range is full once the value reaches it; an inverted one shows nothing.
    if (!(span > 0)) return span == 0 && doubleValue_ >= maxValue_ ? 1 : 0;
    return std::clamp((doubleValue_ - minValue_) / span, 0.0, 1.0);
}

// --- Animation ------------------------------------------------------------------------------

void NSProgressIndicator::startAnimation(NSObject*) {
    if (animating_) return;
    animating_ = true;
    updateTimer();
    setNeedsDisplay(true);
}

void NSProgressIndicator::stopAnimation(NSObject*) {
    if (!animating_) return;
    animating_ = false;
    updateTimer();
    setNeedsDisplay(true);
}

void NSProgressIndicator::setDisplayedWhenStopped(bool displayed) {
    displayedWhenStopped_ = displayed;
    setNeedsDisplay(true);
}

bool NSProgressIndicator::isAnimationTimerArmed() const {
    return timer_ && timer_->isValid();
}

bool NSProgressIndicator::shouldRunTimer() const {
    // Determinate bars do not move; hidden indicators and closed windows show nothing.
    if (!animating_) return false;
    if (style_ == NSProgressIndicatorStyleBar && !indeterminate_) return false;
    NSWindow* w = window();
    return w && w->isVisible() && !isHiddenOrHasHiddenAncestor();
}

void NSProgressIndicator::updateTimer() {
    bool run = shouldRunTimer();
    if (run == isAnimationTimerArmed()) return;
    if (!run) {
        timer_->invalidate();
        timer_.reset();
        return;
    }
    WeakRef<NSObject> weak = weak_from_this();
    timer_ = NSTimer::timerWithTimeInterval(kAnimationInterval, true, [weak](NSTimer& timer) {
        auto self = std::static_pointer_cast<NSProgressIndicator>(weak.lock());
        if (!self) {
            timer.invalidate();
            return;
        }
        self->tick();
    });
    NSRunLoop::mainRunLoop().addTimer(timer_, NSRunLoopCommonModes);
}

void NSProgressIndicator::tick() {
    // Being hidden or ordered out has no hook of its own: the first tick after it stops the
    // timer, and the next drawing on screen arms it again.
    if (!shouldRunTimer()) {
        updateTimer();
        return;
    }
    step_ = (step_ + 1) % theme::kProgressAnimationSteps;
    setNeedsDisplay(true);
}

void NSProgressIndicator::viewDidMoveToWindow() {
    updateTimer();
}

void NSProgressIndicator::sizeToFit() {
    NSSize size = frame().size;
    double side = controlSize_ == NSControlSizeRegular ? 32
                  : controlSize_ == NSControlSizeSmall ? 16
                                                       : 10;
    if (style_ == NSProgressIndicatorStyleSpinning)
        size = {side, side};
    else
        size.height = controlSize_ == NSControlSizeRegular ? 20 : 12;
    setFrameSize(size);
}

// --- Drawing --------------------------------------------------------------------------------

void NSProgressIndicator::drawRect(NSRect) {
    // Drawing means the indicator is on screen: an animating one makes sure its timer runs.
    if (animating_ && !isAnimationTimerArmed()) updateTimer();
    NSRect r = bounds();
    if (style_ == NSProgressIndicatorStyleSpinning) {
        if (!animating_ && !displayedWhenStopped_) return;
        theme::drawSpinner(r, step_);
        return;
    }
    if (!indeterminate_) {
        theme::drawProgressBar(r, fraction());
        return;
    }
    if (!animating_ && !displayedWhenStopped_) return;
    theme::drawIndeterminateProgressBar(r, step_);
}
