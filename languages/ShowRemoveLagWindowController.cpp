#include "languages/ShowRemoveLagWindowController.h"

#include <algorithm>
#include <cstdint>

#include "appsManager/AMDeleteExecutor.h"
#include "appsManager/AMPublicUtilities.h"
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

constexpr const char* kQuestion = "Do your want to Remove the selected %@ language(s)?";

bool isColumn(const NSTableColumn* column, const char* identifier) {
    return column && column->identifier() == identifier;
}

Ref<NSImageCell> imageCell(const Ref<NSImage>& image) {
    auto cell = NSImageCell::make();
    cell->setImage(image);
    return cell;
}

}  // namespace

// --- Opening --------------------------------------------------------------------------------

void ShowRemoveLagWindowController::awakeFromNib() {
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
        uninstallButton_->setTextWithName("Remove", 12);
    }
}

void ShowRemoveLagWindowController::windowDidLoad() {
    NSWindowController::windowDidLoad();
    if (NSWindow* w = window()) {
        if (NSButton* close = w->standardWindowButton(NSWindowCloseButton)) {
            close->setTarget(weak_from_this());
            close->setAction(SEL("closeWindow:"));
        }
        for (NSWindowButton kind : {NSWindowMiniaturizeButton, NSWindowZoomButton})
            if (NSButton* button = w->standardWindowButton(kind)) button->setHidden(true);
        w->center();
        w->setMovableByWindowBackground(true);
        w->setOpaque(false);
        w->setBackgroundColor(NSColor::clearColor());
    }

    // Everything starts ticked, entry by entry in order.
    selectDeletePath_.clear();
    for (const Ref<RemovalSelectionEntry>& entry : allRelaltedFiles_)
        for (const Ref<ZRTreeNode>& leaf : entry->leaves())
            selectDeletePath_.push_back(leaf);

    if (outlineView_) {
        if (!allRelaltedFiles_.empty()) outlineView_->reloadData();
        rootArr_.clear();
        outlineView_->setSelectCellBackgroundColorWithRow(-1);
        if (Ref<NSObject> first = outlineView_->itemAtRow(0)) outlineView_->expandItem(first);
        outlineView_->setTarget(weak_from_this());
        outlineView_->setDoubleAction(SEL("openOrClose"));
    }
    setNodeLabelStyle();
}

void ShowRemoveLagWindowController::doExpandItem() {
    if (!isWindowLoaded() || !outlineView_) return;
    for (const Ref<RemovalSelectionEntry>& entry : allRelaltedFiles_)
        outlineView_->expandItem(entry);
    reloadCellBackgroundColor();
}

void ShowRemoveLagWindowController::setNodeLabelStyle() {
    const std::string number =
        ns::stringWithFormat("%d", static_cast<int>(allRelaltedFiles_.size()));
    const std::string text = ns::stringWithFormat(kQuestion, number);
    auto question = NSMutableAttributedString::make(text);
    // Ranges count UTF-16 units; the search answers bytes.
    NSRange found = ns::rangeOfString(text, number);
    if (found.location != NSNotFound) {
        NSRange range{ns::length(std::string_view(text).substr(0, found.location)),
                      ns::length(number)};
        question->addAttribute(NSFontAttributeName, TCPublicUtilities::regularFontOfSize(20),
                               range);
        question->addAttribute(
            NSForegroundColorAttributeName,
            NSColor::colorWithDeviceRed(49 / 255.0, 190 / 255.0, 106 / 255.0, 1.0), range);
    }
    auto centred = NSMutableParagraphStyle::defaultParagraphStyle();
    centred->setAlignment(NSCenterTextAlignment);
    question->addAttribute(NSParagraphStyleAttributeName, centred, NSRange{0, question->length()});
    if (nodeLabel_) {
        nodeLabel_->setAttributedStringValue(question);
        nodeLabel_->setNeedsDisplay(true);
    }
}

// --- Buttons --------------------------------------------------------------------------------

