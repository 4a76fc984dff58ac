#include "appsManager/AMRelatedFilesWindowController.h"

#include <algorithm>

#include "appsManager/AMDisclosureArrowCell.h"
#include "appsManager/AMPublicUtilities.h"
#include "appsManager/AsMDeleteExecutor.h"
#include "appsManager/UninstallProgressWindowController.h"
#include "controls/MyNewOutlineView.h"
#include "controls/NewButton.h"
#include "controls/TextImageButton.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSImageCell.h"
#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/NSTextFieldCell.h"
#include "platform/appkit/NSWindow.h"
#include "platform/foundation/NSString.h"
#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSImage.h"
#include "platform/graphics/NSParagraphStyle.h"
#include "shell/TCPublicUtilities.h"
#include "shell/getColor.h"

namespace {

constexpr const char* kQuestion = "Do your want to uninstall the selected %@ application(s)?";

bool isColumn(const NSTableColumn* column, const char* identifier) {
    return column && column->identifier() == identifier;
}

/// The sum of the sizes of every record of `group`, as size text.
std::string groupSizeText(const AMRelatedFilesGroup& group) {
    std::uint64_t total = 0;
    for (const Ref<AMAppItem>& record : group.records())
        total += AMPublicUtilities::volSpaceFromString(record->size());
    return AMPublicUtilities::convertVolSpace(total);
}

Ref<NSImageCell> imageCell(const Ref<NSImage>& image) {
    auto cell = NSImageCell::make();
    cell->setImage(image);
    return cell;
}

}  // namespace

// --- Opening --------------------------------------------------------------------------------

void AMRelatedFilesWindowController::awakeFromNib() {
    NSWindowController::awakeFromNib();
    if (cancelButton_) {
        cancelButton_->setButtonEnabled(true);
        cancelButton_->setImageFromFileNormalName("btn_popsec", "btn_popsec_press",
                                                  "btn_popsec_hover", "btn_popsec_disable");
        cancelButton_->setTextWithName("Cancel", 12);
    }
    if (uninstallButton_) {
        uninstallButton_->setButtonEnabled(true);
        uninstallButton_->setImageFromFileNormalName("btn_poppri", "btn_poppri_press",
                                                     "btn_poppri_hover", "btn_poppri_disable");
        uninstallButton_->setTextWithName("Uninstall", 12);
    }
}

void AMRelatedFilesWindowController::windowDidLoad() {
    NSWindowController::windowDidLoad();
    if (NSWindow* w = window()) {
        if (NSButton* close = w->standardWindowButton(NSWindowCloseButton)) {
            close->setTarget(weak_from_this());
            close->setAction(SEL("closeWindow:"));
        }
        // A dialog: only the close button shows.
        for (NSWindowButton kind : {NSWindowMiniaturizeButton, NSWindowZoomButton})
            if (NSButton* button = w->standardWindowButton(kind)) button->setHidden(true);
        w->center();
        w->setMovableByWindowBackground(true);
        w->setOpaque(false);
        w->setBackgroundColor(NSColor::clearColor());
    }

    // Everything starts ticked, group by group in order.
    selectDeletePath_.clear();
    if (allRelaltedFiles_)
        for (const Ref<AMRelatedFilesGroup>& group : *allRelaltedFiles_)
            for (const Ref<AMAppItem>& record : group->records())
                selectDeletePath_.push_back(record);

    if (outlineView_) {
        if (allRelaltedFiles_ && !allRelaltedFiles_->empty()) outlineView_->reloadData();
        rootArr_.clear();
        outlineView_->setSelectCellBackgroundColorWithRow(0);
        if (Ref<NSObject> first = outlineView_->itemAtRow(0)) {
            outlineView_->expandItem(first);
            itemDidExpandOrCollapse();
        }
    }
    setNodeLabelStyle();
}

void AMRelatedFilesWindowController::setNodeLabelStyle() {
    const std::size_t groups = allRelaltedFiles_ ? allRelaltedFiles_->size() : 0;
    const std::string number = ns::stringWithFormat("%d", static_cast<int>(groups));
    const std::string text = ns::stringWithFormat(kQuestion, number);
    auto headline = NSMutableAttributedString::make(text);
    // Ranges count UTF-16 units; the search answers bytes.
    NSRange found = ns::rangeOfString(text, number);
    if (found.location != NSNotFound) {
        NSRange range{ns::length(std::string_view(text).substr(0, found.location)),
                      ns::length(number)};
        headline->addAttribute(NSFontAttributeName, TCPublicUtilities::regularFontOfSize(20),
                               range);
        headline->addAttribute(
            NSForegroundColorAttributeName,
            NSColor::colorWithDeviceRed(49 / 255.0, 190 / 255.0, 106 / 255.0, 1.0), range);
    }
    auto centred = NSMutableParagraphStyle::defaultParagraphStyle();
    centred->setAlignment(NSCenterTextAlignment);
    headline->addAttribute(NSParagraphStyleAttributeName, centred, NSRange{0, headline->length()});
    if (nodeLabel_) {
        nodeLabel_->setAttributedStringValue(headline);
        nodeLabel_->setNeedsDisplay(true);
    }
}

