#pragma once
// The application's side of one privileged helper: starting it through the escalation command,
// asking it to run tools, and ending it.

#include <sys/types.h>

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

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

    /// Runs `argv` (argv[0] the absolute tool path) in the helper, its standard output and
    /// error (and input when `inputToo`) being `io`. With `announce` the tool's end is
    /// reported to waitForProcess. errAuthorizationToolExecuteFailure when the helper could not
    /// start it, errAuthorizationToolEnvironmentError when the helper is gone.
    OSStatus execute(const std::vector<std::string>& argv, int io, bool inputToo, bool announce,
                     pid_t* pid);

    /// Whether the helper still answers.
    bool alive() const;
    /// Ends the helper: it finishes running tools, then exits; returns once it is reaped.
    /// Idempotent.
    void end();

  private:
    HelperSession(int channel, pid_t process);
    void readReplies();

    struct Pending {
        bool announce = false;
        bool answered = false;
        pid_t pid = -1;
        int error = 0;
    };

    const int channel_;
    const pid_t process_;
    std::thread reader_;

    mutable std::mutex mutex_;  // guards what follows
    std::condition_variable answered_;
    bool alive_ = true;
    std::uint32_t nextId_ = 1;
    std::map<std::uint32_t, Pending> pending_;
    std::set<pid_t> running_;  // announced tools that have not ended yet

    std::mutex sendMutex_;  // one frame at a time on the channel
    std::mutex endMutex_;
    bool ended_ = false;
};

}  // namespace platform::detail
