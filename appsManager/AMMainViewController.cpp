#include "appsManager/AMMainViewController.h"

#include <sys/stat.h>

#include <cerrno>

#include <utility>

#include "appsManager/AMAppItem.h"
#include "appsManager/AMAppsViewController.h"
#include "appsManager/AMPublicUtilities.h"
#include "appsManager/AMRelatedFilesGroup.h"
#include "appsManager/AMRelatedFilesWindowController.h"
#include "appsManager/RelatedAppFilesScanner.h"
#include "controls/buttons/TCImageButton.h"
#include "controls/lists/CustomTableView.h"
#include "controls/searchbox/NewSearchTextFiled.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSImageView.h"
#include "platform/appkit/NSProgressIndicator.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/NSWindow.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "services/Palette.h"
#include "services/TCPublicUtilities.h"

namespace {

constexpr NSRect kListFrame = {{0, 16}, {800, 480}};

AMMainViewController::ReviewRunner gReviewRunner = nullptr;
void* gReviewRunnerContext = nullptr;

std::vector<std::string> searchPathsForKind(int kind) {
    switch (kind) {
        case 1:
            return AMPublicUtilities::pluginPaths();
        case 2:
            return AMPublicUtilities::preferencePanePaths();
        case 3:
            return AMPublicUtilities::widgetPaths();
        default:
            return AMPublicUtilities::applicationPaths();
    }
}

/// Whether nothing is left at `path` (not even a dangling link).
bool isGone(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

/// Takes the focus from `field` when it (or its editor) has it.
void resignFocus(NSTextField* field) {
    if (!field) return;
    NSWindow* window = field->window();
    if (!window) return;
    NSResponder* focus = window->firstResponder();
    if (focus == field || (field->currentEditor() && focus == field->currentEditor()))
        window->makeFirstResponder(nullptr);
}

}  // namespace

AMMainViewController::AMMainViewController() = default;

AMMainViewController::~AMMainViewController() {
    NSObject::cancelPreviousPerformRequestsWithTarget(this);
    sortPopUp_.drop();
}

std::pair<std::string, std::string> AMMainViewController::headlineFor(int entry) {
    switch (entry) {
        case 1:
            return {"Plugins", "Uninstall useless plug-ins to save more disk space."};
        case 2:
            return {"PreferencesPanes",
                    "Uninstall useless PreferencesPanes to save more disk space."};
        case 3:
            return {"Widgets", "Uninstall useless Widgets to save more disk space."};
        case 4:
            return {"multi-language", "Remove unnecessary multi-language files."};
        case 5:
            return {" ", " "};
        default:
            return {"Applications", "Easily and completely uninstall unnecessary applications."};
    }
}

// --- Building and switching -------------------------------------------------------------------

AMAppsViewController* AMMainViewController::listOfKind(int kind) const {
    if (kind < 0 || kind > 3) return nullptr;
    return lists_[static_cast<std::size_t>(kind)].get();
}

AMAppsViewController* AMMainViewController::ensureList(int kind) {
    if (kind < 0 || kind > 3) return nullptr;
    Ref<AMAppsViewController>& slot = lists_[static_cast<std::size_t>(kind)];
    if (!slot) {
        slot = AMAppsViewController::make();
        slot->setAppsType(kind);
        slot->setDelegate(weak_from_this());
        slot->setSearchPaths(searchPathsForKind(kind));
        // Loading the view starts the list's first scan.
        if (NSView* listView = slot->view()) listView->setFrame(kListFrame);
    }
    return slot.get();
}

void AMMainViewController::loadAmMainVC() {
    NSView* root = view();
    if (!root || built_) return;
    built_ = true;
    const auto regular = TCPublicUtilities::getRegularFontName();
    const auto light = TCPublicUtilities::getLightFontName();
    if (titleLabel_) {
        titleLabel_->setFont(NSFont::fontWithName(regular.value_or(""), 24));
        titleLabel_->setTextColor(Palette::titleWhite());
    }
    if (nodeLabel_) {
        nodeLabel_->setFont(NSFont::fontWithName(light.value_or(""), 13));
        nodeLabel_->setTextColor(Palette::subtitleWhite());
    }
    if (selectLabel_) selectLabel_->setStringValue(" ");

    if (AMAppsViewController* apps = ensureList(0)) {
        if (NSView* listView = apps->view()) {
            listView->setFrame(kListFrame);
            root->addSubview(apps->viewRef());
        }
    }
    auto self = weak_from_this();

    uninstallButton_ = TCImageButton::make();
    uninstallButton_->setImageFromFileNormalName("btn_uninstall_b_hover", "btn_uninstall_b_press",
                                                 "btn_uninstall_b_normal",
                                                 "btn_uninstall_b_disable");
    uninstallButton_->setFrame(NSMakeRect(642, 566, 138, 36));
    uninstallButton_->setEnabled(false);
    uninstallButton_->setTarget(self);
    uninstallButton_->setAction(SEL("uninstallAllSelectApps:"));
    root->addSubview(uninstallButton_);

    if (selectAllBut_) {
        selectAllBut_->setImageFromFileNormalName("btn_selall", "btn_selall_press",
                                                  "btn_selall_hover", "btn_selall_disable");
        selectAllBut_->setEnabled(true);
        selectAllBut_->setTarget(self);
        selectAllBut_->setAction(SEL("selectAllButtonAction:"));
    }
    if (sortByBut_) {
        sortByBut_->setImageFromFileNormalName("btn_sortby", "btn_sortby_press", "btn_sortby_hover",
                                               "btn_sortby_disable");
        sortByBut_->setEnabled(true);
        sortByBut_->setTarget(self);
        sortByBut_->setAction(SEL("sortButtonAction:"));
    }

    seachTextField_ = NewSearchTextFiled::make();
    if (NSView* box = seachTextField_->view()) {
        box->setFrame(NSMakeRect(556, 504, 200, 32));
        root->addSubview(seachTextField_->viewRef());
    }
    seachTextField_->setSearchDelegate(self.lock());
    // The screen's search button is the search box's own.
    if (!searchButton_) searchButton_ = seachTextField_->searchButton().get();

    refreshButton_ = TCImageButton::make(NSMakeRect(768, 512, 16, 16));
    refreshButton_->setImageFromFileNormalName("ic_refresh", "ic_refresh_press", "ic_refresh_hover",
                                               "ic_refresh");
    refreshButton_->setFrameOrigin(NSMakePoint(768, 512));
    refreshButton_->setEnabled(true);
    refreshButton_->setTarget(self);
    refreshButton_->setAction(SEL("refashButtonAction:"));
    root->addSubview(refreshButton_);

    changeTopBarViewWith(aSelectType_);
}

void AMMainViewController::selectShowTypes(int kind) {
    for (const Ref<AMAppsViewController>& list : lists_)
        if (list && list->isViewLoaded() && list->view()) list->view()->removeFromSuperview();
    aSelectType_ = kind;
    if (kind < 0 || kind > 3) return;
    const bool existed = listOfKind(kind) != nullptr;
    AMAppsViewController* list = ensureList(kind);
    if (!list) return;
    list->changeSelectAllButtonState();
    NSView* root = view();
    NSView* listView = list->view();
    if (!root || !listView) return;
    root->addSubview(list->viewRef());
    // The empty image belongs to the list that found nothing, not to the next one shown.
    const bool empty = existed && !list->isScan() && list->showAllValues().empty();
    if (emptyIcon_) emptyIcon_->setHidden(!empty);
    listView->setHidden(empty);
}

void AMMainViewController::changeTopBarViewWith(int entry) {
    auto [title, subtitle] = headlineFor(entry);
    if (titleLabel_) titleLabel_->setStringValue(title);
    if (nodeLabel_) nodeLabel_->setStringValue(subtitle);
    aSelectType_ = entry;
    if (selectLabel_)
        selectLabel_->setFrameOrigin(NSMakePoint(getWidthWithTitle(title) + 16 + 5, 584));
}

double AMMainViewController::getWidthWithTitle(const std::string& title) {
    auto field = NSTextField::labelWithString(title);
    field->setFont(NSFont::fontWithName(TCPublicUtilities::getRegularFontName().value_or(""), 24));
    field->sizeToFit();
    return field->frame().size.width;
}

// --- The lists' reports -----------------------------------------------------------------------

void AMMainViewController::isSearchButtonEdit(bool editable) {
    WeakRef<NSObject> weak = weak_from_this();
    dispatch_async(dispatch_get_main_queue(), [weak, editable] {
        auto self = std::dynamic_pointer_cast<AMMainViewController>(weak.lock());
        if (!self) return;
        if (self->searchButton_) self->searchButton_->setEnabled(editable);
        if (NSProgressIndicator* spinner = self->progressView_) {
            if (editable) {
                spinner->stopAnimation(nullptr);
                spinner->setHidden(true);
            } else {
                spinner->setHidden(false);
                spinner->startAnimation(nullptr);
            }
        }
    });
}

void AMMainViewController::getAppEnd() {
    WeakRef<NSObject> weak = weak_from_this();
    dispatch_async(dispatch_get_main_queue(), [weak] {
        auto self = std::dynamic_pointer_cast<AMMainViewController>(weak.lock());
        if (!self) return;
        self->performSelectorAfterDelay(SEL("setRefrshButton"), {}, 1.0);
        if (self->emptyIcon_) self->emptyIcon_->setHidden(true);
        AMAppsViewController* list = self->currentList();
        if (!list || !list->isViewLoaded() || !list->view()) return;
        const bool empty = list->showAllValues().empty();
        list->view()->setHidden(empty);
        if (self->emptyIcon_) self->emptyIcon_->setHidden(!empty);
    });
}

void AMMainViewController::changeUninstallState(int count, float totalSize,
                                                const std::string& label) {
    if (selectLabel_) {
        auto styled = NSMutableAttributedString::make(label);
        const std::string number =
            AMPublicUtilities::getSizeNoB(static_cast<std::uint64_t>(totalSize));
        const std::string countText = std::to_string(count);
        const NSAttributes green = {{NSForegroundColorAttributeName, Palette::accentGreen()},
                                    {NSFontAttributeName, NSFont::systemFontOfSize(14)}};
        for (const std::string& part : {number, countText}) {
            NSRange found = ns::rangeOfString(styled->string(), part);
            if (found.location != NSNotFound && found.length > 0)
                styled->addAttributes(green, found);
        }
        auto paragraph = NSMutableParagraphStyle::defaultParagraphStyle();
        paragraph->setAlignment(NSLeftTextAlignment);
        styled->addAttribute(NSParagraphStyleAttributeName, paragraph,
                             NSMakeRange(0, styled->length()));
        selectLabel_->setAttributedStringValue(styled);
        selectLabel_->setNeedsDisplay(true);
    }
    if (uninstallButton_) uninstallButton_->setEnabled(count >= 1);
}

// --- The uninstall road -----------------------------------------------------------------------

void AMMainViewController::uninstallAllSelectApps(NSObject*) {
    std::vector<Ref<AMAppItem>> items;
    if (AMAppsViewController* list = currentList()) items = list->uninsatllAppArr();
    // Nothing ticked (the button is then disabled): no review to show.
    if (items.empty()) return;
    isUninsatllOne_ = false;
    WeakRef<NSObject> weak = weak_from_this();
    dispatch_async(
        dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0),
        [weak, items = std::move(items)] {
            std::vector<Ref<AMRelatedFilesGroup>> groups;
            for (const Ref<AMAppItem>& item : items)
                groups.push_back(AMRelatedFilesGroup::make(
                    RelatedAppFilesScanner::relatedFilesToApplicationAtPath(item->path())));
            dispatch_async(dispatch_get_main_queue(), [weak, groups = std::move(groups)]() mutable {
                if (auto self = std::dynamic_pointer_cast<AMMainViewController>(weak.lock()))
                    self->openReview(std::move(groups));
            });
        });
}

