#include "platform/appkit/NSTableColumn.h"

#include <algorithm>

#include "platform/appkit/NSTableHeaderCell.h"
#include "platform/appkit/NSTableView.h"

Ref<NSTableColumn> NSTableColumn::make(const std::string& identifier) {
    auto column = std::make_shared<NSTableColumn>();
    column->setIdentifier(identifier);
    return column;
}

NSTableColumn::NSTableColumn()
    : headerCell_(NSTableHeaderCell::make()), dataCell_(NSTextFieldCell::make()) {}

NSTableColumn::~NSTableColumn() = default;

void NSTableColumn::setWidth(double width) {
    width_ = std::clamp(width, minWidth_, std::max(minWidth_, maxWidth_));
    changed();
}

void NSTableColumn::setMinWidth(double width) {
    minWidth_ = std::max(0.0, width);
    if (width_ < minWidth_) setWidth(minWidth_);
}

void NSTableColumn::setMaxWidth(double width) {
    maxWidth_ = std::max(0.0, width);
    if (width_ > maxWidth_) setWidth(maxWidth_);
}

void NSTableColumn::setHidden(bool hidden) {
    hidden_ = hidden;
    changed();
}

void NSTableColumn::setHeaderCell(const Ref<NSTableHeaderCell>& cell) {
    headerCell_ = cell ? cell : NSTableHeaderCell::make();
    changed();
}

std::string NSTableColumn::title() const {
    return headerCell_->stringValue();
}

void NSTableColumn::setTitle(const std::string& title) {
    headerCell_->setStringValue(title);
    changed();
}

void NSTableColumn::setDataCell(const Ref<NSCell>& cell) {
    dataCell_ = cell ? cell : NSTextFieldCell::make();
    changed();
}

Ref<NSCell> NSTableColumn::dataCellForRow(long) const {
    return dataCell_;
}

void NSTableColumn::addNibChild(Ref<NSObject> child) {
    if (auto header = std::dynamic_pointer_cast<NSTableHeaderCell>(child)) {
        // The title given on the column survives a header cell that brings none.
        std::string title = headerCell_->stringValue();
        if (header->stringValue().empty()) header->setStringValue(title);
        setHeaderCell(header);
    } else if (auto cell = std::dynamic_pointer_cast<NSCell>(child)) {
        setDataCell(cell);
    }
}

void NSTableColumn::changed() {
    if (tableView_) tableView_->columnDidChange(this);
}
