#pragma once
// The screen behind the first four sidebar entries: one list per kind of item (made on first
// use and kept), the Uninstall, select-all, sort and refresh buttons, the search box, and the
// headline with the selection summary. It runs the uninstall road: the related files of the
// chosen items are collected on a background queue, the review dialog runs modally, and
// afterwards the removed row is dropped or the list is scanned again.
//
// Threads: everything runs on the main thread except the collection of related files; the
// lists' scan messages arrive on their scanning thread and hop to the main queue.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "appsManager/AMAppsViewControllerDelegate.h"
#include "appsManager/RelatedFilesCleanDelegate.h"
#include "appsManager/SortPopUp.h"
#include "appsManager/SortViewControllerDelegate.h"
#include "controls/searchbox/NewSearchTextFiledDelegate.h"
#include "platform/appkit/NSViewController.h"
#include "platform/foundation/NSString.h"

class AMAppsViewController;
class AMRelatedFilesWindowController;
class NSButton;
class NSImageView;
class NSProgressIndicator;
class NSTextField;
class NSWindow;
class NewSearchTextFiled;
class SortViewController;
class StatusAttachedWindow;
class TCImageButton;
class AMRelatedFilesGroup;

/// What the uninstaller screens tell the application delegate (nothing is sent yet).
class AMMainViewControllerDelegate {
  public:
    virtual ~AMMainViewControllerDelegate() = default;
    virtual void refrashEnd() {}
};

