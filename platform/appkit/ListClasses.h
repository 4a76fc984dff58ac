#pragma once
// Registration of the list classes with the class registry, with the properties that
// interface files may set on them.

/// Registers NSTableColumn, NSTableHeaderCell, NSTableHeaderView, NSTableView and
/// NSOutlineView (after the controls, which it registers when they are not yet).
/// Properties:
///   NSTableColumn: identifier, title, width, minWidth, maxWidth, editable, hidden; a cell
///                  element inside it becomes its data cell, a header-cell element its header
///   NSTableView: rowHeight, intercellSpacing ("w h"), headerHeight (0 removes the header),
///                allowsEmptySelection, allowsMultipleSelection, selectionHighlightStyle
///                (none, regular, sourceList), usesAlternatingRowBackgroundColors,
///                backgroundColor, gridStyleMask ("vertical|horizontal", none or a number),
///                doubleAction ("open:"); outlets dataSource and delegate (not retained);
///                column and header-view elements inside it
///   NSOutlineView: indentationPerLevel, and dataSource/delegate of the outline protocols
void registerAppKitListClasses();
