// Catches cell copies that lose a field or the dynamic class, share mutable values with the
// original, or let the copy's changes reach it; and values that read back wrongly as text,
// numbers, states or attributed text.
#include "platform/appkit/NSCell.h"

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

#include "platform/appkit/NSButtonCell.h"
#include "platform/appkit/NSImageCell.h"
#include "platform/appkit/NSSegmentedCell.h"
#include "platform/appkit/NSTextFieldCell.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSImage.h"
#include "platform/testing/LogCapture.h"

namespace {

/// An application cell as lists use them: its own fields, sub-cells shared with copies, and
/// an adjustment made to each copy.
class RowCell : public NSButtonCell {
  public:
    Ref<NSTextFieldCell> label;
    int ownState = 0;

    Ref<NSCell> clone() const override {
        auto copy = std::make_shared<RowCell>(*this);
        copy->setImagePosition(NSImageLeft);
        return copy;
    }
};

/// A subclass that forgot the copy hook.
class ForgetfulCell : public NSTextFieldCell {};

TEST(CellCopy, KeepsEveryFieldAndTheClass) {
    auto target = std::make_shared<NSObject>();
    auto represented = std::make_shared<NSObject>();
    auto image = NSImage::initWithSize({8, 8});
    auto alternate = NSImage::initWithSize({4, 4});
    auto font = NSFont::boldSystemFontOfSize(17);

    auto cell = std::make_shared<RowCell>();
    cell->label = NSTextFieldCell::make();
    cell->ownState = 7;
    cell->setButtonType(NSButtonTypeSwitch);
    cell->setBezelStyle(NSBezelStyleSmallSquare);
    cell->setTitle("Name");
    cell->setAlternateTitle("Alt");
    cell->setImage(image);
    cell->setAlternateImage(alternate);
    cell->setImageScaling(NSImageScaleAxesIndependently);
    cell->setHighlightsBy(NSContentsCellMask);
    cell->setShowsStateBy(NSChangeGrayCellMask);
    cell->setImageDimsWhenDisabled(false);
    cell->setTransparent(true);
    cell->setKeyEquivalent("k");
    cell->setAllowsMixedState(true);
    cell->setState(NSMixedState);
    cell->setEnabled(false);
    cell->setEditable(true);
    cell->setFont(font);
    cell->setAlignment(NSRightTextAlignment);
    cell->setLineBreakMode(NSLineBreakByTruncatingMiddle);
    cell->setTag(42);
    cell->setTarget(target);
    cell->setAction(SEL("clickButtonAction:"));
    cell->setRepresentedObject(represented);
    cell->setControlSize(NSControlSizeSmall);

    Ref<NSCell> base = cell->copy();
    ASSERT_TRUE(base);
    const NSCell& made = *base;
    ASSERT_EQ(typeid(made), typeid(RowCell));
    auto copy = std::static_pointer_cast<RowCell>(base);
    EXPECT_NE(copy, cell);
    EXPECT_EQ(copy->label, cell->label) << "sub-cells are shared with copies";
    EXPECT_EQ(copy->ownState, 7);
    EXPECT_EQ(copy->imagePosition(), NSImageLeft) << "the subclass adjusts its copies";
    EXPECT_EQ(copy->buttonType(), NSButtonTypeSwitch);
    EXPECT_EQ(copy->bezelStyle(), NSBezelStyleSmallSquare);
    EXPECT_EQ(copy->title(), "Name");
    EXPECT_EQ(copy->alternateTitle(), "Alt");
    EXPECT_EQ(copy->image(), image);
    EXPECT_EQ(copy->alternateImage(), alternate);
    EXPECT_EQ(copy->imageScaling(), NSImageScaleAxesIndependently);
    EXPECT_EQ(copy->highlightsBy(), NSContentsCellMask);
    EXPECT_EQ(copy->showsStateBy(), NSChangeGrayCellMask);
    EXPECT_FALSE(copy->imageDimsWhenDisabled());
    EXPECT_TRUE(copy->isTransparent());
    EXPECT_EQ(copy->keyEquivalent(), "k");
    EXPECT_TRUE(copy->allowsMixedState());
    EXPECT_EQ(copy->state(), NSMixedState);
    EXPECT_FALSE(copy->isEnabled());
    EXPECT_TRUE(copy->isEditable());
    EXPECT_EQ(copy->font(), font);
    EXPECT_EQ(copy->alignment(), NSRightTextAlignment);
    EXPECT_EQ(copy->lineBreakMode(), NSLineBreakByTruncatingMiddle);
    EXPECT_EQ(copy->tag(), 42);
    EXPECT_EQ(copy->target().lock(), target);
    EXPECT_EQ(copy->action(), SEL("clickButtonAction:"));
    EXPECT_EQ(copy->representedObject(), represented);
    EXPECT_EQ(copy->controlSize(), NSControlSizeSmall);

    // The copy's changes stay in the copy.
    copy->setTitle("Other");
    copy->setState(NSOffState);
    copy->setTag(1);
    copy->ownState = 0;
    EXPECT_EQ(cell->title(), "Name");
    EXPECT_EQ(cell->state(), NSMixedState);
    EXPECT_EQ(cell->tag(), 42);
    EXPECT_EQ(cell->ownState, 7);
    EXPECT_EQ(cell->imagePosition(), NSImageLeft) << "set by setButtonType(switch)";
}

TEST(CellCopy, PlatformCellsKeepTheirOwnFields) {
    auto text = NSTextFieldCell::make();
    text->setTextColor(NSColor::redColor());
    text->setDrawsBackground(true);
    text->setPlaceholderString("Search");
    auto textCopy = std::dynamic_pointer_cast<NSTextFieldCell>(text->copy());
    ASSERT_TRUE(textCopy);
    EXPECT_EQ(*textCopy->textColor(), *NSColor::redColor());
    EXPECT_TRUE(textCopy->drawsBackground());
    EXPECT_EQ(textCopy->placeholderString(), "Search");

    auto image = NSImageCell::make();
    image->setImageScaling(NSImageScaleAxesIndependently);
    image->setImageAlignment(NSImageAlignTopLeft);
    auto imageCopy = std::dynamic_pointer_cast<NSImageCell>(image->copy());
    ASSERT_TRUE(imageCopy);
    EXPECT_EQ(imageCopy->imageScaling(), NSImageScaleAxesIndependently);
    EXPECT_EQ(imageCopy->imageAlignment(), NSImageAlignTopLeft);

    auto segments = NSSegmentedCell::make();
    segments->setSegmentCount(3);
    segments->setLabel("B", 1);
    segments->setSelectedSegment(2);
    auto segmentsCopy = std::dynamic_pointer_cast<NSSegmentedCell>(segments->copy());
    ASSERT_TRUE(segmentsCopy);
    EXPECT_EQ(segmentsCopy->segmentCount(), 3);
    EXPECT_EQ(segmentsCopy->labelForSegment(1), "B");
    EXPECT_EQ(segmentsCopy->selectedSegment(), 2);
    segmentsCopy->setSelectedSegment(0);
    EXPECT_EQ(segments->selectedSegment(), 2);
}

TEST(CellCopy, AttributedValuesAreCopiedNotShared) {
    auto cell = NSTextFieldCell::make();
    auto text = NSMutableAttributedString::make("abc");
    cell->setAttributedStringValue(text);
    auto copy = cell->copy();
    text->appendAttributedString(NSAttributedString("def"));
    EXPECT_EQ(cell->stringValue(), "abc") << "the cell took its own copy";
    auto held = std::any_cast<Ref<NSAttributedString>>(cell->objectValue());
    std::static_pointer_cast<NSMutableAttributedString>(held)->appendAttributedString(
        NSAttributedString("!"));
    EXPECT_EQ(copy->stringValue(), "abc") << "the copy shares nothing mutable";
}

TEST(CellCopy, ASubclassWithoutTheHookIsReported) {
    platform::LogCapture log;
    auto cell = std::make_shared<ForgetfulCell>();
    auto copy = cell->copy();
    const NSCell& made = *copy;
    EXPECT_EQ(typeid(made), typeid(NSTextFieldCell));
    ASSERT_FALSE(log.lines().empty());
    EXPECT_NE(log.lines()[0].find("clone"), std::string::npos) << log.lines()[0];
}

TEST(CellValue, ReadsBackAsTextAndNumbers) {
    struct Case {
        const char* name;
        std::any value;
        std::string text;
        long integer;
        double number;
    };
    const Case cases[] = {
        {"text with a leading number", std::string("12abc"), "12abc", 12, 12},
        {"text without one", std::string("abc"), "abc", 0, 0},
        {"negative decimal text", std::string(" -2.5"), " -2.5", -2, -2.5},
        {"double", 3.5, "3.5", 3, 3.5},
        {"whole double", 100.0, "100", 100, 100},
        {"long", 7L, "7", 7, 7},
        {"int", 9, "9", 9, 9},
        {"bool", true, "1", 1, 1},
        {"attributed", NSAttributedString::make("42 items"), "42 items", 42, 42},
        {"empty", std::any(), "", 0, 0},
    };
    for (const Case& c : cases) {
        auto cell = NSCell::make();
        cell->setObjectValue(c.value);
        EXPECT_EQ(cell->stringValue(), c.text) << c.name;
        EXPECT_EQ(cell->integerValue(), c.integer) << c.name;
        EXPECT_DOUBLE_EQ(cell->doubleValue(), c.number) << c.name;
    }
}

TEST(CellValue, StatesAreNormalised) {
    struct Case {
        bool allowsMixed;
        NSControlStateValue set, read;
    };
    const Case cases[] = {
        {false, 1, NSOnState},  {false, 5, NSOnState},    {false, 0, NSOffState},
        {false, -1, NSOnState}, {true, -1, NSMixedState}, {true, -7, NSMixedState},
    };
    for (const Case& c : cases) {
        auto cell = NSButtonCell::make();
        cell->setAllowsMixedState(c.allowsMixed);
        cell->setState(c.set);
        EXPECT_EQ(cell->state(), c.read) << c.set << (c.allowsMixed ? " mixed allowed" : "");
        EXPECT_EQ(cell->intValue(), c.read) << "a button's value is its state";
    }
}

TEST(CellValue, AttributedValuesTakeTheCellsAttributesWhereTheyHaveNone) {
    auto cell = NSTextFieldCell::make();
    auto font = NSFont::systemFontOfSize(20);
    cell->setFont(font);
    cell->setTextColor(NSColor::blueColor());
    auto text = NSMutableAttributedString::make("12.34 MB freed");
    text->addAttribute(NSForegroundColorAttributeName, NSColor::greenColor(), NSMakeRange(0, 8));
    cell->setAttributedStringValue(text);
    auto shown = cell->attributedStringValue();
    auto colorAt = [&](std::size_t i) {
        return std::any_cast<Ref<NSColor>>(
            shown->attributeAtIndex(NSForegroundColorAttributeName, i));
    };
    EXPECT_EQ(*colorAt(0), *NSColor::greenColor()) << "the value's own colour wins";
    EXPECT_EQ(*colorAt(10), *NSColor::blueColor()) << "the rest takes the cell's";
    EXPECT_EQ(std::any_cast<Ref<NSFont>>(shown->attributeAtIndex(NSFontAttributeName, 3)), font);
}

}  // namespace