void AMMainViewController::searchRelatedFiles(AMAppItem*) {
    AMAppsViewController* list = currentList();
    CustomTableView* table = list ? list->tableView() : nullptr;
    if (!table || table->selectedRow() < 0) return;
    isUninsatllOne_ = true;
    selectedRow_ = table->selectedRow();
    std::vector<std::string> paths;
    const auto& shown = list->showAllValues();
    for (long row : table->selectedRowIndexes().indexes()) {
        const auto index = static_cast<std::size_t>(row);
        if (index < shown.size() && shown[index]) paths.push_back(shown[index]->path());
    }
    if (paths.empty()) return;
    WeakRef<NSObject> weak = weak_from_this();
    dispatch_async(
        dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0),
        [weak, paths = std::move(paths)] {
            // One group for the whole choice; a path found for two bundles is listed once.
            AMAppItemGroup joined;
            for (const std::string& path : paths)
                for (const Ref<AMAppItem>& record :
                     RelatedAppFilesScanner::relatedFilesToApplicationAtPath(path))
                    AMAppendItemUnlessListed(joined, record);
            std::vector<Ref<AMRelatedFilesGroup>> groups{
                AMRelatedFilesGroup::make(std::move(joined))};
            dispatch_async(dispatch_get_main_queue(), [weak, groups = std::move(groups)]() mutable {
                if (auto self = std::dynamic_pointer_cast<AMMainViewController>(weak.lock()))
                    self->openReview(std::move(groups));
            });
        });
}

