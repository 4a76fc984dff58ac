#pragma once
// What the application checks before it opens a window: that the volume it was pointed at is
// there, so that a mistyped folder ends with a clear message instead of empty lists.

#include <optional>
#include <string>

class LaunchCheck {
  public:
    /// What is wrong with the volume that UNINSTALLER_ROOT names (nothing when it is unset or
    /// empty, or names a folder that holds an Applications folder).
    static std::optional<std::string> volumeProblem();
};
