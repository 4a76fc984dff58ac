#include "services/Palette.h"

#include "platform/appkit/NibColorNames.h"
#include "services/getColor.h"

Ref<NSColor> Palette::selectionGreen() {
    return getColor(49, 190, 106, 1);
}

Ref<NSColor> Palette::selectionGreenDecimal() {
    return NSColor::colorWithDeviceRed(0.192, 0.745, 0.416, 1);
}

Ref<NSColor> Palette::accentGreen() {
    return getColor(48, 207, 110, 1);
}

Ref<NSColor> Palette::sortSelectionGreen() {
    return getColor(36, 166, 106, 1);
}

Ref<NSColor> Palette::primaryButtonGreen() {
    return getColor(104, 165, 108, 1);
}

Ref<NSColor> Palette::failureRed() {
    return getColor(255, 107, 94, 1);
}

Ref<NSColor> Palette::outlineSelectionBlue() {
    return getColor(59, 153, 252, 1);
}

Ref<NSColor> Palette::panelGrey() {
    return getColor(60, 64, 67, 1);
}

Ref<NSColor> Palette::panelGreyClear() {
    return getColor(60, 64, 67, 0);
}

Ref<NSColor> Palette::sidebarGrey() {
    return getColor(64, 68, 70, 1);
}

Ref<NSColor> Palette::dialogGrey() {
    return getColor(51, 55, 58, 1);
}

Ref<NSColor> Palette::dialogEdgeGrey() {
    return getColor(33, 36, 37, 1);
}

Ref<NSColor> Palette::popUpGrey() {
    return getColor(43, 46, 49, 1);
}

Ref<NSColor> Palette::popUpEdgeGrey() {
    return getColor(66, 70, 73, 1);
}

Ref<NSColor> Palette::popUpBlue() {
    return getColor(38, 43, 65, 1);
}

Ref<NSColor> Palette::popUpBorder() {
    return getColor(0, 0, 0, 0.3f);
}

Ref<NSColor> Palette::aboutPanelGrey() {
    return getColor(59, 63, 66, 1);
}

Ref<NSColor> Palette::headerGrey() {
    return getColor(50, 54, 57, 1);
}

Ref<NSColor> Palette::popUpHeaderGrey() {
    return getColor(39, 40, 43, 1);
}

Ref<NSColor> Palette::headerTextGrey() {
    return getColor(117, 118, 121, 1);
}

Ref<NSColor> Palette::sortIndicatorWhite() {
    return NSColor::colorWithDeviceWhite(249.0 / 255.0, 1.0);
}

Ref<NSColor> Palette::searchPlaceholderGrey() {
    return getColor(177, 179, 180, 1);
}

Ref<NSColor> Palette::segmentLabelGrey() {
    return NSColor::colorWithDeviceWhite(0.7, 1.0);
}

Ref<NSColor> Palette::titleTextGrey() {
    return NSColor::colorWithDeviceWhite(56.0 / 255.0, 1.0);
}

Ref<NSColor> Palette::treeTextGrey() {
    return getColor(214, 214, 215, 1);
}

Ref<NSColor> Palette::treeDetailGrey() {
    return getColor(214, 214, 215, 0.8);
}

Ref<NSColor> Palette::treeDetailGreyDecimal() {
    return NSColor::colorWithDeviceRed(0.839, 0.839, 0.843, 0.8);
}

Ref<NSColor> Palette::titleWhite() {
    return getColor(242, 242, 242, 1);
}

Ref<NSColor> Palette::subtitleWhite() {
    return getColor(242, 242, 242, 0.6);
}

Ref<NSColor> Palette::paleWhite() {
    return getColor(237, 239, 240, 1);
}

Ref<NSColor> Palette::linkWhite() {
    return getColor(255, 255, 255, 0.8f);
}

Ref<NSColor> Palette::linkWhiteDecimal() {
    return NSColor::colorWithDeviceRed(1, 1, 1, 0.8);
}

Ref<NSColor> Palette::labelWhite() {
    return getColor(255, 255, 255, 1);
}

Ref<NSColor> Palette::labelWhiteDim() {
    return getColor(255, 255, 255, 0.7);
}

Ref<NSColor> Palette::labelWhitePressed() {
    return getColor(255, 255, 255, 0.4);
}

Ref<NSColor> Palette::labelWhiteDisabled() {
    return getColor(255, 255, 255, 0.3);
}

Ref<NSColor> Palette::sidebarLabelWhite() {
    return NSColor::colorWithDeviceWhite(1.0, 0.5);
}

Ref<NSColor> Palette::titleShadowWhite() {
    return NSColor::colorWithDeviceWhite(1.0, 0.5);
}

Ref<NSColor> Palette::rowHoverTint() {
    return getColor(255, 255, 255, 0.04);
}

Ref<NSColor> Palette::toolBoxTint() {
    return getColor(255, 255, 255, 0.06f);
}

Ref<NSColor> Palette::rowHighlightTint() {
    return getColor(255, 255, 255, 0.08);
}

