#pragma once
// What a table asks of the object that supplies its rows. Optional messages answer
// std::nullopt (or do nothing) unless the data source overrides them.

#include <any>

class NSTableColumn;
class NSTableView;

class NSTableViewDataSource {
  public:
    virtual ~NSTableViewDataSource() = default;
    /// numberOfRowsInTableView: the number of rows (a negative answer counts as 0).
    virtual long numberOfRowsInTableView(NSTableView* tableView) = 0;
    /// tableView:objectValueForTableColumn:row: the value the column's cell shows in `row`
    /// (empty: the cell shows nothing).
    virtual std::any objectValueForTableColumn(NSTableView* /*tableView*/,
                                               NSTableColumn* /*column*/, long /*row*/) {
        return {};
    }
    /// tableView:setObjectValue:forTableColumn:row: a cell of `row` was changed by the user.
    virtual void setObjectValue(NSTableView* /*tableView*/, const std::any& /*value*/,
                                NSTableColumn* /*column*/, long /*row*/) {}
};
