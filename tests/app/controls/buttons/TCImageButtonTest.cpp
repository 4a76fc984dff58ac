// Catches image buttons that keep the frame they were given instead of their image's size,
// vanish when their normal image is missing, draw the wrong image for their state, roll over
// while disabled, or keep a stale tracking rectangle when their images change.
#include "controls/buttons/TCImageButton.h"

#include <gtest/gtest.h>

#include "app/controls/ButtonTestWindow.h"

using namespace buttontest;

namespace {

class TCImageButtons : public ButtonWindow {
  protected:
    void SetUp() override {
        ButtonWindow::SetUp();
        image("tc_icon", NSColor::redColor(), 30, 20);
        image("tc_icon_press", NSColor::greenColor(), 30, 20);
        image("tc_icon_hover", NSColor::blueColor(), 30, 20);
        image("tc_icon_disable", NSColor::yellowColor(), 30, 20);
        image("tc_wide", NSColor::redColor(), 60, 20);
        noImage("tc_missing");
    }
    Ref<TCImageButton> makeButton() {
        auto button = TCImageButton::make(NSMakeRect(40, 30, 150, 60));
        button->setImageFromFileNormalName("tc_icon", "tc_icon_press", "tc_icon_hover",
                                           "tc_icon_disable");
        button->setTarget(recorder);
        button->setAction(SEL("press:"));
        add(button);
        return button;
    }
};

TEST_F(TCImageButtons, TakesTheSizeOfItsNormalImage) {
    auto button = makeButton();
    EXPECT_EQ(button->frame(), NSMakeRect(40, 30, 30, 20));
    EXPECT_EQ(button->bezelStyle(), NSBezelStyleTexturedRounded);
    // The pointer is tracked over the new bounds only: (75, 40) was inside the old frame.
    moveTo(NSMakePoint(75, 40));
    EXPECT_FALSE(button->isFocus());
    moveTo(NSMakePoint(55, 40));
    EXPECT_TRUE(button->isFocus());
}

TEST_F(TCImageButtons, WithoutANormalImageKeepsItsFrame) {
    auto button = TCImageButton::make(NSMakeRect(40, 30, 50, 24));
    button->setImageFromFileNormalName("tc_missing", "tc_icon_press", "tc_icon_hover",
                                       "tc_icon_disable");
    add(button);
    EXPECT_EQ(button->frame(), NSMakeRect(40, 30, 50, 24));
    EXPECT_TRUE(pt::renderWindow(*window));  // the plain button draws
}

TEST_F(TCImageButtons, EachStateDrawsItsImage) {
    enum class State { Normal, Hover, Pressed, Disabled, DisabledHover };
    struct Case {
        const char* name;
        State state;
        int r, g, b;
    };
    const Case cases[] = {
        {"normal", State::Normal, 255, 0, 0},
        {"hover", State::Hover, 0, 0, 255},
        {"pressed", State::Pressed, 0, 255, 0},
        {"disabled", State::Disabled, 255, 255, 0},
        {"disabled never rolls over", State::DisabledHover, 255, 255, 0},
    };
    const NSPoint inside{55, 40};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto button = makeButton();
        Pixel seen;
        switch (c.state) {
            case State::Normal:
                seen = at(inside.x, inside.y);
                break;
            case State::Hover:
                moveTo(inside);
                seen = at(inside.x, inside.y);
                break;
            case State::Pressed:
                recorder->onPress = [&](NSObject*) { seen = at(inside.x, inside.y); };
                click(inside);
                EXPECT_EQ(recorder->senders.size(), 1u);
                EXPECT_FALSE(button->isTracking());
                break;
            case State::Disabled:
                button->setEnabled(false);
                seen = at(inside.x, inside.y);
                break;
            case State::DisabledHover:
                button->setEnabled(false);
                moveTo(inside);
                EXPECT_FALSE(button->isFocus());
                click(inside);
                EXPECT_TRUE(recorder->senders.empty());
                seen = at(inside.x, inside.y);
                break;
        }
        EXPECT_TRUE(near(seen, c.r, c.g, c.b))
            << int(seen.r) << " " << int(seen.g) << " " << int(seen.b);
        moveTo(NSMakePoint(5, 5));
        button->removeFromSuperview();
        recorder->onPress = nullptr;
        recorder->senders.clear();
    }
}

TEST_F(TCImageButtons, NewImagesReplaceTheTrackingRectangle) {
    auto button = TCImageButton::make(NSMakeRect(40, 30, 10, 10));
    button->setImageFromFileNormalName("tc_wide", "", "", "");
    button->setImageFromFileNormalName("tc_icon", "", "", "");
    add(button);
    EXPECT_EQ(button->frame().size.width, 30);
    ASSERT_EQ(button->trackingAreas().size(), 1u);
    EXPECT_EQ(button->trackingAreas()[0]->rect(), NSMakeRect(0, 0, 30, 20));
    // Where only the first, wider image reached, the button is not hovered.
    moveTo(NSMakePoint(85, 40));
    EXPECT_FALSE(button->isFocus());
}

}  // namespace
