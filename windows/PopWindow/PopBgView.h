#pragma once
// A dark panel with corners of radius 4 and a lighter one-point outline, filling the view.

#include "platform/appkit/NSView.h"

class PopBgView : public NSView {
  public:
    void drawRect(NSRect dirtyRect) override;
    static void registerClass();
};
