#include "shell/TCPreferenceWindowController.h"

#include "controls/TCTextLine.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSWindow.h"
#include "platform/graphics/NSColor.h"

const char* const TCPreferenceWindowController::kSupportMail = "mailto:support@uninstaller.example";
const char* const TCPreferenceWindowController::kProductPage = "http://www.uninstaller.example/";

void TCPreferenceWindowController::windowDidLoad() {
    NSWindowController::windowDidLoad();
    if (NSWindow* w = window()) {
        if (NSButton* close = w->standardWindowButton(NSWindowCloseButton)) {
            close->setTarget(weak_from_this());
            close->setAction(SEL("closeWindow:"));
        }
        // Its style asks for a close button only.
        for (NSWindowButton kind : {NSWindowMiniaturizeButton, NSWindowZoomButton})
            if (NSButton* button = w->standardWindowButton(kind)) button->setHidden(true);
        w->center();
        w->setMovableByWindowBackground(true);
        w->setOpaque(false);
        w->setBackgroundColor(NSColor::clearColor());
    }
    if (emilLine_) emilLine_->setOpenURL(std::string(kSupportMail));
    if (webLine_) webLine_->setOpenURL(std::string(kProductPage));
}

void TCPreferenceWindowController::closeWindow(NSObject*) {
    if (isWindowLoaded())
        if (NSWindow* w = window()) w->close();
    if (auto app = NSApplication::sharedApplication()) app->stopModal();
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
