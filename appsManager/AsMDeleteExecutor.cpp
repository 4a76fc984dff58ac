#include "appsManager/AsMDeleteExecutor.h"

#include "platform/dispatch/Dispatch.h"

void AsMDeleteExecutor::setDelegate(const WeakRef<AsMDeleteExecutorDelegate>& delegate) {
    std::lock_guard guard(lock_);
    delegate_ = delegate;
}

Ref<AsMDeleteExecutorDelegate> AsMDeleteExecutor::delegate() const {
    std::lock_guard guard(lock_);
    return delegate_.lock();
}

void AsMDeleteExecutor::executeDelete(const std::vector<Ref<AMAppItem>>& list) {
    {
        std::lock_guard guard(lock_);
        trashFiles_ = list;
    }
    auto self = selfAs<AsMDeleteExecutor>();
    dispatch_async(dispatch_get_global_queue(0, 0), [self, list] {
        std::lock_guard running(self->engine_.listLock());
        for (const auto& entry : list)
            self->removeTrahFile(entry);
        // Rights are held for one list only: the privileged helper ends with it.
        self->freeAuthorization();
    });
}

std::vector<Ref<AMAppItem>> AsMDeleteExecutor::trashFiles() const {
    std::lock_guard guard(lock_);
    return trashFiles_;
}

bool AsMDeleteExecutor::removeTrahFile(const Ref<AMAppItem>& entry) {
    return engine_.removeEntry(entry->path(), entry->entryRecord(), [&](bool removed) {
        auto target = delegate();
        if (!target) return;
        if (removed)
            target->deleteRelatedFile(entry);
        else
            target->deleteRelatedFileFail(entry);
    });
}
