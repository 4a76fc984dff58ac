#pragma once
// The look of the menus the platform draws: a dark panel with light text, a blue bar under the
// highlighted item, key equivalents right-aligned and greyed, a triangle for submenus.

#include <string>

#include "platform/foundation/NSGeometry.h"

namespace platform::theme {

/// Height of an item's row and of a separator's row.
inline constexpr double kMenuItemHeight = 22;
inline constexpr double kMenuSeparatorHeight = 9;
/// Space above the first row and below the last.
inline constexpr double kMenuVerticalPadding = 5;
/// From the left edge to the title (the state mark sits in this margin).
inline constexpr double kMenuTitleInset = 22;
/// From the right edge to the end of the key equivalent (the submenu arrow sits here).
inline constexpr double kMenuRightInset = 20;
/// Least space between a title and its key equivalent.
inline constexpr double kMenuKeyGap = 32;
inline constexpr double kMenuMinimumWidth = 140;
/// The text size of titles and key equivalents.
inline constexpr double kMenuFontSize = 13;

/// What one row shows.
struct MenuRowLook {
    std::string title;
    /// The key equivalent as text ("Ctrl+Q"), or "".
    std::string keyLabel;
    bool enabled = true;
    bool highlighted = false;
    bool hasSubmenu = false;
    /// 1 draws a check mark, -1 a dash, 0 nothing.
    long state = 0;
};

/// The width a menu needs to show a row with `title` and `keyLabel` (margins included).
double menuRowWidth(const std::string& title, const std::string& keyLabel, bool hasSubmenu);
/// Fills the menu's panel and draws its border; `bounds` is in the menu view's flipped
/// coordinates.
void drawMenuBackground(NSRect bounds);
/// Draws one item row (flipped coordinates, `row` spans the whole width).
void drawMenuRow(NSRect row, const MenuRowLook& look);
/// Draws a separator line centred in `row`.
void drawMenuSeparator(NSRect row);

}  // namespace platform::theme
