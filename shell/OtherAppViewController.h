#pragma once
// The Tool Box screen: it presents a sibling product of the maker with a download button and
// a link whose text turns green while the pointer is over it. Its layout and texts come from
// its interface file.

#include <string>

#include "controls/buttons/HandButtonDelegate.h"
#include "platform/appkit/NSViewController.h"
#include "platform/graphics/NSAttributedString.h"

class EUHandButton;
class NSTextField;
class TCImageButton;

class OtherAppViewController : public NSViewController, public HandButtonDelegate {
  public:
    /// The link button reports to this controller; the download button gets its images.
    void awakeFromNib() override;
    /// Green link text while the pointer is over the link, white at 0.8 otherwise.
    void mouseInHandButton(bool inside) override;
    /// The download button: the product's disk image in the default browser.
    void marrowgleamLink(NSObject* sender);
    /// The link: the product's page.
    void linkButtonAction(NSObject* sender);
    /// `text` underlined and centred, shown in the link label and answered; `size` is unused.
    Ref<NSMutableAttributedString> setAddItunesBackup(const std::string& text, double size);

    const Ref<TCImageButton>& freeDownLoadBut() const { return freeDownLoadBut_; }
    void setFreeDownLoadBut(const Ref<TCImageButton>& button) { freeDownLoadBut_ = button; }
    const Ref<NSTextField>& linkLabel() const { return linkLabel_; }
    void setLinkLabel(const Ref<NSTextField>& label) { linkLabel_ = label; }
    const Ref<EUHandButton>& linkButton() const { return linkButton_; }
    void setLinkButton(const Ref<EUHandButton>& button) { linkButton_ = button; }

    static const char* const kDownloadURL;
    static const char* const kProductPage;

    static void registerClass();

  private:
    Ref<TCImageButton> freeDownLoadBut_;
    Ref<NSTextField> linkLabel_;
    Ref<EUHandButton> linkButton_;
};
