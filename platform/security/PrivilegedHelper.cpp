#include "platform/security/PrivilegedHelper.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "platform/security/HelperProtocol.h"
#include "platform/security/ToolProcess.h"

// The helper runs as root: it trusts nothing of a request but its shape. It must not depend on
// other static state of the platform either, since some executables enter it very early.

namespace platform {

namespace detail {

namespace {

namespace hp = helper;

/// A descriptor that becomes readable when the child ends; -1 where the kernel has none.
int openProcessDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

class Helper {
  public:
    explicit Helper(int channel) : channel_(channel) {}

    int run() {
        struct stat st {};
        if (::fstat(channel_, &st) != 0 || !S_ISSOCK(st.st_mode)) {
            std::fprintf(stderr, "privileged helper: standard input is not the application\n");
            return 2;
        }
        ::signal(SIGPIPE, SIG_IGN);
        devNull_ = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        if (devNull_ < 0) return 2;
        if (!hp::sendMessage(channel_, hp::kReady,
                             hp::PayloadWriter().u32(hp::kProtocolVersion).data()))
            return 2;

        bool accepting = true;
        while (accepting || !children_.empty()) {
            std::vector<pollfd> waits;
            if (accepting) waits.push_back({channel_, POLLIN, 0});
            bool blind = false;  // a child without a process descriptor: poll with a timeout
            for (auto& [pid, fd] : children_) {
                if (fd >= 0)
                    waits.push_back({fd, POLLIN, 0});
                else
                    blind = true;
            }
            int r = ::poll(waits.data(), waits.size(), blind ? 50 : -1);
            if (r < 0 && errno != EINTR) break;
            if (accepting && r > 0 && waits[0].revents != 0) accepting = serveOneRequest();
            reapEnded();
        }
        ::close(devNull_);
        return 0;
    }

  private:
    /// Handles one frame; false once the application has gone (or spoke nonsense).
    bool serveOneRequest() {
        hp::Message m;
        std::vector<int> fds;
        hp::ReceiveResult r = hp::receiveMessage(channel_, &m, &fds);
        if (r != hp::ReceiveResult::kMessage || m.type != hp::kExecute) {
            for (int fd : fds)
                ::close(fd);
            return false;
        }
        std::uint32_t id = 0, flags = 0;
        std::vector<std::string> argv;
        int error = 0;
        if (!hp::decodeExecute(m.payload, &id, &flags, &argv) || fds.size() != 1 ||
            argv[0].empty() || argv[0][0] != '/') {
            error = EINVAL;
        }
        pid_t pid = -1;
        if (error == 0) {
            int io = fds[0];
            int input = (flags & hp::kExecuteInputFromDescriptor) ? io : devNull_;
            pid = spawnProgram(argv[0], argv, input, io, io, &error);
        }
        for (int fd : fds)
            ::close(fd);
        if (pid < 0) {
            hp::sendMessage(channel_, hp::kFailed, hp::PayloadWriter().u32(id).i32(error).data());
            return true;
        }
        children_[pid] = openProcessDescriptor(pid);
        hp::sendMessage(channel_, hp::kStarted, hp::PayloadWriter().u32(id).i32(pid).data());
        return true;
    }

    void reapEnded() {
        for (auto it = children_.begin(); it != children_.end();) {
            int status = 0;
            pid_t r = ::waitpid(it->first, &status, WNOHANG);
            if (r == 0 || (r < 0 && errno == EINTR)) {
                ++it;
                continue;
            }
            if (r < 0) status = lostProcessStatus();
            hp::sendMessage(channel_, hp::kExited,
                            hp::PayloadWriter().i32(it->first).i32(status).data());
            if (it->second >= 0) ::close(it->second);
            it = children_.erase(it);
        }
    }

    int channel_;
    int devNull_ = -1;
    std::map<pid_t, int> children_;  // running tools and their process descriptors
};

}  // namespace

int runPrivilegedHelper(int channel) {
    return Helper(channel).run();
}

}  // namespace detail

std::optional<int> runPrivilegedHelperIfRequested(int argc, char** argv) {
    if (argc != 2 || !argv[1] || std::strcmp(argv[1], kPrivilegedHelperArgument) != 0)
        return std::nullopt;
    return detail::runPrivilegedHelper(0);
}

}  // namespace platform
