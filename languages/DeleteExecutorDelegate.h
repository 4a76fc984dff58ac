#pragma once
// What the language remover's delete executor reports, on its background thread. Failures go
// only to delegates that also adopt DeleteExecutorFailureDelegate.

#include "languages/ZRTreeNode.h"

class DeleteExecutorDelegate {
  public:
    virtual ~DeleteExecutorDelegate() = default;
    /// `entry` was removed.
    virtual void deleteRelatedFile(const Ref<ZRTreeNode>& entry) = 0;
};

/// The optional part of DeleteExecutorDelegate.
class DeleteExecutorFailureDelegate {
  public:
    virtual ~DeleteExecutorFailureDelegate() = default;
    /// The removal of `entry` failed.
    virtual void deleteRelatedFileFail(const Ref<ZRTreeNode>& entry) = 0;
};
