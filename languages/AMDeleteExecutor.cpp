#include "languages/AMDeleteExecutor.h"

#include "platform/dispatch/Dispatch.h"

void AMDeleteExecutor::setDelegate(const WeakRef<DeleteExecutorDelegate>& delegate) {
    std::lock_guard guard(lock_);
    delegate_ = delegate;
    failureDelegate_ = std::dynamic_pointer_cast<DeleteExecutorFailureDelegate>(delegate.lock());
}

Ref<DeleteExecutorDelegate> AMDeleteExecutor::delegate() const {
    std::lock_guard guard(lock_);
    return delegate_.lock();
}

void AMDeleteExecutor::executeDelete(const std::vector<Ref<ZRTreeNode>>& list) {
    {
        std::lock_guard guard(lock_);
        trashFiles_ = list;
    }
    auto self = selfAs<AMDeleteExecutor>();
    dispatch_async(dispatch_get_global_queue(0, 0), [self, list] {
        std::lock_guard running(self->engine_.listLock());
        for (const auto& entry : list)
            self->removeTrahFile(entry);
        // Rights are held for one list only: the privileged helper ends with it.
        self->freeAuthorization();
    });
}

std::vector<Ref<ZRTreeNode>> AMDeleteExecutor::trashFiles() const {
    std::lock_guard guard(lock_);
    return trashFiles_;
}

bool AMDeleteExecutor::removeTrahFile(const Ref<ZRTreeNode>& entry) {
    return engine_.removeEntry(entry->path(), entry->entryRecord(), [&](bool removed) {
        if (removed) {
            if (auto target = delegate()) target->deleteRelatedFile(entry);
            return;
        }
        WeakRef<DeleteExecutorFailureDelegate> failure;
        {
            std::lock_guard guard(lock_);
            failure = failureDelegate_;
        }
        if (auto target = failure.lock()) target->deleteRelatedFileFail(entry);
    });
}
