// Catches control properties that interface files cannot set or that are misread (colours,
// registered colour names included, fonts, images by name, enumerations by name and number,
// segment lists), bad values that load silently, and target/action or cell elements that do
// not reach the control.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSImageView.h"
#include "platform/appkit/NSProgressIndicator.h"
#include "platform/appkit/NSSegmentedControl.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NibColorNames.h"
#include "platform/appkit/NibLoader.h"
#include "platform/appkit/NibValueParsers.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/graphics/NSFont.h"
#include "support/ControlTestSupport.h"
#include "support/FileFixtures.h"
#include "support/ImageFixtures.h"
#include "support/ScopedResources.h"

using namespace controltest;

namespace {

class ControlNibs : public ::testing::Test {
  protected:
    void SetUp() override {
        registerPlatformClasses();
        registerAppKitControlClasses();
        ActionRecorder::registerClass();
        resources_.mkdir("images");
        fixtures::writeSolidPng(resources_ / "images/ControlNibIcon.png", 8, 6,
                                NSColor::redColor());
        fixtures::writeSolidPng(resources_ / "images/ControlNibIconPressed.png", 8, 6,
                                NSColor::blueColor());
        owner = std::make_shared<ActionRecorder>();
    }
    NibLoadResult load(const std::string& body) {
        std::string path =
            folder_.write("Controls.ui", "<interface owner=\"ControlTestActionRecorder\">\n" +
                                             body + "</interface>\n");
        return NibLoader::load(path, owner);
    }
    template <class T>
    Ref<T> only(const NibLoadResult& result) {
        EXPECT_EQ(result.topLevelObjects.size(), 1u);
        return result.topLevelObjects.empty()
                   ? nullptr
                   : std::dynamic_pointer_cast<T>(result.topLevelObjects[0]);
    }

    fixtures::TempDir folder_;
    fixtures::TempDir resources_;
    fixtures::ScopedResources scoped_{resources_.path()};
    Ref<ActionRecorder> owner;
};

TEST_F(ControlNibs, ButtonPropertiesAreApplied) {
    auto result = load(
        "<NSButton frame=\"1 2 30 40\" title=\"Remove\" alternateTitle=\"Removing\"\n"
        "  image=\"ControlNibIcon\" alternateImage=\"ControlNibIconPressed\" "
        "buttonType=\"switch\"\n"
        "  bezelStyle=\"smallSquare\" bordered=\"YES\" transparent=\"NO\" "
        "allowsMixedState=\"YES\"\n"
        "  state=\"mixed\" imagePosition=\"imageRight\" imageScaling=\"axesIndependently\"\n"
        "  highlightsBy=\"pushIn|changeGray\" showsStateBy=\"1\" imageDimsWhenDisabled=\"NO\"\n"
        "  keyEquivalent=\"\\r\" enabled=\"NO\" tag=\"12\" font=\"boldSystem 15\" "
        "alignment=\"right\"\n"
        "  target=\"owner\" action=\"press:\"/>\n");
    ASSERT_TRUE(result) << result.error;
    auto b = only<NSButton>(result);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->frame(), NSMakeRect(1, 2, 30, 40));
    EXPECT_EQ(b->title(), "Remove");
    EXPECT_EQ(b->alternateTitle(), "Removing");
    ASSERT_TRUE(b->image());
    EXPECT_EQ(b->image()->name(), "ControlNibIcon");
    ASSERT_TRUE(b->alternateImage());
    EXPECT_EQ(b->alternateImage()->name(), "ControlNibIconPressed");
    EXPECT_EQ(b->buttonType(), NSButtonTypeSwitch);
    EXPECT_EQ(b->bezelStyle(), NSBezelStyleSmallSquare);
    EXPECT_TRUE(b->isBordered()) << "set after the type";
    EXPECT_FALSE(b->isTransparent());
    EXPECT_EQ(b->state(), NSMixedState);
    EXPECT_EQ(b->imagePosition(), NSImageRight);
    EXPECT_EQ(b->imageScaling(), NSImageScaleAxesIndependently);
    EXPECT_EQ(b->cell()->highlightsBy(), NSPushInCellMask | NSChangeGrayCellMask);
    EXPECT_EQ(b->cell()->showsStateBy(), NSContentsCellMask);
    EXPECT_FALSE(b->cell()->imageDimsWhenDisabled());
    EXPECT_EQ(b->keyEquivalent(), "\r");
    EXPECT_FALSE(b->isEnabled());
    EXPECT_EQ(b->tag(), 12);
    EXPECT_EQ(b->font()->fontName(), "DejaVuSans-Bold");
    EXPECT_EQ(b->font()->pointSize(), 15);
    EXPECT_EQ(b->alignment(), NSTextAlignmentRight);
    EXPECT_EQ(b->target().lock(), owner);
    EXPECT_EQ(b->action(), SEL("press:"));
}

