#include "platform/appkit/NSSegmentedControl.h"

namespace {
NSSegmentedCell& cellOf(const NSSegmentedControl& control) {
    if (NSSegmentedCell* cell = control.cell()) return *cell;
    static NSSegmentedCell scratch;  // only when another kind of cell was set
    return scratch;
}
}  // namespace

Ref<NSCell> NSSegmentedControl::makeCell() const {
    return NSSegmentedCell::make();
}

NSSegmentedCell* NSSegmentedControl::cell() const {
    return dynamic_cast<NSSegmentedCell*>(NSControl::cell());
}

long NSSegmentedControl::segmentCount() const {
    return cellOf(*this).segmentCount();
}

void NSSegmentedControl::setSegmentCount(long count) {
    cellOf(*this).setSegmentCount(count);
    updateCell(NSControl::cell());
}

std::string NSSegmentedControl::labelForSegment(long segment) const {
    return cellOf(*this).labelForSegment(segment);
}

void NSSegmentedControl::setLabel(const std::string& label, long segment) {
    cellOf(*this).setLabel(label, segment);
    updateCell(NSControl::cell());
}

Ref<NSImage> NSSegmentedControl::imageForSegment(long segment) const {
    return cellOf(*this).imageForSegment(segment);
}

void NSSegmentedControl::setImage(const Ref<NSImage>& image, long segment) {
    cellOf(*this).setImage(image, segment);
    updateCell(NSControl::cell());
}

double NSSegmentedControl::widthForSegment(long segment) const {
    return cellOf(*this).widthForSegment(segment);
}

void NSSegmentedControl::setWidth(double width, long segment) {
    cellOf(*this).setWidth(width, segment);
    updateCell(NSControl::cell());
}

bool NSSegmentedControl::isEnabledForSegment(long segment) const {
    return cellOf(*this).isEnabledForSegment(segment);
}

void NSSegmentedControl::setEnabledForSegment(bool enabled, long segment) {
    cellOf(*this).setEnabledForSegment(enabled, segment);
    updateCell(NSControl::cell());
}

bool NSSegmentedControl::isSelectedForSegment(long segment) const {
    return cellOf(*this).isSelectedForSegment(segment);
}

void NSSegmentedControl::setSelected(bool selected, long segment) {
    cellOf(*this).setSelected(selected, segment);
    updateCell(NSControl::cell());
}

long NSSegmentedControl::selectedSegment() const {
    return cellOf(*this).selectedSegment();
}

void NSSegmentedControl::setSelectedSegment(long segment) {
    cellOf(*this).setSelectedSegment(segment);
    updateCell(NSControl::cell());
}

bool NSSegmentedControl::selectSegmentWithTag(long tag) {
    bool found = cellOf(*this).selectSegmentWithTag(tag);
    updateCell(NSControl::cell());
    return found;
}

NSSegmentSwitchTracking NSSegmentedControl::trackingMode() const {
    return cellOf(*this).trackingMode();
}

void NSSegmentedControl::setTrackingMode(NSSegmentSwitchTracking mode) {
    cellOf(*this).setTrackingMode(mode);
}

NSSegmentStyle NSSegmentedControl::segmentStyle() const {
    return cellOf(*this).segmentStyle();
}

void NSSegmentedControl::setSegmentStyle(NSSegmentStyle style) {
    cellOf(*this).setSegmentStyle(style);
    updateCell(NSControl::cell());
}
