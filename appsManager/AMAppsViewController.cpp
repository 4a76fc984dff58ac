#include "appsManager/AMAppsViewController.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>

#include "appsManager/AMAppsViewControllerDelegate.h"
#include "appsManager/AMPublicUtilities.h"
#include "appsManager/RelatedAppFilesScanner.h"
#include "controls/lists/CustomTableView.h"
#include "controls/rowcells/ImageTextCell.h"
#include "controls/rowcells/RemoveButtonCell.h"
#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSCell.h"
#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/NSTableHeaderView.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSFileManager.h"
#include "platform/foundation/NSIndexSet.h"
#include "platform/graphics/NSImage.h"

namespace {

constexpr long kSizeColumn = 3;

dispatch_queue_t globalQueue() {
    return dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0);
}

// Applies `fn` to the delegate when it is alive and adopts the protocol.
template <class Fn>
void tell(const WeakRef<NSObject>& delegate, Fn fn) {
    Ref<NSObject> keep = delegate.lock();
    if (auto* receiver = dynamic_cast<AMAppsViewControllerDelegate*>(keep.get())) fn(*receiver);
}

// Hands the last reference to the main queue: a list (and its views) is freed on the main
// thread only, even when the main thread dropped it while a background block held it.
void releaseOnMainQueue(Ref<NSObject>&& object) {
    dispatch_async(dispatch_get_main_queue(),
                   [keep = std::move(object)]() mutable { keep.reset(); });
}

}  // namespace

Ref<AMAppsViewController> AMAppsViewController::make() {
    auto controller = std::make_shared<AMAppsViewController>();
    controller->initWithNibName("AMAppsViewController", NSBundle::mainBundle());
    return controller;
}

AMAppsViewController::AMAppsViewController() {
    allApplications_.reserve(100);
}

AMAppsViewController::~AMAppsViewController() {
    // The table may outlive the list inside a view tree: it asks nothing of it any more.
    if (tableView_) {
        tableView_->setDelegate(nullptr);
        tableView_->setDataSource(nullptr);
    }
}

WeakRef<NSObject> AMAppsViewController::delegate() const {
    std::lock_guard<std::mutex> lock(delegateMutex_);
    return delegate_;
}

void AMAppsViewController::setDelegate(const WeakRef<NSObject>& delegate) {
    std::lock_guard<std::mutex> lock(delegateMutex_);
    delegate_ = delegate;
}

// --- Loading and scanning -------------------------------------------------------------------

void AMAppsViewController::awakeFromNib() {
    NSViewController::awakeFromNib();
    if (tableView_) {
        auto self = std::dynamic_pointer_cast<AMAppsViewController>(shared_from_this());
        tableView_->setDelegate(self);
        tableView_->setDataSource(self);
        if (NSTableColumn* column = tableView_->tableColumnWithIdentifier("CheckBox")) {
            column->dataCell()->setTarget(weak_from_this());
            column->dataCell()->setAction(SEL("selectUninstallApp"));
        }
        getLanguagsTableHeaderView();
    }
    uninsatllAppArr_.clear();
    showAllValues_.clear();
    getApplications();
}

void AMAppsViewController::getApplications() {
    uninsatllAppArr_.clear();
    showAllValues_.clear();
    allApplications_.clear();
    reloadTable();
    changeSelectAllButtonState();
    // The header count is right from the start, even for a list without search folders.
    updateTableName();

    const unsigned generation = ++scanGeneration_;
    // Raised here already, so that no tick slips in before the block starts.
    setIsScan(true);
    WeakRef<NSObject> weak = weak_from_this();
    WeakRef<NSObject> receiver = delegate();
    // Once the last row has gone to the main queue, on whichever thread released it.
    AMScanDelivery::Finish end = [weak, receiver, generation] {
        tell(receiver, [](AMAppsViewControllerDelegate& d) { d.getAppEnd(); });
        tell(receiver, [](AMAppsViewControllerDelegate& d) { d.isSearchButtonEdit(true); });
        if (Ref<NSObject> strong = weak.lock()) {
            auto* list = static_cast<AMAppsViewController*>(strong.get());
            // A newer scan keeps the flag raised until it ends itself.
            if (list->scanGeneration_.load() == generation) list->setIsScan(false);
            releaseOnMainQueue(std::move(strong));
        }
    };
    auto delivery = AMScanDelivery::make(itemMaker(appsType_ == 0), flushFoundItems(generation),
                                         std::move(end));
    dispatch_async(
        globalQueue(), [weak, receiver, folders = searchPaths_, type = appsType_, delivery] {
            tell(receiver, [](AMAppsViewControllerDelegate& d) { d.isSearchButtonEdit(false); });
            // One walk over every search folder: a folder reached again, through a link or as
            // another search folder, is not listed twice.
            BundleFolderWalk walk = scanWalk(type, delivery);
            for (const std::string& folder : folders) {
                if (weak.expired()) break;
                walk.walk(folder);
                delivery->endOfSearchFolder();
            }
            delivery->finish();
        });
}

