#pragma once
// Starting a program without a shell: how the authorization layer starts the escalation
// command that starts the privileged helper.

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

}  // namespace platform::detail
