#include "platform/foundation/NSLog.h"

#include <sys/syscall.h>
#include <syslog.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <mutex>
#include <string>

namespace platform::detail {
namespace {

struct Observers {
    std::mutex mutex;
    std::map<unsigned long, LogObserver> byToken;
    unsigned long nextToken = 1;
};

Observers& observers() {
    static Observers* instance = new Observers;  // outlives every thread that may log at exit
    return *instance;
}

void openSystemLog() {
    static std::once_flag once;
    std::call_once(once, [] { openlog("uninstaller", LOG_PID, LOG_USER); });
}

bool stderrEnabled() {
    const char* value = std::getenv("UNINSTALLER_LOG_STDERR");
    return !(value && std::string_view(value) == "0");
}

/// "2024-01-31 13:45:02.123": local time with milliseconds, as the platform prints it.
std::string timestamp() {
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    long ms = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char buffer[64];
    std::size_t n = std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(buffer + n, sizeof buffer - n, ".%03ld", ms);
    return buffer;
}

void writeAll(int fd, const std::string& text) {
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

}  // namespace

void writeLogMessage(const std::string& message) {
    std::string text = message;
    if (!text.empty() && text.back() == '\n') text.pop_back();

    Observers& all = observers();
    std::lock_guard lock(all.mutex);
    if (!all.byToken.empty()) {
        for (auto& [token, observer] : all.byToken) {
            if (observer) observer(text);
        }
        return;
    }
    openSystemLog();
    syslog(LOG_NOTICE, "%s", text.c_str());
    if (stderrEnabled()) {
        std::string line = timestamp() + " uninstaller[" + std::to_string(getpid()) + ":" +
                           std::to_string(static_cast<long>(syscall(SYS_gettid))) + "] " + text +
                           "\n";
        writeAll(STDERR_FILENO, line);  // one write per line: lines of threads do not mix
    }
}

unsigned long addLogObserver(LogObserver observer) {
    Observers& all = observers();
    std::lock_guard lock(all.mutex);
    unsigned long token = all.nextToken++;
    all.byToken.emplace(token, std::move(observer));
    return token;
}

void removeLogObserver(unsigned long token) {
    Observers& all = observers();
    std::lock_guard lock(all.mutex);
    all.byToken.erase(token);
}

}  // namespace platform::detail