void AMAppsViewController::applicationsInPath(const std::string& folder) {
    auto delivery = AMScanDelivery::make(itemMaker(appsType_ == 0),
                                         flushFoundItems(scanGeneration_.load()), nullptr);
    scanWalk(appsType_, delivery).walk(folder);
    delivery->finish();
}

bool AMAppsViewController::hasItemExtension(int type, const std::string& name) {
    static const std::array<const char*, 8> kPluginExtensions = {
        "app",        "plugin",      "webplugin",  "component",
        "mdimporter", "qlgenerator", "dictionary", "safariextz"};
    const std::string extension = ns::pathExtension(name);
    switch (type) {
        case 0:
            return extension == "app";
        case 1:
            return std::find(kPluginExtensions.begin(), kPluginExtensions.end(), extension) !=
                   kPluginExtensions.end();
        case 2:
            return extension == "prefPane";
        case 3:
            return extension == "wdgt";
        default:
            return false;
    }
}

BundleFolderWalk AMAppsViewController::scanWalk(int type,
                                                const std::shared_ptr<AMScanDelivery>& delivery) {
    // Applications must be bundle folders; the items of the other kinds may be files too.
    BundleFolderWalk::Rules rules;
    rules.isItem = [type](const std::string& name) { return hasItemExtension(type, name); };
    rules.itemsAreFolders = type == 0;
    return BundleFolderWalk(
        std::move(rules),
        [delivery](const std::shared_ptr<const AMScanFolder>& folder, const std::string& name) {
            delivery->add(folder, name);
        },
        [delivery] { delivery->poll(); });
}

AMScanDelivery::Make AMAppsViewController::itemMaker(bool appFlag) {
    return [appFlag](const AMScanFolder& folder, const std::string& name) {
        return RelatedAppFilesScanner::constructItemInFolder(folder, name, appFlag);
    };
}

AMScanDelivery::Deliver AMAppsViewController::flushFoundItems(unsigned generation) {
    return [weak = weak_from_this(), generation](AMScanDelivery::Rows rows) {
        dispatch_async(dispatch_get_main_queue(), [weak, rows = std::move(rows), generation] {
            if (auto self = std::dynamic_pointer_cast<AMAppsViewController>(weak.lock()))
                self->appendFoundItems(rows, generation);
        });
    };
}

void AMAppsViewController::appendFoundItems(const std::vector<Ref<AMAppItem>>& rows,
                                            unsigned generation) {
    if (scanGeneration_.load() != generation) return;  // a newer scan replaced these
    bool added = false;
    for (const Ref<AMAppItem>& item : rows) {
        if (item->isSystemApp()) continue;
        if (item->bundleID() && ns::hasPrefix(*item->bundleID(), "com.apple.")) continue;
        allApplications_.push_back(item);
        showAllValues_.push_back(item);
        added = true;
    }
    if (added) reloadTable();
    // The header count follows every batch.
    updateTableName();
    changeSelectAllButtonState();
}

void AMAppsViewController::setTableName() {
    WeakRef<NSObject> weak = weak_from_this();
    dispatch_async(dispatch_get_main_queue(), [weak] {
        auto self = std::dynamic_pointer_cast<AMAppsViewController>(weak.lock());
        if (!self) return;
        self->updateTableName();
        self->changeSelectAllButtonState();
    });
}

void AMAppsViewController::updateTableName() {
    if (!tableView_) return;
    if (NSTableColumn* column = tableView_->tableColumnWithIdentifier("appname"))
        column->setTitle(ns::stringWithFormat("%@(Total:%d)", headerWordForType(appsType_),
                                              static_cast<int>(showAllValues_.size())));
    tableView_->_setupHeaderCell();
}

