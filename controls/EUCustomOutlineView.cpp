#include "controls/EUCustomOutlineView.h"

#include <algorithm>

#include "controls/ListViewPainting.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/graphics/NSColor.h"

Ref<NSColor> EUCustomOutlineView::rowColor(long row) const {
    if (row == isSelectRow_)
        return NSColor::colorWithDeviceRed(59 / 255.0, 153 / 255.0, 252 / 255.0, 1);
    const std::string number = std::to_string(static_cast<int>(row));
    if (std::find(isRootArr_.begin(), isRootArr_.end(), number) != isRootArr_.end())
        return NSColor::colorWithDeviceRed(242 / 255.0, 242 / 255.0, 242 / 255.0, 1);
    return NSColor::whiteColor();
}

void EUCustomOutlineView::drawRow(long row, NSRect clipRect) {
    listview::fillRow(*this, row, rowColor(row));
    NSOutlineView::drawRow(row, clipRect);
}

void EUCustomOutlineView::registerClass() {
    ClassRegistry::shared()
        .registerClass<EUCustomOutlineView, NSOutlineView>("EUCustomOutlineView")
        .outlet("aDelegate", &EUCustomOutlineView::setADelegate);
}
