#pragma once
// A view that fills its bounds with a fully transparent colour: what lies behind shows.

#include "platform/appkit/NSView.h"

class SubBgView : public NSView {
  public:
    void drawRect(NSRect dirtyRect) override;
    static void registerClass();
};
