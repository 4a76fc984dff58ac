#pragma once
// The application's colours, named for their role: code asks for them here, and interface
// files name them as "palette:NAME" once registerInterfaceColors has run.

#include <string_view>
#include <vector>

#include "platform/graphics/NSColor.h"

class Palette {
  public:
    Palette() = delete;

    /// The green of a selected segment, sidebar entry and counted number.
    static Ref<NSColor> selectionGreen();
    /// The selection green as the preference window's interface file writes it, in three decimals.
    static Ref<NSColor> selectionGreenDecimal();
    /// The bright green of progress, success, link hover and highlighted figures.
    static Ref<NSColor> accentGreen();
    /// The fill of the chosen entry of the sort menu.
    static Ref<NSColor> sortSelectionGreen();
    /// The label of a dialog's primary button.
    static Ref<NSColor> primaryButtonGreen();
    /// The end message of a removal that failed.
    static Ref<NSColor> failureRed();
    /// The selected row of the plain outline.
    static Ref<NSColor> outlineSelectionBlue();
    /// The main window's panels and list rows.
    static Ref<NSColor> panelGrey();
    /// The panel grey with no opacity, for backgrounds that let the panel show.
    static Ref<NSColor> panelGreyClear();
    /// The sidebar's background.
    static Ref<NSColor> sidebarGrey();
    /// Dialog backgrounds, their list rows and the segmented control's frame.
    static Ref<NSColor> dialogGrey();
    /// The outline of a dialog panel.
    static Ref<NSColor> dialogEdgeGrey();
    /// A pop-up panel's fill.
    static Ref<NSColor> popUpGrey();
    /// A pop-up panel's outline.
    static Ref<NSColor> popUpEdgeGrey();
    /// An attached window's background, before its opacity is chosen.
    static Ref<NSColor> popUpBlue();
    /// An attached window's border.
    static Ref<NSColor> popUpBorder();
    /// The background of the About window's version panel.
    static Ref<NSColor> aboutPanelGrey();
    /// The fill of the main lists' header cells.
    static Ref<NSColor> headerGrey();
    /// The fill of the dialog lists' header cells.
    static Ref<NSColor> popUpHeaderGrey();
    /// The titles of the dark header cells.
    static Ref<NSColor> headerTextGrey();
    /// The text a header measures to place its sort indicator.
    static Ref<NSColor> sortIndicatorWhite();
    /// The search box's placeholder.
    static Ref<NSColor> searchPlaceholderGrey();
    /// The label of a segment that is not selected.
    static Ref<NSColor> segmentLabelGrey();
    /// A title bar's title, at half opacity when its window is not main.
    static Ref<NSColor> titleTextGrey();
    /// The names in the review and confirmation trees.
    static Ref<NSColor> treeTextGrey();
    /// The other columns of the review and confirmation trees.
    static Ref<NSColor> treeDetailGrey();
    /// The tree detail grey as the dialogs' interface files write it, in three decimals.
    static Ref<NSColor> treeDetailGreyDecimal();
    /// Titles and list text on the main window.
    static Ref<NSColor> titleWhite();
    /// The line under a screen's title.
    static Ref<NSColor> subtitleWhite();
    /// The update dialog's feature lines and centred notes.
    static Ref<NSColor> paleWhite();
    /// A link that the pointer is not over.
    static Ref<NSColor> linkWhite();
    /// The link white as its interface file writes it (alpha 0.8 in double precision).
    static Ref<NSColor> linkWhiteDecimal();
    /// A button label under the pointer, a chosen sort entry, typed search text.
    static Ref<NSColor> labelWhite();
    /// A button label at rest.
    static Ref<NSColor> labelWhiteDim();
    /// A pressed button's label.
    static Ref<NSColor> labelWhitePressed();
    /// A disabled button's label.
    static Ref<NSColor> labelWhiteDisabled();
    /// A sidebar entry that is not selected.
    static Ref<NSColor> sidebarLabelWhite();
    /// The glow under a title bar's title.
    static Ref<NSColor> titleShadowWhite();
    /// The rounded highlight of a main list's row.
    static Ref<NSColor> rowHoverTint();
    /// The tool box panel.
    static Ref<NSColor> toolBoxTint();
    /// The rounded highlight of a dialog list's row.
    static Ref<NSColor> rowHighlightTint();
    /// The track behind a progress bar.
    static Ref<NSColor> progressTrackTint();
    /// Screen titles as the interface files set them.
    static Ref<NSColor> screenTextWhite();
    /// Screen text at 80% opacity.
    static Ref<NSColor> screenTextWhite80();
    /// Screen text at 70% opacity.
    static Ref<NSColor> screenTextWhite70();
    /// Screen text at 60% opacity.
    static Ref<NSColor> screenTextWhite60();
    /// Screen text at 45% opacity.
    static Ref<NSColor> screenTextWhite45();
    /// Dialog titles as the interface files set them.
    static Ref<NSColor> dialogTextWhite();
    /// Dialog text at 80% opacity.
    static Ref<NSColor> dialogTextWhite80();
    /// Dialog text at 70% opacity.
    static Ref<NSColor> dialogTextWhite70();

    /// One colour of the palette and the name interface files give it.
    struct Entry {
        std::string_view name;
        Ref<NSColor> (*color)();
    };
    /// Every colour of the palette with its name.
    static const std::vector<Entry>& entries();
    /// Lets interface files name every colour of the palette ("palette:selectionGreen");
    /// safe to call more than once.
    static void registerInterfaceColors();
};
