#include "controls/lists/EUCustomOutlineView.h"

#include <algorithm>

#include "controls/lists/ListViewPainting.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/graphics/NSColor.h"
#include "services/Palette.h"

Ref<NSColor> EUCustomOutlineView::rowColor(long row) const {
    if (row == isSelectRow_) return Palette::outlineSelectionBlue();
    const std::string number = std::to_string(static_cast<int>(row));
    if (std::find(isRootArr_.begin(), isRootArr_.end(), number) != isRootArr_.end())
        return Palette::titleWhite();
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
