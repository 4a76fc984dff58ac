#include "appsManager/UninstallProgressWindowController.h"

#include "appsManager/EUProgressView.h"
#include "appsManager/UninstallProgressDelegate.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSWindow.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/foundation/NSString.h"
#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSParagraphStyle.h"
#include "shell/TCPublicUtilities.h"
#include "shell/getColor.h"

namespace {

constexpr NSRect kBarFrame{{32, 285}, {656, 8}};
constexpr const char* kEndMessage =
    "You have successfully removed the selected application(s) and associated files. Free up "
    "%@ disk space.";

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

void UninstallProgressWindowController::changeLabel(const std::string& sizeText) {
    auto weak = weakSelf();
    dispatch_async(dispatch_get_main_queue(), [weak, sizeText] {
        if (auto self = weak.lock()) self->setEndMessage(sizeText);
    });
}

void UninstallProgressWindowController::setEndMessage(const std::string& sizeText) {
    const std::string text = ns::stringWithFormat(kEndMessage, sizeText);
    auto message = NSMutableAttributedString::make(text);
    const std::string size = ns::stringWithFormat("%@", sizeText);
    // Ranges count UTF-16 units; the search answers bytes.
    NSRange found = ns::rangeOfString(text, size);
    if (found.location != NSNotFound) {
        NSRange range{ns::length(std::string_view(text).substr(0, found.location)),
                      ns::length(size)};
        message->addAttribute(NSForegroundColorAttributeName, getColor(48, 207, 110, 1.0), range);
        message->addAttribute(NSFontAttributeName, TCPublicUtilities::regularFontOfSize(16), range);
    }
    auto centred = NSMutableParagraphStyle::defaultParagraphStyle();
    centred->setAlignment(NSCenterTextAlignment);
    message->addAttribute(NSParagraphStyleAttributeName, centred, NSRange{0, message->length()});
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
