#include "controls/lists/ListViewPainting.h"

#include "platform/appkit/NSTableHeaderView.h"
#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphics.h"
#include "services/Palette.h"

namespace listview {

void hidePlatformSelection(NSTableView& view) {
    if (view.selectionHighlightStyle() != NSTableViewSelectionHighlightStyleNone)
        view.setSelectionHighlightStyle(NSTableViewSelectionHighlightStyleNone);
}

void fillRow(const NSTableView& view, long row, const Ref<NSColor>& color) {
    color->setFill();
    NSRectFill(view.rectOfRow(row));
}

void fillRoundedRect(NSRect rect, double radius, const Ref<NSColor>& color) {
    color->setFill();
    NSBezierPath::bezierPathWithRoundedRect(rect, radius, radius)->fill();
}

void paintListRow(const NSTableView& view, long row, long highlightedRow) {
    fillRow(view, row, Palette::panelGrey());
    if (row != highlightedRow) return;
    // The highlight keeps its place and width whatever the row's own x and width.
    const NSRect r = view.rectOfRow(row);
    fillRoundedRect(NSMakeRect(17, r.origin.y + 0.5, 766, 48), 4, Palette::rowHoverTint());
}

NSRect widenThirdColumn(const NSTableView& view, long column, NSRect frame) {
    if (column != 2 || NSIsEmptyRect(frame)) return frame;
    frame.origin.x -= 10;
    frame.size.width = view.bounds().size.width;
    return frame;
}

void sizeHeaderView(NSTableView& view, double width, double height) {
    if (const Ref<NSTableHeaderView>& header = view.headerView())
        header->setFrameSize(NSMakeSize(width, height));
}

}  // namespace listview
