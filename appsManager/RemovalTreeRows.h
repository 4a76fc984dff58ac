#pragma once
// The rows of a removal tree: which rows are group rows (the outline paints them apart), the
// highlight that follows the approved selection and goes when the same row is chosen again,
// and the group row that opens or closes on its arrow.

#include <functional>
#include <string>
#include <vector>

#include "platform/foundation/NSObject.h"

class MyNewOutlineView;
class NSOutlineView;

class RemovalTreeRows {
  public:
    /// The row numbers of the group rows as decimal text.
    const std::vector<std::string>& rootArr() const { return rootArr_; }
    /// Forgets the group rows.
    void clear() { rootArr_.clear(); }

    /// Notes the row of the group `item` (once) and hands the group rows to `outline`.
    void noteGroupRow(NSOutlineView* outline, const Ref<NSObject>& item);
    /// Lists the group rows again from every row of `outline` and hands them to it.
    void collectGroupRows(MyNewOutlineView* outline,
                          const std::function<bool(const Ref<NSObject>&)>& isGroup);
    /// The highlight goes and the item of the clicked row opens or closes; false when no row
    /// was clicked.
    bool toggleClickedItem(MyNewOutlineView* outline);

    /// A row was approved for selection: it is highlighted.
    void shouldSelect(NSOutlineView* outline, const Ref<NSObject>& item);
    /// The selection changed: when no new row was approved, the highlight goes.
    void selectionDidChange(MyNewOutlineView* outline);

  private:
    std::vector<std::string> rootArr_;
    WeakRef<NSObject> newSelectItem_;
    WeakRef<NSObject> oldSelectItem_;
};
