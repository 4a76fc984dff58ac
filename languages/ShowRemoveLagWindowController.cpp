#include "languages/ShowRemoveLagWindowController.h"

#include <algorithm>
#include <cstdint>

#include "appsManager/RemovalTreeCells.h"
#include "controls/buttons/TextImageButton.h"
#include "controls/lists/MyNewOutlineView.h"
#include "controls/rowcells/NewButton.h"
#include "languages/AMDeleteExecutor.h"
#include "platform/appkit/NSTableColumn.h"

namespace {

constexpr const char* kQuestion = "Do your want to Remove the selected %@ language(s)?";

}  // namespace

// --- Opening --------------------------------------------------------------------------------

ShowRemoveLagWindowController::ShowRemoveLagWindowController()
    : RemovalTreeWindowController(kQuestion, "Remove") {}

void ShowRemoveLagWindowController::windowDidLoad() {
    RemovalTreeWindowController::windowDidLoad();

    // Everything starts ticked, entry by entry in order.
    selectDeletePath_.clear();
    for (const Ref<RemovalSelectionEntry>& entry : allRelaltedFiles_)
        for (const Ref<ZRTreeNode>& leaf : entry->leaves())
            selectDeletePath_.push_back(leaf);

    if (outlineView()) {
        if (!allRelaltedFiles_.empty()) outlineView()->reloadData();
        rows_.clear();
        outlineView()->setSelectCellBackgroundColorWithRow(-1);
        if (Ref<NSObject> first = outlineView()->itemAtRow(0)) outlineView()->expandItem(first);
        outlineView()->setTarget(weak_from_this());
        outlineView()->setDoubleAction(SEL("openOrClose"));
    }
    setNodeLabelStyle();
}

void ShowRemoveLagWindowController::doExpandItem() {
    if (!isWindowLoaded() || !outlineView()) return;
    for (const Ref<RemovalSelectionEntry>& entry : allRelaltedFiles_)
        outlineView()->expandItem(entry);
    reloadCellBackgroundColor();
}

// --- Buttons --------------------------------------------------------------------------------

void ShowRemoveLagWindowController::clickedDeleteBtn(NSObject* sender) {
    closeWindow(sender);
    performSelectorAfterDelay(SEL("doRemove"), {}, 0.5);
}

// --- Removing -------------------------------------------------------------------------------

void ShowRemoveLagWindowController::doRemove() {
    // Remove is unusable with nothing ticked; a late call does nothing either.
    if (selectDeletePath_.empty()) return;
    allSelectCount_ = static_cast<int>(selectDeletePath_.size());
    if (!deleteExecutor_) {
        deleteExecutor_ = AMDeleteExecutor::make();
        deleteExecutor_->setDelegate(selfAs<ShowRemoveLagWindowController>());
    }
    deleteExecutor_->executeDelete(selectDeletePath_);
    if (Ref<ShowRemoveLagCleanDelegate> target = delegate())
        target->beginToRemoveSelectLagWithCount(allSelectCount_);
}

void ShowRemoveLagWindowController::deleteRelatedFile(const Ref<ZRTreeNode>& entry) {
    if (Ref<ShowRemoveLagCleanDelegate> target = delegate()) target->deleteRelatedFile(entry);
}

void ShowRemoveLagWindowController::deleteRelatedFileFail(const Ref<ZRTreeNode>& entry) {
    if (Ref<ShowRemoveLagCleanDelegate> target = delegate()) target->deleteRelatedFileFail(entry);
}

// --- Ticking --------------------------------------------------------------------------------

bool ShowRemoveLagWindowController::isTicked(const ZRTreeNode* leaf) const {
    return std::any_of(selectDeletePath_.begin(), selectDeletePath_.end(),
                       [leaf](const Ref<ZRTreeNode>& l) { return l.get() == leaf; });
}

void ShowRemoveLagWindowController::untick(const ZRTreeNode* leaf) {
    std::erase_if(selectDeletePath_, [leaf](const Ref<ZRTreeNode>& l) { return l.get() == leaf; });
}

long ShowRemoveLagWindowController::tickedCount(const RemovalSelectionEntry& entry) const {
    return std::count_if(entry.leaves().begin(), entry.leaves().end(),
                         [this](const Ref<ZRTreeNode>& l) { return isTicked(l.get()); });
}

Ref<RemovalSelectionEntry> ShowRemoveLagWindowController::entryFor(
    const Ref<NSObject>& item) const {
    return std::dynamic_pointer_cast<RemovalSelectionEntry>(item);
}

void ShowRemoveLagWindowController::selectRemoveLanguage() {
    if (!outlineView()) return;
    Ref<NSObject> object = outlineView()->itemAtRow(outlineView()->selectedRow());
    if (Ref<RemovalSelectionEntry> clicked = entryFor(object)) {
        // Only an entry of this selection counts; it is found by identity.
        if (std::find(allRelaltedFiles_.begin(), allRelaltedFiles_.end(), clicked) !=
            allRelaltedFiles_.end()) {
            if (tickedCount(*clicked) == static_cast<long>(clicked->leaves().size())) {
                for (const Ref<ZRTreeNode>& leaf : clicked->leaves())
                    untick(leaf.get());
            } else {
                for (const Ref<ZRTreeNode>& leaf : clicked->leaves())
                    if (!isTicked(leaf.get())) selectDeletePath_.push_back(leaf);
            }
        }
    } else if (auto leaf = std::dynamic_pointer_cast<ZRTreeNode>(object)) {
        if (isTicked(leaf.get()))
            untick(leaf.get());
        else
            selectDeletePath_.push_back(leaf);
    }
    if (uninstallButton()) uninstallButton()->setButtonEnabled(!selectDeletePath_.empty());
    outlineView()->reloadData();
}

