#pragma once
// The confirmation dialog of a language removal: a two-level tree of the chosen top nodes
// (group rows) and their folders, all ticked at first, under the question how many languages
// to remove. Cancel or the close button ends it with nothing deleted; Remove closes it and,
// half a second later, hands the ticked folders to a delete executor and tells the opener,
// to which it then passes every folder report.

#include <optional>
#include <string>
#include <vector>

#include "appsManager/DeleteExecutorDelegate.h"
#include "appsManager/RemovalTreeRows.h"
#include "controls/NewButtonDelegate.h"
#include "languages/RemovalSelectionEntry.h"
#include "languages/ShowRemoveLagCleanDelegate.h"
#include "platform/appkit/NSOutlineViewDataSource.h"
#include "platform/appkit/NSOutlineViewDelegate.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSWindowController.h"

class AMDeleteExecutor;
class MyNewOutlineView;
class TextImageButton;

class ShowRemoveLagWindowController : public NSWindowController,
                                      public DeleteExecutorDelegate,
                                      public DeleteExecutorFailureDelegate,
                                      public NSOutlineViewDataSource,
                                      public NSOutlineViewDelegate,
                                      public NewButtonDelegate {
  public:
    /// A dialog that loads `nibName` on first access of its window; nothing is ticked yet.
    static Ref<ShowRemoveLagWindowController> make(
        std::string nibName = "ShowRemoveLagWindowController") {
        auto controller = std::make_shared<ShowRemoveLagWindowController>();
        controller->initWithWindowNibName(std::move(nibName));
        return controller;
    }

    /// Cancel and Remove get their images and texts and are usable.
    void awakeFromNib() override;
    /// Retargets the close button, makes the window clear and movable, ticks every folder,
    /// fills the tree, expands row 0 and builds the question.
    void windowDidLoad() override;
    /// The question, with the number of entries in green regular 20 points, centred.
    void setNodeLabelStyle();
    /// Expands every entry of the tree; nothing before the window is loaded.
    void doExpandItem();

    /// Cancel: closes the dialog.
    void clickedCancelBtn(NSObject* sender);
    /// Closes the window and stops the application's current modal loop.
    void closeWindow(NSObject* sender);
    /// Remove: closes the dialog, then runs doRemove 0.5 seconds later on the main run loop.
    void clickedDeleteBtn(NSObject* sender);
    /// Hands the ticked folders to the executor in tick order and announces their number to
    /// the delegate; nothing when no folder is ticked.
    void doRemove();

    // Executor reports, on the executor's thread: passed on to the delegate.
    void deleteRelatedFile(const Ref<ZRTreeNode>& entry) override;
    void deleteRelatedFileFail(const Ref<ZRTreeNode>& entry) override;

    /// A tick was clicked in a row (the row is selected by then).
    void clickButtonAction(NewButton* cell) override;
    /// Toggles the ticks of the selected row: a folder alone, an entry for all its folders (a
    /// partly ticked entry becomes fully ticked).
    void selectRemoveLanguage();
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
    std::optional<bool> shouldSelectItem(NSOutlineView* outlineView,
                                         const Ref<NSObject>& item) override;
    std::optional<bool> shouldEditTableColumn(NSOutlineView* outlineView, NSTableColumn* column,
                                              const Ref<NSObject>& item) override;
    std::optional<bool> shouldSelectTableColumn(NSOutlineView* outlineView,
                                                NSTableColumn* column) override;
    void outlineViewSelectionDidChange(const NSNotification& notification) override;

    // Accessors.
    /// Told of the removal and of every folder; not retained.
    Ref<ShowRemoveLagCleanDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const WeakRef<ShowRemoveLagCleanDelegate>& delegate) { delegate_ = delegate; }
    const RemovalSelection& allRelaltedFiles() const { return allRelaltedFiles_; }
    void setAllRelaltedFiles(RemovalSelection selection) {
        allRelaltedFiles_ = std::move(selection);
    }
    const Ref<MyNewOutlineView>& outlineView() const { return outlineView_; }
    void setOutlineView(const Ref<MyNewOutlineView>& outline) { outlineView_ = outline; }
    const Ref<TextImageButton>& cancelButton() const { return cancelButton_; }
    void setCancelButton(const Ref<TextImageButton>& button) { cancelButton_ = button; }
    const Ref<TextImageButton>& uninstallButton() const { return uninstallButton_; }
    void setUninstallButton(const Ref<TextImageButton>& button) { uninstallButton_ = button; }
    const Ref<NSTextField>& nodeLabel() const { return nodeLabel_; }
    void setNodeLabel(const Ref<NSTextField>& label) { nodeLabel_ = label; }

    /// The ticked folders in deletion order.
    const std::vector<Ref<ZRTreeNode>>& selectDeletePath() const { return selectDeletePath_; }
    bool isTicked(const ZRTreeNode* leaf) const;
    int allSelectCount() const { return allSelectCount_; }
    const Ref<AMDeleteExecutor>& deleteExecutor() const { return deleteExecutor_; }
    /// The row numbers of the group rows as decimal text.
    const std::vector<std::string>& rootArr() const { return rows_.rootArr(); }

    static void registerClass();

  private:
    Ref<RemovalSelectionEntry> entryFor(const Ref<NSObject>& item) const;
    long tickedCount(const RemovalSelectionEntry& entry) const;
    void untick(const ZRTreeNode* leaf);

    Ref<AMDeleteExecutor> deleteExecutor_;
    int allSelectCount_ = 0;
    std::vector<Ref<ZRTreeNode>> selectDeletePath_;
    WeakRef<ShowRemoveLagCleanDelegate> delegate_;
    RemovalSelection allRelaltedFiles_;
    Ref<MyNewOutlineView> outlineView_;
    RemovalTreeRows rows_;
    Ref<TextImageButton> cancelButton_;
    Ref<TextImageButton> uninstallButton_;
    Ref<NSTextField> nodeLabel_;
};