void ShowRemoveLagWindowController::clickedCancelBtn(NSObject* sender) {
    closeWindow(sender);
}

void ShowRemoveLagWindowController::closeWindow(NSObject*) {
    if (isWindowLoaded())
        if (NSWindow* w = window()) w->close();
    if (auto app = NSApplication::sharedApplication()) app->stopModal();
}

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

void ShowRemoveLagWindowController::clickButtonAction(NewButton*) {
    selectRemoveLanguage();
}

void ShowRemoveLagWindowController::selectRemoveLanguage() {
    if (!outlineView_) return;
    Ref<NSObject> object = outlineView_->itemAtRow(outlineView_->selectedRow());
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
    if (uninstallButton_) uninstallButton_->setButtonEnabled(!selectDeletePath_.empty());
    outlineView_->reloadData();
}

// --- Expanding and highlight ----------------------------------------------------------------

void ShowRemoveLagWindowController::openOrClose() {
    if (!outlineView_) return;
    outlineView_->setSelectCellBackgroundColorWithRow(-1);
    Ref<NSObject> item = outlineView_->itemAtRow(outlineView_->clickedRow());
    if (!item) return;
    if (outlineView_->isItemExpanded(item))
        outlineView_->collapseItem(item);
    else
        outlineView_->expandItem(item);
    if (!rootArr_.empty()) reloadCellBackgroundColor();
}

void ShowRemoveLagWindowController::reloadCellBackgroundColor() {
    if (!outlineView_) return;
    rootArr_.clear();
    for (long row = 0; row < outlineView_->numberOfRows(); ++row) {
        if (!entryFor(outlineView_->itemAtRow(row))) continue;
        std::string text = ns::stringWithFormat("%d", static_cast<int>(row));
        if (std::find(rootArr_.begin(), rootArr_.end(), text) == rootArr_.end())
            rootArr_.push_back(text);
    }
    outlineView_->setIsRootArr(rootArr_);
    outlineView_->setNeedsDisplay(true);
}

std::optional<bool> ShowRemoveLagWindowController::shouldSelectItem(NSOutlineView* outline,
                                                                    const Ref<NSObject>& item) {
    if (auto* mine = dynamic_cast<MyNewOutlineView*>(outline))
        mine->setSelectCellBackgroundColorWithRow(static_cast<int>(outline->rowForItem(item)));
    newSelectItem_ = item;
    return true;
}

void ShowRemoveLagWindowController::outlineViewSelectionDidChange(const NSNotification&) {
    Ref<NSObject> now = newSelectItem_.lock();
    if (now == oldSelectItem_.lock() && outlineView_) {
        // The selection changed without a new row approved: the highlight goes.
        outlineView_->setSelectCellBackgroundColorWithRow(-1);
        newSelectItem_.reset();
        now = nullptr;
        outlineView_->setNeedsDisplay(true);
    }
    oldSelectItem_ = now;
}

// --- The tree -------------------------------------------------------------------------------

long ShowRemoveLagWindowController::numberOfChildrenOfItem(NSOutlineView* outline,
                                                           const Ref<NSObject>& item) {
    if (!item) return static_cast<long>(allRelaltedFiles_.size());
    Ref<RemovalSelectionEntry> entry = entryFor(item);
    if (!entry) return 0;
    if (outline) {
        const long row = outline->rowForItem(item);
        std::string text = ns::stringWithFormat("%d", static_cast<int>(row));
        if (row >= 0 && std::find(rootArr_.begin(), rootArr_.end(), text) == rootArr_.end())
            rootArr_.push_back(text);
        if (auto* mine = dynamic_cast<MyNewOutlineView*>(outline)) mine->setIsRootArr(rootArr_);
        outline->setNeedsDisplay(true);
    }
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
        if (isColumn(column, "Name")) return entry->title();
        std::uint64_t total = 0;
        for (const Ref<ZRTreeNode>& leaf : entry->leaves())
            total += AMPublicUtilities::volSpaceFromString(leaf->size());
        return AMPublicUtilities::convertVolSpace(total);
    }
    if (auto leaf = std::dynamic_pointer_cast<ZRTreeNode>(item)) {
        if (isColumn(column, "Name")) return leaf->title();
        if (isColumn(column, "Size")) return leaf->size();
    }
    return {};
}

