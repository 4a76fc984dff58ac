#pragma once
// One group of the review dialog's tree: the records found for the bundles of one search,
// element 0 being the record of the chosen bundle that names the group row. Groups and their
// records are told apart by identity.

#include <vector>

#include "appsManager/AMAppItem.h"
#include "appsManager/RelatedAppFilesScanner.h"
#include "platform/foundation/NSObject.h"

class AMRelatedFilesGroup;

/// The list of groups that the opener hands to the review dialog (shared, so that the dialog
/// empties the opener's list when an uninstall ends).
using AMRelatedFilesGroupList = std::vector<Ref<AMRelatedFilesGroup>>;

class AMRelatedFilesGroup : public NSObject {
  public:
    /// A group of `records` (element 0 first).
    static Ref<AMRelatedFilesGroup> make(AMAppItemGroup records = {}) {
        auto group = std::make_shared<AMRelatedFilesGroup>();
        group->records_ = std::move(records);
        return group;
    }
    /// A shared list with one group per entry of `groups`, in order.
    static Ref<AMRelatedFilesGroupList> listOfGroups(std::vector<AMAppItemGroup> groups);

    /// The records, element 0 first.
    const AMAppItemGroup& records() const { return records_; }
    AMAppItemGroup& records() { return records_; }
    std::size_t count() const { return records_.size(); }
    bool empty() const { return records_.empty(); }
    /// The record at `index`, or nullptr past the end.
    Ref<AMAppItem> recordAt(long index) const;
    /// Whether `record` (by identity) is one of the records.
    bool containsRecord(const AMAppItem* record) const;

    static void registerClass();

  private:
    AMAppItemGroup records_;
};
