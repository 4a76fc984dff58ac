#include "windows/TabBarView.h"

#include "platform/appkit/NSWindow.h"

void TabBarView::awakeFromNib() {
    NSView::awakeFromNib();
    if (closeButton_) return;
    closeButton_ = makeButton(NSMakeRect(0, 2, 12, 12), "close", "clickCloseButton:");
    minButton_ = makeButton(NSMakeRect(18, 2, 12, 12), "minimize", "clickMinimizeButton:");
    zoomButton_ = makeButton(NSMakeRect(36, 2, 12, 12), "zoom", "clickZoomButton:");
    trackingArea_ =
        NSTrackingArea::make(bounds(), NSTrackingMouseEnteredAndExited | NSTrackingActiveAlways,
                             std::static_pointer_cast<NSResponder>(self()));
    addTrackingArea(trackingArea_);
}

Ref<HMTrafficButtonsContainer> TabBarView::makeButton(NSRect frame, const char* idStr,
                                                      const char* action) {
    auto button = HMTrafficButtonsContainer::make(frame);
    button->setIdStr(idStr);
    button->setTarget(self());
    button->setAction(SEL(action));
    button->setFocusRingType(NSFocusRingTypeNone);
    addSubview(button);
    button->setup();
    return button;
}

void TabBarView::mouseEntered(NSEvent&) {
    NSNotificationCenter::defaultCenter().postNotificationName(HMTrafficButtonMouseEnter, this);
}

void TabBarView::mouseExited(NSEvent&) {
    NSNotificationCenter::defaultCenter().postNotificationName(HMTrafficButtonMouseExit, this);
}

void TabBarView::clickCloseButton(NSObject*) {
    // The delegate may take the strip out of its window or drop it: keep it, and look the
    // window up only afterwards.
    Ref<NSObject> keep = weak_from_this().lock();
    Ref<NSObject> retainedDelegate;
    TabBarVDelegate* answering = nullptr;
    {
        std::lock_guard lock(delegateMutex_);
        retainedDelegate = delegate_;
        answering = answeringDelegate_;
    }
    if (answering) answering->closeWindowAction();
    if (NSWindow* w = window()) w->close();
}

void TabBarView::clickMinimizeButton(NSObject* sender) {
    if (NSWindow* w = window()) w->miniaturize(sender);
}

void TabBarView::clickZoomButton(NSObject* sender) {
    if (NSWindow* w = window()) w->zoom(sender);
}

Ref<NSObject> TabBarView::delegate() const {
    std::lock_guard lock(delegateMutex_);
    return delegate_;
}

void TabBarView::setDelegate(const Ref<NSObject>& delegate) {
    std::lock_guard lock(delegateMutex_);
    delegate_ = delegate;
    // Whether the delegate answers is decided once, when it is set.
    answeringDelegate_ = dynamic_cast<TabBarVDelegate*>(delegate.get());
}

void TabBarView::registerClass() {
    ClassRegistry::shared()
        .registerClass<TabBarView, NSView>("TabBarView")
        .outlet("delegate", &TabBarView::setDelegate)
        .action("clickCloseButton:", &TabBarView::clickCloseButton)
        .action("clickMinimizeButton:", &TabBarView::clickMinimizeButton)
        .action("clickZoomButton:", &TabBarView::clickZoomButton);
}
