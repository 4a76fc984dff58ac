#include "languages/ZRLanguagesViewController.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "appsManager/AMPublicUtilities.h"
#include "appsManager/RemovalTreeCells.h"
#include "controls/RFOverlayScrollView/RFOverlayScrollView.h"
#include "controls/buttons/TCImageButton.h"
#include "controls/lists/CustemOutlineView.h"
#include "controls/rowcells/NewButton.h"
#include "controls/rowcells/RemoveButtonCell.h"
#include "languages/RemoveLagEndWindowController.h"
#include "languages/ShowRemoveLagWindowController.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSButtonCell.h"
#include "platform/appkit/NSImageView.h"
#include "platform/appkit/NSSegmentedControl.h"
#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSWindow.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/foundation/NSIndexSet.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSPathUtilities.h"
#include "platform/graphics/NSImage.h"

namespace {

ZRTreeNode* nodeOf(const Ref<NSObject>& item) {
    return dynamic_cast<ZRTreeNode*>(item.get());
}

}  // namespace

ZRLanguagesViewController::ZRLanguagesViewController() {
    appLanguages_.reserve(50);
    languageApps_.reserve(50);
}

ZRLanguagesViewController::~ZRLanguagesViewController() {
    NSObject::cancelPreviousPerformRequestsWithTarget(this);
    sortPopUp_.drop();
}

void ZRLanguagesViewController::registerClass() {
    ClassRegistry::shared()
        .registerClass<ZRLanguagesViewController, NSViewController>("ZRLanguagesViewController")
        .outlet("segment", &ZRLanguagesViewController::setSegment)
        .outlet("outlineView", &ZRLanguagesViewController::setOutlineView)
        .outlet("loadProImageView", &ZRLanguagesViewController::setLoadProImageView)
        .outlet("outlineScrollView", &ZRLanguagesViewController::setOutlineScrollView)
        .outlet("selectAllBut", &ZRLanguagesViewController::setSelectAllBut)
        .outlet("sortByBut", &ZRLanguagesViewController::setSortByBut)
        .outlet("selectLabel", &ZRLanguagesViewController::setSelectLabel)
        .action("changeShowType:", &ZRLanguagesViewController::changeShowType)
        .action("selectAllButtonAction:", &ZRLanguagesViewController::selectAllButtonAction)
        .method("openOrClose", &ZRLanguagesViewController::openOrClose)
        .method("sortButtonAction", &ZRLanguagesViewController::sortButtonAction)
        .method("isHiddenWindow", &ZRLanguagesViewController::isHiddenWindow)
        .method("removeAllSelectLanguage", &ZRLanguagesViewController::removeAllSelectLanguage)
        .method("removeOneLanguage", &ZRLanguagesViewController::removeOneLanguage)
        .method("removelanguageEnd", &ZRLanguagesViewController::removelanguageEnd);
}

// --- Set-up ---------------------------------------------------------------------------------

void ZRLanguagesViewController::awakeFromNib() {
    NSViewController::awakeFromNib();
    NSView* root = view();
    if (!root) return;
    auto self = weak_from_this();
    if (segment_) segment_->setSelectedSegment(0);
    setHeaderTitles("        Languages", "Applications");
    appLanguages_.clear();
    languageApps_.clear();
    if (outlineView_) {
        outlineView_->setTarget(self);
        outlineView_->setDelegate(std::dynamic_pointer_cast<NSOutlineViewDelegate>(self.lock()));
        outlineView_->setDataSource(
            std::dynamic_pointer_cast<NSOutlineViewDataSource>(self.lock()));
        outlineView_->_setupHeaderCell();
    }

    removeButton_ = TCImageButton::make();
    removeButton_->setImageFromFileNormalName("btn_remove", "btn_remove_press", "btn_remove_hover",
                                              "btn_remove_disable");
    removeButton_->setFrame(NSMakeRect(642, 566, 138, 36));
    removeButton_->setEnabled(false);
    removeButton_->setTarget(self);
    removeButton_->setAction(SEL("removeAllSelectLanguage"));
    root->addSubview(removeButton_);

    if (selectAllBut_) {
        selectAllBut_->setTarget(self);
        selectAllBut_->setEnabled(true);
        selectAllBut_->setImageFromFileNormalName("btn_selall", "btn_selall_press",
                                                  "btn_selall_hover", "btn_selall_disable");
        selectAllBut_->setAction(SEL("selectAllButtonAction:"));
    }
    if (sortByBut_) {
        sortByBut_->setTarget(self);
        sortByBut_->setEnabled(true);
        sortByBut_->setImageFromFileNormalName("btn_sortby", "btn_sortby_press", "btn_sortby_hover",
                                               "btn_sortby_disable");
        sortByBut_->setAction(SEL("sortButtonAction"));
    }
}

