#include "controls/rowcells/RemoveButtonCell.h"

#include <cmath>

#include "controls/rowcells/RemoveButtonCellDelegate.h"
#include "platform/appkit/NSView.h"
#include "platform/foundation/Clock.h"
#include "platform/graphics/NSImage.h"

namespace {

// The latch is touched on the main thread only (hit tests and delayed performs run there).
int gClickLatch = 0;
// When the latch was last raised, on the shared clock.
double gRaisedAt = 0;
// The cell whose changeVlaue: is scheduled to lower the latch.
WeakRef<NSObject> gScheduledOn;

/// Whether the latch refuses clicks now. The scheduled changeVlaue: normally lowers it; when
/// that perform never comes (cancelled, its run loop gone, or a cell that could not schedule
/// it), the latch lowers itself once its second is over, so the trash buttons never stay
/// dead. A clock that went back (another clock installed) also ends it.
bool latchHolds() {
    if (gClickLatch <= 0) return false;
    const double elapsed = Clock::shared()->now() - gRaisedAt;
    if (elapsed >= 0 && elapsed < RemoveButtonCell::kClickLatchSeconds) return true;
    gClickLatch = 0;
    return false;
}

}  // namespace

int RemoveButtonCell::clickLatch() {
    return latchHolds() ? gClickLatch : 0;
}

void RemoveButtonCell::resetClickLatchForTesting() {
    if (Ref<NSObject> previous = gScheduledOn.lock())
        cancelPreviousPerformRequestsWithTarget(previous.get(), SEL("changeVlaue:"));
    gScheduledOn.reset();
    gClickLatch = 0;
    gRaisedAt = 0;
}

NSRect RemoveButtonCell::selectImageRectForBounds(NSRect bounds) const {
    if (!selectImageCell_) return NSZeroRect;
    return NSMakeRect(bounds.origin.x + 27,
                      bounds.origin.y + std::ceil((bounds.size.height - 26) / 2), 26, 26);
}

NSRect RemoveButtonCell::clickAreaForBounds(NSRect bounds) {
    return NSMakeRect(bounds.origin.x + 27, bounds.origin.y + 10, 26, 26);
}

void RemoveButtonCell::showImageNamed(const char* name) {
    if (selectImageCell_) selectImageCell_->setImage(NSImage::imageNamed(name));
}

void RemoveButtonCell::drawWithFrame(NSRect cellFrame, NSView* controlView) {
    if (!selectImageCell_) selectImageCell_ = NSImageCell::make();
    showImageNamed(isIn_ ? "icon_trash_hover" : "icon_trash");
    selectImageCell_->drawWithFrame(selectImageRectForBounds(cellFrame), controlView);
    NSButtonCell::drawWithFrame(cellFrame, controlView);
}

bool RemoveButtonCell::startTrackingAt(NSPoint, NSView*) {
    showImageNamed("icon_trash_hover");
    return true;
}

void RemoveButtonCell::stopTracking(NSPoint, NSPoint, NSView*, bool) {
    showImageNamed("icon_trash");
}

NSCellHitResult RemoveButtonCell::hitTestForEvent(NSEvent& event, NSRect cellFrame,
                                                  NSView* controlView) {
    if (latchHolds()) return NSCellHitNone;
    const NSRect area = clickAreaForBounds(cellFrame);
    const NSCellHitResult base = NSButtonCell::hitTestForEvent(event, area, controlView);
    if (!controlView) return NSCellHitNone;
    NSPoint p = controlView->convertPoint(event.locationInWindow(), nullptr);
    if (!NSMouseInRect(p, area, controlView->isFlipped())) return NSCellHitNone;
    // Raised before the delegate hears of the click: a delegate that runs a loop of its own
    // (a dialog) must not let a second trash click through meanwhile.
    // A lowering still pending from an earlier click whose second ran out without it must
    // not cut this click's second short.
    if (Ref<NSObject> previous = gScheduledOn.lock())
        cancelPreviousPerformRequestsWithTarget(previous.get(), SEL("changeVlaue:"));
    ++gClickLatch;
    gRaisedAt = Clock::shared()->now();
    gScheduledOn = weak_from_this();
    performSelectorAfterDelay(SEL("changeVlaue:"), {}, kClickLatchSeconds);
    Ref<NSObject> keep = delegate_.lock();
    if (auto* delegate = dynamic_cast<RemoveButtonCellDelegate*>(keep.get()))
        delegate->clickRemoveButtonAction(this);
    return base | NSCellHitTrackableArea;
}

void RemoveButtonCell::changeVlaue(NSObject*) {
    gClickLatch = 0;
}

Ref<NSCell> RemoveButtonCell::clone() const {
    return std::make_shared<RemoveButtonCell>(*this);
}

void RemoveButtonCell::registerClass() {
    ClassRegistry::shared()
        .registerClass<RemoveButtonCell, NSButtonCell>("RemoveButtonCell")
        .action("changeVlaue:", &RemoveButtonCell::changeVlaue)
        .outlet("selectImageCell", &RemoveButtonCell::setSelectImageCell)
        .outlet("delegate", &RemoveButtonCell::delegate_);
}
