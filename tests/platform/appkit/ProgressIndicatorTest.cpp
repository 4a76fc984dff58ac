// Catches progress bars that fill the wrong share or leave their range, and animation timers
// that run while nothing animates or nothing is on screen (an idle application must not spin)
// or that fail to come back when the indicator shows again.
#include "platform/appkit/NSProgressIndicator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "platform/foundation/NSRunLoop.h"
#include "platform/testing/ManualClock.h"
#include "support/ControlTestSupport.h"

using namespace controltest;

namespace {

class Progress : public ControlWindow {
  protected:
    void SetUp() override {
        ControlWindow::SetUp();
        indicator = NSProgressIndicator::make(NSMakeRect(0, 40, 200, 20));
        add(indicator);
    }
    /// Lets one animation interval pass and serves the run loop.
    void tick() {
        clock->advance(NSProgressIndicator::kAnimationInterval * 1.01);
        NSRunLoop::mainRunLoop().runMode(NSDefaultRunLoopMode, 0);
    }
    ManualClock::Installed clock;
    Ref<NSProgressIndicator> indicator;
};

bool isAccent(Pixel p) {
    return near(p, 49, 190, 106, 30);
}

TEST_F(Progress, BarFillsItsShareOfTheRange) {
    struct Case {
        double min, max, value;
        double filledTo;  // x up to which the bar is accent-coloured
    };
    const Case cases[] = {
        {0, 100, 50, 100},  {10, 20, 15, 100},  {0, 100, 0, 0},
        {0, 100, 100, 200}, {0, 100, 250, 200}, {0, 100, -30, 0},
    };
    indicator->setIndeterminate(false);
    for (const Case& c : cases) {
        indicator->setMinValue(c.min);
        indicator->setMaxValue(c.max);
        indicator->setDoubleValue(c.value);
        std::string name =
            std::to_string(c.value) + " of " + std::to_string(c.min) + ".." + std::to_string(c.max);
        if (c.filledTo >= 10) {
            EXPECT_TRUE(isAccent(at(c.filledTo - 8, 50))) << name;
        }
        if (c.filledTo <= 190) {
            EXPECT_FALSE(isAccent(at(c.filledTo + 8, 50))) << name;
        }
    }
}

TEST(ProgressFraction, StaysWithinTheRange) {
    struct Case {
        double min, max, value, fraction;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {0, 100, 25, 0.25}, {-10, 10, 0, 0.5}, {0, 100, 1e9, 1}, {0, 100, -1, 0},
        {0, 100, nan, 0},   {5, 5, 5, 1},      {5, 5, 4, 0},     {10, 0, 5, 0},
    };
    for (const Case& c : cases) {
        auto p = NSProgressIndicator::make();
        p->setMinValue(c.min);
        p->setMaxValue(c.max);
        p->setDoubleValue(c.value);
        EXPECT_DOUBLE_EQ(p->fraction(), c.fraction) << c.value << " in " << c.min << ".." << c.max;
    }
}

TEST_F(Progress, TimerRunsOnlyWhileAnimatingOnScreen) {
    indicator->setStyle(NSProgressIndicatorStyleSpinning);
    pt::pumpEvents();
    EXPECT_FALSE(indicator->isAnimationTimerArmed()) << "not animating";

    indicator->startAnimation(nullptr);
    EXPECT_TRUE(indicator->isAnimationTimerArmed());
    int step = indicator->animationStep();
    tick();
    EXPECT_EQ(indicator->animationStep(), step + 1);
    EXPECT_TRUE(indicator->needsDisplay());

    struct Case {
        const char* name;
        std::function<void()> hide, show;
    };
    const Case cases[] = {
        {"hidden", [&] { indicator->setHidden(true); }, [&] { indicator->setHidden(false); }},
        {"superview hidden", [&] { window->contentView()->setHidden(true); },
         [&] { window->contentView()->setHidden(false); }},
        {"window ordered out", [&] { window->orderOut(); }, [&] { window->orderFront(); }},
        {"out of the window", [&] { indicator->removeFromSuperview(); }, [&] { add(indicator); }},
    };
    for (const Case& c : cases) {
        c.hide();
        tick();
        EXPECT_FALSE(indicator->isAnimationTimerArmed()) << c.name;
        step = indicator->animationStep();
        tick();
        EXPECT_EQ(indicator->animationStep(), step) << c.name << ": no frames while not shown";
        c.show();
        pt::pumpEvents();
        EXPECT_TRUE(indicator->isAnimationTimerArmed()) << c.name << ": back on screen";
    }

    indicator->stopAnimation(nullptr);
    EXPECT_FALSE(indicator->isAnimationTimerArmed());
}

TEST_F(Progress, DeterminateBarsNeedNoTimer) {
    indicator->setIndeterminate(false);
    indicator->startAnimation(nullptr);
    EXPECT_FALSE(indicator->isAnimationTimerArmed());
    indicator->setIndeterminate(true);
    EXPECT_TRUE(indicator->isAnimationTimerArmed());
    indicator->setIndeterminate(false);
    EXPECT_FALSE(indicator->isAnimationTimerArmed());
}

TEST_F(Progress, AFreedIndicatorLeavesNoTimerBehind) {
    indicator->setStyle(NSProgressIndicatorStyleSpinning);
    indicator->startAnimation(nullptr);
    WeakRef<NSProgressIndicator> weak = indicator;
    indicator->removeFromSuperview();
    add(indicator);
    indicator->removeFromSuperview();
    indicator.reset();
    EXPECT_TRUE(weak.expired());
    tick();  // a timer left behind would run here against a freed view
}

TEST_F(Progress, SpinnerTurnsAndHidesWhenStoppedIfAsked) {
    indicator->setFrame(NSMakeRect(84, 34, 32, 32));
    indicator->setStyle(NSProgressIndicatorStyleSpinning);
    indicator->setDisplayedWhenStopped(false);
    auto lit = [&] {
        int count = 0;
        for (int x = 84; x < 116; ++x)
            for (int y = 34; y < 66; ++y)
                if (!near(at(x, y), 0, 0, 0, 20)) ++count;
        return count;
    };
    EXPECT_EQ(lit(), 0) << "stopped and not displayed when stopped";
    indicator->startAnimation(nullptr);
    auto before = pt::renderWindow(*window);
    ASSERT_TRUE(before);
    std::vector<Pixel> first;
    for (int x = 84; x < 116; ++x)
        first.push_back(before->pixelAt(x, 100 - 50));
    EXPECT_GT(lit(), 0);
    tick();
    auto after = pt::renderWindow(*window);
    bool changed = false;
    for (int x = 84; x < 116; ++x)
        changed |= !(after->pixelAt(x, 100 - 50) == first[static_cast<std::size_t>(x - 84)]);
    EXPECT_TRUE(changed) << "the next frame turns the spokes";
}

}  // namespace