void ShowRemoveLagWindowController::willDisplayCell(NSOutlineView* outline, NSCell* cell,
                                                    NSTableColumn* column,
                                                    const Ref<NSObject>& item) {
    if (!cell || !column || !item) return;
    Ref<RemovalSelectionEntry> entry = entryFor(item);
    auto leaf = entry ? nullptr : std::dynamic_pointer_cast<ZRTreeNode>(item);
    if (isColumn(column, "Name")) {
        auto* name = dynamic_cast<NewButton*>(cell);
        if (!name || (!entry && !leaf)) return;
        name->setImagePosition(NSImageLeft);
        name->setDelegate(weak_from_this());
        name->setTarget(weak_from_this());
        name->setIsSelect(outline && outline->itemAtRow(outline->selectedRow()) == item);
        name->setEditable(true);
        name->setTitle("");
        const char* tick = "unsel";
        if (entry) {
            const long ticked = tickedCount(*entry);
            if (ticked > 0 && ticked == static_cast<long>(entry->leaves().size()))
                tick = "sel";
            else if (ticked > 0)
                tick = "halfsel";
        } else if (isTicked(leaf.get())) {
            tick = "sel";
        }
        name->setSelectImageCell(imageCell(NSImage::imageNamed(tick)));
        auto label = NSTextFieldCell::make();
        label->setEditable(false);
        label->setDrawsBackground(false);
        label->setBackgroundColor(NSColor::clearColor());
        label->setLineBreakMode(NSLineBreakByTruncatingTail);
        label->setFont(NSFont::systemFontOfSize(14));
        label->setStringValue(entry ? entry->title() : leaf->title());
        name->setLabel(label);
        const Ref<ZRTreeNode>& shown = entry ? entry->image() : leaf;
        name->setIconImageCell(imageCell(shown ? shown->image() : nullptr));
        return;
    }
    if (isColumn(column, "open")) {
        if (entry) {
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

std::optional<bool> ShowRemoveLagWindowController::shouldEditTableColumn(NSOutlineView*,
                                                                         NSTableColumn*,
                                                                         const Ref<NSObject>&) {
    return false;
}

std::optional<bool> ShowRemoveLagWindowController::shouldSelectTableColumn(NSOutlineView*,
                                                                           NSTableColumn*) {
    return false;
}

// --- Runtime --------------------------------------------------------------------------------

void ShowRemoveLagWindowController::registerClass() {
    ClassRegistry::shared()
        .registerClass<ShowRemoveLagWindowController, NSWindowController>(
            "ShowRemoveLagWindowController")
        .outlet("cancelButton", &ShowRemoveLagWindowController::setCancelButton)
        .outlet("uninstallButton", &ShowRemoveLagWindowController::setUninstallButton)
        .outlet("outlineView", &ShowRemoveLagWindowController::setOutlineView)
        .outlet("nodeLabel", &ShowRemoveLagWindowController::setNodeLabel)
        .action("clickedCancelBtn:", &ShowRemoveLagWindowController::clickedCancelBtn)
        .action("closeWindow:", &ShowRemoveLagWindowController::closeWindow)
        .action("clickedDeleteBtn:", &ShowRemoveLagWindowController::clickedDeleteBtn)
        .method("doRemove", &ShowRemoveLagWindowController::doRemove)
        .method("doExpandItem", &ShowRemoveLagWindowController::doExpandItem)
        .method("selectRemoveLanguage", &ShowRemoveLagWindowController::selectRemoveLanguage)
        .method("openOrClose", &ShowRemoveLagWindowController::openOrClose)
        .method("reloadCellBackgroundColor",
                &ShowRemoveLagWindowController::reloadCellBackgroundColor);
}