class AMMainViewController : public NSViewController,
                             public AMAppsViewControllerDelegate,
                             public RelatedFilesCleanDelegate,
                             public NewSearchTextFiledDelegate,
                             public SortViewControllerDelegate {
  public:
    AMMainViewController();
    ~AMMainViewController() override;

    // Sent by the application delegate.
    /// The main window, parent of the sort pop-up (not retained).
    void setMainWindow(NSWindow* window) { mainWindow_ = window; }
    NSWindow* mainWindow() const { return mainWindow_; }
    /// The application delegate (not retained).
    void setDelegate(const WeakRef<NSObject>& delegate) { delegate_ = delegate; }
    /// Builds the screen once: the Applications list, then the buttons and the search box.
    void loadAmMainVC();
    /// Shows the list of `kind` (0 applications, 1 plug-ins, 2 preference panes, 3 widgets);
    /// any other kind shows none.
    void selectShowTypes(int kind);
    /// Sets the headline's title and subtitle for sidebar entry `entry` and places the
    /// selection summary after the title.
    void changeTopBarViewWith(int entry);
    /// The headline texts of sidebar entry `entry` (entry 0's for values outside 1 to 5).
    static std::pair<std::string, std::string> headlineFor(int entry);

    // Actions of the screen's controls.
    /// Collects the related files of the ticked items and opens the review.
    void uninstallAllSelectApps(NSObject* sender);
    /// Ticks every shown item of the current list, or none when all are ticked.
    void selectAllButtonAction(NSObject* sender);
    /// Opens the sort pop-up over the list.
    void sortButtonAction(NSObject* sender);
    /// Scans the current list again and clears the search.
    void refashButtonAction(NSObject* sender);

    // AMAppsViewControllerDelegate.
    void isSearchButtonEdit(bool editable) override;
    void getAppEnd() override;
    void changeUninstallState(int count, float totalSize, const std::string& label) override;
    void searchRelatedFiles(AMAppItem* item) override;
    // RelatedFilesCleanDelegate.
    void completeCleanRelatedFiles() override;
    // NewSearchTextFiledDelegate.
    void doSearchWithKey(const std::optional<std::string>& key) override;
    void searchCancelButtonAction() override;
    // SortViewControllerDelegate.
    void mouseEixtView(bool exited) override;
    void sortActionBy(std::int32_t type, std::int32_t upDown) override;

    /// Closes the sort pop-up unless the pointer is inside it.
    void isHiddenWindow();

    // Own steps.
    /// The width of `title` set in the regular font at 24 points.
    static double getWidthWithTitle(const std::string& title);
    /// Filters the current list by name.
    void searchNameWithKey(const NSStringOpt& key);
    /// Scans the current list again.
    void refrshApplication();
    /// Runs refrashEnd (scheduled a second after a scan ends).
    void setRefrshButton();
    /// Empties the search text (showing every item again when it held a search), takes the
    /// focus from it and enables the refresh button.
    void refrashEnd();
    /// Empties the search box and shows every item again.
    void searchCleanText();

    // State.
    int aSelectType() const { return aSelectType_; }
    bool isUninsatllOne() const { return isUninsatllOne_; }
    long selectedRow() const { return selectedRow_; }
    bool isPopSortWin() const { return sortPopUp_.isPopSortWin(); }
    /// The list of `kind` (nullptr before it was first shown or outside 0 to 3).
    AMAppsViewController* listOfKind(int kind) const;
    /// The list of the current sidebar entry (nullptr for entries 4 and 5).
    AMAppsViewController* currentList() const { return listOfKind(aSelectType_); }
    TCImageButton* uninstallButton() const { return uninstallButton_.get(); }
    TCImageButton* refreshButton() const { return refreshButton_.get(); }
    NewSearchTextFiled* seachTextField() const { return seachTextField_.get(); }
    SortViewController* sortVC() const { return sortPopUp_.sortVC(); }
    StatusAttachedWindow* sortAttachedWindow() const { return sortPopUp_.window(); }
    AMRelatedFilesWindowController* relatedFilesWinController() const {
        return relatedFilesWinController_.get();
    }

    // Outlets.
    NSTextField* titleLabel() const { return titleLabel_; }
    void setTitleLabel(const Ref<NSTextField>& label) { titleLabel_ = label.get(); }
    NSTextField* nodeLabel() const { return nodeLabel_; }
    void setNodeLabel(const Ref<NSTextField>& label) { nodeLabel_ = label.get(); }
    NSTextField* selectLabel() const { return selectLabel_; }
    void setSelectLabel(const Ref<NSTextField>& label) { selectLabel_ = label.get(); }
    NSButton* searchButton() const { return searchButton_; }
    void setSearchButton(const Ref<NSButton>& button) { searchButton_ = button.get(); }
    TCImageButton* selectAllBut() const { return selectAllBut_; }
    void setSelectAllBut(const Ref<TCImageButton>& button) { selectAllBut_ = button.get(); }
    TCImageButton* sortByBut() const { return sortByBut_; }
    void setSortByBut(const Ref<TCImageButton>& button) { sortByBut_ = button.get(); }
    NSImageView* emptyIcon() const { return emptyIcon_; }
    void setEmptyIcon(const Ref<NSImageView>& icon) { emptyIcon_ = icon.get(); }
    NSProgressIndicator* progressView() const { return progressView_; }
    void setProgressView(const Ref<NSProgressIndicator>& indicator) {
        progressView_ = indicator.get();
    }

    /// Test hook: called with each review dialog instead of running it modally (the review's
    /// own tests cover the dialog). Pass nullptr to restore the modal run.
    using ReviewRunner = void (*)(AMRelatedFilesWindowController* review, void* context);
    static void setReviewRunnerForTesting(ReviewRunner runner, void* context);

    static void registerClass();

  private:
    /// Makes the list of `kind` when needed and answers it.
    AMAppsViewController* ensureList(int kind);
    /// Opens the review of `groups` (main queue).
    void openReview(std::vector<Ref<AMRelatedFilesGroup>> groups);

    NSWindow* mainWindow_ = nullptr;
    WeakRef<NSObject> delegate_;
    /// Indexed by kind: applications, plug-ins, preference panes, widgets.
    std::array<Ref<AMAppsViewController>, 4> lists_;
    Ref<AMRelatedFilesWindowController> relatedFilesWinController_;
    long selectedRow_ = -1;
    Ref<TCImageButton> uninstallButton_;
    bool isUninsatllOne_ = false;
    int aSelectType_ = 0;
    Ref<NewSearchTextFiled> seachTextField_;
    Ref<TCImageButton> refreshButton_;
    SortPopUp sortPopUp_;
    bool built_ = false;
    // Outlets: the screen's view holds them.
    NSTextField* titleLabel_ = nullptr;
    NSTextField* nodeLabel_ = nullptr;
    NSTextField* selectLabel_ = nullptr;
    NSButton* searchButton_ = nullptr;
    TCImageButton* selectAllBut_ = nullptr;
    TCImageButton* sortByBut_ = nullptr;
    NSImageView* emptyIcon_ = nullptr;
    NSProgressIndicator* progressView_ = nullptr;
};
