#pragma once
// The modal dialog that shows a removal under way: a progress panel (a thin bar and the path
// just handled) that turns into an end panel (the space freed and an OK button) when the
// progress reaches 100. Its progress entry points may be called from any thread: every change is
// queued on the main queue, in call order, except where the subclass lets a progress report made
// on the main thread take effect at once. Subclasses give the end sentences and tell their
// delegate of OK.

#include <string>

#include "controls/buttons/TextImageButton.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/NSWindowController.h"

class EUProgressView;

class ProgressEndWindowController : public NSWindowController {
  public:
    /// Centres the window (clear, not opaque, movable by its background), adds the bar at 2
    /// percent to the progress panel and gives the OK button its images and text.
    void windowDidLoad() override;

    /// Moves the bar to `percent` and shows `path`; at 100 or more the end panel replaces the
    /// progress panel (after the path is shown).
    void changeProgressValue(int percent, const std::string& path);
    /// Sets the end sentence for the freed size text `sizeText` (in green at 16 points, the
    /// whole text centred) on the main queue, after the step that runs now. With `failedCount`
    /// above 0 the sentence says instead how many items could not be removed (that number
    /// stands out too) and how much space was freed.
    void changeLabel(const std::string& sizeText, int failedCount = 0);
    /// Tells the delegate (when it answers the subclass's end message), closes the window and
    /// stops the application's current modal loop.
    void okButtonAction(NSObject* sender);

    /// The object told when OK is pressed (not retained).
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

    /// Registers the outlets and the OK action shared by every such dialog.
    static void registerClass();

  protected:
    /// The end sentence: `endFormat` takes the size text (%@); `partlyFormat` the number of
    /// items left (%d), then the size text (%@). With `progressAtOnceOnMainThread` a progress
    /// report made on the main thread changes the panel at once instead of after the queued ones.
    ProgressEndWindowController(const char* endFormat, const char* partlyFormat,
                                bool progressAtOnceOnMainThread)
        : endFormat_(endFormat),
          partlyFormat_(partlyFormat),
          progressAtOnceOnMainThread_(progressAtOnceOnMainThread) {}
    /// Tells `delegate` of OK when it answers the dialog's end message.
    virtual void tellDelegateOfEnd(NSObject* delegate) = 0;

  private:
    WeakRef<ProgressEndWindowController> weakSelf();
    void showProgress(int percent, const std::string& path);
    void setEndMessage(const std::string& sizeText, int failedCount);

    const char* endFormat_;
    const char* partlyFormat_;
    bool progressAtOnceOnMainThread_;
    /// Held by the progress panel once added to it.
    WeakRef<EUProgressView> aProgressView_;
    Ref<NSTextField> pathLabel_;
    Ref<NSTextField> messageLabel_;
    Ref<NSView> endView_;
    Ref<NSView> progressView_;
    Ref<TextImageButton> okButton_;
    WeakRef<NSObject> delegate_;
};