// --- Expanding and highlight ----------------------------------------------------------------

void ShowRemoveLagWindowController::openOrClose() {
    if (rows_.toggleClickedItem(outlineView().get()) && !rows_.rootArr().empty())
        reloadCellBackgroundColor();
}

void ShowRemoveLagWindowController::reloadCellBackgroundColor() {
    rows_.collectGroupRows(outlineView().get(),
                           [this](const Ref<NSObject>& item) { return entryFor(item) != nullptr; });
}

// --- The tree -------------------------------------------------------------------------------

long ShowRemoveLagWindowController::numberOfChildrenOfItem(NSOutlineView* outline,
                                                           const Ref<NSObject>& item) {
    if (!item) return static_cast<long>(allRelaltedFiles_.size());
    Ref<RemovalSelectionEntry> entry = entryFor(item);
    if (!entry) return 0;
    rows_.noteGroupRow(outline, item);
    return static_cast<long>(entry->leaves().size());
}

Ref<NSObject> ShowRemoveLagWindowController::child(NSOutlineView*, long index,
                                                   const Ref<NSObject>& item) {
    if (index < 0) return nullptr;
    const auto at = static_cast<std::size_t>(index);
    if (!item) return at < allRelaltedFiles_.size() ? allRelaltedFiles_[at] : nullptr;
    if (Ref<RemovalSelectionEntry> entry = entryFor(item))
        return at < entry->leaves().size() ? entry->leaves()[at] : nullptr;
    return nullptr;
}

bool ShowRemoveLagWindowController::isItemExpandable(NSOutlineView*, const Ref<NSObject>& item) {
    return entryFor(item) != nullptr;
}

std::any ShowRemoveLagWindowController::objectValueForTableColumn(NSOutlineView*,
                                                                  NSTableColumn* column,
                                                                  const Ref<NSObject>& item) {
    if (Ref<RemovalSelectionEntry> entry = entryFor(item)) {
        if (RemovalTreeCells::isColumn(column, "Name")) return entry->title();
        return RemovalTreeCells::totalSizeText(entry->leaves());
    }
    if (auto leaf = std::dynamic_pointer_cast<ZRTreeNode>(item)) {
        if (RemovalTreeCells::isColumn(column, "Name")) return leaf->title();
        if (RemovalTreeCells::isColumn(column, "Size")) return leaf->size();
    }
    return {};
}

void ShowRemoveLagWindowController::willDisplayCell(NSOutlineView* outline, NSCell* cell,
                                                    NSTableColumn* column,
                                                    const Ref<NSObject>& item) {
    if (!cell || !column || !item) return;
    Ref<RemovalSelectionEntry> entry = entryFor(item);
    auto leaf = entry ? nullptr : std::dynamic_pointer_cast<ZRTreeNode>(item);
    if (RemovalTreeCells::isColumn(column, "Name")) {
        auto* name = dynamic_cast<NewButton*>(cell);
        if (!name || (!entry && !leaf)) return;
        const char* tick = entry
                               ? RemovalTreeCells::tickImageName(
                                     tickedCount(*entry), static_cast<long>(entry->leaves().size()))
                               : (isTicked(leaf.get()) ? "sel" : "unsel");
        const Ref<ZRTreeNode>& shown = entry ? entry->image() : leaf;
        RemovalTreeCells::fillNameCell(
            name, weak_from_this(), RemovalTreeCells::isSelectedItem(outline, item), tick,
            entry ? entry->title() : leaf->title(), shown ? shown->image() : nullptr);
        return;
    }
    if (RemovalTreeCells::isColumn(column, "open")) {
        RemovalTreeCells::fillArrowCell(cell, outline, item, entry != nullptr, weak_from_this());
        return;
    }
    RemovalTreeCells::fillOtherCell(cell, column);
}

// --- Runtime --------------------------------------------------------------------------------

void ShowRemoveLagWindowController::registerClass() {
    RemovalTreeWindowController::registerClass();
    ClassRegistry::shared()
        .registerClass<ShowRemoveLagWindowController, RemovalTreeWindowController>(
            "ShowRemoveLagWindowController")
        .action("clickedDeleteBtn:", &ShowRemoveLagWindowController::clickedDeleteBtn)
        .method("doRemove", &ShowRemoveLagWindowController::doRemove)
        .method("doExpandItem", &ShowRemoveLagWindowController::doExpandItem)
        .method("selectRemoveLanguage", &ShowRemoveLagWindowController::selectRemoveLanguage)
        .method("openOrClose", &ShowRemoveLagWindowController::openOrClose)
        .method("reloadCellBackgroundColor",
                &ShowRemoveLagWindowController::reloadCellBackgroundColor);
}
