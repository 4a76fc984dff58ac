#pragma once
// The modal dialog shown while the chosen files are deleted: a progress panel (a thin bar and
// the path of the file just handled) that turns into an end panel (the disk space freed and an
// OK button) when the progress reaches 100. Its progress entry points may be called from any
// thread (see ProgressEndWindowController); OK tells an UninstallProgressDelegate.

#include <string>

#include "appsManager/ProgressEndWindowController.h"

class UninstallProgressWindowController : public ProgressEndWindowController {
  public:
    /// A dialog that loads "UninstallProgressWindowController" on first access of its window.
    static Ref<UninstallProgressWindowController> make(
        std::string nibName = "UninstallProgressWindowController") {
        auto controller = std::make_shared<UninstallProgressWindowController>();
        controller->initWithWindowNibName(std::move(nibName));
        return controller;
    }

    /// A dialog whose end sentence speaks of applications and their files.
    UninstallProgressWindowController();

    static void registerClass();

  protected:
    /// Sends uninstallEnd when the delegate adopts UninstallProgressDelegate.
    void tellDelegateOfEnd(NSObject* delegate) override;
};
