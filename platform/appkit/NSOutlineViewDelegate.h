#pragma once
// What an outline tells and asks its delegate. A message that answers std::nullopt is one the
// delegate does not answer.

#include <optional>
#include <string>

#include "platform/foundation/NSGeometry.h"
#include "platform/foundation/Ref.h"

class NSCell;
class NSNotification;
class NSObject;
class NSOutlineView;
class NSTableColumn;

/// Posted by an outline when its selected rows changed (object: the outline).
inline constexpr const char* NSOutlineViewSelectionDidChangeNotification =
    "NSOutlineViewSelectionDidChangeNotification";

class NSOutlineViewDelegate {
  public:
    virtual ~NSOutlineViewDelegate() = default;
    /// outlineView:willDisplayCell:forTableColumn:item: the cell is about to draw `item`.
    virtual void willDisplayCell(NSOutlineView* /*outlineView*/, NSCell* /*cell*/,
                                 NSTableColumn* /*column*/, const Ref<NSObject>& /*item*/) {}
    /// outlineView:shouldSelectItem: (nullopt: yes).
    virtual std::optional<bool> shouldSelectItem(NSOutlineView* /*outlineView*/,
                                                 const Ref<NSObject>& /*item*/) {
        return std::nullopt;
    }
    /// outlineView:shouldEditTableColumn:item: (nullopt: the column decides).
    virtual std::optional<bool> shouldEditTableColumn(NSOutlineView* /*outlineView*/,
                                                      NSTableColumn* /*column*/,
                                                      const Ref<NSObject>& /*item*/) {
        return std::nullopt;
    }
    /// outlineView:shouldSelectTableColumn: (nullopt: yes).
    virtual std::optional<bool> shouldSelectTableColumn(NSOutlineView* /*outlineView*/,
                                                        NSTableColumn* /*column*/) {
        return std::nullopt;
    }
    /// outlineView:shouldShowOutlineCellForItem: whether the triangle shows (nullopt: yes).
    virtual std::optional<bool> shouldShowOutlineCellForItem(NSOutlineView* /*outlineView*/,
                                                             const Ref<NSObject>& /*item*/) {
        return std::nullopt;
    }
    /// outlineView:didClickTableColumn: the header of `column` was clicked.
    virtual void didClickTableColumn(NSOutlineView* /*outlineView*/, NSTableColumn* /*column*/) {}
    /// outlineView:toolTipForCell:rect:tableColumn:item:mouseLocation: the tool tip of `cell`,
    /// which shows `item` in `column`, for the pointer resting at `mouseLocation` (outline
    /// coordinates); `rect` holds the cell's frame, which the delegate may narrow to the part
    /// that the tool tip belongs to. nullopt or empty: no tool tip.
    virtual std::optional<std::string> toolTipForCell(NSOutlineView* /*outlineView*/,
                                                      NSCell* /*cell*/, NSRect* /*rect*/,
                                                      NSTableColumn* /*column*/,
                                                      const Ref<NSObject>& /*item*/,
                                                      NSPoint /*mouseLocation*/) {
        return std::nullopt;
    }
    /// outlineViewSelectionDidChange: the selected rows changed.
    virtual void outlineViewSelectionDidChange(const NSNotification& /*notification*/) {}
};
