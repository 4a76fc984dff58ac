#pragma once
// Starting programs without a shell, and the table of tool processes whose end the
// authorization layer reports (AuthorizationWaitForProcess).

#include <sys/types.h>

#include <string>
#include <vector>

namespace platform::detail {

/// Starts `path` (absolute) with `argv` (argv[0] included) through fork and execv, its standard
/// input, output and error being the given descriptors of the caller; every other descriptor is
/// closed in the child and all signals are back at their defaults there. Safe in a process with
/// threads (the child only makes async-signal-safe calls). Answers the pid once the program is
/// running; -1 with `*error` set (errno) when fork or exec failed, the failed child reaped.
pid_t spawnProgram(const std::string& path, const std::vector<std::string>& argv, int input,
                   int output, int errorOutput, int* error);

/// Notes a tool process whose end someone will wait for; call before its end can be reported.
void processStarted(pid_t pid);
/// Reports the end of a tool process (`status` as waitpid gives it); ignored for pids nobody
/// waits for.
void processEnded(pid_t pid, int status);
/// The wait status used when a tool's end could not be learnt (its helper went away):
/// "killed by SIGKILL".
int lostProcessStatus();
/// Waits for a process noted by processStarted, like waitpid(pid, status, options) with options
/// 0 or WNOHANG: the pid once it ended (the record is then forgotten), 0 when WNOHANG and still
/// running, -1 with errno ECHILD for a pid that is not (or no longer) waitable here, EINVAL for
/// other options.
pid_t waitForProcess(pid_t pid, int* status, int options);

/// Reaps a child of this process on a background thread and reports its end (processEnded).
void reapInBackground(pid_t pid);

}  // namespace platform::detail
