#pragma once
// One of the three 12-point window buttons of a pop-up window's strip ("close", "minimize"
// or "zoom"). Every such button of the application shows its hover image while the pointer
// is over any strip, its active image while a window of the application is main, and the
// common inactive image otherwise.

#include <mutex>
#include <string>

#include "platform/appkit/NSButton.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/graphics/NSImage.h"

/// Posted by a strip (the object) when the pointer enters it.
extern const NSNotificationName HMTrafficButtonMouseEnter;
/// Posted by a strip (the object) when the pointer leaves it.
extern const NSNotificationName HMTrafficButtonMouseExit;

class HMTrafficButtonsContainer : public NSButton {
  public:
    static Ref<HMTrafficButtonsContainer> make(NSRect frame = NSZeroRect) {
        auto button = std::make_shared<HMTrafficButtonsContainer>();
        button->initWithFrame(frame);
        return button;
    }
    ~HMTrafficButtonsContainer() override;

    /// "close", "minimize" or "zoom": names the images that setup loads.
    std::string idStr() const;
    void setIdStr(const std::string& idStr);

    /// Sent once idStr is set: borderless, loads the images, shows the active look and
    /// follows main-window changes and strip hovers from then on. The press image is the
    /// look while the button is held down.
    void setup();
    /// A window became main: the hover image while hovered, else the active one.
    void setActiveState();
    /// A window resigned main: the inactive image.
    void setInactiveState();
    /// The pointer entered a strip: the hover image.
    void hoverIn();
    /// The pointer left the strips: the active or inactive image.
    void hoverOut();

    /// Tracks the click with the pressed flag up (and the hover flag down) meanwhile.
    void mouseDown(NSEvent& event) override;
    /// Ends a press that reached the button as a separate release.
    void mouseUp(NSEvent& event) override;

    bool activeState() const { return activeState_; }
    bool hoverState() const { return hoverState_; }
    bool pressedState() const { return pressedState_; }
    const Ref<NSImage>& inactive() const { return inactive_; }
    const Ref<NSImage>& active() const { return active_; }
    const Ref<NSImage>& hover() const { return hover_; }
    const Ref<NSImage>& press() const { return press_; }

    static void registerClass();

  private:
    Ref<NSImage> inactive_;
    Ref<NSImage> active_;
    Ref<NSImage> hover_;
    Ref<NSImage> press_;
    bool activeState_ = false;
    bool hoverState_ = false;
    bool pressedState_ = false;
    mutable std::mutex idMutex_;
    std::string idStr_;
};