void ZRLanguagesViewController::setHeaderTitles(const std::string& name, const std::string& count) {
    if (!outlineView_) return;
    if (NSTableColumn* column = outlineView_->tableColumnWithIdentifier("Name"))
        column->setTitle(name);
    if (NSTableColumn* column = outlineView_->tableColumnWithIdentifier("Count"))
        column->setTitle(count);
}

void ZRLanguagesViewController::loadData() {
    ++scans_;
    if (scanned_ || scanning_.load()) return;
    auto self = std::static_pointer_cast<ZRLanguagesViewController>(weak_from_this().lock());
    if (!self) return;
    if (segment_) segment_->setEnabled(false);
    if (outlineScrollView_) outlineScrollView_->setHidden(true);
    if (loadProImageView_) loadProImageView_->setHidden(false);
    scanning_ = true;
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), [self]() mutable {
        self->scanner_ = LanguageScanner();
        self->enumerateLanguages(platformVolumePath("Applications"));
        self->buildLanguagesTree();
        // The controller is let go on the main thread, after its completion.
        dispatch_async(dispatch_get_main_queue(),
                       [self = std::move(self)] { self->scanCompleted(); });
    });
}

void ZRLanguagesViewController::scanCompleted() {
    appLanguages_ = scanner_.takeAppLanguages();
    languageApps_ = scanner_.takeLanguageApps();
    selectTreeNode_.reset();
    if (outlineView_) {
        outlineView_->reloadData();
        outlineView_->selectRowIndexes(NSIndexSet::indexSetWithIndex(0), false);
        selectTreeNode_ = std::dynamic_pointer_cast<ZRTreeNode>(outlineView_->itemAtRow(0));
    } else if (!shownRootList().empty()) {
        selectTreeNode_ = shownRootList().front();
    }
    setHeaderTitles(ns::stringWithFormat("           Languages(Total:%lu)",
                                         static_cast<unsigned long>(languageApps_.size())),
                    "Applications");
    if (outlineView_) outlineView_->_setupHeaderCell();
    if (loadProImageView_) loadProImageView_->setHidden(true);
    if (outlineScrollView_) outlineScrollView_->setHidden(false);
    if (segment_) segment_->setEnabled(true);
    scanned_ = true;
    scanning_ = false;
}

// --- The tree shown -------------------------------------------------------------------------

const ZRNodeList& ZRLanguagesViewController::shownRootList() const {
    return segment_ && segment_->selectedSegment() == 1 ? appLanguages_ : languageApps_;
}

ZRNodeList& ZRLanguagesViewController::shownList() {
    return segment_ && segment_->selectedSegment() == 1 ? appLanguages_ : languageApps_;
}

long ZRLanguagesViewController::numberOfChildrenOfItem(NSOutlineView*, const Ref<NSObject>& item) {
    if (!item) return static_cast<long>(shownRootList().size());
    const ZRTreeNode* node = nodeOf(item);
    return node && !node->isLeaf() ? static_cast<long>(node->children().size()) : 0;
}

Ref<NSObject> ZRLanguagesViewController::child(NSOutlineView*, long index,
                                               const Ref<NSObject>& item) {
    if (index < 0) return nullptr;
    const auto at = static_cast<std::size_t>(index);
    if (!item) return at < shownRootList().size() ? shownRootList()[at] : nullptr;
    const ZRTreeNode* node = nodeOf(item);
    // A leaf's children hold its own copy; the tree never shows it.
    if (!node || node->isLeaf() || at >= node->children().size()) return nullptr;
    return node->children()[at];
}

bool ZRLanguagesViewController::isItemExpandable(NSOutlineView*, const Ref<NSObject>& item) {
    const ZRTreeNode* node = nodeOf(item);
    return node && !node->isLeaf();
}

