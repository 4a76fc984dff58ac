// Catches text image buttons that draw the wrong image or label colour for their state, act
// while unusable (as they come from interface files), lose clicks on their label, choose the
// wrong label font or geometry, change the font on a second text, or report each entry twice.
#include "controls/buttons/TextImageButton.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/controls/ButtonTestWindow.h"
#include "platform/appkit/NibLoader.h"
#include "platform/graphics/NSFont.h"

using namespace buttontest;

namespace {

constexpr NSRect kFrame{{50, 30}, {100, 40}};
constexpr NSPoint kCentre{100, 50};  // on the label
constexpr NSPoint kPlain{60, 67};    // above the label, clear of the rounded corners
constexpr NSPoint kOutside{10, 10};

struct Rgba {
    double r, g, b, a;
};

void expectColour(const Ref<NSColor>& colour, Rgba want, const std::string& context) {
    ASSERT_TRUE(colour) << context;
    EXPECT_NEAR(colour->redComponent(), want.r / 255, 1e-6) << context;
    EXPECT_NEAR(colour->greenComponent(), want.g / 255, 1e-6) << context;
    EXPECT_NEAR(colour->blueComponent(), want.b / 255, 1e-6) << context;
    EXPECT_NEAR(colour->alphaComponent(), want.a, 1e-6) << context;
}

class TextImageButtons : public ButtonWindow {
  protected:
    void SetUp() override {
        ButtonWindow::SetUp();
        image("btn_poppri", NSColor::redColor());
        image("btn_poppri_press", NSColor::greenColor());
        image("btn_poppri_hover", NSColor::blueColor());
        image("btn_poppri_disable", NSColor::yellowColor());
        image("btn_bare", NSColor::redColor());  // a family with only its normal image
        noImage("btn_bare_press");
        noImage("btn_bare_hover");
        noImage("btn_bare_disable");
    }
    Ref<TextImageButton> makeButton(const std::string& family) {
        auto button = TextImageButton::make(kFrame);
        button->setImageFromFileNormalName(family, family + "_press", family + "_hover",
                                           family + "_disable");
        button->setTextWithName("Remove", 12);
        button->setTarget(recorder);
        button->setAction(SEL("press:"));
        add(button);
        return button;
    }
};

TEST_F(TextImageButtons, EachStateDrawsItsImageAndLabelColour) {
    enum class State { Normal, Hover, Pressed, Disabled, Unusable };
    struct Case {
        const char* name;
        const char* family;
        State state;
        std::optional<Rgba> pixel;  // nullopt: no image, the black window shows
        Rgba label;
    };
    const Rgba green{104, 165, 108, 1};
    const Case cases[] = {
        {"normal", "btn_poppri", State::Normal, Rgba{255, 0, 0, 1}, green},
        {"hover", "btn_poppri", State::Hover, Rgba{0, 0, 255, 1}, {255, 255, 255, 1}},
        {"pressed", "btn_poppri", State::Pressed, Rgba{0, 255, 0, 1}, {255, 255, 255, 0.4}},
        {"disabled", "btn_poppri", State::Disabled, Rgba{255, 255, 0, 1}, {255, 255, 255, 0.3}},
        {"unusable", "btn_poppri", State::Unusable, Rgba{255, 255, 0, 1}, {255, 255, 255, 0.3}},
        // A missing image draws nothing; only the disabled state still dims the label.
        {"disabled, no image", "btn_bare", State::Disabled, std::nullopt, {255, 255, 255, 0.3}},
        {"pressed, no image", "btn_bare", State::Pressed, std::nullopt, {255, 255, 255, 0.7}},
        {"hover, no image", "btn_bare", State::Hover, std::nullopt, {255, 255, 255, 0.7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto button = makeButton(c.family);
        Pixel seen;
        Ref<NSColor> label;
        auto look = [&] {
            seen = at(kPlain.x, kPlain.y);
            label = button->textField()->textColor();
        };
        switch (c.state) {
            case State::Normal:
                look();
                break;
            case State::Hover:
                moveTo(kCentre);
                EXPECT_TRUE(button->isFocus());
                look();
                break;
            case State::Pressed:
                // The action is sent while the click is still tracked.
                recorder->onPress = [&](NSObject*) {
                    EXPECT_TRUE(button->isTracking());
                    look();
                };
                click(kCentre);
                EXPECT_EQ(recorder->senders.size(), 1u);
                EXPECT_FALSE(button->isTracking());
                break;
            case State::Disabled:
                button->setEnabled(false);
                look();
                break;
            case State::Unusable:
                button->setButtonEnabled(false);
                look();
                break;
        }
        if (c.pixel)
            EXPECT_TRUE(near(seen, int(c.pixel->r), int(c.pixel->g), int(c.pixel->b)))
                << int(seen.r) << " " << int(seen.g) << " " << int(seen.b);
        else
            EXPECT_TRUE(near(seen, 0, 0, 0)) << int(seen.r) << " " << int(seen.g);
        expectColour(label, c.label, c.name);
        moveTo(kOutside);
        button->removeFromSuperview();
        recorder->onPress = nullptr;
        recorder->senders.clear();
    }
}

TEST_F(TextImageButtons, RestingLabelColourFollowsTheNormalImageName) {
    struct Case {
        const char* family;
        Rgba colour;
    };
    image("btn_pril_normal", NSColor::redColor());
    image("btn_main", NSColor::redColor());
    image("btn_other", NSColor::redColor());
    for (const Case& c :
         {Case{"btn_poppri", {104, 165, 108, 1}}, Case{"btn_pril_normal", {255, 255, 255, 1}},
          Case{"btn_main", {255, 255, 255, 1}}, Case{"btn_other", {255, 255, 255, 0.7}}}) {
        auto button = makeButton(c.family);
        pt::renderWindow(*window);
        expectColour(button->textField()->textColor(), c.colour, c.family);
        button->removeFromSuperview();
    }
}

TEST_F(TextImageButtons, LabelFontAndGeometryFollowSizeAndImage) {
    image("btn_pril_normal", NSColor::redColor());
    struct Case {
        const char* family;
        float size;
        const char* font;
        double height;
    };
    for (const Case& c :
         {Case{"btn_poppri", 12, "DejaVuSerif", 17}, Case{"btn_poppri", 16, "DejaVuSans", 18},
          Case{"btn_poppri", 18, "DejaVuSerif", 18},
          Case{"btn_pril_normal", 12, "DejaVuSans", 17}}) {
        SCOPED_TRACE(std::string(c.family) + " " + std::to_string(c.size));
        auto button = TextImageButton::make(kFrame);
        button->setImageFromFileNormalName(c.family, "", "", "");
        button->setTextWithName("Remove", c.size);
        NSTextField* label = button->textField();
        ASSERT_TRUE(label);
        EXPECT_EQ(label->stringValue(), "Remove");
        EXPECT_EQ(label->font()->fontName(), c.font);
        EXPECT_EQ(label->font()->pointSize(), c.size);
        EXPECT_EQ(label->frame(), NSMakeRect(0, (40 - c.height) * 0.5 - 1, 100, c.height));
        EXPECT_EQ(label->alignment(), NSCenterTextAlignment);
        EXPECT_FALSE(label->isEditable());
        ASSERT_TRUE(button->layer());
        EXPECT_EQ(button->layer()->cornerRadius(), 4.0);
        EXPECT_TRUE(button->layer()->masksToBounds());
    }
}

TEST_F(TextImageButtons, SecondTextChangesOnlyTheText) {
    auto button = makeButton("btn_poppri");
    NSTextField* label = button->textField();
    button->setTextWithName("Cancel", 16);
    EXPECT_EQ(button->textField(), label);
    EXPECT_EQ(label->stringValue(), "Cancel");
    EXPECT_EQ(label->font()->fontName(), "DejaVuSerif");
    EXPECT_EQ(label->font()->pointSize(), 12);
    EXPECT_EQ(label->frame().size.height, 17);
}

TEST_F(TextImageButtons, FromAnInterfaceFileUnusableUntilEnabled) {
    auto loaded = NibLoader::loadData(
        R"(<interface><TextImageButton id="b" frame="50 30 100 40"/></interface>)", "Test.ui",
        nullptr);
    ASSERT_TRUE(loaded) << loaded.error;
    auto button = std::dynamic_pointer_cast<TextImageButton>(loaded.topLevelObjects.at(0));
    ASSERT_TRUE(button);
    EXPECT_FALSE(button->isButtonEnabled());
    button->setImageFromFileNormalName("btn_poppri", "btn_poppri_press", "btn_poppri_hover",
                                       "btn_poppri_disable");
    button->setTextWithName("Remove", 12);
    button->setTarget(recorder);
    button->setAction(SEL("press:"));
    add(button);
    EXPECT_TRUE(near(at(kPlain.x, kPlain.y), 255, 255, 0));
    click(kPlain);
    EXPECT_TRUE(recorder->senders.empty());

    moveTo(kOutside);
    button->setButtonEnabled(true);
    EXPECT_TRUE(near(at(kPlain.x, kPlain.y), 255, 0, 0));
    // A click on the label itself reaches the button.
    click(kCentre);
    ASSERT_EQ(recorder->senders.size(), 1u);
    EXPECT_EQ(recorder->senders[0], button.get());
}

TEST_F(TextImageButtons, ImagesSetTwiceTrackOnce) {
    auto button = makeButton("btn_poppri");
    button->setImageFromFileNormalName("btn_poppri", "btn_poppri_press", "btn_poppri_hover",
                                       "btn_poppri_disable");
    EXPECT_EQ(button->trackingAreas().size(), 1u);
    moveTo(kCentre);
    EXPECT_TRUE(button->isFocus());
    moveTo(kOutside);
    EXPECT_FALSE(button->isFocus());
}

TEST_F(TextImageButtons, DisabledButtonIgnoresHoverAndClicks) {
    auto button = makeButton("btn_poppri");
    button->setEnabled(false);
    moveTo(kCentre);
    EXPECT_FALSE(button->isFocus());
    click(kCentre);
    EXPECT_TRUE(recorder->senders.empty());
    EXPECT_TRUE(near(at(kPlain.x, kPlain.y), 255, 255, 0));
}

}  // namespace