TEST_F(ControlNibs, TextFieldsImageViewsProgressAndSegmentsAreApplied) {
    auto result = load(
        "<NSTextField stringValue=\"Name\" textColor=\"1 0 0 0.5\" backgroundColor=\"#00FF0080\"\n"
        "  drawsBackground=\"YES\" editable=\"YES\" selectable=\"YES\" bezeled=\"YES\"\n"
        "  bezelStyle=\"rounded\" placeholderString=\"Search\" lineBreakMode=\"truncatingTail\"\n"
        "  usesSingleLineMode=\"YES\" font=\"DejaVuSans 11\"/>\n"
        "<NSTextField bordered=\"YES\" textColor=\"controlTextColor\"/>\n"
        "<NSImageView tag=\"5\" image=\"ControlNibIcon\" imageScaling=\"1\" "
        "imageAlignment=\"topLeft\"\n"
        "  imageFrameStyle=\"grayBezel\" editable=\"NO\"/>\n"
        "<NSProgressIndicator style=\"spinning\" indeterminate=\"NO\" minValue=\"5\"\n"
        "  maxValue=\"15\" doubleValue=\"10\" displayedWhenStopped=\"NO\" controlSize=\"small\"\n"
        "  usesThreadedAnimation=\"YES\" bezeled=\"NO\"/>\n"
        "<NSSegmentedControl segmentCount=\"2\" labels=\"Languages|Applications|Other\"\n"
        "  widths=\"0|80\" selectedSegment=\"2\" trackingMode=\"selectAny\" "
        "segmentStyle=\"capsule\"/>\n");
    ASSERT_TRUE(result) << result.error;
    ASSERT_EQ(result.topLevelObjects.size(), 5u);

    auto field = std::dynamic_pointer_cast<NSTextField>(result.topLevelObjects[0]);
    ASSERT_TRUE(field);
    EXPECT_EQ(field->stringValue(), "Name");
    EXPECT_EQ(*field->textColor(), *NSColor::colorWithDeviceRed(1, 0, 0, 0.5));
    EXPECT_EQ(*field->backgroundColor(), *NSColor::colorWithDeviceRed(0, 1, 0, 128 / 255.0));
    EXPECT_TRUE(field->drawsBackground());
    EXPECT_TRUE(field->isEditable());
    EXPECT_TRUE(field->isBezeled());
    EXPECT_EQ(field->bezelStyle(), NSTextFieldRoundedBezel);
    EXPECT_EQ(field->placeholderString(), "Search");
    EXPECT_EQ(field->lineBreakMode(), NSLineBreakByTruncatingTail);
    EXPECT_TRUE(field->usesSingleLineMode());
    EXPECT_EQ(field->font()->pointSize(), 11);

    auto bordered = std::dynamic_pointer_cast<NSTextField>(result.topLevelObjects[1]);
    ASSERT_TRUE(bordered);
    EXPECT_TRUE(bordered->isBordered());
    EXPECT_FALSE(bordered->isEditable()) << "file-made fields start as labels";
    EXPECT_EQ(bordered->textColor(), NSColor::controlTextColor());

    auto image = std::dynamic_pointer_cast<NSImageView>(result.topLevelObjects[2]);
    ASSERT_TRUE(image);
    ASSERT_TRUE(image->image());
    EXPECT_EQ(image->image()->name(), "ControlNibIcon");
    EXPECT_EQ(image->imageScaling(), NSImageScaleAxesIndependently);
    EXPECT_EQ(image->imageAlignment(), NSImageAlignTopLeft);
    EXPECT_EQ(image->imageFrameStyle(), NSImageFrameGrayBezel);
    EXPECT_EQ(image->tag(), 5) << "a control whose cell keeps no tag keeps its own";

    auto progress = std::dynamic_pointer_cast<NSProgressIndicator>(result.topLevelObjects[3]);
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->style(), NSProgressIndicatorStyleSpinning);
    EXPECT_FALSE(progress->isIndeterminate());
    EXPECT_EQ(progress->minValue(), 5);
    EXPECT_EQ(progress->maxValue(), 15);
    EXPECT_EQ(progress->doubleValue(), 10);
    EXPECT_FALSE(progress->isDisplayedWhenStopped());
    EXPECT_EQ(progress->controlSize(), NSControlSizeSmall);
    EXPECT_TRUE(progress->usesThreadedAnimation());
    EXPECT_FALSE(progress->isBezeled());

    auto segments = std::dynamic_pointer_cast<NSSegmentedControl>(result.topLevelObjects[4]);
    ASSERT_TRUE(segments);
    EXPECT_EQ(segments->segmentCount(), 3) << "the labels add the missing segment";
    EXPECT_EQ(segments->labelForSegment(1), "Applications");
    EXPECT_EQ(segments->widthForSegment(1), 80);
    EXPECT_EQ(segments->selectedSegment(), 2);
    EXPECT_EQ(segments->trackingMode(), NSSegmentSwitchTrackingSelectAny);
    EXPECT_EQ(segments->segmentStyle(), NSSegmentStyleCapsule);
}

