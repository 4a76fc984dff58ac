#include "appsManager/ProgressEndWindowController.h"

#include "appsManager/EUEndMessage.h"
#include "appsManager/EUProgressView.h"
#include "controls/buttons/DialogButtonStyle.h"
#include "platform/appkit/NSWindow.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSThread.h"
#include "windows/DialogWindowStyle.h"

namespace {

constexpr NSRect kBarFrame{{32, 285}, {656, 8}};

}  // namespace

WeakRef<ProgressEndWindowController> ProgressEndWindowController::weakSelf() {
    return std::static_pointer_cast<ProgressEndWindowController>(weak_from_this().lock());
}

void ProgressEndWindowController::windowDidLoad() {
    NSWindowController::windowDidLoad();
    DialogWindowStyle::centreClearAndMovable(window());

    // A sliver of bar shows before the first item is reported.
    auto bar = EUProgressView::make(kBarFrame);
    bar->changeProgressValue(2.0f);
    bar->setAutoresizingMask(NSViewWidthSizable);
    bar->setHidden(false);
    if (progressView_) progressView_->addSubview(bar);
    aProgressView_ = bar;

    DialogButtonStyle::secondary(okButton_.get(), "OK");
}

void ProgressEndWindowController::changeProgressValue(int percent, const std::string& path) {
    if (progressAtOnceOnMainThread_ && NSThread::isMainThread()) {
        showProgress(percent, path);
        return;
    }
    dispatch_async(dispatch_get_main_queue(), [weak = weakSelf(), percent, path] {
        if (auto self = weak.lock()) self->showProgress(percent, path);
    });
}

void ProgressEndWindowController::showProgress(int percent, const std::string& path) {
    if (auto bar = aProgressView_.lock()) bar->changeProgressValue(static_cast<float>(percent));
    if (pathLabel_) pathLabel_->setStringValue(path);
    if (percent < 100) return;
    if (progressView_) progressView_->setHidden(true);
    if (endView_) endView_->setHidden(false);
    if (NSWindow* w = isWindowLoaded() ? window() : nullptr)
        if (NSView* content = w->contentView()) content->setNeedsDisplay(true);
}

void ProgressEndWindowController::changeLabel(const std::string& sizeText, int failedCount) {
    dispatch_async(dispatch_get_main_queue(), [weak = weakSelf(), sizeText, failedCount] {
        if (auto self = weak.lock()) self->setEndMessage(sizeText, failedCount);
    });
}

void ProgressEndWindowController::setEndMessage(const std::string& sizeText, int failedCount) {
    Ref<NSMutableAttributedString> message;
    if (failedCount > 0) {
        message = EUEndMessage::attributedMessage(
            ns::stringWithFormat(partlyFormat_, failedCount, sizeText),
            {{ns::stringWithFormat("%d", failedCount), EUEndMessage::failureColor()},
             {sizeText, EUEndMessage::sizeColor()}});
    } else {
        message = EUEndMessage::attributedMessage(ns::stringWithFormat(endFormat_, sizeText),
                                                  {{sizeText, EUEndMessage::sizeColor()}});
    }
    if (messageLabel_) {
        messageLabel_->setAttributedStringValue(message);
        messageLabel_->setNeedsDisplay(true);
    }
}

void ProgressEndWindowController::okButtonAction(NSObject*) {
    // The delegate may let the dialog go when it hears the end; finish the close first.
    Ref<NSObject> keepSelf = weak_from_this().lock();
    Ref<NSObject> keep = delegate_.lock();
    if (keep) tellDelegateOfEnd(keep.get());
    DialogWindowStyle::closeAndStopModal(*this);
}

void ProgressEndWindowController::registerClass() {
    ClassRegistry::shared()
        .registerClass<ProgressEndWindowController, NSWindowController>(
            "ProgressEndWindowController")
        .outlet("okButton", &ProgressEndWindowController::setOkButton)
        .outlet("progressView", &ProgressEndWindowController::setProgressView)
        .outlet("endView", &ProgressEndWindowController::setEndView)
        .outlet("messageLabel", &ProgressEndWindowController::setMessageLabel)
        .outlet("pathLabel", &ProgressEndWindowController::setPathLabel)
        .outlet("delegate", &ProgressEndWindowController::setDelegate)
        .action("okButtonAction:", &ProgressEndWindowController::okButtonAction);
}
