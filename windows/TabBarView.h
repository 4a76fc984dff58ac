#pragma once
// The strip of close, minimise and zoom buttons of the program's pop-up windows, placed by
// interface files. The pointer over any strip lights the buttons of every strip.

#include <mutex>

#include "platform/appkit/NSTrackingArea.h"
#include "platform/appkit/NSView.h"
#include "windows/HMTrafficButtonsContainer.h"
#include "windows/TabBarVDelegate.h"

class TabBarView : public NSView {
  public:
    static Ref<TabBarView> make(NSRect frame = NSZeroRect) {
        auto view = std::make_shared<TabBarView>();
        view->initWithFrame(frame);
        return view;
    }

    /// Makes the three buttons (close, minimise, zoom from the left, 12 points each) aimed at
    /// the strip's actions, and tracks the pointer over the strip's bounds. Once only.
    void awakeFromNib() override;

    /// Tells every traffic button that the pointer is over a strip.
    void mouseEntered(NSEvent& event) override;
    /// Tells every traffic button that the pointer left the strip.
    void mouseExited(NSEvent& event) override;

    /// Tells the delegate (when it answers closeWindowAction), then closes the window.
    void clickCloseButton(NSObject* sender);
    /// Miniaturises the strip's window.
    void clickMinimizeButton(NSObject* sender);
    /// Zooms the strip's window.
    void clickZoomButton(NSObject* sender);

    /// The delegate (retained); it may adopt TabBarVDelegate to hear of closing.
    Ref<NSObject> delegate() const;
    void setDelegate(const Ref<NSObject>& delegate);

    HMTrafficButtonsContainer* closeButton() const { return closeButton_.get(); }
    HMTrafficButtonsContainer* minButton() const { return minButton_.get(); }
    HMTrafficButtonsContainer* zoomButton() const { return zoomButton_.get(); }
    const Ref<NSTrackingArea>& trackingArea() const { return trackingArea_; }

    static void registerClass();

  private:
    Ref<HMTrafficButtonsContainer> makeButton(NSRect frame, const char* idStr, const char* action);

    Ref<HMTrafficButtonsContainer> closeButton_;
    Ref<HMTrafficButtonsContainer> minButton_;
    Ref<HMTrafficButtonsContainer> zoomButton_;
    Ref<NSTrackingArea> trackingArea_;
    mutable std::mutex delegateMutex_;
    Ref<NSObject> delegate_;
    TabBarVDelegate* answeringDelegate_ = nullptr;  // delegate_ itself when it adopts the protocol
};
