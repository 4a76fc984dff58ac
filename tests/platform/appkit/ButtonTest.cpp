// Catches buttons that act on the press or on a release outside, act while disabled, miss or
// misorder their state change, send to a freed target's stand-in, answer the wrong hit test,
// end their subclass's mouseDown before tracking is over, or show the wrong image when pressed.
#include "platform/appkit/NSButton.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/NSRunLoop.h"
#include "support/ControlTestSupport.h"

using namespace controltest;

namespace {

constexpr NSPoint kInside{100, 50};
constexpr NSPoint kOutside{10, 10};

/// A view in the responder chain that also answers "press:".
class ChainView : public NSView {
  public:
    bool acceptsFirstResponder() override { return true; }
    void press(NSObject*) { ++presses; }
    int presses = 0;
};

/// Overrides mouseDown as the application's image buttons do: a flag around the superclass's
/// tracking.
class TrackingFlagButton : public NSButton {
  public:
    void mouseDown(NSEvent& event) override {
        log.push_back(std::string("down:") + (isTracking ? "tracking" : "idle"));
        isTracking = true;
        NSButton::mouseDown(event);
        isTracking = false;
        log.push_back("down returned");
    }
    bool isTracking = false;
    std::vector<std::string> log;
};

class Buttons : public ControlWindow {
  protected:
    void SetUp() override {
        ControlWindow::SetUp();
        ClassRegistry::shared()
            .registerClass<ChainView, NSView>("ButtonTestChainView")
            .action("press:", &ChainView::press);
        button = NSButton::make(NSMakeRect(50, 30, 100, 40));
        button->setTitle("Go");
        button->setTarget(recorder);
        button->setAction(SEL("press:"));
        add(button);
    }
    Ref<NSButton> button;
};

TEST_F(Buttons, ActOnlyOnReleaseInside) {
    struct Case {
        const char* name;
        std::vector<Event> events;
        bool enabled;
        std::size_t actions;
    };
    const Case cases[] = {
        {"click inside",
         {{NSEventTypeLeftMouseDown, kInside}, {NSEventTypeLeftMouseUp, kInside}},
         true,
         1},
        {"drag out, release outside",
         {{NSEventTypeLeftMouseDown, kInside},
          {NSEventTypeLeftMouseDragged, kOutside},
          {NSEventTypeLeftMouseUp, kOutside}},
         true,
         0},
        {"release outside without a drag",
         {{NSEventTypeLeftMouseDown, kInside}, {NSEventTypeLeftMouseUp, kOutside}},
         true,
         0},
        {"drag out and back in",
         {{NSEventTypeLeftMouseDown, kInside},
          {NSEventTypeLeftMouseDragged, kOutside},
          {NSEventTypeLeftMouseDragged, kInside},
          {NSEventTypeLeftMouseUp, kInside}},
         true,
         1},
        {"press outside, release inside",
         {{NSEventTypeLeftMouseDown, kOutside}, {NSEventTypeLeftMouseUp, kInside}},
         true,
         0},
        {"disabled",
         {{NSEventTypeLeftMouseDown, kInside}, {NSEventTypeLeftMouseUp, kInside}},
         false,
         0},
    };
    for (const Case& c : cases) {
        recorder->senders.clear();
        button->setEnabled(c.enabled);
        perform(c.events);
        EXPECT_EQ(recorder->senders.size(), c.actions) << c.name;
        if (c.actions) {
            EXPECT_EQ(recorder->senders[0], button.get()) << c.name;
        }
        EXPECT_FALSE(button->isHighlighted()) << c.name;
    }
}

TEST_F(Buttons, ClicksMoveTheTogglingTypesToTheirNextStateBeforeTheAction) {
    struct Case {
        NSButtonType type;
        bool allowsMixed;
        NSControlStateValue before, after;
    };
    const Case cases[] = {
        {NSButtonTypeSwitch, false, NSOffState, NSOnState},
        {NSButtonTypeSwitch, false, NSOnState, NSOffState},
        {NSButtonTypeSwitch, true, NSOffState, NSMixedState},
        {NSButtonTypeSwitch, true, NSMixedState, NSOnState},
        {NSButtonTypeRadio, false, NSOffState, NSOnState},
        {NSButtonTypeRadio, false, NSOnState, NSOnState},
        {NSButtonTypeToggle, false, NSOffState, NSOnState},
        {NSButtonTypePushOnPushOff, false, NSOnState, NSOffState},
        {NSButtonTypeOnOff, false, NSOffState, NSOnState},
        {NSButtonTypeMomentaryPushIn, false, NSOffState, NSOffState},
        {NSButtonTypeMomentaryChange, false, NSOffState, NSOffState},
        {NSButtonTypeMomentaryLight, false, NSOffState, NSOffState},
    };
    NSControlStateValue seenByAction = 99;
    recorder->onPress = [&](NSObject*) { seenByAction = button->state(); };
    for (const Case& c : cases) {
        button->setButtonType(c.type);
        button->setAllowsMixedState(c.allowsMixed);
        button->setState(c.before);
        click(kInside);
        EXPECT_EQ(button->state(), c.after) << "type " << c.type << " from " << c.before;
        EXPECT_EQ(seenByAction, c.after) << "type " << c.type << " from " << c.before;
        // performClick takes the same path without the mouse.
        button->setState(c.before);
        button->performClick(nullptr);
        EXPECT_EQ(button->state(), c.after) << "performClick, type " << c.type;
    }
}

TEST_F(Buttons, HitTestAnswersTrackableInsideAnEnabledButtonOnly) {
    struct Case {
        bool enabled;
        NSPoint point;
        NSCellHitResult expected;
    };
    const Case cases[] = {
        {true, kInside, NSCellHitTrackableArea},
        {false, kInside, NSCellHitNone},
        {true, kOutside, NSCellHitNone},
        {true, {149, 69}, NSCellHitTrackableArea},  // the far corner is still inside
    };
    for (const Case& c : cases) {
        button->setEnabled(c.enabled);
        auto event =
            NSEvent::mouseEventWithType(NSEventTypeLeftMouseDown, c.point, 0, 0, window.get());
        EXPECT_EQ(button->cell()->hitTestForEvent(*event, button->bounds(), button.get()),
                  c.expected)
            << c.point.x << "," << c.point.y << (c.enabled ? " enabled" : " disabled");
    }
}

TEST_F(Buttons, StoredTargetsAreNotReplacedByTheResponderChain) {
    auto chain = std::make_shared<ChainView>();
    chain->initWithFrame(NSMakeRect(0, 0, 20, 20));
    add(chain);
    ASSERT_TRUE(window->makeFirstResponder(chain.get()));

    // No target: the action goes along the chain.
    auto loose = NSButton::make(NSMakeRect(50, 30, 100, 40));
    loose->setAction(SEL("press:"));
    button->removeFromSuperview();
    add(loose);
    click(kInside);
    EXPECT_EQ(chain->presses, 1);

    // A target that was set and has been freed gets nothing, and nobody else does.
    auto doomed = std::make_shared<ActionRecorder>();
    loose->setTarget(doomed);
    doomed.reset();
    click(kInside);
    EXPECT_EQ(chain->presses, 1);
}

TEST_F(Buttons, AnActionMayDropTheButton) {
    recorder->onPress = [&](NSObject*) {
        button->removeFromSuperview();
        button.reset();
    };
    click(kInside);
    EXPECT_EQ(recorder->senders.size(), 1u);
    EXPECT_FALSE(button);
}

TEST_F(Buttons, SubclassMouseDownWrapsTheWholeTrackingLoop) {
    auto custom = std::make_shared<TrackingFlagButton>();
    custom->initWithFrame(NSMakeRect(50, 30, 100, 40));
    custom->setTarget(recorder);
    custom->setAction(SEL("press:"));
    button->removeFromSuperview();
    add(custom);
    recorder->onPress = [&](NSObject*) {
        custom->log.push_back(std::string("action:") + (custom->isTracking ? "tracking" : "idle"));
    };
    perform({{NSEventTypeLeftMouseDown, kInside},
             {NSEventTypeLeftMouseDragged, {120, 50}},
             {NSEventTypeLeftMouseUp, {120, 50}}});
    EXPECT_EQ(custom->log,
              (std::vector<std::string>{"down:idle", "action:tracking", "down returned"}));
}

TEST_F(Buttons, KeyEquivalentClicksAnEnabledButton) {
    button->setKeyEquivalent("\r");
    struct Case {
        const char* characters;
        NSEventModifierFlags flags;
        bool enabled;
        bool handled;
    };
    const Case cases[] = {
        {"\r", 0, true, true},
        {"x", 0, true, false},
        {"\r", NSEventModifierFlagCommand, true, false},
        {"\r", 0, false, false},
    };
    for (const Case& c : cases) {
        recorder->senders.clear();
        button->setEnabled(c.enabled);
        auto key = NSEvent::keyEventWithType(NSEventTypeKeyDown, {}, c.flags, 0, window.get(),
                                             c.characters, c.characters, false, 36);
        EXPECT_EQ(button->performKeyEquivalent(*key), c.handled) << c.characters;
        EXPECT_EQ(recorder->senders.size(), c.handled ? 1u : 0u) << c.characters;
    }
}

TEST_F(Buttons, PressedImageButtonsShowTheirAlternateImageWhenAsked) {
    struct Case {
        const char* name;
        NSButtonType type;
        NSCellStyleMask highlightsBy;  // 99: as the type sets it
        bool pressedShowsAlternate;
    };
    const Case cases[] = {
        {"momentary change", NSButtonTypeMomentaryChange, 99, true},
        {"push-in highlighting by contents", NSButtonTypeMomentaryPushIn, NSContentsCellMask, true},
        {"push-in", NSButtonTypeMomentaryPushIn, 99, false},
    };
    for (const Case& c : cases) {
        button->setButtonType(c.type);
        if (c.highlightsBy != 99) button->cell()->setHighlightsBy(c.highlightsBy);
        button->setBordered(false);
        button->setTitle("");
        button->setImage(solidImage({100, 40}, NSColor::redColor()));
        button->setAlternateImage(solidImage({100, 40}, NSColor::blueColor()));

        // The mouse is still down when the main queue takes its turn inside the tracking loop.
        Pixel pressed{};
        pt::postMouse(*window, NSEventTypeLeftMouseDown, kInside);
        NSRunLoop::mainRunLoop().enqueueBlock([&] {
            pressed = at(100, 50);
            pt::postMouse(*window, NSEventTypeLeftMouseUp, kInside);
        });
        pt::pumpEvents();
        EXPECT_TRUE(c.pressedShowsAlternate ? near(pressed, 0, 0, 255) : near(pressed, 255, 0, 0))
            << c.name;
        EXPECT_TRUE(near(at(100, 50), 255, 0, 0)) << c.name << ": after release";
    }
}

TEST_F(Buttons, SwitchesDrawTheirGlyphAndBezelButtonsTheirBezel) {
    // A bordered push button paints a bezel over the black background; a switch paints a
    // glyph at its left edge and leaves the rest of its frame alone; a transparent button
    // paints nothing.
    button->setTitle("");
    EXPECT_FALSE(near(at(100, 50), 0, 0, 0, 10));
    button->setButtonType(NSButtonTypeSwitch);
    button->setState(NSOnState);
    EXPECT_TRUE(near(at(53, 46), 49, 190, 106, 60)) << "the ticked box";
    EXPECT_TRUE(near(at(120, 50), 0, 0, 0, 10));
    button->setButtonType(NSButtonTypeMomentaryPushIn);
    button->setBordered(true);
    button->setTransparent(true);
    EXPECT_TRUE(near(at(100, 50), 0, 0, 0, 10));
}

}  // namespace
