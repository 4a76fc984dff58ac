#include "appsManager/UninstallProgressWindowController.h"

#include "appsManager/UninstallProgressDelegate.h"

namespace {

constexpr const char* kEndMessage =
    "You have successfully removed the selected application(s) and associated files. Free up "
    "%@ disk space.";
constexpr const char* kPartlyRemovedMessage =
    "%d item(s) could not be removed. Freed up %@ disk space.";

}  // namespace

UninstallProgressWindowController::UninstallProgressWindowController()
    : ProgressEndWindowController(kEndMessage, kPartlyRemovedMessage,
                                  /*progressAtOnceOnMainThread=*/false) {}

void UninstallProgressWindowController::tellDelegateOfEnd(NSObject* delegate) {
    if (auto* answering = dynamic_cast<UninstallProgressDelegate*>(delegate))
        answering->uninstallEnd();
}

void UninstallProgressWindowController::registerClass() {
    ProgressEndWindowController::registerClass();
    ClassRegistry::shared()
        .registerClass<UninstallProgressWindowController, ProgressEndWindowController>(
            "UninstallProgressWindowController");
}