Ref<NSColor> Palette::progressTrackTint() {
    return NSColor::colorWithDeviceWhite(1.0, 0.2);
}

Ref<NSColor> Palette::screenTextWhite() {
    return NSColor::colorWithDeviceRed(0.95, 0.95, 0.95, 1);
}

Ref<NSColor> Palette::screenTextWhite80() {
    return NSColor::colorWithDeviceRed(0.95, 0.95, 0.95, 0.8);
}

Ref<NSColor> Palette::screenTextWhite70() {
    return NSColor::colorWithDeviceRed(0.95, 0.95, 0.95, 0.7);
}

Ref<NSColor> Palette::screenTextWhite60() {
    return NSColor::colorWithDeviceRed(0.95, 0.95, 0.95, 0.6);
}

Ref<NSColor> Palette::screenTextWhite45() {
    return NSColor::colorWithDeviceRed(0.95, 0.95, 0.95, 0.45);
}

Ref<NSColor> Palette::dialogTextWhite() {
    return NSColor::colorWithDeviceRed(0.949, 0.949, 0.949, 1);
}

Ref<NSColor> Palette::dialogTextWhite80() {
    return NSColor::colorWithDeviceRed(0.949, 0.949, 0.949, 0.8);
}

Ref<NSColor> Palette::dialogTextWhite70() {
    return NSColor::colorWithDeviceRed(0.949, 0.949, 0.949, 0.7);
}

const std::vector<Palette::Entry>& Palette::entries() {
    static const std::vector<Entry> all = {
        {"selectionGreen", &Palette::selectionGreen},
        {"selectionGreenDecimal", &Palette::selectionGreenDecimal},
        {"accentGreen", &Palette::accentGreen},
        {"sortSelectionGreen", &Palette::sortSelectionGreen},
        {"primaryButtonGreen", &Palette::primaryButtonGreen},
        {"failureRed", &Palette::failureRed},
        {"outlineSelectionBlue", &Palette::outlineSelectionBlue},
        {"panelGrey", &Palette::panelGrey},
        {"panelGreyClear", &Palette::panelGreyClear},
        {"sidebarGrey", &Palette::sidebarGrey},
        {"dialogGrey", &Palette::dialogGrey},
        {"dialogEdgeGrey", &Palette::dialogEdgeGrey},
        {"popUpGrey", &Palette::popUpGrey},
        {"popUpEdgeGrey", &Palette::popUpEdgeGrey},
        {"popUpBlue", &Palette::popUpBlue},
        {"popUpBorder", &Palette::popUpBorder},
        {"aboutPanelGrey", &Palette::aboutPanelGrey},
        {"headerGrey", &Palette::headerGrey},
        {"popUpHeaderGrey", &Palette::popUpHeaderGrey},
        {"headerTextGrey", &Palette::headerTextGrey},
        {"sortIndicatorWhite", &Palette::sortIndicatorWhite},
        {"searchPlaceholderGrey", &Palette::searchPlaceholderGrey},
        {"segmentLabelGrey", &Palette::segmentLabelGrey},
        {"titleTextGrey", &Palette::titleTextGrey},
        {"treeTextGrey", &Palette::treeTextGrey},
        {"treeDetailGrey", &Palette::treeDetailGrey},
        {"treeDetailGreyDecimal", &Palette::treeDetailGreyDecimal},
        {"titleWhite", &Palette::titleWhite},
        {"subtitleWhite", &Palette::subtitleWhite},
        {"paleWhite", &Palette::paleWhite},
        {"linkWhite", &Palette::linkWhite},
        {"linkWhiteDecimal", &Palette::linkWhiteDecimal},
        {"labelWhite", &Palette::labelWhite},
        {"labelWhiteDim", &Palette::labelWhiteDim},
        {"labelWhitePressed", &Palette::labelWhitePressed},
        {"labelWhiteDisabled", &Palette::labelWhiteDisabled},
        {"sidebarLabelWhite", &Palette::sidebarLabelWhite},
        {"titleShadowWhite", &Palette::titleShadowWhite},
        {"rowHoverTint", &Palette::rowHoverTint},
        {"toolBoxTint", &Palette::toolBoxTint},
        {"rowHighlightTint", &Palette::rowHighlightTint},
        {"progressTrackTint", &Palette::progressTrackTint},
        {"screenTextWhite", &Palette::screenTextWhite},
        {"screenTextWhite80", &Palette::screenTextWhite80},
        {"screenTextWhite70", &Palette::screenTextWhite70},
        {"screenTextWhite60", &Palette::screenTextWhite60},
        {"screenTextWhite45", &Palette::screenTextWhite45},
        {"dialogTextWhite", &Palette::dialogTextWhite},
        {"dialogTextWhite80", &Palette::dialogTextWhite80},
        {"dialogTextWhite70", &Palette::dialogTextWhite70},
    };
    return all;
}

void Palette::registerInterfaceColors() {
    for (const Entry& entry : entries())
        NibColorNames::registerColor(std::string(entry.name), entry.color());
}
