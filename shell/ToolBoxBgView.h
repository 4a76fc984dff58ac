#pragma once
// The Tool Box screen's panel: a faint translucent white with rounded corners.

#include "platform/appkit/NSView.h"

class ToolBoxBgView : public NSView {
  public:
    /// The panel over the whole view, corner radius 8, in white at 0.06.
    void drawRect(NSRect dirtyRect) override;

    static void registerClass();
};
