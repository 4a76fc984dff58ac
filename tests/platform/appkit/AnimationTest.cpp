// Catches animations that overshoot or stop short of their target, run backwards, tell their
// delegate twice or never, leave the timer running once idle, ignore a group's duration or
// completion handler, or freeze in modal and tracking loops.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/appkit/CAAnimation.h"
#include "platform/appkit/NSAnimatablePropertyContainer.h"
#include "platform/appkit/NSAnimationContext.h"
#include "platform/foundation/NSObject.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/testing/ManualClock.h"

namespace {

/// A window or view in small: an alpha value that animators change, and a close that the
/// About window's controller calls when the fade-out ends.
class Fader : public NSObject, public NSAnimatablePropertyContainer {
  public:
    double animatableValue(const std::string& key) const override {
        return key == "alphaValue" ? alpha : other;
    }
    void setAnimatableValue(const std::string& key, double value) override {
        if (key == "alphaValue") {
            alpha = value;
            history.push_back(value);
        } else {
            other = value;
        }
    }
    void close() { closed = true; }

    double alpha = 1;
    double other = 0;
    std::vector<double> history;
    bool closed = false;
};

/// The About window's controller: closes the window when its alpha has reached exactly 0.
class AboutController : public CAAnimationDelegate {
  public:
    explicit AboutController(Fader& window) : window_(window) {}
    void animationDidStart(CAAnimation*) override { ++starts; }
    void animationDidStop(CAAnimation* animation, bool finished) override {
        stops.push_back({animation, finished});
        if (window_.alpha == 0.0) window_.close();
    }
    int starts = 0;
    std::vector<std::pair<CAAnimation*, bool>> stops;

  private:
    Fader& window_;
};

class Animation : public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::make_shared<Fader>();
        controller = std::make_shared<AboutController>(*window);
        fade = CABasicAnimation::animation();
        fade->setDelegate(controller);
        window->setAnimations({{"alphaValue", fade}});
    }
    void TearDown() override {
        EXPECT_EQ(platform::activeAnimationCount(), 0u);
        EXPECT_FALSE(platform::animationTimerIsScheduled());
    }
    /// Advances the clock by `seconds` in frames of 1/60 s, turning the run loop in `mode`.
    void run(double seconds, const NSRunLoopMode& mode = NSDefaultRunLoopMode) {
        for (double t = 0; t < seconds - 1e-9; t += 1.0 / 60) {
            clock->advance(1.0 / 60);
            NSRunLoop::mainRunLoop().runMode(mode, 0);
        }
    }

    ManualClock::Installed clock;
    Ref<Fader> window;
    std::shared_ptr<AboutController> controller;
    Ref<CABasicAnimation> fade;
};

TEST_F(Animation, TheAboutWindowFadesOutToExactlyZeroAndThenCloses) {
    EXPECT_FALSE(platform::animationTimerIsScheduled());
    window->animator()->setAlphaValue(0);
    EXPECT_EQ(controller->starts, 1);
    EXPECT_TRUE(platform::animationTimerIsScheduled());
    run(0.2);  // the default duration is 0.25 s
    EXPECT_GT(window->alpha, 0);
    EXPECT_FALSE(window->closed);
    run(0.1);
    EXPECT_EQ(window->alpha, 0.0);
    EXPECT_TRUE(window->closed);
    ASSERT_EQ(controller->stops.size(), 1u);
    EXPECT_EQ(controller->stops[0].first, fade.get());
    EXPECT_TRUE(controller->stops[0].second);
    for (std::size_t i = 1; i < window->history.size(); ++i)
        EXPECT_LE(window->history[i], window->history[i - 1]) << "step " << i;
    EXPECT_GT(window->history.size(), 8u);  // it moved in frames, not in one jump
    run(0.5);
    EXPECT_EQ(controller->stops.size(), 1u);  // told once
}

TEST_F(Animation, ANewTargetReplacesTheRunningAnimationFromWhereItIs) {
    window->animator()->setAlphaValue(0);
    run(0.1);
    double midway = window->alpha;
    ASSERT_GT(midway, 0);
    ASSERT_LT(midway, 1);
    std::size_t before = window->history.size();
    window->animator()->setAlphaValue(1);  // the fade-in of the dialog
    ASSERT_EQ(controller->stops.size(), 1u);
    EXPECT_FALSE(controller->stops[0].second);
    EXPECT_FALSE(window->closed);
    run(0.05);
    ASSERT_GT(window->history.size(), before);
    EXPECT_GE(window->history[before], midway);  // no jump back to 1 or 0
    EXPECT_LT(window->history[before], midway + 0.3);
    run(0.3);
    EXPECT_EQ(window->alpha, 1.0);
    ASSERT_EQ(controller->stops.size(), 2u);
    EXPECT_TRUE(controller->stops[1].second);
    for (std::size_t i = before + 1; i < window->history.size(); ++i)
        EXPECT_GE(window->history[i], window->history[i - 1]);
}