TEST_F(ControlNibs, BadValuesFailNamingTheLine) {
    struct Case {
        const char* element;
        const char* property;
    };
    const Case cases[] = {
        {"<NSButton buttonType=\"squishy\"/>", "buttonType"},
        {"<NSButton buttonType=\"9\"/>", "buttonType"},
        {"<NSButton state=\"2\"/>", "state"},
        {"<NSButton image=\"NoSuchImageAnywhere\"/>", "image"},
        {"<NSButton highlightsBy=\"16\"/>", "highlightsBy"},
        {"<NSButton highlightsBy=\"pushIn|sparkle\"/>", "highlightsBy"},
        {"<NSTextField textColor=\"1 0 0 2\"/>", "textColor"},
        {"<NSTextField textColor=\"#12345\"/>", "textColor"},
        {"<NSTextField textColor=\"mauveColor\"/>", "textColor"},
        {"<NSTextField textColor=\"palette:noSuchPaletteColour\"/>", "textColor"},
        {"<NSTextField font=\"DejaVuSans\"/>", "font"},
        {"<NSTextField font=\"DejaVuSans -3\"/>", "font"},
        {"<NSTextField alignment=\"middle\"/>", "alignment"},
        {"<NSProgressIndicator style=\"round\"/>", "style"},
        {"<NSProgressIndicator minValue=\"low\"/>", "minValue"},
        {"<NSSegmentedControl segmentCount=\"-1\"/>", "segmentCount"},
        {"<NSSegmentedControl segmentCount=\"2\" selectedSegment=\"2\"/>", "selectedSegment"},
        {"<NSSegmentedControl widths=\"10|wide\"/>", "widths"},
    };
    for (const Case& c : cases) {
        auto result = load(std::string("\n") + c.element + "\n");
        EXPECT_FALSE(result) << c.element;
        EXPECT_NE(result.error.find("Controls.ui:3"), std::string::npos)
            << c.element << ": " << result.error;
        EXPECT_NE(result.error.find(c.property), std::string::npos)
            << c.element << ": " << result.error;
    }
}

