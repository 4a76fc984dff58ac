#pragma once
// What a table tells and asks its delegate. A message that answers std::nullopt is one the
// delegate does not answer: the table then does what it does without a delegate.

#include <optional>

class NSCell;
class NSNotification;
class NSTableColumn;
class NSTableView;

/// Posted by a table when its selected rows changed (object: the table).
inline constexpr const char* NSTableViewSelectionDidChangeNotification =
    "NSTableViewSelectionDidChangeNotification";

class NSTableViewDelegate {
  public:
    virtual ~NSTableViewDelegate() = default;
    /// tableView:willDisplayCell:forTableColumn:row: the cell is about to draw `row`.
    virtual void willDisplayCell(NSTableView* /*tableView*/, NSCell* /*cell*/,
                                 NSTableColumn* /*column*/, long /*row*/) {}
    /// tableView:shouldSelectRow: whether the user may select `row` (nullopt: yes).
    virtual std::optional<bool> shouldSelectRow(NSTableView* /*tableView*/, long /*row*/) {
        return std::nullopt;
    }
    /// tableView:shouldEditTableColumn:row: whether the cell may be edited (nullopt: the
    /// column's editable flag decides).
    virtual std::optional<bool> shouldEditTableColumn(NSTableView* /*tableView*/,
                                                      NSTableColumn* /*column*/, long /*row*/) {
        return std::nullopt;
    }
    /// tableView:shouldSelectTableColumn: whether a header click selects the column
    /// (nullopt: yes).
    virtual std::optional<bool> shouldSelectTableColumn(NSTableView* /*tableView*/,
                                                        NSTableColumn* /*column*/) {
        return std::nullopt;
    }
    /// tableView:didClickTableColumn: the header of `column` was clicked.
    virtual void didClickTableColumn(NSTableView* /*tableView*/, NSTableColumn* /*column*/) {}
    /// tableViewSelectionDidChange: the selected rows changed.
    virtual void tableViewSelectionDidChange(const NSNotification& /*notification*/) {}
};