std::any ZRLanguagesViewController::objectValueForTableColumn(NSOutlineView*, NSTableColumn* column,
                                                              const Ref<NSObject>& item) {
    const ZRTreeNode* node = nodeOf(item);
    if (!node || !column) return {};
    if (RemovalTreeCells::isColumn(column, "Name")) return std::any(node->title());
    if (RemovalTreeCells::isColumn(column, "Size")) {
        if (!node->size().empty() || node->isLeaf() || node->children().empty())
            return std::any(node->size());
        const auto* first = dynamic_cast<const ZRTreeNode*>(node->children().front().get());
        return std::any(first ? first->size() : std::string());
    }
    if (RemovalTreeCells::isColumn(column, "Count"))
        return std::any(node->isLeaf() ? std::string() : node->count());
    return {};
}

void ZRLanguagesViewController::willDisplayCell(NSOutlineView* outline, NSCell* cell,
                                                NSTableColumn* column, const Ref<NSObject>& item) {
    ZRTreeNode* node = nodeOf(item);
    if (!cell || !column || !node) return;
    const bool selected = outline && outline->itemAtRow(outline->selectedRow()) == item;
    if (RemovalTreeCells::isColumn(column, "Name")) {
        auto* name = dynamic_cast<NewButton*>(cell);
        if (!name) return;
        const char* tick = node->selectState() == 1   ? "sel"
                           : node->selectState() == 2 ? "halfsel"
                                                      : "unsel";
        RemovalTreeCells::fillNameCell(name, weak_from_this(), selected, tick, node->title(),
                                       node->image());
        return;
    }
    if (RemovalTreeCells::isColumn(column, "uninstall")) {
        if (auto* trash = dynamic_cast<RemoveButtonCell*>(cell)) {
            trash->setDelegate(weak_from_this());
            trash->setIsIn(selected);
        }
        return;
    }
    if (RemovalTreeCells::isColumn(column, "Open")) {
        if (node->faterNode()) {
            cell->setImage(nullptr);
            return;
        }
        const bool open = outline && outline->isItemExpanded(item);
        cell->setImage(NSImage::imageNamed(open ? "arrow_w_open" : "arrow_w"));
        cell->setTarget(weak_from_this());
        cell->setAction(SEL("openOrClose"));
    }
}

std::optional<bool> ZRLanguagesViewController::shouldSelectItem(NSOutlineView*,
                                                                const Ref<NSObject>& item) {
    selectTreeNode_ = std::dynamic_pointer_cast<ZRTreeNode>(item);
    selectCell_ = outlineView_ ? static_cast<int>(outlineView_->rowForItem(item)) : -1;
    NSLog("--selectCell-------------%d", selectCell_);
    if (outlineView_) {
        outlineView_->setRowNum(selectCell_);
        outlineView_->setNeedsDisplay(true);
    }
    return true;
}

std::optional<bool> ZRLanguagesViewController::shouldEditTableColumn(NSOutlineView*, NSTableColumn*,
                                                                     const Ref<NSObject>&) {
    return false;
}

std::optional<bool> ZRLanguagesViewController::shouldSelectTableColumn(NSOutlineView*,
                                                                       NSTableColumn*) {
    return false;
}

void ZRLanguagesViewController::openOrClose() {
    if (!outlineView_) return;
    Ref<NSObject> item = outlineView_->itemAtRow(outlineView_->clickedRow());
    if (!item) return;
    if (outlineView_->isItemExpanded(item))
        outlineView_->collapseItem(item);
    else
        outlineView_->expandItem(item);
}

void ZRLanguagesViewController::changeShowType(NSObject*) {
    updateCaption();
    if (outlineView_) outlineView_->reloadData();
    removeLanguageButtonAction();
    if (outlineView_) outlineView_->_setupHeaderCell();
}

void ZRLanguagesViewController::updateCaption() {
    if (segment_ && segment_->selectedSegment() == 1)
        setHeaderTitles(ns::stringWithFormat("           Applications(Total:%lu)",
                                             static_cast<unsigned long>(appLanguages_.size())),
                        "Languages");
    else
        setHeaderTitles(ns::stringWithFormat("           Languages(Total:%lu)",
                                             static_cast<unsigned long>(languageApps_.size())),
                        "Applications");
}

