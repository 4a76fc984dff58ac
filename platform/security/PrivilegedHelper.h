#pragma once
// The privileged helper: the application's own executable started again, through the
// escalation command (pkexec), with kPrivilegedHelperArgument. It does one thing: it reads
// requests to remove one recorded entry on its standard input (a socket shared with the
// application), removes each entry itself beneath its recorded parent without following a
// link (removeRecordedEntry), and answers the outcome. It runs no program and refuses every
// other request. It ends once the application closes the socket.

#include <optional>

namespace platform {

/// The argument that starts an executable as the privileged helper.
inline constexpr const char* kPrivilegedHelperArgument = "--uninstaller-privileged-helper";

/// Runs the helper when `argv` is "<program> --uninstaller-privileged-helper" and answers its
/// exit code; nullopt otherwise. The main function of every executable that removes entries
/// with privileges calls it first:
///     if (auto code = platform::runPrivilegedHelperIfRequested(argc, argv)) return *code;
std::optional<int> runPrivilegedHelperIfRequested(int argc, char** argv);

namespace detail {
/// The helper's loop on `channel` (socket for requests and replies); answers the exit code.
int runPrivilegedHelper(int channel);
}  // namespace detail

}  // namespace platform
