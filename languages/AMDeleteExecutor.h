#pragma once
// Deletes the localisation folders handed over by the language remover, one after another on a
// background queue, and reports each outcome to its delegate.

#include <mutex>
#include <string>
#include <vector>

#include "appsManager/AMDeleteEngine.h"
#include "languages/DeleteExecutorDelegate.h"
#include "languages/ZRTreeNode.h"
#include "platform/foundation/NSObject.h"

class AMDeleteExecutor : public NSObject {
  public:
    /// No rights held, no list, no delegate. Always create through make(): queued work keeps
    /// the executor alive through a retained reference.
    static Ref<AMDeleteExecutor> make() { return std::make_shared<AMDeleteExecutor>(); }

    /// The delegate is not retained; whether it also takes failures (adopts
    /// DeleteExecutorFailureDelegate) is noted here.
    void setDelegate(const WeakRef<DeleteExecutorDelegate>& delegate);
    Ref<DeleteExecutorDelegate> delegate() const;

    /// Keeps a copy of `list` and queues the removal of every entry, in order, on the global
    /// queue; returns at once. Every entry then gets exactly one report; the rights obtained
    /// for the list are given up when it is done.
    void executeDelete(const std::vector<Ref<ZRTreeNode>>& list);
    /// The list of the last executeDelete.
    std::vector<Ref<ZRTreeNode>> trashFiles() const;

    /// Removes one entry through the record made when it was found (an entry without one is
    /// not removed) and reports the outcome; answers it.
    bool removeTrahFile(const Ref<ZRTreeNode>& entry);
    /// Obtains administrator rights once per executor.
    bool allocAuthorization() { return engine_.allocAuthorization(); }
    /// A fresh reference to the held rights; the caller frees it.
    AuthorizationRef authorizationRef() { return engine_.authorizationRef(); }
    /// The privileged removal of one recorded entry.
    bool authDeleteAtPath(const platform::FileEntryRecord& record) {
        return engine_.authDeleteAtPath(record);
    }
    /// Gives the rights up.
    void freeAuthorization() { engine_.freeAuthorization(); }

  private:
    mutable std::mutex lock_;  // guards trashFiles_ and both delegate links
    std::vector<Ref<ZRTreeNode>> trashFiles_;
    AMDeleteEngine engine_;
    WeakRef<DeleteExecutorDelegate> delegate_;
    WeakRef<DeleteExecutorFailureDelegate> failureDelegate_;
};
