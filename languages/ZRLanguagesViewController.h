#pragma once
// The controller of the Languages screen. It scans the applications once per run for the
// localisation folders they carry, and keeps two trees of them: by application (each bundle
// with its removable folders) and by language (each language with the bundles that carry it).

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "appsManager/AMFreedSpace.h"
#include "appsManager/SortPopUp.h"
#include "appsManager/SortViewControllerDelegate.h"
#include "controls/rowcells/NewButtonDelegate.h"
#include "controls/rowcells/RemoveButtonCellDelegate.h"
#include "languages/LanguageScanner.h"
#include "languages/RemovalSelectionEntry.h"
#include "languages/RemoveLagEndDelegate.h"
#include "languages/ShowRemoveLagCleanDelegate.h"
#include "languages/ZRTreeNode.h"
#include "platform/appkit/NSOutlineViewDataSource.h"
#include "platform/appkit/NSOutlineViewDelegate.h"
#include "platform/appkit/NSViewController.h"

class CustemOutlineView;
class NSImageView;
class NSSegmentedControl;
class NSTextField;
class NSWindow;
class RemoveLagEndWindowController;
class RFOverlayScrollView;
class ShowRemoveLagWindowController;
class SortViewController;
class StatusAttachedWindow;
class TCImageButton;

class ZRLanguagesViewController : public NSViewController,
                                  public NSOutlineViewDataSource,
                                  public NSOutlineViewDelegate,
                                  public NewButtonDelegate,
                                  public RemoveButtonCellDelegate,
                                  public SortViewControllerDelegate,
                                  public ShowRemoveLagCleanDelegate,
                                  public RemoveLagEndDelegate {
  public:
    ZRLanguagesViewController();
    ~ZRLanguagesViewController() override;

    /// Segment 0 and the header titles, the outline's data source and delegate, the Remove
    /// button (made here, disabled) and the images of select-all and sort.
    void awakeFromNib() override;
    void setMainWindow(NSWindow* window) { mainWindow_ = window; }
    NSWindow* mainWindow() const { return mainWindow_; }

    /// Starts the language scan of the volume's Applications folder on the global queue; its
    /// completion installs both trees on the main queue. Sent once per run; a second call
    /// while a scan runs or after it ended is counted and ignored.
    void loadData();
    int scanCount() const { return scans_; }
    /// True from loadData until the completion has installed the trees.
    bool isScanning() const { return scanning_.load(); }

    /// The scan's steps, run by its LanguageScanner (see there): the bundles of `folder` and
    /// below into the by-application list, one bundle's application node, and the
    /// by-language list from the by-application list.
    void enumerateLanguages(const std::string& folder);
    Ref<ZRTreeNode> constructTreeNode(const std::string& path);
    void buildLanguagesTree();

    /// The trees the screen shows; empty until the scan completion.
    const ZRNodeList& appLanguages() const { return appLanguages_; }
    const ZRNodeList& languageApps() const { return languageApps_; }
    /// The scan's own lists, filled off the main thread while the scan runs.
    const ZRNodeList& scanAppLanguages() const { return scanner_.appLanguages(); }
    const ZRNodeList& scanLanguageApps() const { return scanner_.languageApps(); }
    /// The node of the row last selected or clicked (row 0 after the scan); nullptr for none
    /// and once that node is gone.
    Ref<ZRTreeNode> selectTreeNode() const { return selectTreeNode_.lock(); }

    // The tree shown: by application with segment 1, else by language.
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
    /// The arrow column: collapses or expands the item at the clicked row.
    void openOrClose();
    /// The view segment: the other tree with its header titles.
    void changeShowType(NSObject* sender);
    /// The root list shown now.
    const ZRNodeList& shownRootList() const;

    // Ticks.
    /// A row's check box was clicked (the row is selected by then).
    void clickButtonAction(NewButton* cell) override;
    /// Toggles selectTreeNode: a leaf 0 <-> 1, a top node to 0 from 1 and to 1 otherwise.
    void selectRemoveLanguage();
    /// Carries a new state of selectTreeNode to its group (1 all, 2 some, 0 none ticked) or,
    /// for a top node, to all of its children.
    void changeSelectFileNode(int state);
    /// The Remove button is usable while some top node of the shown tree is ticked.
    void removeLanguageButtonAction();
    /// Unticks the whole shown tree when every top node is ticked, else ticks all of it.
    void selectAllButtonAction(NSObject* sender);

    // The sort pop-up.
    void sortButtonAction();
    void isHiddenWindow();
    void mouseEixtView(bool exited) override;
    void sortActionBy(std::int32_t type, std::int32_t upDown) override;
    /// Reorders the shown tree's top nodes: type 2 by size, else by title; direction 1
    /// ascending, else descending.
    void sortByType(int type, int upDown);

    // Removal.
    /// A row's trash button: removeOneLanguage.
    void clickRemoveButtonAction(RemoveButtonCell* cell) override;
    /// Offers the folders of selectTreeNode: a leaf alone; for a top node its ticked leaves,
    /// or all of them when none is ticked.
    void removeOneLanguage();
    /// The Remove button: offers the ticked folders of every top node of the shown tree.
    void removeAllSelectLanguage();
    /// Runs the confirmation dialog for `selection` modally; returns when it closes.
    void showRemoveLagAlertViewWith(RemovalSelection selection);
    /// The removal started: counters reset, the end dialog run modally until its OK.
    void beginToRemoveSelectLagWithCount(int count) override;
    /// Folder reports, from the executor's thread: handled on the main queue.
    void deleteRelatedFile(const Ref<ZRTreeNode>& entry) override;
    void deleteRelatedFileFail(const Ref<ZRTreeNode>& entry) override;
    /// Drops the child of `top` with `leaf`'s path and recounts `top`; 1 when one was found.
    int removeObjWithTreeNode(const Ref<ZRTreeNode>& top, const Ref<ZRTreeNode>& leaf);
    /// The size text of the sum of the nodes' sizes.
    static std::string getChiSizeWith(const KBNodeList& nodes);
    /// The end dialog's OK: the confirmation dialog closes, the Remove button is brought up to
    /// date.
    void removelanguageEnd() override;

    const Ref<ShowRemoveLagWindowController>& showRemoveLagWC() const { return showRemoveLagWC_; }
    const Ref<RemoveLagEndWindowController>& removeLagWC() const { return removeLagWC_; }
    int deleteSelectCount() const { return deleteSelectCount_; }
    int allSelectCount() const { return allSelectCount_; }
    /// Folders of the running removal reported as not removed.
    int failedSelectCount() const { return failedSelectCount_; }
    /// Bytes reported removed; each folder counts once.
    std::uint64_t allDeleteSize() const { return allDeleteSize_; }

    // Outlets and parts.
    const Ref<TCImageButton>& removeButton() const { return removeButton_; }
    const Ref<CustemOutlineView>& outlineView() const { return outlineView_; }
    void setOutlineView(const Ref<CustemOutlineView>& view) { outlineView_ = view; }
    const Ref<NSSegmentedControl>& segment() const { return segment_; }
    void setSegment(const Ref<NSSegmentedControl>& segment) { segment_ = segment; }
    const Ref<NSImageView>& loadProImageView() const { return loadProImageView_; }
    void setLoadProImageView(const Ref<NSImageView>& view) { loadProImageView_ = view; }
    const Ref<RFOverlayScrollView>& outlineScrollView() const { return outlineScrollView_; }
    void setOutlineScrollView(const Ref<RFOverlayScrollView>& view) { outlineScrollView_ = view; }
    const Ref<TCImageButton>& selectAllBut() const { return selectAllBut_; }
    void setSelectAllBut(const Ref<TCImageButton>& button) { selectAllBut_ = button; }
    const Ref<TCImageButton>& sortByBut() const { return sortByBut_; }
    void setSortByBut(const Ref<TCImageButton>& button) { sortByBut_ = button; }
    const Ref<NSTextField>& selectLabel() const { return selectLabel_; }
    void setSelectLabel(const Ref<NSTextField>& label) { selectLabel_ = label; }
    StatusAttachedWindow* sortAttachedWindow() const { return sortPopUp_.window(); }
    int selectCell() const { return selectCell_; }

    /// The image routine of the screen: NSImage::imageCroppedToFill (an empty image of `size`
    /// for none).
    static Ref<NSImage> resizeImage(const Ref<NSImage>& image, NSSize size);

    static void registerClass();

  private:
    void scanCompleted();
    ZRNodeList& shownList();
    void setHeaderTitles(const std::string& name, const std::string& count);
    /// The caption of the shown tree with its total.
    void updateCaption();
    void folderReported(const Ref<ZRTreeNode>& leaf, bool removed);
    void dropFromTree(ZRNodeList& roots, const Ref<ZRTreeNode>& leaf);
    void progressStep(const Ref<ZRTreeNode>& leaf);

    NSWindow* mainWindow_ = nullptr;
    int scans_ = 0;
    std::atomic<bool> scanning_{false};
    bool scanned_ = false;
    ZRNodeList appLanguages_;
    ZRNodeList languageApps_;
    LanguageScanner scanner_;
    WeakRef<ZRTreeNode> selectTreeNode_;
    int selectCell_ = 0;
    Ref<TCImageButton> removeButton_;
    Ref<NSSegmentedControl> segment_;
    Ref<CustemOutlineView> outlineView_;
    Ref<NSImageView> loadProImageView_;
    Ref<RFOverlayScrollView> outlineScrollView_;
    Ref<TCImageButton> selectAllBut_;
    Ref<TCImageButton> sortByBut_;
    Ref<NSTextField> selectLabel_;
    SortPopUp sortPopUp_;
    int deleteSelectCount_ = 0;
    int allSelectCount_ = 0;
    int failedSelectCount_ = 0;
    std::uint64_t allDeleteSize_ = 0;
    AMFreedSpace freedSpace_;
    Ref<RemoveLagEndWindowController> removeLagWC_;
    Ref<ShowRemoveLagWindowController> showRemoveLagWC_;
};
