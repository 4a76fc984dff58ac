#pragma once
// The cells of a removal tree (the review of an uninstall, the confirmation of a language
// removal): a name column of tick, icon and title, a disclosure arrow on group rows, and a
// dimmed size column. Both trees fill their cells through these.

#include <cstdint>
#include <string>

#include "appsManager/AMPublicUtilities.h"
#include "platform/appkit/NSImageCell.h"
#include "platform/appkit/NSOutlineView.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSImage.h"

class NewButton;
class NSTableColumn;

class RemovalTreeCells {
  public:
    /// Whether `column` is there and has `identifier`.
    static bool isColumn(const NSTableColumn* column, const char* identifier);
    /// A new image cell showing `image`.
    static Ref<NSImageCell> imageCell(const Ref<NSImage>& image);
    /// The tick image of a group with `ticked` of its `count` rows ticked: "sel" for all of
    /// them, "halfsel" for some, "unsel" for none.
    static const char* tickImageName(long ticked, long count);
    /// The sum of the size texts of `rows` (anything whose elements answer size()), as size
    /// text.
    template <class Rows>
    static std::string totalSizeText(const Rows& rows) {
        std::uint64_t total = 0;
        for (const auto& row : rows)
            total += AMPublicUtilities::volSpaceFromString(row->size());
        return AMPublicUtilities::convertVolSpace(total);
    }
    /// Whether `item` is on the selected row of `outline`.
    static bool isSelectedItem(NSOutlineView* outline, const Ref<NSObject>& item);

    /// Fills the name cell: image on the left, clicks and the tick told to `owner`, the row's
    /// selection, the tick image `tick`, a 14-point truncating label `title` (in `textColor`
    /// when given) and the icon `icon`.
    static void fillNameCell(NewButton* name, const WeakRef<NSObject>& owner, bool selected,
                             const char* tick, const std::string& title, const Ref<NSImage>& icon,
                             const Ref<NSColor>& textColor = nullptr);
    /// Fills the arrow cell: on a group row the open or closed arrow, its click sending
    /// openOrClose to `owner`; on other rows nothing.
    static void fillArrowCell(NSCell* cell, NSOutlineView* outline, const Ref<NSObject>& item,
                              bool groupRow, const WeakRef<NSObject>& owner);
    /// The remaining columns: nothing in "First", dimmed text elsewhere.
    static void fillOtherCell(NSCell* cell, const NSTableColumn* column);
};