std::string AMAppsViewController::headerWordForType(int type) {
    switch (type) {
        case 0:
            return "   Applications";
        case 1:
        case 2:
        case 3:
            return "   Items";
        default:
            return "";
    }
}

// --- Ticks ----------------------------------------------------------------------------------

bool AMAppsViewController::isTicked(const AMAppItem* item) const {
    return std::any_of(uninsatllAppArr_.begin(), uninsatllAppArr_.end(),
                       [item](const Ref<AMAppItem>& ticked) { return ticked.get() == item; });
}

void AMAppsViewController::changeSelectAllButtonState() {
    const int ticked = static_cast<int>(uninsatllAppArr_.size());
    const int shown = static_cast<int>(showAllValues_.size());
    float total = 0.0f;
    std::string label = " ";
    const char* image = "unsel";
    if (ticked > 0) {
        image = ticked < shown ? "halfsel" : "sel";
        for (const Ref<AMAppItem>& item : uninsatllAppArr_)
            total += static_cast<float>(AMPublicUtilities::volSpaceFromString(item->size()));
        label = ns::stringWithFormat(
            "Selected:  %d/%d  (%@)", ticked, shown,
            AMPublicUtilities::convertVolSpace(static_cast<std::uint64_t>(total)));
    }
    if (selectAllBut_) selectAllBut_->setImage(NSImage::imageNamed(image));
    tell(delegate(),
         [&](AMAppsViewControllerDelegate& d) { d.changeUninstallState(ticked, total, label); });
}

void AMAppsViewController::selectAllButtonAction(NSObject*) {
    if (uninsatllAppArr_.size() == showAllValues_.size()) {
        uninsatllAppArr_.clear();
        for (const Ref<AMAppItem>& item : showAllValues_)
            item->setBIsSelected(false);
    } else {
        uninsatllAppArr_ = showAllValues_;
        for (const Ref<AMAppItem>& item : showAllValues_)
            item->setBIsSelected(true);
    }
    reloadTable();
    changeSelectAllButtonState();
}

void AMAppsViewController::selectUninstallApp() {
    if (isScan() || !tableView_) return;
    const long row = tableView_->selectedRow();
    if (row < 0 || row >= static_cast<long>(showAllValues_.size())) return;
    Ref<AMAppItem> item = showAllValues_[static_cast<std::size_t>(row)];
    auto found = std::find(uninsatllAppArr_.begin(), uninsatllAppArr_.end(), item);
    if (found != uninsatllAppArr_.end()) {
        uninsatllAppArr_.erase(found);
        item->setBIsSelected(false);
    } else {
        uninsatllAppArr_.push_back(item);
        item->setBIsSelected(true);
    }
    reloadTable();
    changeSelectAllButtonState();
}

void AMAppsViewController::clickRemoveButtonAction(RemoveButtonCell*) {
    uninstallAppButtonAction();
}

void AMAppsViewController::uninstallAppButtonAction() {
    if (isScan()) return;
    tell(delegate(), [](AMAppsViewControllerDelegate& d) { d.searchRelatedFiles(nullptr); });
}

// --- Sorting and search ---------------------------------------------------------------------

void AMAppsViewController::sortByType(int type, int upDown) {
    sortType_ = type;
    sortUpDown_ = upDown;
    // -1, 0, 1 as the platform's ordered ascending, same and descending.
    auto compare = [type](const AMAppItem& a, const AMAppItem& b) {
        if (type == 2) {
            const std::uint64_t x = AMPublicUtilities::volSpaceFromString(a.size());
            const std::uint64_t y = AMPublicUtilities::volSpaceFromString(b.size());
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        const int c = a.name().compare(b.name());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    };
    const bool ascending = upDown == 1;
    std::vector<Ref<AMAppItem>> sorted = showAllValues_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const Ref<AMAppItem>& a, const Ref<AMAppItem>& b) {
                         return ascending ? compare(*a, *b) < 0 : compare(*b, *a) < 0;
                     });
    showAllValues_.assign(sorted.begin(), sorted.end());
    reloadTable();
}

