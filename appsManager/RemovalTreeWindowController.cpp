#include "appsManager/RemovalTreeWindowController.h"

#include "appsManager/CountHeadline.h"
#include "controls/buttons/DialogButtonStyle.h"
#include "controls/buttons/TextImageButton.h"
#include "controls/lists/MyNewOutlineView.h"
#include "windows/DialogWindowStyle.h"

void RemovalTreeWindowController::awakeFromNib() {
    NSWindowController::awakeFromNib();
    DialogButtonStyle::secondary(cancelButton_.get(), "Cancel");
    DialogButtonStyle::primary(uninstallButton_.get(), confirmTitle_);
}

void RemovalTreeWindowController::windowDidLoad() {
    NSWindowController::windowDidLoad();
    // A dialog: only the close button shows.
    DialogWindowStyle::apply(window(), weak_from_this(), SEL("closeWindow:"));
}

void RemovalTreeWindowController::setNodeLabelStyle() {
    CountHeadline::show(nodeLabel_.get(), question_, groupCount());
}

void RemovalTreeWindowController::clickedCancelBtn(NSObject* sender) {
    closeWindow(sender);
}

void RemovalTreeWindowController::closeWindow(NSObject*) {
    DialogWindowStyle::closeAndStopModal(*this);
}

void RemovalTreeWindowController::clickButtonAction(NewButton*) {
    selectRemoveLanguage();
}

std::optional<bool> RemovalTreeWindowController::shouldSelectItem(NSOutlineView* outline,
                                                                  const Ref<NSObject>& item) {
    rows_.shouldSelect(outline, item);
    return true;
}

std::optional<bool> RemovalTreeWindowController::shouldEditTableColumn(NSOutlineView*,
                                                                       NSTableColumn*,
                                                                       const Ref<NSObject>&) {
    return false;
}

std::optional<bool> RemovalTreeWindowController::shouldSelectTableColumn(NSOutlineView*,
                                                                         NSTableColumn*) {
    return false;
}

void RemovalTreeWindowController::outlineViewSelectionDidChange(const NSNotification&) {
    rows_.selectionDidChange(outlineView_.get());
}

void RemovalTreeWindowController::registerClass() {
    ClassRegistry::shared()
        .registerClass<RemovalTreeWindowController, NSWindowController>(
            "RemovalTreeWindowController")
        .outlet("cancelButton", &RemovalTreeWindowController::setCancelButton)
        .outlet("uninstallButton", &RemovalTreeWindowController::setUninstallButton)
        .outlet("outlineView", &RemovalTreeWindowController::setOutlineView)
        .outlet("nodeLabel", &RemovalTreeWindowController::setNodeLabel)
        .action("clickedCancelBtn:", &RemovalTreeWindowController::clickedCancelBtn)
        .action("closeWindow:", &RemovalTreeWindowController::closeWindow);
}
