#pragma once
// The review dialog of an uninstall: a two-level tree of the chosen bundles (group rows) and
// the files found for each (record rows), all ticked at first. The user unticks files or whole
// groups, cancels, or starts the uninstall: the dialog closes, hands the ticked records to a
// delete executor half a second later and runs the progress dialog, driving it from the
// executor's reports; when the user confirms the end, the opener is told.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "appsManager/AMAppItem.h"
#include "appsManager/AMFreedSpace.h"
#include "appsManager/AMRelatedFilesGroup.h"
#include "appsManager/AsMDeleteExecutorDelegate.h"
#include "appsManager/RelatedFilesCleanDelegate.h"
#include "appsManager/RemovalTreeWindowController.h"
#include "appsManager/UninstallProgressDelegate.h"

class AsMDeleteExecutor;
class UninstallProgressWindowController;

class AMRelatedFilesWindowController : public RemovalTreeWindowController,
                                       public AsMDeleteExecutorDelegate,
                                       public UninstallProgressDelegate {
  public:
    /// A dialog that loads `nibName` on first access of its window; nothing is ticked yet.
    static Ref<AMRelatedFilesWindowController> make(
        std::string nibName = "AMRelatedFilesWindowController") {
        auto controller = std::make_shared<AMRelatedFilesWindowController>();
        controller->initWithWindowNibName(std::move(nibName));
        return controller;
    }

    /// A dialog whose question counts applications and whose confirming button uninstalls.
    AMRelatedFilesWindowController();

    /// The dialog set-up, then ticks every record, fills the tree, highlights and expands
    /// row 0 and builds the headline.
    void windowDidLoad() override;
    /// Uninstall: closes the dialog, then runs doRemove 0.5 seconds later on the main run loop.
    void clickedDeleteBtn(NSObject* sender);
    /// Starts deleting the ticked records and runs the progress dialog modally; nothing when
    /// no record is ticked.
    void doRemove();
    /// Prepares the progress state and dialog, starts the executor and runs the dialog.
    void showProgress();
    /// The first half of showProgress: counters reset, the number of records to report taken,
    /// a new progress dialog made (delegate: this dialog) and centred.
    void prepareProgress();

    // Executor reports, on the executor's worker thread.
    void deleteRelatedFile(const Ref<AMAppItem>& entry) override;
    void deleteRelatedFileFail(const Ref<AMAppItem>& entry) override;

    /// The progress dialog's OK: unticks everything, empties the group list (the opener's list
    /// with it), tells the delegate and closes the dialog.
    void uninstallEnd() override;

    /// Toggles the tick of the row object at the outline's selected row: a record alone, a
    /// group for all of its records (a partly ticked group becomes fully ticked).
    void selectRemoveLanguage() override;
    /// The disclosure arrow of a group row: collapses or expands the item at the clicked row.
    void openOrClose();
    /// Rebuilds the list of group rows from every row and hands it to the outline.
    void reloadCellBackgroundColor();
    /// Makes Uninstall unusable.
    void sohwSystemNode();

    // The tree.
    long numberOfChildrenOfItem(NSOutlineView* outlineView, const Ref<NSObject>& item) override;
    Ref<NSObject> child(NSOutlineView* outlineView, long index, const Ref<NSObject>& item) override;
    bool isItemExpandable(NSOutlineView* outlineView, const Ref<NSObject>& item) override;
    std::any objectValueForTableColumn(NSOutlineView* outlineView, NSTableColumn* column,
                                       const Ref<NSObject>& item) override;
    void willDisplayCell(NSOutlineView* outlineView, NSCell* cell, NSTableColumn* column,
                         const Ref<NSObject>& item) override;
    /// A file row's tool tip is its full path, so that two files of one name can be told
    /// apart; group rows have none.
    std::optional<std::string> toolTipForCell(NSOutlineView* outlineView, NSCell* cell,
                                              NSRect* rect, NSTableColumn* column,
                                              const Ref<NSObject>& item,
                                              NSPoint mouseLocation) override;

    // Accessors.
    /// Told when an uninstall has ended; not retained.
    Ref<RelatedFilesCleanDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<RelatedFilesCleanDelegate>& delegate) { delegate_ = delegate; }
    /// The groups shown (retained; shared with the opener).
    const Ref<AMRelatedFilesGroupList>& allRelaltedFiles() const { return allRelaltedFiles_; }
    void setAllRelaltedFiles(const Ref<AMRelatedFilesGroupList>& groups) {
        allRelaltedFiles_ = groups;
    }

    // State, for the owner and tests.
    /// The ticked records in tick order: what an uninstall deletes.
    const std::vector<Ref<AMAppItem>>& selectDeletePath() const { return selectDeletePath_; }
    bool isTicked(const AMAppItem* record) const;
    /// The row object whose tick was toggled last (cleared by every expand or collapse).
    const Ref<NSObject>& selectCell() const { return selectCell_; }
    const Ref<AsMDeleteExecutor>& deleteExecutor() const { return deleteExecutor_; }
    /// The progress dialog of the current uninstall (nullptr before the first).
    Ref<UninstallProgressWindowController> uninstallPWC() const;
    int allSelectCount() const { return allSelectCount_.load(); }
    int deleteCount() const { return deleteCount_.load(); }
    /// Records of the current uninstall reported as not removed.
    int failCount() const { return failCount_.load(); }
    /// Bytes freed so far: each path reported removed counts once.
    std::uint64_t totalSize() const { return totalSize_.total(); }

    static void registerClass();

  protected:
    /// The number of groups shown.
    std::size_t groupCount() const override;

  private:
    Ref<AMRelatedFilesGroup> groupFor(const Ref<NSObject>& item) const;
    long tickedCount(const AMRelatedFilesGroup& group) const;
    void untick(const AMAppItem* record);
    void reportProgress(int count, std::uint64_t total, int failed, const Ref<AMAppItem>& entry);
    void itemDidExpandOrCollapse();

    std::vector<Ref<AMAppItem>> selectDeletePath_;
    Ref<AsMDeleteExecutor> deleteExecutor_;
    WeakRef<RelatedFilesCleanDelegate> delegate_;
    Ref<NSObject> selectCell_;
    mutable std::mutex progressLock_;  // guards uninstallPWC_, read by the executor's reports
    Ref<UninstallProgressWindowController> uninstallPWC_;
    std::atomic<int> allSelectCount_{0};
    std::atomic<int> deleteCount_{0};
    std::atomic<int> failCount_{0};
    AMFreedSpace totalSize_;
    Ref<AMRelatedFilesGroupList> allRelaltedFiles_;
};
