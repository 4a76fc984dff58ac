#pragma once
// The About window's background: a dark panel with slightly rounded corners.

#include "platform/appkit/NSView.h"

class AboutVersionBgView : public NSView {
  public:
    /// The panel over the whole view, corner radius 4, in (59, 63, 66).
    void drawRect(NSRect dirtyRect) override;

    static void registerClass();
};
