#pragma once
// Helpers on ordered lists of shared objects: membership by identity and bulk insertion.

#include <algorithm>
#include <cstddef>
#include <set>
#include <vector>

#include "platform/foundation/Ref.h"

namespace kb {

/// Whether `list` holds that very object (pointer identity, not equality).
template <class T, class U>
bool containsObjectIdenticalTo(const std::vector<Ref<T>>& list, const Ref<U>& object) {
    return std::any_of(list.begin(), list.end(),
                       [&](const Ref<T>& element) { return element.get() == object.get(); });
}

/// Whether `list` holds, by identity, any element of `objects` (tried in order).
template <class T, class U>
bool containsAnyObjectsIdenticalTo(const std::vector<Ref<T>>& list,
                                   const std::vector<Ref<U>>& objects) {
    return std::any_of(objects.begin(), objects.end(), [&](const Ref<U>& object) {
        return containsObjectIdenticalTo(list, object);
    });
}

/// For each element of `objects` that `list` holds by equality, the index of its first equal
/// element; elements not held are skipped.
template <class T>
std::set<std::size_t> indexesOfObjects(const std::vector<T>& list, const std::vector<T>& objects) {
    std::set<std::size_t> indexes;
    for (const T& object : objects) {
        auto found = std::find(list.begin(), list.end(), object);
        if (found != list.end()) indexes.insert(static_cast<std::size_t>(found - list.begin()));
    }
    return indexes;
}

/// Inserts `objects` at `index`, index + 1, ... so that they stand together in their order.
/// An index past the end appends.
template <class T>
void insertObjectsFromArray(std::vector<T>& list, const std::vector<T>& objects,
                            std::size_t index) {
    index = std::min(index, list.size());
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(index), objects.begin(), objects.end());
}

}  // namespace kb
