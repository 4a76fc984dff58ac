#pragma once
// The look of the lists that the platform draws itself: row backgrounds, the default selection
// highlight, grid lines, default header cells and the disclosure triangle of outlines. Drawing
// goes to the current graphics context in its current (flipped) coordinates.

#include "platform/foundation/NSGeometry.h"
#include "platform/foundation/Ref.h"

class NSColor;

namespace platform::theme {

/// Height of a row's content unless set, and the default spacing between cells.
inline constexpr double kTableRowHeight = 17;
inline constexpr double kTableIntercellWidth = 3;
inline constexpr double kTableIntercellHeight = 2;
/// Height of a table's header view unless set.
inline constexpr double kTableHeaderHeight = 23;
/// Indentation of each outline level, and the width kept for the disclosure triangle.
inline constexpr double kOutlineIndentationPerLevel = 16;
inline constexpr double kOutlineCellWidth = 14;

/// The background of a table unless set.
Ref<NSColor> tableBackgroundColor();
/// The two backgrounds of alternating rows (even rows, odd rows).
Ref<NSColor> alternatingRowColor(bool odd);
/// The fill of selected rows (regular style) and its lighter form for the source-list style.
Ref<NSColor> selectionHighlightColor(bool sourceList);
/// Grid lines.
Ref<NSColor> gridColor();
/// Text of default header cells.
Ref<NSColor> headerTextColor();

/// Draws a default header cell's background in `frame`, with its divider at the right edge.
void drawHeaderBackground(NSRect frame, bool highlighted);
/// Draws the disclosure triangle of an outline row in `frame`: pointing right when collapsed,
/// down when expanded.
void drawDisclosureTriangle(NSRect frame, bool expanded);

}  // namespace platform::theme
