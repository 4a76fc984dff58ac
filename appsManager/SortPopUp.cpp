#include "appsManager/SortPopUp.h"

#include "appsManager/SortViewController.h"
#include "windows/PopWindow/StatusAttachedWindow.h"

SortPopUp::~SortPopUp() {
    drop();
}

void SortPopUp::open(NSWindow* parent, NSObject& owner, const Ref<NSObject>& delegate) {
    isPopSortWin_ = true;
    if (!sortVC_) {
        sortVC_ = SortViewController::make();
        sortVC_->setDelegate(delegate);
    }
    drop();
    // The close timer of a replaced pop-up must not close the new one early.
    NSObject::cancelPreviousPerformRequestsWithTarget(&owner, SEL("isHiddenWindow"));
    if (!sortVC_->view() || !parent) return;
    window_ =
        StatusAttachedWindow::make(sortVC_->viewRef(), NSMakePoint(395, 419), parent, 3, 0, 0.8f);
    if (!window_) return;
    parent_ = parent;
    parent->addChildWindow(window_.get(), NSWindowAbove);
    window_->orderFront();
    owner.performSelectorAfterDelay(SEL("isHiddenWindow"), {}, 2.0);
}

void SortPopUp::drop() {
    Ref<StatusAttachedWindow> popUp = std::move(window_);
    if (!popUp) return;
    if (parent_) parent_->removeChildWindow(popUp.get());
    popUp->orderOut();
}

void SortPopUp::hideIfAway() {
    if (isPopSortWin_) drop();
}

void SortPopUp::pointerExited(bool exited) {
    isPopSortWin_ = exited;
    if (exited) hideIfAway();
}

void SortPopUp::choiceMade() {
    isPopSortWin_ = true;
    hideIfAway();
}
