#include "shell/OtherAppViewController.h"

#include "controls/buttons/EUHandButton.h"
#include "controls/buttons/TCImageButton.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSWorkspace.h"
#include "platform/foundation/NSURL.h"
#include "platform/graphics/NSParagraphStyle.h"
#include "services/Palette.h"

const char* const OtherAppViewController::kDownloadURL =
    "http://www.uninstaller.example/download/Marrowgleam.dmg";
const char* const OtherAppViewController::kProductPage =
    "http://www.uninstaller.example/products/marrowgleam/";

namespace {

void openPage(const char* address) {
    if (auto link = NSURL::URLWithString(address)) NSWorkspace::sharedWorkspace()->openURL(*link);
}

}  // namespace

void OtherAppViewController::awakeFromNib() {
    NSViewController::awakeFromNib();
    if (linkButton_) linkButton_->setHandButDelegate(weak_from_this().lock());
    if (freeDownLoadBut_) {
        freeDownLoadBut_->setEnabled(true);
        freeDownLoadBut_->setTarget(weak_from_this());
        freeDownLoadBut_->setImageFromFileNormalName("btn_pril", "btn_pril_press", "btn_pril_hover",
                                                     "btn_pril_disable");
    }
}

void OtherAppViewController::mouseInHandButton(bool inside) {
    if (!linkLabel_) return;
    linkLabel_->setTextColor(inside ? Palette::accentGreen() : Palette::linkWhite());
}

void OtherAppViewController::marrowgleamLink(NSObject*) {
    openPage(kDownloadURL);
}

void OtherAppViewController::linkButtonAction(NSObject*) {
    openPage(kProductPage);
}

Ref<NSMutableAttributedString> OtherAppViewController::setAddItunesBackup(const std::string& text,
                                                                          double) {
    auto result = NSMutableAttributedString::make(text);
    const NSRange all = NSMakeRange(0, result->length());
    result->addAttribute(NSUnderlineStyleAttributeName, 1L, all);
    auto centred = NSMutableParagraphStyle::defaultParagraphStyle();
    centred->setAlignment(NSCenterTextAlignment);
    result->addAttribute(NSParagraphStyleAttributeName, centred, all);
    if (linkLabel_) linkLabel_->setAttributedStringValue(result);
    return result;
}

void OtherAppViewController::registerClass() {
    ClassRegistry::shared()
        .registerClass<OtherAppViewController, NSViewController>("OtherAppViewController")
        .outlet("freeDownLoadBut", &OtherAppViewController::setFreeDownLoadBut)
        .outlet("linkLabel", &OtherAppViewController::setLinkLabel)
        .outlet("linkButton", &OtherAppViewController::setLinkButton)
        .action("marrowgleamLink:", &OtherAppViewController::marrowgleamLink)
        .action("linkButtonAction:", &OtherAppViewController::linkButtonAction);
}
