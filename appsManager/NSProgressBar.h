#pragma once
// The filled part of a thin progress bar: a green rounded rectangle over its bounds. It has
// no state; its owner (EUProgressView) sizes it.

#include "platform/appkit/NSView.h"

class NSProgressBar : public NSView {
  public:
    static Ref<NSProgressBar> make(NSRect frame = NSZeroRect) {
        auto bar = std::make_shared<NSProgressBar>();
        bar->initWithFrame(frame);
        return bar;
    }

    /// Fills the bounds inset by 1 point as a rounded rectangle (radius 3) in green.
    void drawRect(NSRect dirtyRect) override;

    static void registerClass();
};
