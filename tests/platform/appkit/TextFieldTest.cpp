// Catches labels that draw in the wrong colour or place, ignore their alignment, background,
// single-line mode or placeholder, paint outside their frame, keep a bezel after "not
// bordered", or swallow clicks meant for the view behind them.
#include "platform/appkit/NSTextField.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/graphics/NSFont.h"
#include "platform/graphics/TextLayout.h"
#include "support/ControlTestSupport.h"

using namespace controltest;

namespace {

/// Where the ink of one colour lies in a window region (base coordinates).
struct Ink {
    int minX = 1 << 30, maxX = -1, minY = 1 << 30, maxY = -1;
    bool any() const { return maxX >= 0; }
};

class ClickCatcher : public NSView {
  public:
    void mouseDown(NSEvent&) override { ++downs; }
    int downs = 0;
};

class TextFields : public ControlWindow {
  protected:
    void SetUp() override {
        ControlWindow::SetUp();
        label = NSTextField::labelWithString("WWWW");
        label->setFrame(NSMakeRect(10, 30, 180, 40));
        label->setFont(NSFont::systemFontOfSize(20));
        label->setTextColor(NSColor::redColor());
        add(label);
    }
    /// The red ink in the window (base coordinates, y up).
    Ink redInk() {
        auto surface = pt::renderWindow(*window);
        Ink ink;
        if (!surface) return ink;
        int h = surface->pixelsHigh();
        for (int row = 0; row < h; ++row) {
            for (int x = 0; x < surface->pixelsWide(); ++x) {
                Pixel p = surface->pixelAt(x, row);
                if (p.r < 128 || p.g > 90 || p.b > 90) continue;
                int y = h - 1 - row;
                ink.minX = std::min(ink.minX, x);
                ink.maxX = std::max(ink.maxX, x);
                ink.minY = std::min(ink.minY, y);
                ink.maxY = std::max(ink.maxY, y);
            }
        }
        return ink;
    }
    Ref<NSTextField> label;
};

TEST_F(TextFields, LabelsDrawTheirColourWhereTheirAlignmentSays) {
    struct Case {
        NSTextAlignment alignment;
        int inkFrom, inkTo;  // the x range that must hold all the ink
    };
    const Case cases[] = {
        {NSTextAlignmentLeft, 10, 110},
        {NSTextAlignmentRight, 90, 190},
        {NSTextAlignmentCenter, 40, 160},
    };
    for (const Case& c : cases) {
        label->setAlignment(c.alignment);
        Ink ink = redInk();
        ASSERT_TRUE(ink.any()) << "alignment " << c.alignment;
        EXPECT_GE(ink.minX, c.inkFrom) << "alignment " << c.alignment;
        EXPECT_LE(ink.maxX, c.inkTo) << "alignment " << c.alignment;
        // Labels draw from the top of their frame, inside it.
        EXPECT_LE(ink.maxY, 70) << "alignment " << c.alignment;
        EXPECT_GE(ink.minY, 40) << "alignment " << c.alignment;
    }
    ASSERT_TRUE(redInk().any());
    int left = (label->setAlignment(NSTextAlignmentLeft), redInk().minX);
    int right = (label->setAlignment(NSTextAlignmentRight), redInk().minX);
    EXPECT_GT(right - left, 50);
}

TEST_F(TextFields, LongTextStaysInsideTheFrame) {
    label->setStringValue("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
    label->setLineBreakMode(NSLineBreakByTruncatingTail);
    Ink ink = redInk();
    ASSERT_TRUE(ink.any());
    EXPECT_GE(ink.minX, 10);
    EXPECT_LT(ink.maxX, 190);
    EXPECT_GE(ink.minY, 30);
    EXPECT_LT(ink.maxY, 70);
}

TEST_F(TextFields, SingleLineModeDrawsOneLine) {
    label->setStringValue("WWW WWW WWW WWW WWW WWW WWW WWW");
    label->setLineBreakMode(NSLineBreakByWordWrapping);
    Ink wrapped = redInk();
    label->setUsesSingleLineMode(true);
    Ink single = redInk();
    ASSERT_TRUE(wrapped.any() && single.any());
    EXPECT_LT(wrapped.minY, single.minY - 10)
        << "wrapping reaches a second line, one line does not";
}

TEST_F(TextFields, BackgroundIsDrawnOnlyWhenAsked) {
    label->setStringValue("");
    label->setBackgroundColor(NSColor::greenColor());
    EXPECT_TRUE(near(at(100, 50), 0, 0, 0, 10));
    label->setDrawsBackground(true);
    EXPECT_TRUE(near(at(100, 50), 0, 255, 0, 10));
    EXPECT_TRUE(near(at(100, 75), 0, 0, 0, 10)) << "outside the frame";
}

TEST_F(TextFields, PlaceholderShowsOnlyWhileEmpty) {
    label->setStringValue("");
    label->setPlaceholderString("Search");
    Ink red = redInk();
    EXPECT_FALSE(red.any()) << "the placeholder is not drawn in the text colour";
    bool grey = false;
    for (int x = 12; x < 100 && !grey; ++x)
        for (int y = 45; y < 70 && !grey; ++y)
            grey = !near(at(x, y), 0, 0, 0, 40);
    EXPECT_TRUE(grey) << "some placeholder ink";
    label->setStringValue("WW");
    EXPECT_TRUE(redInk().any());
}

TEST_F(TextFields, BorderAndBezelExcludeEachOther) {
    struct Case {
        const char* name;
        std::function<void(NSTextField&)> steps;
        bool bezeled, bordered;
    };
    const Case cases[] = {
        {"made in code", [](NSTextField&) {}, true, false},
        {"not bordered drops the bezel", [](NSTextField& f) { f.setBordered(false); }, false,
         false},
        {"bordered drops the bezel", [](NSTextField& f) { f.setBordered(true); }, false, true},
        {"bezel drops the border",
         [](NSTextField& f) {
             f.setBordered(true);
             f.setBezeled(true);
         },
         true, false},
        {"not bezeled keeps the border",
         [](NSTextField& f) {
             f.setBordered(true);
             f.setBezeled(false);
         },
         false, true},
    };
    for (const Case& c : cases) {
        auto field = NSTextField::make(NSMakeRect(0, 0, 50, 20));
        c.steps(*field);
        EXPECT_EQ(field->isBezeled(), c.bezeled) << c.name;
        EXPECT_EQ(field->isBordered(), c.bordered) << c.name;
    }
}

TEST_F(TextFields, LabelsPassClicksToTheViewBehind) {
    auto behind = std::make_shared<ClickCatcher>();
    behind->initWithFrame(NSMakeRect(0, 0, 200, 100));
    label->removeFromSuperview();
    add(behind);
    behind->addSubview(label);
    click({100, 50});
    EXPECT_EQ(behind->downs, 1);
    EXPECT_TRUE(label->mouseDownCanMoveWindow());
    label->setEditable(true);
    click({100, 50});
    EXPECT_EQ(behind->downs, 1) << "an editable field keeps its clicks";
    EXPECT_FALSE(label->mouseDownCanMoveWindow());
}

TEST_F(TextFields, LabelWithStringFitsItsText) {
    auto fitted = NSTextField::labelWithString("Uninstall");
    EXPECT_FALSE(fitted->isEditable());
    EXPECT_FALSE(fitted->isBezeled());
    NSSize text = ns::sizeWithAttributes("Uninstall", {{NSFontAttributeName, fitted->font()}});
    EXPECT_GE(fitted->frame().size.width, text.width);
    EXPECT_LE(fitted->frame().size.width, text.width + 8);
    EXPECT_GE(fitted->frame().size.height, text.height);
}

}  // namespace
