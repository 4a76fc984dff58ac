#pragma once
// The sidebar panel: a dark panel with square top corners and rounded bottom corners.

#include "platform/appkit/NSView.h"

class NSColor;

class NewView : public NSView {
  public:
    void drawRect(NSRect dirtyRect) override;

    /// Fills `bounds` as the sidebar panels do: rounded by 12, the top 30 points square.
    static void drawPanel(NSRect bounds, const Ref<NSColor>& colour);
    static void registerClass();
};
