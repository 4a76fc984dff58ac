#pragma once
// What the uninstall progress dialog tells the dialog that opened it.

class UninstallProgressDelegate {
  public:
    virtual ~UninstallProgressDelegate() = default;
    /// The user pressed OK on the end panel; the dialog closes right after.
    virtual void uninstallEnd() = 0;
};
