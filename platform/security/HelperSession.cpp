#include "platform/security/HelperSession.h"

#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/foundation/NSLog.h"
#include "platform/security/HelperProtocol.h"
#include "platform/security/PrivilegedHelper.h"
#include "platform/security/ToolProcess.h"

namespace platform::detail {

namespace hp = helper;

namespace {

int waitChild(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return 0;
    }
    return status;
}

}  // namespace

OSStatus HelperSession::start(const std::string& escalation, const std::string& helperPath,
                              std::shared_ptr<HelperSession>* session) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return errAuthorizationInternal;
    int error = 0;
    // The helper's standard input and output are its end of the channel; pkexec keeps only
    // descriptors 0 to 2 open. Its standard error stays ours, for the prompt's messages.
    pid_t pid = spawnProgram(escalation, {escalation, helperPath, kPrivilegedHelperArgument},
                             ends[1], ends[1], STDERR_FILENO, &error);
    ::close(ends[1]);
    if (pid < 0) {
        ::close(ends[0]);
        NSLog("Cannot start the escalation command %s: %s", escalation, std::strerror(error));
        return errAuthorizationInternal;
    }

    hp::Message greeting;
    bool greeted = hp::receiveMessage(ends[0], &greeting, nullptr) == hp::ReceiveResult::kMessage &&
                   greeting.type == hp::kReady &&
                   hp::PayloadReader(greeting.payload).u32() == hp::kProtocolVersion;
    if (!greeted) {
        // Refused, cancelled, or not our helper: the command ends (or is told to, by the
        // closed channel) and its exit code says why.
        ::close(ends[0]);
        int status = waitChild(pid);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 126) return errAuthorizationCanceled;
        if (WIFEXITED(status) && WEXITSTATUS(status) == 127) return errAuthorizationDenied;
        return errAuthorizationInternal;
    }
    session->reset(new HelperSession(ends[0], pid));
    return errAuthorizationSuccess;
}

HelperSession::HelperSession(int channel, pid_t process) : channel_(channel), process_(process) {
    reader_ = std::thread([this] { readReplies(); });
}

HelperSession::~HelperSession() {
    end();
}

bool HelperSession::alive() const {
    std::lock_guard lock(mutex_);
    return alive_;
}

OSStatus HelperSession::remove(const FileEntryRecord& record, EntryRemoval* outcome) {
    std::uint32_t id;
    {
        std::lock_guard lock(mutex_);
        if (!alive_) return errAuthorizationToolEnvironmentError;
        id = nextId_++;
        pending_[id] = Pending{};
    }
    bool sent;
    {
        std::lock_guard lock(sendMutex_);
        sent = hp::sendMessage(channel_, hp::kRemove, hp::encodeRemove(id, record));
    }
    std::unique_lock lock(mutex_);
    if (sent) answered_.wait(lock, [&] { return pending_[id].answered || !alive_; });
    Pending reply = pending_[id];
    pending_.erase(id);
    if (!reply.answered) return errAuthorizationToolEnvironmentError;
    if (reply.refused) return errAuthorizationToolExecuteFailure;
    *outcome = reply.outcome;
    return errAuthorizationSuccess;
}

void HelperSession::readReplies() {
    for (;;) {
        hp::Message m;
        if (hp::receiveMessage(channel_, &m, nullptr) != hp::ReceiveResult::kMessage) break;
        if (m.type != hp::kRemoved && m.type != hp::kRefused) break;
        hp::PayloadReader r(m.payload);
        auto id = r.u32();
        auto status = m.type == hp::kRemoved ? r.u32() : std::optional<std::uint32_t>(0);
        auto error = r.i32();
        if (!id || !status || !error ||
            *status > static_cast<std::uint32_t>(EntryRemovalStatus::kFailed))
            break;
        std::lock_guard lock(mutex_);
        auto it = pending_.find(*id);
        if (it == pending_.end()) continue;
        it->second.answered = true;
        it->second.refused = m.type == hp::kRefused;
        it->second.outcome = EntryRemoval{static_cast<EntryRemovalStatus>(*status), *error};
        answered_.notify_all();
    }
    {
        std::lock_guard lock(mutex_);
        alive_ = false;
    }
    answered_.notify_all();
}

void HelperSession::end() {
    std::lock_guard lock(endMutex_);
    if (ended_) return;
    ended_ = true;
    ::shutdown(channel_, SHUT_WR);
    if (reader_.joinable()) reader_.join();
    ::close(channel_);
    waitChild(process_);
}

}  // namespace platform::detail
