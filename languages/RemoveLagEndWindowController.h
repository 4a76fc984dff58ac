#pragma once
// The modal dialog that follows a confirmed language removal: a progress panel (a thin bar and
// the path of the folder just handled) that turns into an end panel (the disk space saved and
// an OK button) once every chosen folder has been reported. Its progress entry points may be
// called from any thread (see ProgressEndWindowController); OK tells a RemoveLagEndDelegate.

#include <string>

#include "appsManager/ProgressEndWindowController.h"

class RemoveLagEndWindowController : public ProgressEndWindowController {
  public:
    /// A dialog that loads "RemoveLagEndWindowController" on first access of its window.
    static Ref<RemoveLagEndWindowController> make(
        std::string nibName = "RemoveLagEndWindowController") {
        auto controller = std::make_shared<RemoveLagEndWindowController>();
        controller->initWithWindowNibName(std::move(nibName));
        return controller;
    }

    /// A dialog whose end sentence speaks of languages and their folders.
    RemoveLagEndWindowController();

    static void registerClass();

  protected:
    /// Sends removelanguageEnd when the delegate adopts RemoveLagEndDelegate.
    void tellDelegateOfEnd(NSObject* delegate) override;
};
