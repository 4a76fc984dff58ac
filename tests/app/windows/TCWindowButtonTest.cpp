// Catches window-button groups that are not shared by identifier, count below zero, post for
// changes that did not happen (or stay silent for ones that did), and window buttons that
// roll over alone or while disabled, ignore the window's key state, stay visible in full
// screen, track without their 4-point margin or keep listening to a group they left.
#include "windows/TCWindowButton.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/controls/ButtonTestWindow.h"
#include "platform/graphics/NSGraphics.h"
#include "windows/TCWindowButtonGroup.h"

using namespace buttontest;

namespace {

/// A group identifier that no other test uses (groups live as long as the process).
std::string uniqueGroup() {
    static int n = 0;
    return "test.windowbuttons." + std::to_string(++n);
}

/// Counts the group notifications posted by `group`.
class PostCounter {
  public:
    explicit PostCounter(const Ref<TCWindowButtonGroup>& group) {
        token_ = NSNotificationCenter::defaultCenter().addObserverForName(
            TCWindowButtonGroupDidUpdateRolloverStateNotification, group.get(),
            [this](const NSNotification&) { ++posts; });
    }
    ~PostCounter() { NSNotificationCenter::defaultCenter().removeObserver(token_); }
    int posts = 0;

  private:
    NSNotificationCenter::Token token_;
};

TEST(TCWindowButtonGroupRegistry, OneGroupPerIdentifier) {
    auto byNil = TCWindowButtonGroup::groupWithIdentifier(std::nullopt);
    auto byDefault = TCWindowButtonGroup::groupWithIdentifier(
        std::string("com.quorvane.TCImageWindow.defaultWindowButtonGroup"));
    EXPECT_EQ(byNil, byDefault);
    EXPECT_EQ(byNil->identifier(), "com.quorvane.TCImageWindow.defaultWindowButtonGroup");
    const std::string id = uniqueGroup();
    auto first = TCWindowButtonGroup::groupWithIdentifier(id);
    EXPECT_EQ(TCWindowButtonGroup::groupWithIdentifier(id), first);
    EXPECT_NE(first, byNil);
    EXPECT_EQ(first->identifier(), id);
    EXPECT_EQ(first->numberOfCaptures(), 0);
}

TEST(TCWindowButtonGroupCount, ChangesPostAndNeverGoBelowZero) {
    auto group = TCWindowButtonGroup::groupWithIdentifier(uniqueGroup());
    PostCounter counter(group);
    enum Op { Capture, Release, Reset, SetMinus, SetSame };
    struct Step {
        Op op;
        std::int64_t count;
        int posts;  // total so far
    };
    const Step steps[] = {
        {Capture, 1, 1}, {Capture, 2, 2},  {Release, 1, 3},
        {Release, 0, 4}, {Release, 0, 4},  // an exit without an entry
        {Capture, 1, 5}, {SetMinus, 1, 5}, {SetSame, 1, 5},
        {Reset, 0, 6},   {Reset, 0, 6},
    };
    int i = 0;
    for (const Step& s : steps) {
        switch (s.op) {
            case Capture:
                group->didCaptureMousePointer();
                break;
            case Release:
                group->didReleaseMousePointer();
                break;
            case Reset:
                group->resetMouseCaptures();
                break;
            case SetMinus:
                group->setNumberOfCaptures(-3);
                break;
            case SetSame:
                group->setNumberOfCaptures(group->numberOfCaptures());
                break;
        }
        EXPECT_EQ(group->numberOfCaptures(), s.count) << "step " << i;
        EXPECT_EQ(group->shouldDisplayRollOver(), s.count > 0) << "step " << i;
        EXPECT_EQ(counter.posts, s.posts) << "step " << i;
        ++i;
    }
}

Ref<NSImage> solid(const Ref<NSColor>& color) {
    auto image = NSImage::initWithSize(NSMakeSize(12, 12));
    image->lockFocus();
    color->setFill();
    NSRectFill(NSMakeRect(0, 0, 12, 12));
    image->unlockFocus();
    return image;
}

class WindowButtons : public ButtonWindow {
  protected:
    void SetUp() override {
        ButtonWindow::SetUp();
        groupId = uniqueGroup();
        for (int i = 0; i < 3; ++i) {
            auto button = TCWindowButton::windowButtonWithSize(NSMakeSize(12, 12), groupId);
            button->setActiveImage(active);
            button->setActiveNotKeyWindowImage(notKey);
            button->setInactiveImage(inactive);
            button->setRolloverImage(rollover);
            button->setFrameOrigin(NSMakePoint(20 + 20 * i, 40));
            add(button);
            buttons.push_back(button);
        }
        other = makeWindow(NSMakeRect(300, 0, 100, 100));
    }
    void TearDown() override {
        other->orderOut();
        ButtonWindow::TearDown();
    }
    /// The images the three buttons show, by letter: a active, n not key, i inactive,
    /// r rollover.
    std::string shown() const {
        std::string letters;
        for (auto& b : buttons) {
            auto image = b->image();
            letters += image == active     ? 'a'
                       : image == notKey   ? 'n'
                       : image == inactive ? 'i'
                       : image == rollover ? 'r'
                                           : '?';
        }
        return letters;
    }
    NSPoint centreOf(int i) const { return NSMakePoint(26 + 20 * i, 46); }

