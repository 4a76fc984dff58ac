#pragma once
// A push button of the drawing kit whose KBButtonCell gives it a coloured, rounded bezel.

#include <cstdint>

#include "controls/KBButton/KBButtonCell.h"
#include "platform/appkit/NSButton.h"

class KBButton : public NSButton, public NibDecoding {
  public:
    static Ref<KBButton> make(NSRect frame = NSZeroRect) {
        auto button = std::make_shared<KBButton>();
        button->initWithFrame(frame);
        return button;
    }

    /// New buttons get a KBButtonCell.
    Ref<NSCell> makeCell() const override;
    /// Passes the colour type (0 to 6) to the cell.
    void setKBButtonType(std::int32_t type);
    /// From an interface file: a button-cell element inside makes a KBButtonCell.
    void initWithCoder(NibCoder& coder, const std::function<void()>& decode) override;

    static void registerClass();
};
