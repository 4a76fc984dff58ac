#include "appsManager/AMDisclosureArrowCell.h"

#include "platform/appkit/NSControl.h"
#include "platform/appkit/NSView.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/graphics/NSImage.h"

namespace {
// How far before its column the dialog's outline starts this column's cell frames.
constexpr double kLeadIn = 10;
}  // namespace

AMDisclosureArrowCell::AMDisclosureArrowCell() {
    setImageScaling(NSImageScaleNone);
}

NSRect AMDisclosureArrowCell::arrowAreaForBounds(NSRect bounds) const {
    if (bounds.size.width < kLeadIn + areaWidth_) return bounds;
    return NSMakeRect(bounds.origin.x + kLeadIn, bounds.origin.y, areaWidth_, bounds.size.height);
}

NSRect AMDisclosureArrowCell::imageRectForBounds(NSRect bounds) const {
    if (!image()) return NSZeroRect;
    bool flipped = controlView() && controlView()->isFlipped();
    return rectForImage(image()->size(), arrowAreaForBounds(bounds), NSImageScaleNone,
                        NSImageAlignCenter, flipped);
}

NSCellHitResult AMDisclosureArrowCell::hitTestForEvent(NSEvent& event, NSRect cellFrame,
                                                       NSView* controlView) {
    NSCellHitResult hit = NSImageCell::hitTestForEvent(event, cellFrame, controlView);
    if (hit == NSCellHitNone || !action_) return NSCellHitNone;
    return hit | NSCellHitTrackableArea;
}

bool AMDisclosureArrowCell::trackMouse(NSEvent& event, NSRect cellFrame, NSView* controlView,
                                       bool untilMouseUp) {
    Ref<NSObject> keep = weak_from_this().lock();
    const SEL action = action_;
    const WeakRef<NSObject> target = target_;
    if (!NSImageCell::trackMouse(event, cellFrame, controlView, untilMouseUp)) return false;
    if (auto* control = dynamic_cast<NSControl*>(controlView)) control->sendAction(action, target);
    return true;
}

void AMDisclosureArrowCell::registerClass() {
    ClassRegistry::shared()
        .registerClass<AMDisclosureArrowCell, NSImageCell>("AMDisclosureArrowCell")
        .property("areaWidth", &AMDisclosureArrowCell::setAreaWidth);
}
