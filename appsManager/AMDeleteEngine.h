#pragma once
// The removal steps shared by both delete executors: a plain removal through the file manager,
// then, when that fails, one removal with administrator rights ("/bin/rm" "-rf") through
// Authorization Services. The rights are obtained once and held until freed.

#include <functional>
#include <mutex>
#include <string>

#include "platform/security/Authorization.h"

class AMDeleteEngine {
  public:
    /// Receives the outcome of one path: true removed, false failed.
    using Report = std::function<void(bool removed)>;

    /// No rights held.
    AMDeleteEngine() = default;
    /// Gives the rights up.
    ~AMDeleteEngine();
    AMDeleteEngine(const AMDeleteEngine&) = delete;
    AMDeleteEngine& operator=(const AMDeleteEngine&) = delete;

    /// Removes `path` (plain first, privileged second) and calls `report` exactly once with the
    /// outcome; answers the outcome. A path that no longer exists is reported removed at once.
    /// Permissions opened up for the attempt are put back when the item survives.
    bool removePath(const std::string& path, const Report& report);

    /// Obtains administrator rights once; true while they are held.
    bool allocAuthorization();
    /// A fresh reference to the held rights (null without them); the caller frees it.
    AuthorizationRef authorizationRef();
    /// Runs "/bin/rm" "-rf" `path` with the held rights; true when the tool printed nothing and
    /// exited with status 0. Refuses paths that are not absolute or hold a NUL byte.
    bool authDeleteAtPath(const std::string& path);
    /// Gives the held rights up (nothing when none are held).
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
