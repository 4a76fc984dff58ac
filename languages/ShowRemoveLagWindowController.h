#pragma once
// The confirmation dialog of a language removal: a two-level tree of the chosen top nodes
// (group rows) and their folders, all ticked at first, under the question how many languages
// to remove. Cancel or the close button ends it with nothing deleted; Remove closes it and,
// half a second later, hands the ticked folders to a delete executor and tells the opener,
// to which it then passes every folder report.

#include <optional>
#include <string>
#include <vector>

#include "languages/DeleteExecutorDelegate.h"
#include "appsManager/RemovalTreeWindowController.h"
#include "languages/RemovalSelectionEntry.h"
#include "languages/ShowRemoveLagCleanDelegate.h"

class AMDeleteExecutor;

class ShowRemoveLagWindowController : public RemovalTreeWindowController,
                                      public DeleteExecutorDelegate,
                                      public DeleteExecutorFailureDelegate {
  public:
    /// A dialog that loads `nibName` on first access of its window; nothing is ticked yet.
    static Ref<ShowRemoveLagWindowController> make(
        std::string nibName = "ShowRemoveLagWindowController") {
        auto controller = std::make_shared<ShowRemoveLagWindowController>();
        controller->initWithWindowNibName(std::move(nibName));
        return controller;
    }

    /// A dialog whose question counts languages and whose confirming button removes.
    ShowRemoveLagWindowController();

    /// The dialog set-up, then ticks every folder, fills the tree, expands row 0 and builds
    /// the question.
    void windowDidLoad() override;
    /// Expands every entry of the tree; nothing before the window is loaded.
    void doExpandItem();

    /// Remove: closes the dialog, then runs doRemove 0.5 seconds later on the main run loop.
    void clickedDeleteBtn(NSObject* sender);
    /// Hands the ticked folders to the executor in tick order and announces their number to
    /// the delegate; nothing when no folder is ticked.
    void doRemove();

    // Executor reports, on the executor's thread: passed on to the delegate.
    void deleteRelatedFile(const Ref<ZRTreeNode>& entry) override;
    void deleteRelatedFileFail(const Ref<ZRTreeNode>& entry) override;

    /// Toggles the ticks of the selected row: a folder alone, an entry for all its folders (a
    /// partly ticked entry becomes fully ticked).
    void selectRemoveLanguage() override;
    /// The arrow of a group row and a double-click: the highlight goes, the row toggles.
    void openOrClose();
    /// Rebuilds the row numbers of the group rows and hands them to the outline.
    void reloadCellBackgroundColor();

    // The tree.
    long numberOfChildrenOfItem(NSOutlineView* outlineView, const Ref<NSObject>& item) override;
    Ref<NSObject> child(NSOutlineView* outlineView, long index, const Ref<NSObject>& item) override;
    bool isItemExpandable(NSOutlineView* outlineView, const Ref<NSObject>& item) override;
    std::any objectValueForTableColumn(NSOutlineView* outlineView, NSTableColumn* column,
                                       const Ref<NSObject>& item) override;
    void willDisplayCell(NSOutlineView* outlineView, NSCell* cell, NSTableColumn* column,
                         const Ref<NSObject>& item) override;

    // Accessors.
    /// Told of the removal and of every folder; not retained.
    Ref<ShowRemoveLagCleanDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const WeakRef<ShowRemoveLagCleanDelegate>& delegate) { delegate_ = delegate; }
    const RemovalSelection& allRelaltedFiles() const { return allRelaltedFiles_; }
    void setAllRelaltedFiles(RemovalSelection selection) {
        allRelaltedFiles_ = std::move(selection);
    }

    /// The ticked folders in deletion order.
    const std::vector<Ref<ZRTreeNode>>& selectDeletePath() const { return selectDeletePath_; }
    bool isTicked(const ZRTreeNode* leaf) const;
    int allSelectCount() const { return allSelectCount_; }
    const Ref<AMDeleteExecutor>& deleteExecutor() const { return deleteExecutor_; }

    static void registerClass();

  protected:
    /// The number of entries shown.
    std::size_t groupCount() const override { return allRelaltedFiles_.size(); }

  private:
    Ref<RemovalSelectionEntry> entryFor(const Ref<NSObject>& item) const;
    long tickedCount(const RemovalSelectionEntry& entry) const;
    void untick(const ZRTreeNode* leaf);

    Ref<AMDeleteExecutor> deleteExecutor_;
    int allSelectCount_ = 0;
    std::vector<Ref<ZRTreeNode>> selectDeletePath_;
    WeakRef<ShowRemoveLagCleanDelegate> delegate_;
    RemovalSelection allRelaltedFiles_;
};
