#include "appsManager/AMRelatedFilesGroup.h"

#include <algorithm>

Ref<AMRelatedFilesGroupList> AMRelatedFilesGroup::listOfGroups(std::vector<AMAppItemGroup> groups) {
    auto list = std::make_shared<AMRelatedFilesGroupList>();
    for (AMAppItemGroup& records : groups)
        list->push_back(make(std::move(records)));
    return list;
}

Ref<AMAppItem> AMRelatedFilesGroup::recordAt(long index) const {
    if (index < 0 || index >= static_cast<long>(records_.size())) return nullptr;
    return records_[static_cast<std::size_t>(index)];
}

bool AMRelatedFilesGroup::containsRecord(const AMAppItem* record) const {
    return std::any_of(records_.begin(), records_.end(),
                       [record](const Ref<AMAppItem>& r) { return r.get() == record; });
}

void AMRelatedFilesGroup::registerClass() {
    ClassRegistry::shared().registerClass<AMRelatedFilesGroup, NSObject>("AMRelatedFilesGroup");
}
