#pragma once
// The list of one kind of installed item (applications, plug-ins, preference panes or
// widgets): walks its search folders on a background queue, shows the items in a dark table
// with icon, name, version, size and a check box, computes each row's size the first time the
// row is displayed, keeps the user's ticks, filters by name and sorts by name or size. It
// reports to the uninstall screen through AMAppsViewControllerDelegate and deletes nothing.
//
// Threads: the three lists, the table and the header are touched on the main thread only;
// the scan, the size computations and the reading of each displayed row's icon run on the
// global queue and hand their results to the main queue.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "appsManager/AMAppItem.h"
#include "appsManager/AMScanDelivery.h"
#include "appsManager/BundleFolderWalk.h"
#include "controls/rowcells/RemoveButtonCellDelegate.h"
#include "platform/appkit/NSTableViewDataSource.h"
#include "platform/appkit/NSTableViewDelegate.h"
#include "platform/appkit/NSViewController.h"
#include "platform/foundation/NSString.h"

class AMAppsViewControllerDelegate;
class CustomTableView;
class NSButton;
class NSTableHeaderView;

class AMAppsViewController : public NSViewController,
                             public NSTableViewDataSource,
                             public NSTableViewDelegate,
                             public RemoveButtonCellDelegate {
  public:
    /// A list loading its view from "AMAppsViewController" of the main bundle (on first access).
    static Ref<AMAppsViewController> make();
    AMAppsViewController();
    ~AMAppsViewController() override;

    /// YES while a scan runs.
    bool isScan() const { return isScan_.load(); }
    void setIsScan(bool scanning) { isScan_.store(scanning); }
    /// The row last chosen by the user; -1 when the table has no selection.
    int selectRow() const { return selectRow_; }
    /// The ticked items, a subset of the shown ones.
    const std::vector<Ref<AMAppItem>>& uninsatllAppArr() const { return uninsatllAppArr_; }
    /// Every listed item, in the order the scan found it.
    const std::vector<Ref<AMAppItem>>& allApplications() const { return allApplications_; }
    /// The shown items, one per row, after filtering and sorting.
    const std::vector<Ref<AMAppItem>>& showAllValues() const { return showAllValues_; }
    /// The header check box (made with the view).
    NSButton* selectAllBut() const { return selectAllBut_.get(); }
    /// The table (outlet).
    CustomTableView* tableView() const { return tableView_.get(); }
    void setTableView(const Ref<CustomTableView>& table) { tableView_ = table; }
    /// The folders walked, in order; set by the creator before the view loads.
    const std::vector<std::string>& searchPaths() const { return searchPaths_; }
    void setSearchPaths(std::vector<std::string> paths) { searchPaths_ = std::move(paths); }
    /// 0 applications, 1 plug-ins, 2 preference panes, 3 widgets.
    int appsType() const { return appsType_; }
    void setAppsType(int type) { appsType_ = type; }
    /// The last sort field (1 name, 2 size) and direction (1 ascending, 2 descending) asked for.
    int sortType() const { return sortType_; }
    int sortUpDown() const { return sortUpDown_; }
    /// The screen controller; not retained, and told only when it adopts
    /// AMAppsViewControllerDelegate.
    WeakRef<NSObject> delegate() const;
    void setDelegate(const WeakRef<NSObject>& delegate);

    /// Becomes the table's delegate and data source, builds the header check box, then scans.
    void awakeFromNib() override;
    /// Empties the lists, reloads, then starts a scan of searchPaths on the global queue.
    void getApplications();
    /// Walks `folder` (background): items of the list's kind are made on the global queue and
    /// go to the main queue in batches in walk order, other folders are walked in turn, each
    /// folder (and each bundle) once however many links lead to it; the header follows every
    /// batch and the end of the walk.
    void applicationsInPath(const std::string& folder);
    /// On the main queue: the name column's title "<kind word>(Total:N)", fresh header cells,
    /// then changeSelectAllButtonState.
    void setTableName();
    /// The header check box's image and the tick summary sent to the delegate.
    void changeSelectAllButtonState();
    /// Ticks every shown item, or none when all are ticked.
    void selectAllButtonAction(NSObject* sender);
    /// Ticks or unticks the item of the selected row (the row the click selected); ignored
    /// during a scan.
    void selectUninstallApp();
    /// RemoveButtonCellDelegate: uninstallAppButtonAction.
    void clickRemoveButtonAction(RemoveButtonCell* cell) override;
    /// Asks the delegate for the related files of the selected rows, unless a scan runs.
    void uninstallAppButtonAction();
    /// Sorts the shown items: type 2 by size, else by name; direction 1 ascending, else
    /// descending. The ticked and full lists keep their order.
    void sortByType(int type, int upDown);
    /// Shows, in scan order, the items whose name contains `key` (any case); nil, empty and
    /// "(null)" show all. The ticks of the shown items are gathered again.
    void searchNameWithKey(const NSStringOpt& key);
    /// Drops the shown item at `index` from the ticked, full and shown lists (its bundle was
    /// uninstalled); an index outside the shown items changes nothing. The table is not
    /// reloaded.
    void removeShownItemAtIndex(long index);
    /// Empties the ticked and shown lists (before a rescan); the table is not reloaded.
    void clearTickedAndShownItems();
    /// Reloads the table's rows.
    void reloadTable();

    /// Adds the header check box to the table's header view and answers the header view.
    NSTableHeaderView* getLanguagsTableHeaderView();

    /// The kind's header word ("   Applications", "   Items"; empty outside 0 to 3).
    static std::string headerWordForType(int type);
    /// Whether an entry named `name` is an item of kind `type` by its extension alone.
    static bool hasItemExtension(int type, const std::string& name);

    // Table data source and delegate.
    long numberOfRowsInTableView(NSTableView* tableView) override;
    std::any objectValueForTableColumn(NSTableView* tableView, NSTableColumn* column,
                                       long row) override;
    void willDisplayCell(NSTableView* tableView, NSCell* cell, NSTableColumn* column,
                         long row) override;
    std::optional<bool> shouldSelectTableColumn(NSTableView* tableView,
                                                NSTableColumn* column) override;
    std::optional<bool> shouldEditTableColumn(NSTableView* tableView, NSTableColumn* column,
                                              long row) override;
    std::optional<bool> shouldSelectRow(NSTableView* tableView, long row) override;
    void tableViewSelectionDidChange(const NSNotification& notification) override;

    static void registerClass();

    /// Rows found by a walk go to the main queue when the first one is found, then once
    /// kRowsPerBatch have gathered or kBatchInterval has passed, and at the end of each search
    /// folder; each batch is appended and the table reloaded once. The rows are made in
    /// parallel on the global queue and keep the walk's order.
    static constexpr std::size_t kRowsPerBatch = AMScanDelivery::kRowsPerBatch;
    static constexpr std::chrono::milliseconds kBatchInterval = AMScanDelivery::kBatchInterval;

  private:
    AMAppsViewControllerDelegate* lockedDelegate(Ref<NSObject>& keep) const;
    /// The walk of one scan of the list's `type`: each item found goes to `delivery`, which is
    /// polled after every folder.
    static BundleFolderWalk scanWalk(int type, const std::shared_ptr<AMScanDelivery>& delivery);
    /// Where a walk of the scan `generation` delivers its batches: appendFoundItems on the
    /// main queue.
    AMScanDelivery::Deliver flushFoundItems(unsigned generation);
    /// Makes the row of one entry found (constructItem through the open folder).
    static AMScanDelivery::Make itemMaker(bool appFlag);
    /// On the main queue: appends a batch of the scan `generation` (Apple's bundles left out)
    /// to the full and shown lists, reloads once and brings the header up to date.
    void appendFoundItems(const std::vector<Ref<AMAppItem>>& rows, unsigned generation);
    void startSizeComputation(const Ref<AMAppItem>& item);
    void sizeArrived(const Ref<AMAppItem>& item, const std::string& size);
    /// Whether `icon` can be drawn now; else its file is read and decoded on the global queue
    /// (once) and the rows showing it are redrawn when it is ready.
    bool iconReady(const Ref<NSImage>& icon);
    void iconArrived(const NSImage* icon);
    /// The name column's title from the kind and the shown count, with fresh header cells.
    void updateTableName();
    bool isTicked(const AMAppItem* item) const;

    std::atomic<bool> isScan_{false};
    int selectRow_ = -1;
    std::vector<Ref<AMAppItem>> uninsatllAppArr_;
    std::vector<Ref<AMAppItem>> allApplications_;
    std::vector<Ref<AMAppItem>> showAllValues_;
    Ref<NSButton> selectAllBut_;
    Ref<CustomTableView> tableView_;
    std::vector<std::string> searchPaths_;
    int appsType_ = 0;
    int sortType_ = 0;
    int sortUpDown_ = 0;
    mutable std::mutex delegateMutex_;
    WeakRef<NSObject> delegate_;
    // Bumped by every getApplications: items of a scan that a newer one replaced are dropped.
    std::atomic<unsigned> scanGeneration_{0};
    // Icons being decoded on the global queue. Their mutex is held while they decode, so the
    // main thread asks nothing of them until they arrive.
    std::set<const NSImage*> iconsDecoding_;
};
