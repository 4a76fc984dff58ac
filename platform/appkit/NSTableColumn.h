#pragma once
// Table columns: an identifier, a width between limits, a header cell with the title and the
// data cell that draws the column's value in every row.

#include <string>

#include "platform/appkit/NibLoader.h"
#include "platform/foundation/NSObject.h"

class NSCell;
class NSTableHeaderCell;
class NSTableView;

class NSTableColumn : public NSObject, public NibContainer {
  public:
    /// A column named `identifier`, 100 points wide, with a text data cell and an empty header.
    static Ref<NSTableColumn> make(const std::string& identifier = {});
    NSTableColumn();
    ~NSTableColumn() override;

    const std::string& identifier() const { return identifier_; }
    void setIdentifier(const std::string& identifier) { identifier_ = identifier; }
    /// The width of the column's cells (the intercell spacing comes on top).
    double width() const { return width_; }
    /// Clamped to [minWidth, maxWidth]; the table is laid out again.
    void setWidth(double width);
    double minWidth() const { return minWidth_; }
    void setMinWidth(double width);
    double maxWidth() const { return maxWidth_; }
    void setMaxWidth(double width);
    bool isEditable() const { return editable_; }
    void setEditable(bool editable) { editable_ = editable; }
    bool isHidden() const { return hidden_; }
    /// Hidden columns take no room and are not drawn.
    void setHidden(bool hidden);

    /// The cell that draws the header (never null).
    const Ref<NSTableHeaderCell>& headerCell() const { return headerCell_; }
    /// nullptr restores an empty platform header cell.
    void setHeaderCell(const Ref<NSTableHeaderCell>& cell);
    /// The header cell's title.
    std::string title() const;
    void setTitle(const std::string& title);

    /// The prototype cell of the column's rows (never null).
    const Ref<NSCell>& dataCell() const { return dataCell_; }
    /// nullptr restores a text cell.
    void setDataCell(const Ref<NSCell>& cell);
    /// The cell for `row`: the data cell unless a subclass gives rows their own.
    virtual Ref<NSCell> dataCellForRow(long row) const;

    /// The table the column is in (raw; cleared when it is removed).
    NSTableView* tableView() const { return tableView_; }
    void setTableView(NSTableView* table) { tableView_ = table; }

    /// Interface files: a header-cell element becomes the header cell, another cell element
    /// the data cell.
    void addNibChild(Ref<NSObject> child) override;

  private:
    void changed();

    std::string identifier_;
    double width_ = 100;
    double minWidth_ = 10;
    double maxWidth_ = 1e6;
    bool editable_ = true;
    bool hidden_ = false;
    Ref<NSTableHeaderCell> headerCell_;
    Ref<NSCell> dataCell_;
    NSTableView* tableView_ = nullptr;
};