// --- Ticks ----------------------------------------------------------------------------------

void ZRLanguagesViewController::clickButtonAction(NewButton*) {
    if (outlineView_)
        selectTreeNode_ = std::dynamic_pointer_cast<ZRTreeNode>(
            outlineView_->itemAtRow(outlineView_->selectedRow()));
    selectRemoveLanguage();
}

void ZRLanguagesViewController::selectRemoveLanguage() {
    Ref<ZRTreeNode> node = selectTreeNode();
    if (!node) return;
    int state = 0;
    if (node->isLeaf())
        state = node->selectState() == 0 ? 1 : 0;
    else
        state = node->selectState() == 1 ? 0 : 1;
    node->setSelectState(state);
    changeSelectFileNode(state);
    if (outlineView_) outlineView_->reloadData();
    removeLanguageButtonAction();
}

void ZRLanguagesViewController::changeSelectFileNode(int state) {
    Ref<ZRTreeNode> node = selectTreeNode();
    if (!node) return;
    if (Ref<ZRTreeNode> parent = node->faterNode()) {
        std::size_t ticked = 0, total = 0;
        for (const Ref<KBBaseNode>& child : parent->children())
            if (auto* leaf = dynamic_cast<ZRTreeNode*>(child.get())) {
                ++total;
                if (leaf->selectState() == 1) ++ticked;
            }
        parent->setSelectState(ticked == 0 ? 0 : (ticked == total ? 1 : 2));
        return;
    }
    for (const Ref<KBBaseNode>& child : node->children())
        if (auto* leaf = dynamic_cast<ZRTreeNode*>(child.get())) leaf->setSelectState(state);
}

void ZRLanguagesViewController::removeLanguageButtonAction() {
    const ZRNodeList& shown = shownRootList();
    const bool any = std::any_of(shown.begin(), shown.end(),
                                 [](const Ref<ZRTreeNode>& top) { return top->selectState(); });
    if (removeButton_) removeButton_->setEnabled(any);
}

void ZRLanguagesViewController::selectAllButtonAction(NSObject*) {
    const ZRNodeList& shown = shownRootList();
    const bool allTicked = std::all_of(shown.begin(), shown.end(), [](const Ref<ZRTreeNode>& top) {
        return top->selectState() == 1;
    });
    const int state = allTicked ? 0 : 1;
    for (const Ref<ZRTreeNode>& top : shown) {
        top->setSelectState(state);
        for (const Ref<KBBaseNode>& child : top->children())
            if (auto* leaf = dynamic_cast<ZRTreeNode*>(child.get())) leaf->setSelectState(state);
    }
    if (removeButton_) removeButton_->setEnabled(!allTicked);
    if (outlineView_) outlineView_->reloadData();
}

// --- The sort pop-up ------------------------------------------------------------------------

void ZRLanguagesViewController::sortButtonAction() {
    sortPopUp_.open(mainWindow_, *this, shared_from_this());
}

void ZRLanguagesViewController::isHiddenWindow() {
    sortPopUp_.hideIfAway();
}

void ZRLanguagesViewController::mouseEixtView(bool exited) {
    sortPopUp_.pointerExited(exited);
}

void ZRLanguagesViewController::sortActionBy(std::int32_t type, std::int32_t upDown) {
    sortByType(type, upDown);
    sortPopUp_.choiceMade();
}

void ZRLanguagesViewController::sortByType(int type, int upDown) {
    auto compare = [type](const ZRTreeNode& a, const ZRTreeNode& b) {
        if (type == 2) {
            const std::uint64_t x = AMPublicUtilities::volSpaceFromString(a.size());
            const std::uint64_t y = AMPublicUtilities::volSpaceFromString(b.size());
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        const int c = a.title().compare(b.title());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    };
    const bool ascending = upDown == 1;
    ZRNodeList& shown = shownList();
    ZRNodeList sorted = shown;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const Ref<ZRTreeNode>& a, const Ref<ZRTreeNode>& b) {
                         return ascending ? compare(*a, *b) < 0 : compare(*b, *a) < 0;
                     });
    shown = std::move(sorted);
    if (outlineView_) outlineView_->reloadData();
}

// --- Removal --------------------------------------------------------------------------------

void ZRLanguagesViewController::clickRemoveButtonAction(RemoveButtonCell*) {
    removeOneLanguage();
}

