#pragma once
// The privileged helper: the application's own executable started again, through the
// escalation command (pkexec), with kPrivilegedHelperArgument. It reads requests to run tools
// on its standard input (a socket shared with the application), runs each tool with fork and
// execv (no shell), tells the pid and, later, the wait status, and ends once the application
// closes the socket and its last tool has ended. It grants nothing by itself: it runs tools
// with the rights it was started with.

#include <optional>

namespace platform {

/// The argument that starts an executable as the privileged helper.
inline constexpr const char* kPrivilegedHelperArgument = "--uninstaller-privileged-helper";

/// Runs the helper when `argv` is "<program> --uninstaller-privileged-helper" and answers its
/// exit code; nullopt otherwise. The main function of every executable that runs tools with
/// privileges calls it first:
///     if (auto code = platform::runPrivilegedHelperIfRequested(argc, argv)) return *code;
std::optional<int> runPrivilegedHelperIfRequested(int argc, char** argv);

namespace detail {
/// The helper's loop on `channel` (socket for requests and replies); answers the exit code.
int runPrivilegedHelper(int channel);
}  // namespace detail

}  // namespace platform