void AMAppsViewController::searchNameWithKey(const NSStringOpt& key) {
    if (allApplications_.empty()) return;
    const std::string text = key && *key != "(null)" ? *key : std::string();
    showAllValues_.clear();
    if (text.empty()) {
        showAllValues_.assign(allApplications_.begin(), allApplications_.end());
    } else {
        const std::string needle = ns::lowercaseString(text);
        for (const Ref<AMAppItem>& item : allApplications_)
            if (ns::lowercaseString(item->name()).find(needle) != std::string::npos)
                showAllValues_.push_back(item);
    }
    reloadTable();
    uninsatllAppArr_.clear();
    for (const Ref<AMAppItem>& item : showAllValues_)
        if (item->bIsSelected()) uninsatllAppArr_.push_back(item);
    changeSelectAllButtonState();
}

void AMAppsViewController::removeShownItemAtIndex(long index) {
    if (index < 0 || index >= static_cast<long>(showAllValues_.size())) return;
    const Ref<AMAppItem> item = showAllValues_[static_cast<std::size_t>(index)];
    std::erase(uninsatllAppArr_, item);
    std::erase(allApplications_, item);
    showAllValues_.erase(showAllValues_.begin() + index);
}

void AMAppsViewController::clearTickedAndShownItems() {
    uninsatllAppArr_.clear();
    showAllValues_.clear();
}

// --- Header ---------------------------------------------------------------------------------

NSTableHeaderView* AMAppsViewController::getLanguagsTableHeaderView() {
    if (!tableView_) return nullptr;
    NSTableHeaderView* header = tableView_->headerView().get();
    if (!header) return nullptr;
    if (!selectAllBut_) {
        selectAllBut_ = NSButton::make(NSMakeRect(13, 12, 16, 16));
        selectAllBut_->setBordered(false);
        selectAllBut_->setImage(NSImage::imageNamed("unsel"));
        selectAllBut_->setButtonType(NSButtonTypeMomentaryChange);
        selectAllBut_->setImageScaling(NSImageScaleAxesIndependently);
        selectAllBut_->setImagePosition(NSImageOnly);
        selectAllBut_->setTarget(weak_from_this());
        selectAllBut_->setAction(SEL("selectAllButtonAction:"));
    }
    if (selectAllBut_->superview() != header) header->addSubview(selectAllBut_);
    return header;
}

// --- Table ----------------------------------------------------------------------------------

void AMAppsViewController::reloadTable() {
    if (tableView_) tableView_->reloadData();
}

long AMAppsViewController::numberOfRowsInTableView(NSTableView*) {
    return static_cast<long>(showAllValues_.size());
}

std::any AMAppsViewController::objectValueForTableColumn(NSTableView*, NSTableColumn* column,
                                                         long row) {
    if (showAllValues_.empty() || !column || row < 0 ||
        row >= static_cast<long>(showAllValues_.size()))
        return {};
    const Ref<AMAppItem>& item = showAllValues_[static_cast<std::size_t>(row)];
    const std::string& identifier = column->identifier();
    if (identifier == "appname") return std::any(item->name());
    if (identifier == "version") {
        const NSStringOpt& version = item->bundleVersion();
        return std::any(version && !version->empty() ? *version : std::string("Unknow"));
    }
    if (identifier == "Size") {
        std::string size = item->size();
        if (!item->bIsGetSize()) startSizeComputation(item);
        return std::any(size);
    }
    if (identifier == "system") return std::any(item->isSystemAppStr());
    if (identifier == "bundleID") return std::any(item->bundleID().value_or(std::string()));
    return {};
}

void AMAppsViewController::startSizeComputation(const Ref<AMAppItem>& item) {
    item->setBIsGetSize(true);
    WeakRef<NSObject> weak = weak_from_this();
    const std::string path = item->path();
    dispatch_async(globalQueue(), [weak, item, path] {
        const std::string size = RelatedAppFilesScanner::getFileSizeItem(path);
        // The main thread never waits for a size task, so waiting for it here cannot deadlock.
        dispatch_sync(dispatch_get_main_queue(), [&] {
            if (auto self = std::dynamic_pointer_cast<AMAppsViewController>(weak.lock()))
                self->sizeArrived(item, size);
            else
                item->setSize(size);
        });
    });
}

void AMAppsViewController::sizeArrived(const Ref<AMAppItem>& item, const std::string& size) {
    // The size belongs to the record itself; its row is looked up now, since a search, a
    // sort or a new scan may have moved it since the computation started.
    item->setSize(size);
    if (!tableView_) return;
    auto found = std::find(showAllValues_.begin(), showAllValues_.end(), item);
    if (found == showAllValues_.end()) return;
    const long row = static_cast<long>(found - showAllValues_.begin());
    tableView_->reloadDataForRowIndexes(NSIndexSet::indexSetWithIndex(row),
                                        NSIndexSet::indexSetWithIndex(kSizeColumn));
}

