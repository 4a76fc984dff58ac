#pragma once
// The modal dialog shown while the chosen files are deleted: a progress panel (a thin bar and
// the path of the file just handled) that turns into an end panel (the disk space freed and an
// OK button) when the progress reaches 100. Its progress entry points may be called from any
// thread: every interface change is queued on the main queue, in call order.

#include <string>

#include "controls/TextImageButton.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/NSWindowController.h"

class EUProgressView;

class UninstallProgressWindowController : public NSWindowController {
  public:
    /// A dialog that loads "UninstallProgressWindowController" on first access of its window.
    static Ref<UninstallProgressWindowController> make(
        std::string nibName = "UninstallProgressWindowController") {
        auto controller = std::make_shared<UninstallProgressWindowController>();
        controller->initWithWindowNibName(std::move(nibName));
        return controller;
    }

    /// Centres the window (clear, not opaque, movable by its background), adds the bar at 2
    /// percent to the progress panel and gives the OK button its images and text.
    void windowDidLoad() override;

    /// Moves the bar to `value` percent and shows `path`; at 100 or more the end panel
    /// replaces the progress panel (after the path is shown). Any thread.
    void changeProgressValue(int value, const std::string& path);
    /// Sets the end message for the freed size text `sizeText` (in green at 16 points, the
    /// whole text centred). With `failedCount` above 0 the message says instead how many items
    /// could not be removed (that number stands out too) and how much space was freed. Any
    /// thread.
    void changeLabel(const std::string& sizeText, int failedCount = 0);
    /// Tells the delegate (when it answers uninstallEnd), closes the window and stops the
    /// application's current modal loop.
    void okButtonAction(NSObject* sender);

    /// The object told when OK is pressed (not retained); it hears it when it adopts
    /// UninstallProgressDelegate.
    Ref<NSObject> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<NSObject>& delegate) { delegate_ = delegate; }

    const Ref<TextImageButton>& okButton() const { return okButton_; }
    void setOkButton(const Ref<TextImageButton>& button) { okButton_ = button; }
    const Ref<NSView>& progressView() const { return progressView_; }
    void setProgressView(const Ref<NSView>& view) { progressView_ = view; }
    const Ref<NSView>& endView() const { return endView_; }
    void setEndView(const Ref<NSView>& view) { endView_ = view; }
    const Ref<NSTextField>& messageLabel() const { return messageLabel_; }
    void setMessageLabel(const Ref<NSTextField>& label) { messageLabel_ = label; }
    const Ref<NSTextField>& pathLabel() const { return pathLabel_; }
    void setPathLabel(const Ref<NSTextField>& label) { pathLabel_ = label; }

    /// The bar made by windowDidLoad (nullptr before).
    const Ref<EUProgressView>& aProgressView() const { return aProgressView_; }

    static void registerClass();

  private:
    WeakRef<UninstallProgressWindowController> weakSelf();
    void showEndPanel();
    void setEndMessage(const std::string& sizeText, int failedCount);

    Ref<EUProgressView> aProgressView_;
    Ref<NSView> progressView_;
    Ref<NSTextField> pathLabel_;
    Ref<NSTextField> messageLabel_;
    Ref<NSView> endView_;
    WeakRef<NSObject> delegate_;
    Ref<TextImageButton> okButton_;
};
