#pragma once
// Ownership vocabulary of the platform: retained and non-retained object references.

#include <memory>

/// A retained reference: the holder keeps the object alive.
template <class T>
using Ref = std::shared_ptr<T>;

/// A non-retained reference (delegates, data sources, targets): reads as nil once freed.
template <class T>
using WeakRef = std::weak_ptr<T>;
