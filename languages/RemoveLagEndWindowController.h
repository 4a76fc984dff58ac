#pragma once
// The modal dialog that follows a confirmed language removal: a progress panel (a thin bar and
// the path of the folder just handled) that turns into an end panel (the disk space saved and
// an OK button) once every chosen folder has been reported.

#include <string>

#include "controls/TextImageButton.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/NSWindowController.h"

class EUProgressView;

class RemoveLagEndWindowController : public NSWindowController {
  public:
    /// A dialog that loads "RemoveLagEndWindowController" on first access of its window.
    static Ref<RemoveLagEndWindowController> make(
        std::string nibName = "RemoveLagEndWindowController") {
        auto controller = std::make_shared<RemoveLagEndWindowController>();
        controller->initWithWindowNibName(std::move(nibName));
        return controller;
    }

    /// Centres the window (clear, not opaque, movable by its background), adds the bar at 2
    /// percent to the progress panel and gives the OK button its images and text.
    void windowDidLoad() override;

    /// Moves the bar to `percent` and shows `path`; at 100 or more the end panel replaces the
    /// progress panel. On the main thread the labels change at once; from another thread the
    /// change is queued on the main queue, in call order.
    void changeProgressValue(int percent, const std::string& path);
    /// Sets the end sentence for the saved size text `sizeText` (in green at 16 points, the
    /// whole text centred) on the main queue, after the step that runs now. With `failedCount`
    /// above 0 the sentence says instead how many folders could not be removed (that number
    /// stands out too) and how much space was saved.
    void changeLabel(const std::string& sizeText, int failedCount = 0);
    /// Tells the delegate (when it answers removelanguageEnd), closes the window and stops the
    /// application's current modal loop.
    void okButtonAction(NSObject* sender);

    /// The object told when OK is pressed (not retained); it hears it when it adopts
    /// RemoveLagEndDelegate.
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

    /// The bar made by windowDidLoad (nullptr before, and once its panel is gone).
    Ref<EUProgressView> aProgressView() const { return aProgressView_.lock(); }

    static void registerClass();

  private:
    WeakRef<RemoveLagEndWindowController> weakSelf();
    void showProgress(int percent, const std::string& path);
    void setEndMessage(const std::string& sizeText, int failedCount);

    /// Held by the progress panel once added to it.
    WeakRef<EUProgressView> aProgressView_;
    Ref<NSTextField> pathLabel_;
    Ref<NSTextField> messageLabel_;
    Ref<NSView> endView_;
    Ref<NSView> progressView_;
    Ref<TextImageButton> okButton_;
    WeakRef<NSObject> delegate_;
};
