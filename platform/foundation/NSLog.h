#pragma once
// The system log: NSLog formats like stringWithFormat and writes one line to syslog and to
// standard error ("<date> uninstaller[pid:tid] message"). UNINSTALLER_LOG_STDERR=0 turns the
// standard-error copy off. While a log observer is registered (platform::LogCapture in tests),
// messages go only to the observers, keeping test output quiet.

#include <functional>
#include <string>
#include <string_view>

#include "platform/foundation/NSString.h"

namespace platform::detail {

/// Writes one message (without date prefix) to the observers, or else to syslog and stderr.
void writeLogMessage(const std::string& message);

/// Receives each message, without date prefix or trailing newline; called under a lock, so it
/// must not log itself.
using LogObserver = std::function<void(const std::string& message)>;
/// Registers an observer and answers the token that removes it.
unsigned long addLogObserver(LogObserver observer);
/// Removes the observer with this token; unknown tokens are ignored.
void removeLogObserver(unsigned long token);

}  // namespace platform::detail

/// Formats a message with the platform's conversions (%@, %d, ...) and logs it.
template <class... Args>
void NSLog(std::string_view format, const Args&... args) {
    platform::detail::writeLogMessage(ns::stringWithFormat(format, args...));
}
