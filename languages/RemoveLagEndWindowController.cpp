#include "languages/RemoveLagEndWindowController.h"

#include "languages/RemoveLagEndDelegate.h"

namespace {

constexpr const char* kEndMessage =
    "You have successfully removed selected language(s) and saved %@ disk space.";
constexpr const char* kPartlyRemovedMessage =
    "%d language folder(s) could not be removed. Saved %@ disk space.";

}  // namespace

RemoveLagEndWindowController::RemoveLagEndWindowController()
    : ProgressEndWindowController(kEndMessage, kPartlyRemovedMessage,
                                  /*progressAtOnceOnMainThread=*/true) {}

void RemoveLagEndWindowController::tellDelegateOfEnd(NSObject* delegate) {
    if (auto* answering = dynamic_cast<RemoveLagEndDelegate*>(delegate))
        answering->removelanguageEnd();
}

void RemoveLagEndWindowController::registerClass() {
    ProgressEndWindowController::registerClass();
    ClassRegistry::shared()
        .registerClass<RemoveLagEndWindowController, ProgressEndWindowController>(
            "RemoveLagEndWindowController");
}
