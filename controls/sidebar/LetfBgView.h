#pragma once
// A panel of the sidebar's shape in another grey.

#include "platform/appkit/NSView.h"

class LetfBgView : public NSView {
  public:
    void drawRect(NSRect dirtyRect) override;
    static void registerClass();
};
