#pragma once
// What the language removal's confirmation dialog tells the screen that opened it: that the
// removal started, then each folder's outcome (on the delete executor's background thread).

#include "languages/ZRTreeNode.h"

class ShowRemoveLagCleanDelegate {
  public:
    virtual ~ShowRemoveLagCleanDelegate() = default;
    /// `count` folders were handed to the executor; runs the progress dialog until it ends.
    virtual void beginToRemoveSelectLagWithCount(int count) = 0;
    /// The folder of `entry` was removed.
    virtual void deleteRelatedFile(const Ref<ZRTreeNode>& entry) = 0;
    /// The folder of `entry` could not be removed.
    virtual void deleteRelatedFileFail(const Ref<ZRTreeNode>& entry) = 0;
};