void AMMainViewController::setReviewRunnerForTesting(ReviewRunner runner, void* context) {
    gReviewRunner = runner;
    gReviewRunnerContext = context;
}

void AMMainViewController::openReview(std::vector<Ref<AMRelatedFilesGroup>> groups) {
    relatedFilesWinController_ = AMRelatedFilesWindowController::make();
    relatedFilesWinController_->setDelegate(
        std::dynamic_pointer_cast<RelatedFilesCleanDelegate>(shared_from_this()));
    relatedFilesWinController_->setAllRelaltedFiles(
        std::make_shared<AMRelatedFilesGroupList>(std::move(groups)));
    // The dialog may end the road while it runs; keep both alive until it returns.
    Ref<NSObject> keepSelf = shared_from_this();
    Ref<AMRelatedFilesWindowController> review = relatedFilesWinController_;
    NSWindow* window = review->window();
    if (!window) return;
    window->center();
    if (gReviewRunner) {
        gReviewRunner(review.get(), gReviewRunnerContext);
        return;
    }
    NSApplication::sharedApplication()->runModalForWindow(window);
}

void AMMainViewController::completeCleanRelatedFiles() {
    AMAppsViewController* list = currentList();
    if (!list) return;
    if (isUninsatllOne_) {
        const auto& shown = list->showAllValues();
        if (selectedRow_ >= 0 && static_cast<std::size_t>(selectedRow_) < shown.size()) {
            Ref<AMAppItem> item = shown[static_cast<std::size_t>(selectedRow_)];
            // The row goes when its bundle went; one that is still on disk (the removal was
            // refused or failed) stays listed.
            if (item && isGone(item->path())) list->removeShownItemAtIndex(selectedRow_);
        }
    } else {
        list->clearTickedAndShownItems();
        refrshApplication();
    }
    list->setTableName();
    list->reloadTable();
}

