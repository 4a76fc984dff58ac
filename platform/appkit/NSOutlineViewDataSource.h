#pragma once
// What an outline asks of the object that supplies its tree. Items are the application's
// objects, compared by identity; nullptr stands for the invisible root.

#include <any>

#include "platform/foundation/Ref.h"

class NSObject;
class NSOutlineView;
class NSTableColumn;

class NSOutlineViewDataSource {
  public:
    virtual ~NSOutlineViewDataSource() = default;
    /// outlineView:numberOfChildrenOfItem: (a negative answer counts as 0).
    virtual long numberOfChildrenOfItem(NSOutlineView* outlineView, const Ref<NSObject>& item) = 0;
    /// outlineView:child:ofItem: the child at `index` (nullptr children are left out).
    virtual Ref<NSObject> child(NSOutlineView* outlineView, long index,
                                const Ref<NSObject>& item) = 0;
    /// outlineView:isItemExpandable: whether `item` has a disclosure triangle.
    virtual bool isItemExpandable(NSOutlineView* outlineView, const Ref<NSObject>& item) = 0;
    /// outlineView:objectValueForTableColumn:byItem: the value the column's cell shows.
    virtual std::any objectValueForTableColumn(NSOutlineView* /*outlineView*/,
                                               NSTableColumn* /*column*/,
                                               const Ref<NSObject>& /*item*/) {
        return {};
    }
    /// outlineView:setObjectValue:forTableColumn:byItem: a cell of `item` was changed.
    virtual void setObjectValue(NSOutlineView* /*outlineView*/, const std::any& /*value*/,
                                NSTableColumn* /*column*/, const Ref<NSObject>& /*item*/) {}
};
