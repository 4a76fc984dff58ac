#pragma once
// The update check dialog: an animated progress indicator while a thread of its own probes the
// network and fetches the update description from the link "IniURL", then exactly one of three
// panes: no network, no update, or the new version with its feature lines and a button that
// opens the download page. The check runs once, when the window is first loaded.

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "controls/buttons/TextImageButton.h"
#include "platform/appkit/CAAnimation.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSProgressIndicator.h"
#include "platform/appkit/NSScrollView.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/NSWindowController.h"
#include "platform/foundation/PlistValue.h"
#include "platform/graphics/NSFont.h"

class EUCheckUpdateWindowController : public NSWindowController,
                                      public NSWindowDelegate,
                                      public CAAnimationDelegate {
  public:
    /// A dialog that loads `nibName` on first access of its window (and starts its check then).
    static Ref<EUCheckUpdateWindowController> make(std::string nibName = "UpdateVersionXib") {
        auto controller = std::make_shared<EUCheckUpdateWindowController>();
        controller->initWithWindowNibName(std::move(nibName));
        return controller;
    }

    /// Gives the window its fade animation and fades a window that is not shown yet in.
    void awakeFromNib() override;
    /// Dresses the window and the buttons, starts the indicator and the check's thread.
    void windowDidLoad() override;

    /// The check, on a thread of its own: the reachability probe, then the fetch of the update
    /// description; the result goes to the main queue.
    void getVersionChange();
    /// Shows the pane for `description` (nil: the fetch failed) and lays out its feature
    /// lines. Main thread.
    void whatIsNewVersionDiff(const std::optional<PlistValue>& description);
    /// The height `text` needs in `font` wrapped at `width`.
    static double heightForStringDrawing(const std::string& text, const Ref<NSFont>& font,
                                         double width);

    /// Fetches the update description from the link "IniURL" (blocking the caller): nil when
    /// there is no link, the fetch fails, the body is larger than kMaxDescriptionBytes or is
    /// not a property-list dictionary.
    static std::optional<PlistValue> fetchUpdateDescription();
    /// The most an update description may weigh.
    static constexpr std::size_t kMaxDescriptionBytes = 256 * 1024;
    /// This copy's build number: "VersionCheck" of the settings file, 0 when missing.
    static long long localBuildNumber();
    /// The build number of a description's "VersionCheck": a number or a string of decimal
    /// digits; nil for anything else (the description then counts as a failed fetch).
    static std::optional<long long> buildNumberOf(const PlistValue* value);
    /// The feature lines of a description: the string values under keys "1", "2", ... in
    /// number order; other keys and values that are not strings are left out.
    static std::vector<std::pair<int, std::string>> featureLinesOf(const PlistValue& description);

    /// The window's own close button: ends the dialog.
    void closeWindow(NSObject* sender);
    /// The Close buttons: stops the modal loop, closes the window, and performs runRootWindow
    /// on the delegate when one is set.
    void closeWindowAction(NSObject* sender);
    /// Opens the download page in the browser; the dialog stays open.
    void updateClickHereAction(NSObject* sender);
    /// Opens `address` in the browser when it is an http or https address; whether it did.
    static bool openDownloadPage(const std::string& address);

    /// A close through the window (performClose): fades out, then closes.
    bool windowShouldClose(NSWindow* sender) override;
    /// At the end of a fade to 0: stops the modal loop, closes the window, and terminates the
    /// application when a termination started the fade.
    void animationDidStop(CAAnimation* animation, bool finished) override;
    /// Terminate now once the fade ran; otherwise starts it and cancels.
    NSApplicationTerminateReply applicationShouldTerminate(NSApplication* sender);

    /// The address of the update's download page.
    static const char* const kDownloadPage;

    // Panes and views of the interface file.
    const Ref<NSView>& checkProgressView() const { return checkProgressView_; }
    void setCheckProgressView(const Ref<NSView>& view) { checkProgressView_ = view; }
    const Ref<NSView>& noNetworkView() const { return noNetworkView_; }
    void setNoNetworkView(const Ref<NSView>& view) { noNetworkView_ = view; }
    const Ref<NSView>& noUpdateView() const { return noUpdateView_; }
    void setNoUpdateView(const Ref<NSView>& view) { noUpdateView_ = view; }
    const Ref<NSView>& haveUpdateView() const { return haveUpdateView_; }
    void setHaveUpdateView(const Ref<NSView>& view) { haveUpdateView_ = view; }
    const Ref<NSTextField>& versionLabel() const { return versionLabel_; }
    void setVersionLabel(const Ref<NSTextField>& label) { versionLabel_ = label; }
    const Ref<NSScrollView>& changeValueScrollView() const { return changeValueScrollView_; }
    void setChangeValueScrollView(const Ref<NSScrollView>& view) { changeValueScrollView_ = view; }
    const Ref<NSProgressIndicator>& progressBar() const { return progressBar_; }
    void setProgressBar(const Ref<NSProgressIndicator>& bar) { progressBar_ = bar; }
    const Ref<NSView>& showVersionScrollView() const { return showVersionScrollView_; }
    void setShowVersionScrollView(const Ref<NSView>& view) { showVersionScrollView_ = view; }
    bool shuttingDown() const { return shuttingDown_; }

    /// The object closing performs runRootWindow on (not retained).
    Ref<NSObject> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<NSObject>& delegate) { delegate_ = delegate; }

    // The buttons (not retained: the panes hold them).
    TextImageButton* proCloseButton() const { return proCloseButton_.lock().get(); }
    void setProCloseButton(const Ref<TextImageButton>& b) { proCloseButton_ = b; }
    TextImageButton* noNetCloseButton() const { return noNetCloseButton_.lock().get(); }
    void setNoNetCloseButton(const Ref<TextImageButton>& b) { noNetCloseButton_ = b; }
    TextImageButton* newCloseButton() const { return newCloseButton_.lock().get(); }
    void setNewCloseButton(const Ref<TextImageButton>& b) { newCloseButton_ = b; }
    TextImageButton* haveLaterButton() const { return haveLaterButton_.lock().get(); }
    void setHaveLaterButton(const Ref<TextImageButton>& b) { haveLaterButton_ = b; }
    TextImageButton* installButton() const { return installButton_.lock().get(); }
    void setInstallButton(const Ref<TextImageButton>& b) { installButton_ = b; }

    static void registerClass();

  private:
    WeakRef<EUCheckUpdateWindowController> weakSelf();
    void showOnly(NSView* pane);
    void endDialog();
    void fadeOut();

    Ref<NSView> checkProgressView_;
    Ref<NSView> noNetworkView_;
    Ref<NSView> noUpdateView_;
    Ref<NSView> haveUpdateView_;
    Ref<NSTextField> versionLabel_;
    Ref<NSScrollView> changeValueScrollView_;
    Ref<NSProgressIndicator> progressBar_;
    Ref<NSView> showVersionScrollView_;
    bool shuttingDown_ = false;
    WeakRef<NSObject> delegate_;
    WeakRef<TextImageButton> proCloseButton_, noNetCloseButton_, newCloseButton_, haveLaterButton_,
        installButton_;
};
