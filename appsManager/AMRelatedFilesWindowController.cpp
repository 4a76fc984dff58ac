#include "appsManager/AMRelatedFilesWindowController.h"

#include <algorithm>

#include "appsManager/AMDisclosureArrowCell.h"
#include "appsManager/AMPublicUtilities.h"
#include "appsManager/AsMDeleteExecutor.h"
#include "appsManager/RemovalTreeCells.h"
#include "appsManager/UninstallProgressWindowController.h"
#include "controls/buttons/TextImageButton.h"
#include "controls/lists/MyNewOutlineView.h"
#include "controls/rowcells/NewButton.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/NSWindow.h"
#include "services/Palette.h"

namespace {

constexpr const char* kQuestion = "Do your want to uninstall the selected %@ application(s)?";

}  // namespace

// --- Opening --------------------------------------------------------------------------------

AMRelatedFilesWindowController::AMRelatedFilesWindowController()
    : RemovalTreeWindowController(kQuestion, "Uninstall") {}

std::size_t AMRelatedFilesWindowController::groupCount() const {
    return allRelaltedFiles_ ? allRelaltedFiles_->size() : 0;
}

void AMRelatedFilesWindowController::windowDidLoad() {
    RemovalTreeWindowController::windowDidLoad();

    // Everything starts ticked, group by group in order.
    selectDeletePath_.clear();
    if (allRelaltedFiles_)
        for (const Ref<AMRelatedFilesGroup>& group : *allRelaltedFiles_)
            for (const Ref<AMAppItem>& record : group->records())
                selectDeletePath_.push_back(record);

    if (outlineView()) {
        if (allRelaltedFiles_ && !allRelaltedFiles_->empty()) outlineView()->reloadData();
        rows_.clear();
        outlineView()->setSelectCellBackgroundColorWithRow(0);
        if (Ref<NSObject> first = outlineView()->itemAtRow(0)) {
            outlineView()->expandItem(first);
            itemDidExpandOrCollapse();
        }
    }
    setNodeLabelStyle();
}

// --- Buttons --------------------------------------------------------------------------------

void AMRelatedFilesWindowController::clickedDeleteBtn(NSObject* sender) {
    closeWindow(sender);
    performSelectorAfterDelay(SEL("doRemove"), {}, 0.5);
}

void AMRelatedFilesWindowController::sohwSystemNode() {
    if (uninstallButton()) uninstallButton()->setButtonEnabled(false);
}

// --- Uninstalling ---------------------------------------------------------------------------

void AMRelatedFilesWindowController::doRemove() {
    // The Uninstall button is unusable with nothing ticked; a late call does nothing either.
    if (selectDeletePath_.empty()) return;
    if (!deleteExecutor_) {
        deleteExecutor_ = AsMDeleteExecutor::make();
        deleteExecutor_->setDelegate(selfAs<AMRelatedFilesWindowController>());
    }
    showProgress();
}

void AMRelatedFilesWindowController::prepareProgress() {
    deleteCount_.store(0);
    failCount_.store(0);
    totalSize_.reset();
    allSelectCount_.store(static_cast<int>(selectDeletePath_.size()));
    auto dialog = UninstallProgressWindowController::make();
    dialog->setDelegate(self());
    {
        std::lock_guard guard(progressLock_);
        uninstallPWC_ = dialog;
    }
    if (NSWindow* w = dialog->window()) w->center();
}

void AMRelatedFilesWindowController::showProgress() {
    // Counters and the dialog exist before the first report can arrive.
    prepareProgress();
    Ref<UninstallProgressWindowController> dialog = uninstallPWC();
    if (deleteExecutor_) deleteExecutor_->executeDelete(selectDeletePath_);
    if (NSWindow* w = dialog->window())
        if (auto app = NSApplication::sharedApplication()) app->runModalForWindow(w);
}

Ref<UninstallProgressWindowController> AMRelatedFilesWindowController::uninstallPWC() const {
    std::lock_guard guard(progressLock_);
    return uninstallPWC_;
}

void AMRelatedFilesWindowController::deleteRelatedFile(const Ref<AMAppItem>& entry) {
    if (!entry) return;
    // A file listed twice, or one inside a folder removed before it, frees its space once.
    const std::uint64_t total =
        totalSize_.addRemoved(entry->path(), AMPublicUtilities::volSpaceFromString(entry->size()));
    reportProgress(deleteCount_.fetch_add(1) + 1, total, failCount_.load(), entry);
}

void AMRelatedFilesWindowController::deleteRelatedFileFail(const Ref<AMAppItem>& entry) {
    if (!entry) return;
    const int failed = failCount_.fetch_add(1) + 1;
    reportProgress(deleteCount_.fetch_add(1) + 1, totalSize_.total(), failed, entry);
}

