#include "platform/appkit/URLOpener.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/dispatch/Dispatch.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSURL.h"

extern char** environ;

namespace platform {

namespace {

std::mutex& openerMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string& openerOverride() {
    static std::string command;
    return command;
}

/// Waits for the opener without holding a worker for long: openers normally hand the URL to a
/// running program and end within moments, but some wait for the program they started, and
/// those are left to a thread of their own.
void reap(pid_t pid) {
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_LOW, 0), [pid] {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        auto pause = std::chrono::milliseconds(1);
        for (;;) {
            int status = 0;
            pid_t r = ::waitpid(pid, &status, WNOHANG);
            if (r == pid || (r < 0 && errno != EINTR)) return;
            if (std::chrono::steady_clock::now() >= deadline) break;
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, std::chrono::milliseconds(50));
        }
        std::thread([pid] {
            while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    });
}

/// Starts `program` with `argv` (argv[0] included): standard input from /dev/null, no other
/// descriptor of ours inherited, default signal handling, in a session of its own so that it
/// outlives a terminal that closes. Answers the pid, or -1.
pid_t spawn(const std::string& program, const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init(&actions) != 0) return -1;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return -1;
    }
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
#ifdef POSIX_SPAWN_SETSID
    flags |= POSIX_SPAWN_SETSID;
#endif
    posix_spawnattr_setflags(&attributes, flags);

    pid_t pid = -1;
    int error = posix_spawnp(&pid, program.c_str(), &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

}  // namespace

void setURLOpenerForTesting(std::string command) {
    std::lock_guard lock(openerMutex());
    openerOverride() = std::move(command);
}

std::string urlOpenerCommand() {
    {
        std::lock_guard lock(openerMutex());
        if (!openerOverride().empty()) return openerOverride();
    }
    const char* fromEnvironment = std::getenv("UNINSTALLER_URL_OPENER");
    if (fromEnvironment && *fromEnvironment) return fromEnvironment;
    return "xdg-open";
}

bool isOpenableURL(const NSURL& url) {
    std::string scheme = ns::lowercaseString(url.scheme());
    if (scheme == "http" || scheme == "https") {
        auto host = url.host();
        return host && !host->empty();
    }
    if (scheme == "mailto") return !url.path().empty();
    if (scheme == "file") return !url.path().empty();
    return false;
}

bool openURLWithDesktop(const NSURL& url) {
    if (!isOpenableURL(url)) return false;
    const std::string& text = url.absoluteString();
    // An opener reads an argument that begins with '-' as an option; a valid URL never does.
    if (text.empty() || text[0] == '-') return false;
    std::string opener = urlOpenerCommand();
    pid_t pid = spawn(opener, {opener, text});
    if (pid < 0) return false;
    reap(pid);
    return true;
}

}  // namespace platform
