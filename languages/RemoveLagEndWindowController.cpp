#include "languages/RemoveLagEndWindowController.h"

#include "appsManager/EUEndMessage.h"
#include "appsManager/EUProgressView.h"
#include "languages/RemoveLagEndDelegate.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSWindow.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSThread.h"
#include "platform/graphics/NSColor.h"

namespace {

constexpr NSRect kBarFrame{{32, 285}, {656, 8}};
constexpr const char* kEndMessage =
    "You have successfully removed selected language(s) and saved %@ disk space.";
constexpr const char* kPartlyRemovedMessage =
    "%d language folder(s) could not be removed. Saved %@ disk space.";

}  // namespace

WeakRef<RemoveLagEndWindowController> RemoveLagEndWindowController::weakSelf() {
    return std::static_pointer_cast<RemoveLagEndWindowController>(weak_from_this().lock());
}

void RemoveLagEndWindowController::windowDidLoad() {
    NSWindowController::windowDidLoad();
    if (NSWindow* w = window()) {
        w->center();
        w->setMovableByWindowBackground(true);
        w->setOpaque(false);
        w->setBackgroundColor(NSColor::clearColor());
    }

    // A sliver of bar shows before the first folder is reported.
    auto bar = EUProgressView::make(kBarFrame);
    bar->changeProgressValue(2.0f);
    bar->setAutoresizingMask(NSViewWidthSizable);
    bar->setHidden(false);
    if (progressView_) progressView_->addSubview(bar);
    aProgressView_ = bar;

    if (okButton_) {
        okButton_->setButtonEnabled(true);
        okButton_->setImageFromFileNormalName("btn_popsec", "btn_popsec_press", "btn_popsec_hover",
                                              "btn_popsec_disable");
        okButton_->setTextWithName("OK", 12);
    }
}

void RemoveLagEndWindowController::changeProgressValue(int percent, const std::string& path) {
    if (NSThread::isMainThread()) {
        showProgress(percent, path);
        return;
    }
    dispatch_async(dispatch_get_main_queue(), [weak = weakSelf(), percent, path] {
        if (auto self = weak.lock()) self->showProgress(percent, path);
    });
}

void RemoveLagEndWindowController::showProgress(int percent, const std::string& path) {
    if (auto bar = aProgressView_.lock()) bar->changeProgressValue(static_cast<float>(percent));
    if (pathLabel_) pathLabel_->setStringValue(path);
    if (percent < 100) return;
    if (progressView_) progressView_->setHidden(true);
    if (endView_) endView_->setHidden(false);
    if (NSWindow* w = isWindowLoaded() ? window() : nullptr)
        if (NSView* content = w->contentView()) content->setNeedsDisplay(true);
}

void RemoveLagEndWindowController::changeLabel(const std::string& sizeText, int failedCount) {
    dispatch_async(dispatch_get_main_queue(), [weak = weakSelf(), sizeText, failedCount] {
        if (auto self = weak.lock()) self->setEndMessage(sizeText, failedCount);
    });
}

void RemoveLagEndWindowController::setEndMessage(const std::string& sizeText, int failedCount) {
    Ref<NSMutableAttributedString> message;
    if (failedCount > 0) {
        message = EUEndMessage::attributedMessage(
            ns::stringWithFormat(kPartlyRemovedMessage, failedCount, sizeText),
            {{ns::stringWithFormat("%d", failedCount), EUEndMessage::failureColor()},
             {sizeText, EUEndMessage::sizeColor()}});
    } else {
        message = EUEndMessage::attributedMessage(ns::stringWithFormat(kEndMessage, sizeText),
                                                  {{sizeText, EUEndMessage::sizeColor()}});
    }
    if (messageLabel_) {
        messageLabel_->setAttributedStringValue(message);
        messageLabel_->setNeedsDisplay(true);
    }
}

void RemoveLagEndWindowController::okButtonAction(NSObject*) {
    // The delegate may let the dialog go when it hears the end; finish the close first.
    Ref<NSObject> keepSelf = weak_from_this().lock();
    Ref<NSObject> keep = delegate_.lock();
    if (auto* answering = dynamic_cast<RemoveLagEndDelegate*>(keep.get()))
        answering->removelanguageEnd();
    if (isWindowLoaded())
        if (NSWindow* w = window()) w->close();
    if (auto app = NSApplication::sharedApplication()) app->stopModal();
}

void RemoveLagEndWindowController::registerClass() {
    ClassRegistry::shared()
        .registerClass<RemoveLagEndWindowController, NSWindowController>(
            "RemoveLagEndWindowController")
        .outlet("okButton", &RemoveLagEndWindowController::setOkButton)
        .outlet("progressView", &RemoveLagEndWindowController::setProgressView)
        .outlet("endView", &RemoveLagEndWindowController::setEndView)
        .outlet("messageLabel", &RemoveLagEndWindowController::setMessageLabel)
        .outlet("pathLabel", &RemoveLagEndWindowController::setPathLabel)
        .outlet("delegate", &RemoveLagEndWindowController::setDelegate)
        .action("okButtonAction:", &RemoveLagEndWindowController::okButtonAction);
}
