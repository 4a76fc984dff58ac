// Catches kit buttons that draw the wrong colour for their type, a pressed bezel that keeps the
// 1-point inset (or a resting one that loses it), a gradient upside down, titles in the wrong
// colour for their bezel, and interface files that leave the button with the cell class the
// file names instead of the button's own.
#include "controls/KBButton/KBButton.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/controls/ButtonTestWindow.h"
#include "controls/KBButton/AllCustemButton.h"
#include "controls/rowcells/RemoveButtonCell.h"
#include "platform/appkit/NibLoader.h"
#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSFont.h"

using namespace buttontest;

namespace {

struct Rgb {
    int r, g, b;
};

class KitButtons : public ButtonWindow {
  protected:
    // The button fills x 20..180 and y 20..80 of the window (base coordinates).
    static constexpr NSRect kFrame{{20, 20}, {160, 60}};

    template <class Button>
    Ref<Button> place(const std::string& title) {
        auto button = Button::make(kFrame);
        button->setTitle(title);
        button->setFont(NSFont::boldSystemFontOfSize(24));
        add(button);
        return button;
    }
    /// The pixel of the title area (the middle of the button) farthest from `bezel`.
    Pixel titleInk(Rgb bezel) {
        auto surface = pt::renderWindow(*window);
        Pixel best{};
        int bestDistance = -1;
        for (int x = 70; x < 130; ++x) {
            for (int y = 35; y < 65; ++y) {
                Pixel p = surface->pixelAt(x, surface->pixelsHigh() - 1 - y);
                int d = std::abs(p.r - bezel.r) + std::abs(p.g - bezel.g) + std::abs(p.b - bezel.b);
                if (d > bestDistance) bestDistance = d, best = p;
            }
        }
        return best;
    }
};

bool near(Pixel p, Rgb c, int tolerance) {
    return buttontest::near(p, c.r, c.g, c.b, tolerance);
}

::testing::AssertionResult looksLike(Pixel p, Rgb c, int tolerance) {
    if (near(p, c, tolerance)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "saw " << int(p.r) << " " << int(p.g) << " " << int(p.b)
                                         << ", expected " << c.r << " " << c.g << " " << c.b;
}

TEST_F(KitButtons, EachTypeDrawsItsColourAndTitle) {
    struct Case {
        int type;
        Rgb base, lightened, darkened;
        bool blackTitle;
    };
    const Case cases[] = {
        {0, {217, 217, 217}, {247, 247, 247}, {186, 186, 186}, true},
        {1, {0, 84, 204}, {31, 115, 235}, {0, 54, 173}, false},
        {2, {46, 150, 181}, {77, 181, 212}, {15, 120, 150}, false},
        {3, {82, 163, 82}, {112, 194, 112}, {51, 133, 51}, false},
        {4, {247, 148, 5}, {255, 178, 36}, {217, 117, 0}, false},
        {5, {189, 54, 46}, {219, 84, 77}, {158, 23, 15}, false},
        {6, {33, 33, 33}, {64, 64, 64}, {3, 3, 3}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        auto button = place<KBButton>("Go");
        if (c.type != 0) button->setKBButtonType(c.type);  // type 0 is the type as made
        auto* cell = dynamic_cast<KBButtonCell*>(button->cell());
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->kbButtonType(), c.type);

        // At rest: lightened at the top, the colour itself at the bottom.
        EXPECT_TRUE(looksLike(at(25, 78), c.lightened, 8));
        EXPECT_TRUE(looksLike(at(25, 21), c.base, 8));
        const Pixel ink = titleInk(c.base);
        EXPECT_TRUE(c.blackTitle ? looksLike(ink, {0, 0, 0}, 60)
                                 : looksLike(ink, {255, 255, 255}, 60));

        // Pressed: one flat darkened colour.
        button->highlight(true);
        EXPECT_TRUE(looksLike(at(25, 78), c.darkened, 3));
        EXPECT_TRUE(looksLike(at(25, 21), c.darkened, 3));
        button->removeFromSuperview();
    }
}

TEST_F(KitButtons, PressedFillsTheWholeFrameAndRestingIsInsetByOnePoint) {
    auto button = place<KBButton>("");
    struct Case {
        const char* name;
        bool pressed;
        double x, y;
        bool filled;
    };
    const Case cases[] = {
        {"left edge at rest", false, 20, 50, false},
        {"first column inside the inset", false, 21, 50, true},
        {"top edge at rest", false, 100, 79, false},
        {"left edge pressed", true, 20, 50, true},
        {"top edge pressed", true, 100, 79, true},
        {"corner pressed, rounded off", true, 20, 79, false},
        {"outside the frame", true, 19, 50, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        button->highlight(c.pressed);
        const Pixel p = at(c.x, c.y);
        EXPECT_EQ(p.r > 120, c.filled) << int(p.r);  // the window behind is black
    }
}

TEST_F(KitButtons, TitleColourOverridesTheColourOfTheGivenTitle) {
    // The title is given in red: the kit's cells decide the colour themselves.
    const NSAttributes red{{NSFontAttributeName, NSFont::boldSystemFontOfSize(24)},
                           {NSForegroundColorAttributeName, NSColor::redColor()}};
    struct Case {
        const char* name;
        std::function<Ref<NSButton>()> make;
        Rgb bezel, title;
    };
    const Case cases[] = {
        {"light grey KBButton", [&] { return place<KBButton>("Go"); }, {217, 217, 217}, {0, 0, 0}},
        {"blue KBButton",
         [&] {
             auto b = place<KBButton>("Go");
             b->setKBButtonType(1);
             return b;
         },
         {0, 84, 204},
         {255, 255, 255}},
        {"AllCustemButton",
         [&] { return place<AllCustemButton>("Go"); },
         {0, 0, 0},
         {255, 255, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<NSButton> button = c.make();
        button->setAttributedTitle(NSAttributedString::make("Go", red));
        EXPECT_TRUE(looksLike(titleInk(c.bezel), c.title, 60));
        button->removeFromSuperview();
    }
}

TEST_F(KitButtons, InterfaceFilesMakeTheButtonsOwnCellClass) {
    const std::string path = dir.write("Kit.ui", R"(<interface>
  <KBButton title="no cell element"/>
  <KBButton><NSButtonCell title="from the file"/></KBButton>
  <AllCustemButton><NSButtonCell title="from the file"/></AllCustemButton>
  <NSButton><NSButtonCell title="plain"/></NSButton>
  <KBButton><RemoveButtonCell title="another cell class"/></KBButton>
</interface>)");
    auto result = NibLoader::load(path, nullptr);
    ASSERT_TRUE(result) << result.error;
    struct Case {
        const char* name;
        const char* cellClass;
        const char* title;
    } cases[] = {
        {"KBButton without a cell element", "KBButtonCell", "no cell element"},
        {"KBButton with a button cell", "KBButtonCell", "from the file"},
        {"AllCustemButton with a button cell", "AllCustemButtonCell", "from the file"},
        {"a plain button after them", "NSButtonCell", "plain"},
        {"a cell of another class", "RemoveButtonCell", "another cell class"},
    };
    ASSERT_EQ(result.topLevelObjects.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        auto button = std::dynamic_pointer_cast<NSButton>(result.topLevelObjects[i]);
        ASSERT_TRUE(button && button->cell());
        EXPECT_EQ(button->cell()->className(), cases[i].cellClass);
        EXPECT_EQ(button->title(), cases[i].title);
        EXPECT_EQ(button->cell()->controlView(), button.get());
    }
}

}  // namespace
