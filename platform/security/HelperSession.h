#pragma once
// The application's side of one privileged helper: starting it through the escalation command,
// asking it to remove recorded entries, and ending it.

#include <sys/types.h>

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/foundation/EntryRemoval.h"
#include "platform/security/Authorization.h"

namespace platform::detail {

class HelperSession {
  public:
    /// Starts "<escalation> <helperPath> --uninstaller-privileged-helper" and waits until the
    /// helper greets (the user has authenticated). The escalation command's exit code 126 gives
    /// errAuthorizationCanceled, 127 errAuthorizationDenied; a command that cannot be started or
    /// that ends otherwise errAuthorizationInternal.
    static OSStatus start(const std::string& escalation, const std::string& helperPath,
                          std::shared_ptr<HelperSession>* session);

    ~HelperSession();
    HelperSession(const HelperSession&) = delete;
    HelperSession& operator=(const HelperSession&) = delete;

    /// Asks the helper to remove the entry of `record` and waits for its answer (requests of
    /// several threads share the channel). errAuthorizationToolEnvironmentError when the helper
    /// is gone, errAuthorizationToolExecuteFailure when it refused the request.
    OSStatus remove(const FileEntryRecord& record, EntryRemoval* outcome);

    /// Whether the helper still answers.
    bool alive() const;
    /// Ends the helper: it answers the requests it has, then exits; returns once it is reaped.
    /// Idempotent.
    void end();

  private:
    HelperSession(int channel, pid_t process);
    void readReplies();

    struct Pending {
        bool answered = false;
        bool refused = false;
        EntryRemoval outcome;
    };

    const int channel_;
    const pid_t process_;
    std::thread reader_;

    mutable std::mutex mutex_;  // guards what follows
    std::condition_variable answered_;
    bool alive_ = true;
    std::uint32_t nextId_ = 1;
    std::map<std::uint32_t, Pending> pending_;

    std::mutex sendMutex_;  // one frame at a time on the channel
    std::mutex endMutex_;
    bool ended_ = false;
};

}  // namespace platform::detail