void AMRelatedFilesWindowController::reportProgress(int count, std::uint64_t total, int failed,
                                                    const Ref<AMAppItem>& entry) {
    const int all = allSelectCount_.load();
    Ref<UninstallProgressWindowController> dialog = uninstallPWC();
    // No uninstall was prepared: there is nothing to show the report in.
    if (all <= 0 || !dialog) return;
    // Failures count as done steps, so the bar reaches its end whatever the outcomes.
    const int percent = static_cast<int>(static_cast<long long>(count) * 100 / all);
    if (percent >= 100) dialog->changeLabel(AMPublicUtilities::convertVolSpace(total), failed);
    dialog->changeProgressValue(percent, entry->path());
}

void AMRelatedFilesWindowController::uninstallEnd() {
    Ref<NSObject> keep = self();
    selectDeletePath_.clear();
    // The opener's list goes empty with it: the opener scans again or drops the row.
    if (allRelaltedFiles_) allRelaltedFiles_->clear();
    if (outlineView()) outlineView()->reloadData();
    if (Ref<RelatedFilesCleanDelegate> target = delegate()) target->completeCleanRelatedFiles();
    clickedCancelBtn(nullptr);
}

// --- Ticking --------------------------------------------------------------------------------

bool AMRelatedFilesWindowController::isTicked(const AMAppItem* record) const {
    return std::any_of(selectDeletePath_.begin(), selectDeletePath_.end(),
                       [record](const Ref<AMAppItem>& r) { return r.get() == record; });
}

void AMRelatedFilesWindowController::untick(const AMAppItem* record) {
    auto found = std::find_if(selectDeletePath_.begin(), selectDeletePath_.end(),
                              [record](const Ref<AMAppItem>& r) { return r.get() == record; });
    if (found != selectDeletePath_.end()) selectDeletePath_.erase(found);
}

long AMRelatedFilesWindowController::tickedCount(const AMRelatedFilesGroup& group) const {
    return std::count_if(group.records().begin(), group.records().end(),
                         [this](const Ref<AMAppItem>& r) { return isTicked(r.get()); });
}

Ref<AMRelatedFilesGroup> AMRelatedFilesWindowController::groupFor(const Ref<NSObject>& item) const {
    return std::dynamic_pointer_cast<AMRelatedFilesGroup>(item);
}

void AMRelatedFilesWindowController::selectRemoveLanguage() {
    if (!outlineView()) return;
    Ref<NSObject> object = outlineView()->itemAtRow(outlineView()->selectedRow());
    selectCell_ = object;
    if (Ref<AMRelatedFilesGroup> clicked = groupFor(object)) {
        // Only a group of the list counts; it is found by identity.
        Ref<AMRelatedFilesGroup> group;
        if (allRelaltedFiles_)
            for (const Ref<AMRelatedFilesGroup>& g : *allRelaltedFiles_)
                if (g == clicked) group = g;
        if (group) {
            if (tickedCount(*group) == static_cast<long>(group->count())) {
                for (const Ref<AMAppItem>& record : group->records())
                    untick(record.get());
            } else {
                for (const Ref<AMAppItem>& record : group->records())
                    if (!isTicked(record.get())) selectDeletePath_.push_back(record);
            }
        }
    } else if (auto record = std::dynamic_pointer_cast<AMAppItem>(object)) {
        if (isTicked(record.get()))
            untick(record.get());
        else
            selectDeletePath_.push_back(record);
    }
    if (uninstallButton()) uninstallButton()->setButtonEnabled(!selectDeletePath_.empty());
    outlineView()->reloadData();
}

// --- Expanding and highlight ----------------------------------------------------------------

void AMRelatedFilesWindowController::openOrClose() {
    if (rows_.toggleClickedItem(outlineView().get())) itemDidExpandOrCollapse();
}

void AMRelatedFilesWindowController::itemDidExpandOrCollapse() {
    selectCell_ = nullptr;
    if (!rows_.rootArr().empty()) reloadCellBackgroundColor();
}

void AMRelatedFilesWindowController::reloadCellBackgroundColor() {
    rows_.collectGroupRows(outlineView().get(),
                           [this](const Ref<NSObject>& item) { return groupFor(item) != nullptr; });
}

// --- The tree -------------------------------------------------------------------------------

long AMRelatedFilesWindowController::numberOfChildrenOfItem(NSOutlineView* outline,
                                                            const Ref<NSObject>& item) {
    if (!item) return allRelaltedFiles_ ? static_cast<long>(allRelaltedFiles_->size()) : 0;
    Ref<AMRelatedFilesGroup> group = groupFor(item);
    if (!group) return 0;
    rows_.noteGroupRow(outline, item);
    return static_cast<long>(group->count());
}

