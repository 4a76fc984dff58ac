#include "appsManager/UninstallProgressWindowController.h"

#include "appsManager/EUEndMessage.h"
#include "appsManager/EUProgressView.h"
#include "appsManager/UninstallProgressDelegate.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSWindow.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/foundation/NSString.h"
#include "platform/graphics/NSColor.h"

namespace {

constexpr NSRect kBarFrame{{32, 285}, {656, 8}};
constexpr const char* kEndMessage =
    "You have successfully removed the selected application(s) and associated files. Free up "
    "%@ disk space.";
constexpr const char* kPartlyRemovedMessage =
    "%d item(s) could not be removed. Freed up %@ disk space.";

}  // namespace

WeakRef<UninstallProgressWindowController> UninstallProgressWindowController::weakSelf() {
    return std::static_pointer_cast<UninstallProgressWindowController>(weak_from_this().lock());
}

void UninstallProgressWindowController::windowDidLoad() {
    NSWindowController::windowDidLoad();
    if (NSWindow* w = window()) {
        w->center();
        w->setMovableByWindowBackground(true);
        w->setOpaque(false);
        w->setBackgroundColor(NSColor::clearColor());
    }

    aProgressView_ = EUProgressView::make(kBarFrame);
    aProgressView_->changeProgressValue(2.0f);
    aProgressView_->setAutoresizingMask(NSViewWidthSizable);
    aProgressView_->setHidden(false);
    if (progressView_) progressView_->addSubview(aProgressView_);

    if (okButton_) {
        okButton_->setButtonEnabled(true);
        okButton_->setImageFromFileNormalName("btn_popsec", "btn_popsec_press", "btn_popsec_hover",
                                              "btn_popsec_disable");
        okButton_->setTextWithName("OK", 12);
    }
}

void UninstallProgressWindowController::changeProgressValue(int value, const std::string& path) {
    // The bar is made once on the main thread before any file is reported.
    if (aProgressView_) aProgressView_->changeProgressValue(static_cast<float>(value));
    auto weak = weakSelf();
    dispatch_async(dispatch_get_main_queue(), [weak, path] {
        auto self = weak.lock();
        if (self && self->pathLabel_) self->pathLabel_->setStringValue(path);
    });
    if (value >= 100) {
        dispatch_async(dispatch_get_main_queue(), [weak] {
            if (auto self = weak.lock()) self->showEndPanel();
        });
    }
}

void UninstallProgressWindowController::showEndPanel() {
    if (progressView_) progressView_->setHidden(true);
    if (endView_) endView_->setHidden(false);
    if (NSWindow* w = isWindowLoaded() ? window() : nullptr)
        if (NSView* content = w->contentView()) content->setNeedsDisplay(true);
}

void UninstallProgressWindowController::changeLabel(const std::string& sizeText, int failedCount) {
    auto weak = weakSelf();
    dispatch_async(dispatch_get_main_queue(), [weak, sizeText, failedCount] {
        if (auto self = weak.lock()) self->setEndMessage(sizeText, failedCount);
    });
}

void UninstallProgressWindowController::setEndMessage(const std::string& sizeText,
                                                      int failedCount) {
    const std::string size = ns::stringWithFormat("%@", sizeText);
    Ref<NSMutableAttributedString> message;
    if (failedCount > 0) {
        const std::string count = ns::stringWithFormat("%d", failedCount);
        message = EUEndMessage::attributedMessage(
            ns::stringWithFormat(kPartlyRemovedMessage, failedCount, sizeText),
            {{count, EUEndMessage::failureColor()}, {size, EUEndMessage::sizeColor()}});
    } else {
        message = EUEndMessage::attributedMessage(ns::stringWithFormat(kEndMessage, sizeText),
                                                  {{size, EUEndMessage::sizeColor()}});
    }
    if (messageLabel_) {
        messageLabel_->setAttributedStringValue(message);
        messageLabel_->setNeedsDisplay(true);
    }
}

void UninstallProgressWindowController::okButtonAction(NSObject*) {
    // The delegate may let this dialog go while it is told; the window is closed after that.
    Ref<NSObject> keepSelf = self();
    Ref<NSObject> keep = delegate_.lock();
    if (auto* answering = dynamic_cast<UninstallProgressDelegate*>(keep.get()))
        answering->uninstallEnd();
    if (isWindowLoaded())
        if (NSWindow* w = window()) w->close();
    if (auto app = NSApplication::sharedApplication()) app->stopModal();
}

void UninstallProgressWindowController::registerClass() {
    ClassRegistry::shared()
        .registerClass<UninstallProgressWindowController, NSWindowController>(
            "UninstallProgressWindowController")
        .outlet("okButton", &UninstallProgressWindowController::setOkButton)
        .outlet("progressView", &UninstallProgressWindowController::setProgressView)
        .outlet("endView", &UninstallProgressWindowController::setEndView)
        .outlet("messageLabel", &UninstallProgressWindowController::setMessageLabel)
        .outlet("pathLabel", &UninstallProgressWindowController::setPathLabel)
        .outlet("delegate", &UninstallProgressWindowController::setDelegate)
        .action("okButtonAction:", &UninstallProgressWindowController::okButtonAction);
}