    std::string groupId;
    Ref<NSImage> active = solid(NSColor::redColor());
    Ref<NSImage> notKey = solid(NSColor::grayColor());
    Ref<NSImage> inactive = solid(NSColor::darkGrayColor());
    Ref<NSImage> rollover = solid(NSColor::blueColor());
    std::vector<Ref<TCWindowButton>> buttons;
    Ref<KeyableWindow> other;
};

TEST_F(WindowButtons, MadeAsABorderlessMomentaryChangeButton) {
    auto& b = *buttons[0];
    EXPECT_EQ(b.frame().size, NSMakeSize(12, 12));
    EXPECT_EQ(b.buttonType(), NSButtonTypeMomentaryChange);
    EXPECT_FALSE(b.isBordered());
    EXPECT_EQ(b.title(), "");
    EXPECT_EQ(b.cell()->highlightsBy(), NSContentsCellMask);
    EXPECT_FALSE(b.cell()->imageDimsWhenDisabled());
    EXPECT_EQ(b.group(), TCWindowButtonGroup::groupWithIdentifier(groupId));
    auto pressed = solid(NSColor::greenColor());
    b.setPressedImage(pressed);
    EXPECT_EQ(b.pressedImage(), pressed);
    EXPECT_EQ(b.alternateImage(), pressed);
}

TEST_F(WindowButtons, ImageFollowsKeyStateAndEnabledState) {
    EXPECT_EQ(shown(), "aaa");
    other->makeKeyAndOrderFront();
    EXPECT_EQ(shown(), "nnn");
    buttons[1]->setEnabled(false);
    EXPECT_EQ(shown(), "nin");
    // Enabled again in a background window: the not-key image, not the key window's.
    buttons[1]->setEnabled(true);
    EXPECT_EQ(shown(), "nnn");
    window->makeKeyWindow();
    EXPECT_EQ(shown(), "aaa");
    // Drawn as shown: the pixel under the first button is the active image's red.
    EXPECT_TRUE(near(at(26, 46), 255, 0, 0));
}

TEST_F(WindowButtons, PointerInOneRollsOverTheEnabledOnesOfTheGroup) {
    auto group = buttons[0]->group();
    buttons[2]->setEnabled(false);
    moveTo(centreOf(0));
    EXPECT_EQ(group->numberOfCaptures(), 1);
    EXPECT_EQ(shown(), "rri");
    EXPECT_TRUE(near(at(46, 46), 0, 0, 255));
    moveTo(centreOf(2));  // out of one, into the disabled one: still captured
    EXPECT_EQ(group->numberOfCaptures(), 1);
    EXPECT_EQ(shown(), "rri");
    moveTo(NSMakePoint(150, 90));
    EXPECT_EQ(group->numberOfCaptures(), 0);
    EXPECT_EQ(shown(), "aai");
}

TEST_F(WindowButtons, ButtonsOfAnotherGroupDoNotRollOver) {
    auto stranger = TCWindowButton::windowButtonWithSize(NSMakeSize(12, 12), uniqueGroup());
    stranger->setActiveImage(active);
    stranger->setRolloverImage(rollover);
    stranger->setFrameOrigin(NSMakePoint(120, 40));
    add(stranger);
    moveTo(centreOf(0));
    EXPECT_EQ(shown(), "rrr");
    EXPECT_EQ(stranger->image(), active);
}

TEST_F(WindowButtons, TrackingReachesFourPointsBeyondTheButton) {
    auto& b = *buttons[0];  // at (20, 40), 12 x 12
    ASSERT_TRUE(b.mouseTrackingArea());
    EXPECT_EQ(b.mouseTrackingArea()->rect(), NSMakeRect(-4, -4, 20, 20));
    EXPECT_EQ(b.mouseTrackingArea()->options(), 0x81u);
    EXPECT_EQ(b.trackingAreas().size(), 1u);
    struct Case {
        NSPoint at;
        std::int64_t captures;
    };
    for (const Case& c : {Case{{17, 46}, 1}, Case{{14, 46}, 0}, Case{{26, 55}, 1},
                          Case{{26, 58}, 0}, Case{{26, 37}, 1}}) {
        moveTo(c.at);
        EXPECT_EQ(b.group()->numberOfCaptures(), c.captures) << c.at.x << "," << c.at.y;
    }
    // A new size replaces the area rather than adding one.
    b.setFrameSize(NSMakeSize(14, 14));
    EXPECT_EQ(b.trackingAreas().size(), 1u);
    EXPECT_EQ(b.mouseTrackingArea()->rect(), NSMakeRect(-4, -4, 22, 22));
}

TEST_F(WindowButtons, FullScreenHidesAndClearsTheGroup) {
    auto group = buttons[0]->group();
    moveTo(centreOf(1));
    ASSERT_EQ(group->numberOfCaptures(), 1);
    window->toggleFullScreen(nullptr);
    EXPECT_EQ(group->numberOfCaptures(), 0);
    for (auto& b : buttons)
        EXPECT_TRUE(b->isHidden());
    EXPECT_EQ(shown(), "aaa");
    window->toggleFullScreen(nullptr);
    for (auto& b : buttons)
        EXPECT_FALSE(b->isHidden());
}

TEST_F(WindowButtons, EndOfLiveResizeClearsTheGroup) {
    moveTo(centreOf(0));
    buttons[0]->viewDidEndLiveResize();
    EXPECT_EQ(buttons[0]->group()->numberOfCaptures(), 0);
    EXPECT_EQ(shown(), "aaa");
}

TEST_F(WindowButtons, ListensOnlyToItsWindowAndItsGroup) {
    // A button taken out of the window no longer follows its key changes.
    buttons[0]->removeFromSuperview();
    other->makeKeyAndOrderFront();
    EXPECT_EQ(buttons[0]->image(), active);
    EXPECT_EQ(buttons[1]->image(), notKey);
    window->makeKeyWindow();

    // Moved to another group, a button rolls over with that group only.
    const std::string otherGroup = uniqueGroup();
    buttons[1]->setGroupIdentifier(otherGroup);
    moveTo(centreOf(2));
    EXPECT_EQ(buttons[1]->image(), active);
    EXPECT_EQ(buttons[2]->image(), rollover);
    moveTo(NSMakePoint(150, 90));
    moveTo(centreOf(1));
    EXPECT_EQ(TCWindowButtonGroup::groupWithIdentifier(otherGroup)->numberOfCaptures(), 1);
    EXPECT_EQ(buttons[1]->image(), rollover);
    EXPECT_EQ(buttons[2]->image(), active);
}

TEST_F(WindowButtons, FreedButtonsAreNoLongerTold) {
    auto group = buttons[0]->group();
    buttons[0]->removeFromSuperview();
    const auto before = NSNotificationCenter::defaultCenter().observerCount();
    buttons.erase(buttons.begin());
    EXPECT_LT(NSNotificationCenter::defaultCenter().observerCount(), before);
    group->didCaptureMousePointer();  // tells the two left, and nothing else
    EXPECT_EQ(shown(), "rr");
    group->resetMouseCaptures();
}

}  // namespace
