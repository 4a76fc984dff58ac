#include "shell/TCPreferenceWindowController.h"

#include "controls/buttons/TCTextLine.h"
#include "windows/DialogWindowStyle.h"

const char* const TCPreferenceWindowController::kSupportMail = "mailto:support@uninstaller.example";
const char* const TCPreferenceWindowController::kProductPage = "http://www.uninstaller.example/";

void TCPreferenceWindowController::windowDidLoad() {
    NSWindowController::windowDidLoad();
    // Its style asks for a close button only.
    DialogWindowStyle::apply(window(), weak_from_this(), SEL("closeWindow:"));
    if (emilLine_) emilLine_->setOpenURL(std::string(kSupportMail));
    if (webLine_) webLine_->setOpenURL(std::string(kProductPage));
}

void TCPreferenceWindowController::closeWindow(NSObject*) {
    DialogWindowStyle::closeAndStopModal(*this);
}

void TCPreferenceWindowController::registerClass() {
    ClassRegistry::shared()
        .registerClass<TCPreferenceWindowController, NSWindowController>(
            "TCPreferenceWindowController")
        .outlet("name", &TCPreferenceWindowController::setName)
        .outlet("verson", &TCPreferenceWindowController::setVerson)
        .outlet("Introduction", &TCPreferenceWindowController::setIntroduction)
        .outlet("notice", &TCPreferenceWindowController::setNotice)
        .outlet("emilLine", &TCPreferenceWindowController::setEmilLine)
        .outlet("webLine", &TCPreferenceWindowController::setWebLine)
        .action("closeWindow:", &TCPreferenceWindowController::closeWindow);
}
