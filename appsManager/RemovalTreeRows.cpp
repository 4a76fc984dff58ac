#include "appsManager/RemovalTreeRows.h"

#include <algorithm>

#include "controls/lists/MyNewOutlineView.h"
#include "platform/foundation/NSString.h"

namespace {

void addRow(std::vector<std::string>& rows, long row) {
    std::string text = ns::stringWithFormat("%d", static_cast<int>(row));
    if (std::find(rows.begin(), rows.end(), text) == rows.end()) rows.push_back(text);
}

}  // namespace

void RemovalTreeRows::noteGroupRow(NSOutlineView* outline, const Ref<NSObject>& item) {
    if (!outline) return;
    // The group's row is known by now: it is listed before its children are asked for.
    const long row = outline->rowForItem(item);
    if (row >= 0) addRow(rootArr_, row);
    if (auto* mine = dynamic_cast<MyNewOutlineView*>(outline)) mine->setIsRootArr(rootArr_);
    outline->setNeedsDisplay(true);
}

void RemovalTreeRows::collectGroupRows(MyNewOutlineView* outline,
                                       const std::function<bool(const Ref<NSObject>&)>& isGroup) {
    if (!outline) return;
    rootArr_.clear();
    for (long row = 0; row < outline->numberOfRows(); ++row)
        if (isGroup(outline->itemAtRow(row))) addRow(rootArr_, row);
    outline->setIsRootArr(rootArr_);
    outline->setNeedsDisplay(true);
}

bool RemovalTreeRows::toggleClickedItem(MyNewOutlineView* outline) {
    if (!outline) return false;
    outline->setSelectCellBackgroundColorWithRow(-1);
    Ref<NSObject> item = outline->itemAtRow(outline->clickedRow());
    if (!item) return false;
    if (outline->isItemExpanded(item))
        outline->collapseItem(item);
    else
        outline->expandItem(item);
    return true;
}

void RemovalTreeRows::shouldSelect(NSOutlineView* outline, const Ref<NSObject>& item) {
    if (auto* mine = dynamic_cast<MyNewOutlineView*>(outline))
        mine->setSelectCellBackgroundColorWithRow(static_cast<int>(outline->rowForItem(item)));
    newSelectItem_ = item;
}

void RemovalTreeRows::selectionDidChange(MyNewOutlineView* outline) {
    Ref<NSObject> now = newSelectItem_.lock();
    if (now == oldSelectItem_.lock() && outline) {
        // The highlighted row was chosen again: the highlight goes.
        outline->setSelectCellBackgroundColorWithRow(-1);
        newSelectItem_.reset();
        now = nullptr;
        outline->setNeedsDisplay(true);
    }
    oldSelectItem_ = now;
}