bool AMAppsViewController::iconReady(const Ref<NSImage>& icon) {
    if (!icon) return true;
    if (iconsDecoding_.count(icon.get())) return false;
    if (icon->isDecoded()) return true;
    iconsDecoding_.insert(icon.get());
    WeakRef<NSObject> weak = weak_from_this();
    dispatch_async(globalQueue(), [weak, icon] {
        icon->isValid();  // reads the file and keeps the icon scaled to its size
        dispatch_async(dispatch_get_main_queue(), [weak, icon] {
            if (auto self = std::dynamic_pointer_cast<AMAppsViewController>(weak.lock()))
                self->iconArrived(icon.get());
        });
    });
    return false;
}

void AMAppsViewController::iconArrived(const NSImage* icon) {
    iconsDecoding_.erase(icon);
    if (!tableView_) return;
    const long column = tableView_->columnWithIdentifier("appname");
    if (column < 0) return;
    // Only visible rows can show it; the others pick it up when they are drawn.
    const NSRange rows = tableView_->rowsInRect(tableView_->visibleRect());
    for (std::size_t i = rows.location;
         i < rows.location + rows.length && i < showAllValues_.size(); ++i)
        if (showAllValues_[i]->image().get() == icon)
            tableView_->setNeedsDisplayInRect(
                tableView_->frameOfCellAtColumn(column, static_cast<long>(i)));
}

void AMAppsViewController::willDisplayCell(NSTableView*, NSCell* cell, NSTableColumn* column,
                                           long row) {
    if (!cell || !column || row < 0 || row >= static_cast<long>(showAllValues_.size())) return;
    const Ref<AMAppItem>& item = showAllValues_[static_cast<std::size_t>(row)];
    const std::string& identifier = column->identifier();
    if (identifier == "CheckBox") {
        cell->setImage(NSImage::imageNamed(isTicked(item.get()) ? "sel" : "unsel"));
    } else if (identifier == "appname") {
        if (auto* nameCell = dynamic_cast<ImageTextCell*>(cell)) {
            // Until its icon is read, the row draws without one.
            nameCell->setIconImage(iconReady(item->image()) ? item->image() : nullptr);
            nameCell->setPrimaryTextKeyPath(item->name());
            const NSStringOpt& bundleID = item->bundleID();
            nameCell->setSecondaryTextKeyPath(bundleID && !bundleID->empty()
                                                  ? std::optional<std::string>(*bundleID)
                                                  : std::nullopt);
        }
    } else if (identifier == "uninstall") {
        if (auto* trash = dynamic_cast<RemoveButtonCell*>(cell)) {
            trash->setDelegate(weak_from_this());
            trash->setIsIn(row == selectRow_);
        }
    }
}

std::optional<bool> AMAppsViewController::shouldSelectTableColumn(NSTableView*, NSTableColumn*) {
    return false;
}

std::optional<bool> AMAppsViewController::shouldEditTableColumn(NSTableView*, NSTableColumn*,
                                                                long) {
    return false;
}

std::optional<bool> AMAppsViewController::shouldSelectRow(NSTableView*, long row) {
    selectRow_ = static_cast<int>(row);
    if (tableView_) {
        tableView_->setRowNum(selectRow_);
        tableView_->setNeedsDisplay(true);
    }
    return true;
}

void AMAppsViewController::tableViewSelectionDidChange(const NSNotification&) {
    if (tableView_ && tableView_->selectedRow() < 0) selectRow_ = -1;
}

void AMAppsViewController::registerClass() {
    ClassRegistry::shared()
        .registerClass<AMAppsViewController, NSViewController>("AMAppsViewController")
        .outlet("tableView", &AMAppsViewController::setTableView)
        .method("selectUninstallApp", &AMAppsViewController::selectUninstallApp)
        .action("selectAllButtonAction:", &AMAppsViewController::selectAllButtonAction)
        .method("getApplications", &AMAppsViewController::getApplications)
        .method("uninstallAppButtonAction", &AMAppsViewController::uninstallAppButtonAction);
}