void ZRLanguagesViewController::removeOneLanguage() {
    Ref<ZRTreeNode> node = selectTreeNode();
    if (!node) return;
    std::vector<Ref<ZRTreeNode>> leaves;
    Ref<ZRTreeNode> top = node;
    if (Ref<ZRTreeNode> parent = node->faterNode()) {
        leaves.push_back(node);
        top = parent;
    } else {
        for (const Ref<KBBaseNode>& child : node->children())
            if (auto leaf = std::dynamic_pointer_cast<ZRTreeNode>(child);
                leaf && leaf->selectState() == 1)
                leaves.push_back(leaf);
        if (leaves.empty())
            for (const Ref<KBBaseNode>& child : node->children())
                if (auto leaf = std::dynamic_pointer_cast<ZRTreeNode>(child))
                    leaves.push_back(leaf);
    }
    // A top node without folders has nothing to offer.
    if (leaves.empty()) return;
    showRemoveLagAlertViewWith({RemovalSelectionEntry::make(top, std::move(leaves))});
}

void ZRLanguagesViewController::removeAllSelectLanguage() {
    RemovalSelection selection;
    for (const Ref<ZRTreeNode>& top : shownRootList()) {
        if (top->selectState() == 0) continue;
        std::vector<Ref<ZRTreeNode>> leaves;
        for (const Ref<KBBaseNode>& child : top->children())
            if (auto leaf = std::dynamic_pointer_cast<ZRTreeNode>(child);
                leaf && (top->selectState() == 1 || leaf->selectState() == 1))
                leaves.push_back(leaf);
        if (!leaves.empty())
            selection.push_back(RemovalSelectionEntry::make(top, std::move(leaves)));
    }
    // Nothing ticked (the button is unusable then): no dialog.
    if (selection.empty()) return;
    showRemoveLagAlertViewWith(std::move(selection));
}

void ZRLanguagesViewController::showRemoveLagAlertViewWith(RemovalSelection selection) {
    showRemoveLagWC_ = ShowRemoveLagWindowController::make("ShowRemoveLagWindowController");
    showRemoveLagWC_->setDelegate(
        std::dynamic_pointer_cast<ShowRemoveLagCleanDelegate>(weak_from_this().lock()));
    showRemoveLagWC_->setAllRelaltedFiles(std::move(selection));
    showRemoveLagWC_->doExpandItem();
    // Kept alive through its modal loop even if a later removal replaces it meanwhile.
    Ref<ShowRemoveLagWindowController> dialog = showRemoveLagWC_;
    if (NSWindow* w = dialog->window()) {
        w->center();
        if (auto app = NSApplication::sharedApplication()) app->runModalForWindow(w);
    }
}

void ZRLanguagesViewController::beginToRemoveSelectLagWithCount(int count) {
    allSelectCount_ = count;
    deleteSelectCount_ = 0;
    failedSelectCount_ = 0;
    allDeleteSize_ = 0;
    freedSpace_.reset();
    removeLagWC_ = RemoveLagEndWindowController::make("RemoveLagEndWindowController");
    removeLagWC_->setDelegate(weak_from_this().lock());
    Ref<RemoveLagEndWindowController> dialog = removeLagWC_;
    if (NSWindow* w = dialog->window()) {
        w->center();
        if (auto app = NSApplication::sharedApplication()) app->runModalForWindow(w);
    }
}

void ZRLanguagesViewController::deleteRelatedFile(const Ref<ZRTreeNode>& entry) {
    folderReported(entry, true);
}

void ZRLanguagesViewController::deleteRelatedFileFail(const Ref<ZRTreeNode>& entry) {
    folderReported(entry, false);
}

void ZRLanguagesViewController::folderReported(const Ref<ZRTreeNode>& leaf, bool removed) {
    // Called on the executor's thread: only the leaf is taken along, the rest runs on the
    // main queue (inside the end dialog's modal loop).
    WeakRef<NSObject> weak = weak_from_this();
    dispatch_async(dispatch_get_main_queue(), [weak, leaf, removed] {
        auto self = std::dynamic_pointer_cast<ZRLanguagesViewController>(weak.lock());
        if (!self || !leaf) return;
        ++self->deleteSelectCount_;
        // Only a folder reported removed leaves the trees; one that failed stays in both.
        if (removed) {
            self->allDeleteSize_ = self->freedSpace_.addRemoved(
                leaf->path(), AMPublicUtilities::volSpaceFromString(leaf->size()));
            self->dropFromTree(self->appLanguages_, leaf);
            self->dropFromTree(self->languageApps_, leaf);
        } else {
            ++self->failedSelectCount_;
        }
        self->progressStep(leaf);
    });
}

