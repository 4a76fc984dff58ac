#pragma once
// A push button of the drawing kit whose AllCustemButtonCell draws its title in white.

#include "controls/KBButton/AllCustemButtonCell.h"
#include "platform/appkit/NSButton.h"

class AllCustemButton : public NSButton, public NibDecoding {
  public:
    static Ref<AllCustemButton> make(NSRect frame = NSZeroRect) {
        auto button = std::make_shared<AllCustemButton>();
        button->initWithFrame(frame);
        return button;
    }

    /// New buttons get an AllCustemButtonCell.
    Ref<NSCell> makeCell() const override;
    /// From an interface file: a button-cell element inside makes an AllCustemButtonCell.
    void initWithCoder(NibCoder& coder, const std::function<void()>& decode) override;

    static void registerClass();
};