TEST_F(Animation, AScrollerFadesInAGroupAndTheGroupCompletes) {
    auto scroller = std::make_shared<Fader>();
    scroller->alpha = 0.3;
    int completions = 0;
    double alphaAtCompletion = -1;
    NSAnimationContext::runAnimationGroup(
        [&](NSAnimationContext& context) {
            context.setDuration(0.1);
            scroller->animator()->setAlphaValue(1.0);
        },
        [&] {
            ++completions;
            alphaAtCompletion = scroller->alpha;
        });
    run(1.0 / 20);
    EXPECT_EQ(completions, 0);
    run(0.06);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(alphaAtCompletion, 1.0);

    // Fading to the value it already has still ends and completes (the scroller's fade-out).
    NSAnimationContext::runAnimationGroup(
        [&](NSAnimationContext& context) {
            context.setDuration(0.3);
            scroller->animator()->setAlphaValue(1.0);
        },
        [&] { ++completions; });
    run(0.35);
    EXPECT_EQ(completions, 2);
    EXPECT_EQ(scroller->alpha, 1.0);
}

TEST_F(Animation, DurationsComeFromTheGroupThenTheKeysAnimation) {
    struct Case {
        const char* name;
        double groupDuration;  // < 0: no group
        double animationDuration;
        double doneBy;
    };
    const Case cases[] = {
        {"default", -1, 0, 0.25},
        {"the key's animation", -1, 0.5, 0.5},
        {"the group over the key's animation", 0.1, 0.5, 0.1},
    };
    for (const Case& c : cases) {
        window->alpha = 1;
        window->closed = false;
        controller->stops.clear();
        fade->setDuration(c.animationDuration);
        auto change = [&] { window->animator()->setAlphaValue(0); };
        if (c.groupDuration >= 0)
            NSAnimationContext::runAnimationGroup([&](NSAnimationContext& context) {
                context.setDuration(c.groupDuration);
                change();
            });
        else
            change();
        run(c.doneBy - 0.04);
        EXPECT_GT(window->alpha, 0) << c.name;
        run(0.05);
        EXPECT_EQ(window->alpha, 0.0) << c.name;
        EXPECT_EQ(controller->stops.size(), 1u) << c.name;
    }
}

TEST_F(Animation, ADurationOfZeroSetsAtOnceAndStillTells) {
    bool completed = false;
    NSAnimationContext::runAnimationGroup(
        [&](NSAnimationContext& context) {
            context.setDuration(0);
            window->animator()->setAlphaValue(0);
        },
        [&] { completed = true; });
    EXPECT_EQ(window->alpha, 0.0);
    EXPECT_TRUE(window->closed);
    ASSERT_EQ(controller->stops.size(), 1u);
    EXPECT_TRUE(controller->stops[0].second);
    EXPECT_TRUE(completed);
    EXPECT_FALSE(platform::animationTimerIsScheduled());

    // A group that animates nothing completes when it closes.
    bool empty = false;
    NSAnimationContext::runAnimationGroup([](NSAnimationContext&) {}, [&] { empty = true; });
    EXPECT_TRUE(empty);
}

TEST_F(Animation, CurvesShapeTheWayButNotTheEnd) {
    struct Case {
        const char* name;
        Ref<CAMediaTimingFunction> curve;  // nullptr: the default, ease-in-ease-out
        double low, high;                  // where alpha is a quarter of the way through
    };
    const Case cases[] = {
        {"linear", CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionLinear), 0.70,
         0.80},
        {"ease in, ease out", nullptr, 0.80, 0.95},
    };
    for (const Case& c : cases) {
        window->alpha = 1;
        fade->setTimingFunction(c.curve);
        fade->setDuration(1.0);
        window->animator()->setAlphaValue(0);
        run(0.25);
        EXPECT_GT(window->alpha, c.low) << c.name;
        EXPECT_LT(window->alpha, c.high) << c.name;
        run(0.8);
        EXPECT_EQ(window->alpha, 0.0) << c.name;
    }
}

TEST_F(Animation, AnimationsRunInModalAndTrackingLoops) {
    fade->setFromValue(0.5);  // an explicit start value
    window->animator()->setAlphaValue(1);
    EXPECT_EQ(window->history.front(), 0.5);
    run(0.1, NSModalPanelRunLoopMode);
    double inModal = window->alpha;
    EXPECT_GT(inModal, 0.5);
    run(0.2, NSEventTrackingRunLoopMode);
    EXPECT_EQ(window->alpha, 1.0);
}

TEST_F(Animation, AContainerThatGoesAwayStopsItsAnimations) {
    auto view = std::make_shared<Fader>();
    bool completed = false;
    NSAnimationContext::runAnimationGroup(
        [&](NSAnimationContext&) { view->animator()->setAlphaValue(0); },
        [&] { completed = true; });
    EXPECT_EQ(platform::activeAnimationCount(), 1u);
    view.reset();
    EXPECT_EQ(platform::activeAnimationCount(), 0u);
    EXPECT_FALSE(platform::animationTimerIsScheduled());
    run(1.0 / 60);
    EXPECT_TRUE(completed);  // the group is not left waiting

    // A freed delegate is simply not told.
    controller.reset();
    window->animator()->setAlphaValue(0);
    run(0.3);
    EXPECT_EQ(window->alpha, 0.0);
}

}  // namespace