// --- Buttons --------------------------------------------------------------------------------

void AMRelatedFilesWindowController::clickedCancelBtn(NSObject* sender) {
    closeWindow(sender);
}

void AMRelatedFilesWindowController::closeWindow(NSObject*) {
    if (isWindowLoaded())
        if (NSWindow* w = window()) w->close();
    if (auto app = NSApplication::sharedApplication()) app->stopModal();
}

void AMRelatedFilesWindowController::clickedDeleteBtn(NSObject* sender) {
    closeWindow(sender);
    performSelectorAfterDelay(SEL("doRemove"), {}, 0.5);
}

void AMRelatedFilesWindowController::sohwSystemNode() {
    if (uninstallButton_) uninstallButton_->setButtonEnabled(false);
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
    if (outlineView_) outlineView_->reloadData();
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

void AMRelatedFilesWindowController::clickButtonAction(NewButton*) {
    selectRemoveLanguage();
}

void AMRelatedFilesWindowController::selectRemoveLanguage() {
    if (!outlineView_) return;
    Ref<NSObject> object = outlineView_->itemAtRow(outlineView_->selectedRow());
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
    if (uninstallButton_) uninstallButton_->setButtonEnabled(!selectDeletePath_.empty());
    outlineView_->reloadData();
}

// --- Expanding and highlight ----------------------------------------------------------------

void AMRelatedFilesWindowController::openOrClose() {
    if (!outlineView_) return;
    outlineView_->setSelectCellBackgroundColorWithRow(-1);
    Ref<NSObject> item = outlineView_->itemAtRow(outlineView_->clickedRow());
    if (!item) return;
    if (outlineView_->isItemExpanded(item))
        outlineView_->collapseItem(item);
    else
        outlineView_->expandItem(item);
    itemDidExpandOrCollapse();
}

void AMRelatedFilesWindowController::itemDidExpandOrCollapse() {
    selectCell_ = nullptr;
    if (!rootArr_.empty()) reloadCellBackgroundColor();
}

void AMRelatedFilesWindowController::reloadCellBackgroundColor() {
    if (!outlineView_) return;
    rootArr_.clear();
    for (long row = 0; row < outlineView_->numberOfRows(); ++row) {
        if (!groupFor(outlineView_->itemAtRow(row))) continue;
        std::string text = ns::stringWithFormat("%d", static_cast<int>(row));
        if (std::find(rootArr_.begin(), rootArr_.end(), text) == rootArr_.end())
            rootArr_.push_back(text);
    }
    outlineView_->setIsRootArr(rootArr_);
    outlineView_->setNeedsDisplay(true);
}

std::optional<bool> AMRelatedFilesWindowController::shouldSelectItem(NSOutlineView* outline,
                                                                     const Ref<NSObject>& item) {
    if (auto* mine = dynamic_cast<MyNewOutlineView*>(outline))
        mine->setSelectCellBackgroundColorWithRow(static_cast<int>(outline->rowForItem(item)));
    newSelectItem_ = item;
    return true;
}

void AMRelatedFilesWindowController::outlineViewSelectionDidChange(const NSNotification&) {
    Ref<NSObject> now = newSelectItem_.lock();
    if (now == oldSelectItem_.lock() && outlineView_) {
        // The highlighted row was chosen again: the highlight goes.
        outlineView_->setSelectCellBackgroundColorWithRow(-1);
        newSelectItem_.reset();
        now = nullptr;
        outlineView_->setNeedsDisplay(true);
    }
    oldSelectItem_ = now;
}

// --- The tree -------------------------------------------------------------------------------

long AMRelatedFilesWindowController::numberOfChildrenOfItem(NSOutlineView* outline,
                                                            const Ref<NSObject>& item) {
    if (!item) return allRelaltedFiles_ ? static_cast<long>(allRelaltedFiles_->size()) : 0;
    Ref<AMRelatedFilesGroup> group = groupFor(item);
    if (!group) return 0;
    if (outline) {
        // The group's row is known by now: it is listed before its children are asked for.
        long row = outline->rowForItem(item);
        std::string text = ns::stringWithFormat("%d", static_cast<int>(row));
        if (row >= 0 && std::find(rootArr_.begin(), rootArr_.end(), text) == rootArr_.end())
            rootArr_.push_back(text);
        if (auto* mine = dynamic_cast<MyNewOutlineView*>(outline)) mine->setIsRootArr(rootArr_);
        outline->setNeedsDisplay(true);
    }
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
        if (isColumn(column, "Name")) return group->records().front()->name();
        return groupSizeText(*group);
    }
    if (auto record = std::dynamic_pointer_cast<AMAppItem>(item)) {
        if (isColumn(column, "Name")) return record->name();
        if (isColumn(column, "Size")) return record->size();
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

    if (isColumn(column, "Name")) {
        auto* name = dynamic_cast<NewButton*>(cell);
        if (!name) return;
        if (!shown) {
            // An empty group draws nothing: no sub-cells left from another row.
            name->setSelectImageCell(nullptr);
            name->setLabel(nullptr);
            name->setIconImageCell(nullptr);
            return;
        }
        name->setImagePosition(NSImageLeft);
        name->setDelegate(weak_from_this());
        name->setTarget(weak_from_this());
        name->setIsSelect(outline && item && outline->itemAtRow(outline->selectedRow()) == item);
        name->setTitle("");
        name->setEditable(true);

        const char* tick = "unsel";
        if (group) {
            const long ticked = tickedCount(*group);
            if (ticked == static_cast<long>(group->count()))
                tick = "sel";
            else if (ticked > 0)
                tick = "halfsel";
        } else if (isTicked(shown.get())) {
            tick = "sel";
        }
        name->setSelectImageCell(imageCell(NSImage::imageNamed(tick)));

        auto label = NSTextFieldCell::make();
        label->setEditable(false);
        label->setDrawsBackground(false);
        label->setBackgroundColor(NSColor::clearColor());
        label->setLineBreakMode(NSLineBreakByTruncatingTail);
        label->setTextColor(getColor(214, 214, 215, 1.0));
        label->setFont(NSFont::systemFontOfSize(14));
        label->setStringValue(shown->name());
        name->setLabel(label);
        name->setIconImageCell(imageCell(shown->image()));
        return;
    }
    if (isColumn(column, "open")) {
        if (group && shown) {
            const bool open = outline && outline->isItemExpanded(item);
            cell->setImage(NSImage::imageNamed(open ? "arrow_w_open" : "arrow_w"));
            cell->setTarget(weak_from_this());
            cell->setAction(SEL("openOrClose"));
        } else {
            cell->setImage(nullptr);
            cell->setAction(SEL());
        }
        return;
    }
    if (isColumn(column, "First")) return;
    if (auto* text = dynamic_cast<NSTextFieldCell*>(cell))
        text->setTextColor(getColor(214, 214, 215, 0.8));
}

std::optional<std::string> AMRelatedFilesWindowController::toolTipForCell(NSOutlineView*, NSCell*,
                                                                          NSRect*, NSTableColumn*,
                                                                          const Ref<NSObject>& item,
                                                                          NSPoint) {
    if (auto record = std::dynamic_pointer_cast<AMAppItem>(item)) return record->path();
    return std::nullopt;
}

std::optional<bool> AMRelatedFilesWindowController::shouldEditTableColumn(NSOutlineView*,
                                                                          NSTableColumn*,
                                                                          const Ref<NSObject>&) {
    return false;
}

std::optional<bool> AMRelatedFilesWindowController::shouldSelectTableColumn(NSOutlineView*,
                                                                            NSTableColumn*) {
    return false;
}

// --- Runtime --------------------------------------------------------------------------------

void AMRelatedFilesWindowController::registerClass() {
    ClassRegistry::shared()
        .registerClass<AMRelatedFilesWindowController, NSWindowController>(
            "AMRelatedFilesWindowController")
        .outlet("cancelButton", &AMRelatedFilesWindowController::setCancelButton)
        .outlet("uninstallButton", &AMRelatedFilesWindowController::setUninstallButton)
        .outlet("outlineView", &AMRelatedFilesWindowController::setOutlineView)
        .outlet("nodeLabel", &AMRelatedFilesWindowController::setNodeLabel)
        .action("clickedCancelBtn:", &AMRelatedFilesWindowController::clickedCancelBtn)
        .action("closeWindow:", &AMRelatedFilesWindowController::closeWindow)
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