void ZRLanguagesViewController::dropFromTree(ZRNodeList& roots, const Ref<ZRTreeNode>& leaf) {
    if (!leaf->isLeaf()) {
        std::erase(roots, leaf);
        return;
    }
    for (auto it = roots.begin(); it != roots.end(); ++it) {
        const Ref<ZRTreeNode> top = *it;
        if (removeObjWithTreeNode(top, leaf) != 1) continue;
        if (top->count() == "0") {
            roots.erase(it);
            return;
        }
        std::size_t unticked = 0, total = 0;
        for (const Ref<KBBaseNode>& child : top->children())
            if (auto* node = dynamic_cast<ZRTreeNode*>(child.get())) {
                ++total;
                if (node->selectState() == 0) ++unticked;
            }
        top->setSelectState(unticked == total ? 0 : (unticked == 0 ? 1 : 2));
        return;
    }
}

int ZRLanguagesViewController::removeObjWithTreeNode(const Ref<ZRTreeNode>& top,
                                                     const Ref<ZRTreeNode>& leaf) {
    if (!top || !leaf) return 0;
    KBNodeList& children = top->children();
    auto found = std::find_if(children.begin(), children.end(), [&](const Ref<KBBaseNode>& c) {
        auto* node = dynamic_cast<ZRTreeNode*>(c.get());
        return node && node->path() == leaf->path();
    });
    if (found == children.end()) return 0;
    children.erase(found);
    top->setCount(std::to_string(children.size()));
    top->setSize(getChiSizeWith(children));
    return 1;
}

std::string ZRLanguagesViewController::getChiSizeWith(const KBNodeList& nodes) {
    std::uint64_t total = 0;
    for (const Ref<KBBaseNode>& node : nodes)
        if (auto* tree = dynamic_cast<ZRTreeNode*>(node.get()))
            total += AMPublicUtilities::volSpaceFromString(tree->size());
    return AMPublicUtilities::convertVolSpace(total);
}

void ZRLanguagesViewController::progressStep(const Ref<ZRTreeNode>& leaf) {
    if (outlineView_) {
        outlineView_->reloadData();
        outlineView_->setNeedsDisplay(true);
        outlineView_->deselectRow(selectCell_);
        // The rows moved up: neither the highlight nor the caption's total may point at what
        // is gone.
        outlineView_->setRowNum(-1);
        updateCaption();
        outlineView_->_setupHeaderCell();
    }
    selectTreeNode_.reset();
    removeLanguageButtonAction();
    if (allSelectCount_ <= 0 || !removeLagWC_) return;
    const int percent =
        static_cast<int>(static_cast<long long>(deleteSelectCount_) * 100 / allSelectCount_);
    if (percent >= 100)
        removeLagWC_->changeLabel(AMPublicUtilities::convertVolSpace(allDeleteSize_),
                                  failedSelectCount_);
    removeLagWC_->changeProgressValue(percent, leaf->path());
}

void ZRLanguagesViewController::removelanguageEnd() {
    if (showRemoveLagWC_) showRemoveLagWC_->clickedCancelBtn(nullptr);
    removeLanguageButtonAction();
}

// --- Images ---------------------------------------------------------------------------------

Ref<NSImage> ZRLanguagesViewController::resizeImage(const Ref<NSImage>& image, NSSize size) {
    return image ? image->imageCroppedToFill(size) : NSImage::initWithSize(size);
}

// --- The scan -------------------------------------------------------------------------------

void ZRLanguagesViewController::enumerateLanguages(const std::string& folder) {
    scanner_.enumerateLanguages(folder);
}

Ref<ZRTreeNode> ZRLanguagesViewController::constructTreeNode(const std::string& path) {
    return LanguageScanner::constructTreeNode(path);
}

void ZRLanguagesViewController::buildLanguagesTree() {
    scanner_.buildLanguagesTree();
}
