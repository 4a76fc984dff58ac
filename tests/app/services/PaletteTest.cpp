// Catches a palette colour that drifts from the value the screens were drawn with (a grey
// level turned into RGB, a float alpha turned into a double one, an interface file's colour
// that no longer matches the code's), and palette names that interface files cannot reach or
// that read another colour.
#include "services/Palette.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/appkit/NibValueParsers.h"
#include "services/getColor.h"

namespace {

/// Same colour space and bit-identical components.
::testing::AssertionResult sameColor(const Ref<NSColor>& actual, const Ref<NSColor>& expected) {
    if (!actual || !expected) return ::testing::AssertionFailure() << "missing colour";
    if (actual->space() != expected->space())
        return ::testing::AssertionFailure()
               << actual->colorSpaceName() << " instead of " << expected->colorSpaceName();
    const double a[4] = {actual->redComponent(), actual->greenComponent(), actual->blueComponent(),
                         actual->alphaComponent()};
    const double e[4] = {expected->redComponent(), expected->greenComponent(),
                         expected->blueComponent(), expected->alphaComponent()};
    for (int i = 0; i < 4; ++i)
        if (a[i] != e[i])
            return ::testing::AssertionFailure()
                   << "component " << i << " is " << a[i] << " instead of " << e[i];
    return ::testing::AssertionSuccess();
}

TEST(Palette, KeepsTheValuesTheScreensWereDrawnWith) {
    struct Case {
        const char* role;
        Ref<NSColor> palette;
        Ref<NSColor> drawnWith;
    };
    const Case cases[] = {
        // Colours that the views wrote as fractions of 255 rather than through getColor.
        {"selectionGreen", Palette::selectionGreen(),
         NSColor::colorWithDeviceRed(49 / 255.0, 190 / 255.0, 106 / 255.0, 1.0)},
        {"dialogGrey", Palette::dialogGrey(),
         NSColor::colorWithDeviceRed(51 / 255.0, 55 / 255.0, 58 / 255.0, 1.0)},
        {"dialogEdgeGrey", Palette::dialogEdgeGrey(),
         NSColor::colorWithDeviceRed(33 / 255.0, 36 / 255.0, 37 / 255.0, 1)},
        {"sidebarGrey", Palette::sidebarGrey(),
         NSColor::colorWithDeviceRed(64 / 255.0, 68 / 255.0, 70 / 255.0, 1.0)},
        {"outlineSelectionBlue", Palette::outlineSelectionBlue(),
         NSColor::colorWithDeviceRed(59 / 255.0, 153 / 255.0, 252 / 255.0, 1)},
        {"titleWhite", Palette::titleWhite(),
         NSColor::colorWithDeviceRed(242 / 255.0, 242 / 255.0, 242 / 255.0, 1)},
        {"searchPlaceholderGrey", Palette::searchPlaceholderGrey(),
         NSColor::colorWithDeviceRed(177.0 / 255.0, 179.0 / 255.0, 180.0 / 255.0, 1.0)},
        // The attached window's blue takes its opacity where it is used.
        {"popUpBlue at 0.8", Palette::popUpBlue()->colorWithAlphaComponent(0.8),
         NSColor::colorWithDeviceRed(38 / 255.0, 43 / 255.0, 65 / 255.0, 0.8)},
        {"popUpBlue at 0.98", Palette::popUpBlue()->colorWithAlphaComponent(0.98),
         NSColor::colorWithDeviceRed(38 / 255.0, 43 / 255.0, 65 / 255.0, 0.98)},
        {"inactive titleTextGrey", Palette::titleTextGrey()->colorWithAlphaComponent(0.5),
         NSColor::colorWithDeviceWhite(56.0 / 255.0, 0.5)},
        // Grey levels stay grey levels.
        {"sidebarLabelWhite", Palette::sidebarLabelWhite(),
         NSColor::colorWithDeviceWhite(1.0, 0.5)},
        {"progressTrackTint", Palette::progressTrackTint(),
         NSColor::colorWithDeviceWhite(1.0, 0.2)},
        {"segmentLabelGrey", Palette::segmentLabelGrey(), NSColor::colorWithDeviceWhite(0.7, 1.0)},
        // Alphas given as float literals keep their float rounding.
        {"linkWhite", Palette::linkWhite(), getColor(255, 255, 255, 0.8f)},
        {"toolBoxTint", Palette::toolBoxTint(), getColor(255, 255, 255, 0.06f)},
        {"treeDetailGrey", Palette::treeDetailGrey(), getColor(214, 214, 215, 0.8f)},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(sameColor(c.palette, c.drawnWith)) << c.role;
}

TEST(Palette, InterfaceFileNamesReadTheCodesColours) {
    Palette::registerInterfaceColors();
    std::set<std::string> names;
    for (const Palette::Entry& entry : Palette::entries()) {
        EXPECT_TRUE(names.insert(std::string(entry.name)).second) << "twice: " << entry.name;
        EXPECT_TRUE(sameColor(platform::parseColorText("palette:" + std::string(entry.name)),
                              entry.color()))
            << entry.name;
    }
    // What the interface files wrote before they named the palette reads the same colour.
    struct Written {
        const char* text;
        const char* name;
    };
    const Written written[] = {
        {"#3C4043", "panelGrey"},
        {"#33373A", "dialogGrey"},
        {"#F2F2F2", "titleWhite"},
        {"1 1 1", "labelWhite"},
        {"1 1 1 0.8", "linkWhiteDecimal"},
        {"0.192 0.745 0.416", "selectionGreenDecimal"},
        {"0.839 0.839 0.843 0.8", "treeDetailGreyDecimal"},
        {"0.95 0.95 0.95", "screenTextWhite"},
        {"0.95 0.95 0.95 0.8", "screenTextWhite80"},
        {"0.95 0.95 0.95 0.7", "screenTextWhite70"},
        {"0.95 0.95 0.95 0.6", "screenTextWhite60"},
        {"0.95 0.95 0.95 0.45", "screenTextWhite45"},
        {"0.949 0.949 0.949", "dialogTextWhite"},
        {"0.949 0.949 0.949 0.8", "dialogTextWhite80"},
        {"0.949 0.949 0.949 0.7", "dialogTextWhite70"},
    };
    for (const Written& w : written)
        EXPECT_TRUE(sameColor(platform::parseColorText(std::string("palette:") + w.name),
                              platform::parseColorText(w.text)))
            << w.text << " as " << w.name;
}

}  // namespace