TEST_F(ControlNibs, ACellElementBecomesTheControlsCell) {
    auto result = load(
        "<NSButton target=\"owner\" action=\"press:\">\n"
        "  <NSButtonCell title=\"From the cell\" buttonType=\"momentaryChange\"/>\n"
        "</NSButton>\n");
    ASSERT_TRUE(result) << result.error;
    auto b = only<NSButton>(result);
    ASSERT_TRUE(b && b->cell());
    EXPECT_EQ(b->title(), "From the cell");
    EXPECT_EQ(b->buttonType(), NSButtonTypeMomentaryChange);
    EXPECT_EQ(b->cell()->controlView(), b.get());
    EXPECT_EQ(b->target().lock(), owner) << "connections reach the new cell";
}

TEST_F(ControlNibs, ASegmentedCellElementCarriesTheSegments) {
    auto result = load(
        "<NSSegmentedControl target=\"owner\" action=\"press:\">\n"
        "  <NSSegmentedCell segmentCount=\"3\" labels=\"One|Two\" widths=\"0|40\"\n"
        "                   selectedSegment=\"1\" trackingMode=\"momentary\"/>\n"
        "</NSSegmentedControl>\n");
    ASSERT_TRUE(result) << result.error;
    auto control = only<NSSegmentedControl>(result);
    ASSERT_TRUE(control && control->cell());
    EXPECT_EQ(control->segmentCount(), 3);
    EXPECT_EQ(control->labelForSegment(1), "Two");
    EXPECT_EQ(control->widthForSegment(1), 40);
    EXPECT_EQ(control->selectedSegment(), 1);
    EXPECT_EQ(control->trackingMode(), NSSegmentSwitchTrackingMomentary);
    EXPECT_EQ(control->target().lock(), owner) << "connections reach the new cell";

    auto bad = load(
        "<NSSegmentedControl>\n  <NSSegmentedCell selectedSegment=\"0\"/>\n"
        "</NSSegmentedControl>\n");
    EXPECT_NE(bad.error.find("selectedSegment"), std::string::npos) << bad.error;
}

TEST(NibValueText, ColoursFontsAndListsParse) {
    struct ColourCase {
        const char* text;
        double r, g, b, a;
    };
    const ColourCase colours[] = {
        {"0 0.5 1", 0, 0.5, 1, 1},         {" 1 1 1 0.25 ", 1, 1, 1, 0.25},
        {"#FF8000", 1, 128 / 255.0, 0, 1}, {"#ff800040", 1, 128 / 255.0, 0, 64 / 255.0},
        {"clearColor", 0, 0, 0, 0},        {"palette:nibTestTeal", 0, 0.5, 0.5, 0.75},
    };
    NibColorNames::registerColor("nibTestTeal", NSColor::colorWithDeviceRed(0, 0.5, 0.5, 0.75));
    for (const ColourCase& c : colours) {
        auto color = platform::parseColorText(c.text);
        ASSERT_TRUE(color) << c.text;
        EXPECT_NEAR(color->redComponent(), c.r, 1e-9) << c.text;
        EXPECT_NEAR(color->greenComponent(), c.g, 1e-9) << c.text;
        EXPECT_NEAR(color->blueComponent(), c.b, 1e-9) << c.text;
        EXPECT_NEAR(color->alphaComponent(), c.a, 1e-9) << c.text;
    }
    for (const char* bad : {"", "1 1", "1 1 1 1 1", "#GG0000", "-0.1 0 0", "red", "palette:",
                            "palette:nibTestTeal2", "nibTestTeal", "palette: nibTestTeal"})
        EXPECT_FALSE(platform::parseColorText(bad)) << bad;

    auto font = platform::parseFontText("DejaVu Sans Bold 14.5");
    ASSERT_TRUE(font);
    EXPECT_EQ(font->familyName(), "DejaVu Sans");
    EXPECT_EQ(font->pointSize(), 14.5);
    EXPECT_EQ(platform::parseFontText("system 12")->fontName(),
              NSFont::systemFontOfSize(12)->fontName());
    for (const char* bad : {"", "14", "DejaVuSans", "DejaVuSans 0", "DejaVuSans nan"})
        EXPECT_FALSE(platform::parseFontText(bad)) << bad;

    EXPECT_EQ(platform::splitListText("A||C"), (std::vector<std::string>{"A", "", "C"}));
    EXPECT_TRUE(platform::splitListText("").empty());
}

}  // namespace
