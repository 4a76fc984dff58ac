#pragma once
// A set of non-negative indexes (rows, columns) kept in ascending order: a small value type.

#include <initializer_list>
#include <set>
#include <vector>

class NSIndexSet {
  public:
    /// The empty set.
    NSIndexSet() = default;
    /// The set of the given indexes (negative ones are left out).
    NSIndexSet(std::initializer_list<long> indexes);
    /// The set holding `index` alone (empty when `index` is negative).
    static NSIndexSet indexSetWithIndex(long index);
    /// The indexes from `first` up to, not including, `first + length`.
    static NSIndexSet indexSetWithIndexesInRange(long first, long length);

    long count() const { return static_cast<long>(indexes_.size()); }
    bool empty() const { return indexes_.empty(); }
    bool containsIndex(long index) const { return indexes_.count(index) != 0; }
    /// The smallest index, or -1 for the empty set.
    long firstIndex() const { return indexes_.empty() ? -1 : *indexes_.begin(); }
    /// The largest index, or -1 for the empty set.
    long lastIndex() const { return indexes_.empty() ? -1 : *indexes_.rbegin(); }
    /// The indexes in ascending order.
    std::vector<long> indexes() const { return {indexes_.begin(), indexes_.end()}; }

    /// Adds `index` (a negative index is ignored).
    void addIndex(long index);
    void addIndexes(const NSIndexSet& other);
    void removeIndex(long index) { indexes_.erase(index); }
    /// Removes every index at or above `limit`.
    void removeIndexesFrom(long limit);
    void removeAllIndexes() { indexes_.clear(); }

    std::set<long>::const_iterator begin() const { return indexes_.begin(); }
    std::set<long>::const_iterator end() const { return indexes_.end(); }
    bool operator==(const NSIndexSet&) const = default;

  private:
    std::set<long> indexes_;
};
