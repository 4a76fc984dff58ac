#pragma once
// An image button that stands in for a window's close, minimise or zoom button: its picture
// follows the window's key state and its own enabled state, and it rolls over with every
// button of its group while the pointer is in any of them.

#include <optional>
#include <string>

#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSTrackingArea.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/graphics/NSImage.h"
#include "windows/TCWindowButtonGroup.h"

class TCWindowButton : public NSButton {
  public:
    /// A new button of `size` in the group `groupIdentifier` (nil: the default group).
    static Ref<TCWindowButton> windowButtonWithSize(
        NSSize size, const std::optional<std::string>& groupIdentifier);
    ~TCWindowButton() override;
    /// Frame (0, 0, size), a borderless momentary-change button with no title whose images
    /// are not dimmed when disabled, listening to its group.
    void initWithSize(NSSize size, const std::optional<std::string>& groupIdentifier);

    /// Enables or disables, then shows the image of the new state.
    void setEnabled(bool enabled) override;

    const std::optional<std::string>& groupIdentifier() const { return groupIdentifier_; }
    /// Moves the button to another group (it then listens to that group).
    void setGroupIdentifier(const std::optional<std::string>& identifier);
    /// The button's group, from the registry.
    Ref<TCWindowButtonGroup> group() const;

    /// Shown when enabled in the key window.
    const Ref<NSImage>& activeImage() const { return activeImage_; }
    void setActiveImage(const Ref<NSImage>& image) { activeImage_ = image; }
    /// Shown when enabled in another window.
    const Ref<NSImage>& activeNotKeyWindowImage() const { return activeNotKeyWindowImage_; }
    void setActiveNotKeyWindowImage(const Ref<NSImage>& image) { activeNotKeyWindowImage_ = image; }
    /// Shown when disabled.
    const Ref<NSImage>& inactiveImage() const { return inactiveImage_; }
    void setInactiveImage(const Ref<NSImage>& image) { inactiveImage_ = image; }
    /// Shown when enabled while the group rolls over.
    const Ref<NSImage>& rolloverImage() const { return rolloverImage_; }
    void setRolloverImage(const Ref<NSImage>& image) { rolloverImage_ = image; }
    /// Shown while the button is held down (the alternate image).
    Ref<NSImage> pressedImage() const { return alternateImage(); }
    void setPressedImage(const Ref<NSImage>& image) { setAlternateImage(image); }
    /// The current tracking area: the bounds grown by 4 points on every side.
    const Ref<NSTrackingArea>& mouseTrackingArea() const { return mouseTrackingArea_; }

    /// The rollover image when the group rolls over and the button is enabled, else the image
    /// of the state.
    void updateRollOverImage();
    /// The image of the state: inactive when disabled, else by the window's key state.
    void updateImage();
    /// The active image in the key window, the not-key image elsewhere.
    void updateActiveImage();

    /// The pointer entered: the group counts one more capture.
    void mouseEntered(NSEvent& event) override;
    /// The pointer left: the group counts one capture less.
    void mouseExited(NSEvent& event) override;
    /// Replaces the tracking area with one over the grown bounds.
    void updateTrackingAreas() override;
    /// Stops listening to the old window and listens to the new one's key and full-screen
    /// changes.
    void viewWillMoveToWindow(NSWindow* window) override;
    /// Shows the image of the state in the new window.
    void viewDidMoveToWindow() override;
    /// A live resize of the window ended: the group's captures are cleared.
    virtual void viewDidEndLiveResize();

    // Notification handlers.
    void windowButtonGroupDidUpdateRolloverStateNotification(const Ref<NSNotification>& note);
    void windowDidChangeFocus(const Ref<NSNotification>& note);
    /// Clears the group's captures and hides the button.
    void windowWillEnterFullScreen(const Ref<NSNotification>& note);
    /// Clears the group's captures and shows the button.
    void windowWillExitFullScreen(const Ref<NSNotification>& note);

    static void registerClass();

  private:
    void observeGroup();

    std::optional<std::string> groupIdentifier_;
    Ref<NSImage> activeImage_;
    Ref<NSImage> activeNotKeyWindowImage_;
    Ref<NSImage> inactiveImage_;
    Ref<NSImage> rolloverImage_;
    Ref<NSTrackingArea> mouseTrackingArea_;
    const NSObject* observedGroup_ = nullptr;
};
