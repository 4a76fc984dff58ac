#pragma once
// The close, minimise and zoom buttons the platform puts in a titled window's title bar. The
// three show their symbols together while the pointer is over any of them.

#include "platform/appkit/NSButton.h"

class StandardWindowButton : public NSButton {
  public:
    /// A button of `kind` (0 close, 1 minimise, 2 zoom) with the platform's size.
    static Ref<StandardWindowButton> make(int kind);

    int kind() const { return kind_; }
    bool isGroupHovered() const { return hovered_; }
    void drawRect(NSRect dirtyRect) override;
    void updateTrackingAreas() override;
    void mouseEntered(NSEvent& event) override;
    void mouseExited(NSEvent& event) override;
    bool mouseDownCanMoveWindow() const override { return false; }
    /// Clicks reach the button even when the window was not key.
    bool acceptsFirstMouse(NSEvent*) override { return true; }

  private:
    void setGroupHovered(bool hovered);

    int kind_ = 0;
    bool hovered_ = false;
    Ref<NSTrackingArea> area_;
};
