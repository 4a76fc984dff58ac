#include "platform/security/ToolProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace platform::detail {

namespace {

/// Marks every descriptor from 3 up close-on-exec (only async-signal-safe calls).
void closeOthersOnExec() {
    if (::close_range(3, ~0u, CLOSE_RANGE_CLOEXEC) == 0) return;
    rlimit limit{};
    int top = (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < 65536)
                  ? static_cast<int>(limit.rlim_cur)
                  : 65536;
    for (int fd = 3; fd < top; ++fd)
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
}

[[noreturn]] void failChild(int reportFd) {
    int error = errno;
    while (::write(reportFd, &error, sizeof error) < 0 && errno == EINTR) {
    }
    ::_exit(127);
}

}  // namespace

pid_t spawnProgram(const std::string& path, const std::vector<std::string>& argv, int input,
                   int output, int errorOutput, int* error) {
    // Everything the child needs is built before fork: the child may not allocate.
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        *error = errno;
        return -1;
    }
    pid_t pid = ::fork();
    if (pid < 0) {
        *error = errno;
        ::close(report[0]);
        ::close(report[1]);
        return -1;
    }
    if (pid == 0) {
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        struct sigaction standard {};
        standard.sa_handler = SIG_DFL;
        for (int s = 1; s < NSIG; ++s)
            ::sigaction(s, &standard, nullptr);
        // Copies above 2 first, so that a descriptor that is itself 0, 1 or 2 is not lost.
        int in = ::fcntl(input, F_DUPFD, 3);
        int out = ::fcntl(output, F_DUPFD, 3);
        int err = ::fcntl(errorOutput, F_DUPFD, 3);
        if (in < 0 || out < 0 || err < 0) failChild(report[1]);
        if (::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) failChild(report[1]);
        closeOthersOnExec();
        ::execv(path.c_str(), args.data());
        failChild(report[1]);
    }
    ::close(report[1]);
    int childError = 0;
    ssize_t n;
    while ((n = ::read(report[0], &childError, sizeof childError)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    if (n > 0) {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        *error = childError;
        return -1;
    }
    return pid;
}

}  // namespace platform::detail
