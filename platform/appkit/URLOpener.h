#pragma once
// Handing URLs to the desktop's opener (xdg-open), which shows web pages in the default browser,
// mail addresses in the mail program and files in their application.

#include <string>

class NSURL;

namespace platform {

/// Makes `command` (a program name looked up in PATH, or a path) the opener for the process;
/// "" restores the default: $UNINSTALLER_URL_OPENER when set and not empty, else "xdg-open".
void setURLOpenerForTesting(std::string command);
/// The opener that openURLWithDesktop starts now.
std::string urlOpenerCommand();

/// Whether the desktop may be asked to open `url`: http and https with a host, mailto with an
/// address, file with a path. Other schemes are refused, as their handlers are unknown.
bool isOpenableURL(const NSURL& url);

/// Starts the opener with the URL as its only argument (no shell is involved) and returns at
/// once; the opener is reaped in the background. False when the URL is not openable or the
/// opener could not be started; nothing is reported to the user either way.
bool openURLWithDesktop(const NSURL& url);

}  // namespace platform
