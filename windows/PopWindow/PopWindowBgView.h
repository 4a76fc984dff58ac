#pragma once
// A dark panel with corners of radius 12 and a darker one-point outline, filling the view.

#include "platform/appkit/NSView.h"

class PopWindowBgView : public NSView {
  public:
    void drawRect(NSRect dirtyRect) override;
    static void registerClass();
};
