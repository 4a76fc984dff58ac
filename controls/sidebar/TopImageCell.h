#pragma once
// The cell of TopImageView: a press on its image may drag the window.

#include "platform/appkit/NSImageCell.h"

class TopImageCell : public NSImageCell {
  public:
    bool mouseDownCanMoveWindow() const { return true; }
    static void registerClass();

  protected:
    Ref<NSCell> clone() const override { return std::make_shared<TopImageCell>(*this); }
};