Ref<NSObject> AMRelatedFilesWindowController::child(NSOutlineView*, long index,
                                                    const Ref<NSObject>& item) {
    if (!item) {
        if (!allRelaltedFiles_ || index < 0 ||
            index >= static_cast<long>(allRelaltedFiles_->size()))
            return nullptr;
        return (*allRelaltedFiles_)[static_cast<std::size_t>(index)];
    }
    if (Ref<AMRelatedFilesGroup> group = groupFor(item)) return group->recordAt(index);
    return nullptr;
}

bool AMRelatedFilesWindowController::isItemExpandable(NSOutlineView*, const Ref<NSObject>& item) {
    return groupFor(item) != nullptr;
}

std::any AMRelatedFilesWindowController::objectValueForTableColumn(NSOutlineView*,
                                                                   NSTableColumn* column,
                                                                   const Ref<NSObject>& item) {
    if (!item) return {};
    if (Ref<AMRelatedFilesGroup> group = groupFor(item)) {
        if (group->empty()) return {};
        if (RemovalTreeCells::isColumn(column, "Name")) return group->records().front()->name();
        return RemovalTreeCells::totalSizeText(group->records());
    }
    if (auto record = std::dynamic_pointer_cast<AMAppItem>(item)) {
        if (RemovalTreeCells::isColumn(column, "Name")) return record->name();
        if (RemovalTreeCells::isColumn(column, "Size")) return record->size();
    }
    return {};
}

void AMRelatedFilesWindowController::willDisplayCell(NSOutlineView* outline, NSCell* cell,
                                                     NSTableColumn* column,
                                                     const Ref<NSObject>& item) {
    if (!cell || !column) return;
    Ref<AMRelatedFilesGroup> group = groupFor(item);
    Ref<AMAppItem> shown = group ? (group->empty() ? nullptr : group->records().front())
                                 : std::dynamic_pointer_cast<AMAppItem>(item);

    if (RemovalTreeCells::isColumn(column, "Name")) {
        auto* name = dynamic_cast<NewButton*>(cell);
        if (!name) return;
        if (!shown) {
            // An empty group draws nothing: no sub-cells left from another row.
            name->setSelectImageCell(nullptr);
            name->setLabel(nullptr);
            name->setIconImageCell(nullptr);
            return;
        }
        const char* tick = group ? RemovalTreeCells::tickImageName(
                                       tickedCount(*group), static_cast<long>(group->count()))
                                 : (isTicked(shown.get()) ? "sel" : "unsel");
        RemovalTreeCells::fillNameCell(name, weak_from_this(),
                                       RemovalTreeCells::isSelectedItem(outline, item), tick,
                                       shown->name(), shown->image(), Palette::treeTextGrey());
        return;
    }
    if (RemovalTreeCells::isColumn(column, "open")) {
        RemovalTreeCells::fillArrowCell(cell, outline, item, group && shown, weak_from_this());
        return;
    }
    RemovalTreeCells::fillOtherCell(cell, column);
}

std::optional<std::string> AMRelatedFilesWindowController::toolTipForCell(NSOutlineView*, NSCell*,
                                                                          NSRect*, NSTableColumn*,
                                                                          const Ref<NSObject>& item,
                                                                          NSPoint) {
    if (auto record = std::dynamic_pointer_cast<AMAppItem>(item)) return record->path();
    return std::nullopt;
}

// --- Runtime --------------------------------------------------------------------------------

void AMRelatedFilesWindowController::registerClass() {
    RemovalTreeWindowController::registerClass();
    ClassRegistry::shared()
        .registerClass<AMRelatedFilesWindowController, RemovalTreeWindowController>(
            "AMRelatedFilesWindowController")
        .action("clickedDeleteBtn:", &AMRelatedFilesWindowController::clickedDeleteBtn)
        .action("doRemove", &AMRelatedFilesWindowController::doRemove)
        .action("showProgress", &AMRelatedFilesWindowController::showProgress)
        .action("uninstallEnd", &AMRelatedFilesWindowController::uninstallEnd)
        .action("selectRemoveLanguage", &AMRelatedFilesWindowController::selectRemoveLanguage)
        .action("openOrClose", &AMRelatedFilesWindowController::openOrClose)
        .action("reloadCellBackgroundColor",
                &AMRelatedFilesWindowController::reloadCellBackgroundColor)
        .action("sohwSystemNode", &AMRelatedFilesWindowController::sohwSystemNode);
}
