#pragma once
// An image view that lets the window be dragged by a press on it.

#include "platform/appkit/NSImageView.h"

class TopImageView : public NSImageView {
  public:
    bool mouseDownCanMoveWindow() const override { return true; }
    Ref<NSCell> makeCell() const override;
    void drawRect(NSRect dirtyRect) override { NSImageView::drawRect(dirtyRect); }
    static void registerClass();
};
