#pragma once
// Errors that the X server reports for requests already sent, most often about a window that
// went away in between, are logged instead of ending the process, which is what Xlib does
// when nobody handles them. Only an X connection that breaks still ends it.

#include <string>

namespace platform::sdl {

class X11ErrorLog {
  public:
    /// Handles X errors from now on (call once SDL has opened its X display).
    static void install();
    /// What the handler logs for an error (nothing for a repeat of a logged kind); the
    /// arguments are those of the error event.
    static std::string noteError(unsigned char errorCode, unsigned char requestCode,
                                 unsigned long resourceId);
};

}  // namespace platform::sdl