// --- Search, refresh and sort -----------------------------------------------------------------

void AMMainViewController::doSearchWithKey(const std::optional<std::string>& key) {
    searchNameWithKey(key);
}

void AMMainViewController::searchCancelButtonAction() {
    searchNameWithKey(std::string());
}

void AMMainViewController::searchNameWithKey(const NSStringOpt& key) {
    if (AMAppsViewController* list = currentList()) list->searchNameWithKey(key);
}

void AMMainViewController::selectAllButtonAction(NSObject*) {
    if (AMAppsViewController* list = currentList()) list->selectAllButtonAction(nullptr);
}

void AMMainViewController::refrshApplication() {
    if (AMAppsViewController* list = currentList()) list->getApplications();
}

void AMMainViewController::setRefrshButton() {
    refrashEnd();
}

void AMMainViewController::refrashEnd() {
    if (seachTextField_) {
        if (Ref<NSTextField> field = seachTextField_->textField()) {
            // A search typed in the second after the scan ended is emptied with its box: the
            // list shows every row again instead of staying filtered by a key no longer shown.
            if (!field->stringValue().empty()) {
                searchCleanText();
            } else {
                field->setStringValue("");
                resignFocus(field.get());
            }
        }
    }
    if (refreshButton_) refreshButton_->setEnabled(true);
}

void AMMainViewController::searchCleanText() {
    if (seachTextField_) {
        if (Ref<NSTextField> field = seachTextField_->textField()) {
            field->setStringValue("");
            resignFocus(field.get());
        }
        seachTextField_->clearTextFieldAction(nullptr);
    }
    searchNameWithKey(std::string());
}

void AMMainViewController::refashButtonAction(NSObject*) {
    if (refreshButton_) refreshButton_->setEnabled(false);
    refrshApplication();
    searchCleanText();
}

void AMMainViewController::sortButtonAction(NSObject*) {
    sortPopUp_.open(mainWindow_, *this, shared_from_this());
}

void AMMainViewController::isHiddenWindow() {
    sortPopUp_.hideIfAway();
}

void AMMainViewController::mouseEixtView(bool exited) {
    sortPopUp_.pointerExited(exited);
}

void AMMainViewController::sortActionBy(std::int32_t type, std::int32_t upDown) {
    if (AMAppsViewController* list = currentList()) list->sortByType(type, upDown);
    sortPopUp_.choiceMade();
}

void AMMainViewController::registerClass() {
    ClassRegistry::shared()
        .registerClass<AMMainViewController, NSViewController>("AMMainViewController")
        .outlet("titleLabel", &AMMainViewController::setTitleLabel)
        .outlet("nodeLabel", &AMMainViewController::setNodeLabel)
        .outlet("selectLabel", &AMMainViewController::setSelectLabel)
        .outlet("searchButton", &AMMainViewController::setSearchButton)
        .outlet("selectAllBut", &AMMainViewController::setSelectAllBut)
        .outlet("sortByBut", &AMMainViewController::setSortByBut)
        .outlet("emptyIcon", &AMMainViewController::setEmptyIcon)
        .outlet("progressView", &AMMainViewController::setProgressView)
        .action("uninstallAllSelectApps:", &AMMainViewController::uninstallAllSelectApps)
        .action("selectAllButtonAction:", &AMMainViewController::selectAllButtonAction)
        .action("sortButtonAction:", &AMMainViewController::sortButtonAction)
        .action("refashButtonAction:", &AMMainViewController::refashButtonAction)
        .method("setRefrshButton", &AMMainViewController::setRefrshButton)
        .method("isHiddenWindow", &AMMainViewController::isHiddenWindow);
}
