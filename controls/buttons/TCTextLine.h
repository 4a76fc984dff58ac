#pragma once
// A text line that opens its link (a web page or a "mailto:" address) when clicked.

#include <optional>
#include <string>

#include "platform/appkit/NSTextField.h"

class TCTextLine : public NSTextField {
  public:
    static Ref<TCTextLine> make(NSRect frame = NSZeroRect) {
        auto line = std::make_shared<TCTextLine>();
        line->initWithFrame(frame);
        return line;
    }

    /// The link opened on a click, or nil.
    const std::optional<std::string>& openURL() const { return openURL_; }
    void setOpenURL(std::optional<std::string> url) { openURL_ = std::move(url); }

    /// Hands the link to the desktop (nothing for nil or text that is no URL), then handles
    /// the press as a text field does.
    void mouseDown(NSEvent& event) override;

    static void registerClass();

  private:
    std::optional<std::string> openURL_;
};
