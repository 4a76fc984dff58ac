#pragma once
// A thin progress bar: a faint rounded track that owns the filled bar (NSProgressBar), which
// is 8 points high, anchored at the left edge and as wide as the value says.

#include "appsManager/NSProgressBar.h"
#include "platform/appkit/NSView.h"

class EUProgressView : public NSView {
  public:
    static Ref<EUProgressView> make(NSRect frame = NSZeroRect) {
        auto view = std::make_shared<EUProgressView>();
        view->initWithFrame(frame);
        return view;
    }

    /// The plain view, then the bar at x 0, y 0, 0 by 8 points (flexible width and right
    /// margin) as its subview.
    void initWithFrame(NSRect frame) override;

    /// Sets the bar to `percent` of the view's width, on the main queue (any thread may call
    /// it; the changes happen in call order). A bar within 1 point of the end is drawn full,
    /// and so is any value above 100.
    void changeProgressValue(float percent);

    /// Fills the rectangle being drawn as a rounded rectangle (radius 3) in white at alpha 0.2.
    void drawRect(NSRect dirtyRect) override;

    /// The filled bar.
    NSProgressBar* progressBar() const { return pProgress1_.get(); }

    static void registerClass();

  private:
    Ref<NSProgressBar> pProgress1_;
};
