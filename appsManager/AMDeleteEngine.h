#pragma once
// The removal steps shared by both delete executors. An entry is removed through the record
// made when it was found (its canonical parent, its name and its identity), never by its path:
// first as the user, then, when that fails, once more with administrator rights, which the
// privileged helper uses for that removal and nothing else. The rights are obtained once and
// held until freed; the executors free them when a list is done.

#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "platform/foundation/FileEntryRecord.h"
#include "platform/security/Authorization.h"

class AMDeleteEngine {
  public:
    /// Receives the outcome of one entry: true removed, false failed.
    using Report = std::function<void(bool removed)>;

    /// No rights held.
    AMDeleteEngine() = default;
    /// Gives the rights up.
    ~AMDeleteEngine();
    AMDeleteEngine(const AMDeleteEngine&) = delete;
    AMDeleteEngine& operator=(const AMDeleteEngine&) = delete;

    /// Removes the entry of `record` (as the user first, privileged second) and calls `report`
    /// exactly once with the outcome; answers it. `path` only names the entry in the log. An
    /// entry that is no longer there is reported removed at once; one that is another object
    /// now, or whose parent's path holds a link now, fails and nothing is removed. Without a
    /// record nothing is removed: reported removed when nothing is at `path`, else failed. An
    /// entry that is not deletable gives its owner read, write and search on it for the
    /// attempt; its previous mode is put back afterwards.
    bool removeEntry(const std::string& path,
                     const std::optional<platform::FileEntryRecord>& record, const Report& report);

    /// Obtains administrator rights once; true while they are held.
    bool allocAuthorization();
    /// A fresh reference to the held rights (null without them); the caller frees it.
    AuthorizationRef authorizationRef();
    /// Removes the entry of `record` with the held rights; true when it was removed or nothing
    /// was left to remove, false when the removal failed, the entry changed, or the request was
    /// refused.
    bool authDeleteAtPath(const platform::FileEntryRecord& record);
    /// Gives the held rights up (nothing when none are held); the helper then ends.
    void freeAuthorization();

    /// Whether rights are held.
    bool isValidAuth() const { return isValidAuth_; }

    /// Held by the queued work of an executor while it runs one list, so that lists given to
    /// the same executor run one after another instead of sharing the rights state.
    std::mutex& listLock() { return listLock_; }

  private:
    AuthorizationRef authorizationRef_ = nullptr;
    bool isValidAuth_ = false;
    AuthorizationExternalForm authForm_{};
    std::mutex listLock_;
};
