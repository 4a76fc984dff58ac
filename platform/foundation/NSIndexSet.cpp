#include "platform/foundation/NSIndexSet.h"

NSIndexSet::NSIndexSet(std::initializer_list<long> indexes) {
    for (long i : indexes)
        addIndex(i);
}

NSIndexSet NSIndexSet::indexSetWithIndex(long index) {
    NSIndexSet set;
    set.addIndex(index);
    return set;
}

NSIndexSet NSIndexSet::indexSetWithIndexesInRange(long first, long length) {
    NSIndexSet set;
    for (long i = 0; i < length; ++i)
        set.addIndex(first + i);
    return set;
}

void NSIndexSet::addIndex(long index) {
    if (index >= 0) indexes_.insert(index);
}

void NSIndexSet::addIndexes(const NSIndexSet& other) {
    indexes_.insert(other.indexes_.begin(), other.indexes_.end());
}

void NSIndexSet::removeIndexesFrom(long limit) {
    indexes_.erase(indexes_.lower_bound(limit < 0 ? 0 : limit), indexes_.end());
}
