#include "platform/appkit/NSTableHeaderCell.h"

#include "platform/appkit/NSView.h"
#include "platform/appkit/theme/TableTheme.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/TextLayout.h"

NSTableHeaderCell::NSTableHeaderCell() {
    setTextColor(platform::theme::headerTextColor());
    setFont(NSFont::systemFontOfSize(11));
    setLineBreakMode(NSLineBreakByTruncatingTail);
    setUsesSingleLineMode(true);
}

Ref<NSCell> NSTableHeaderCell::clone() const {
    return std::shared_ptr<NSTableHeaderCell>(new NSTableHeaderCell(*this));
}

void NSTableHeaderCell::drawWithFrame(NSRect cellFrame, NSView* controlView) {
    setControlView(controlView);
    platform::theme::drawHeaderBackground(cellFrame, isHighlighted());
    drawInteriorWithFrame(cellFrame, controlView);
}

void NSTableHeaderCell::drawInteriorWithFrame(NSRect cellFrame, NSView*) {
    auto text = attributedStringValue();
    if (!text || text->length() == 0) return;
    const double height = ns::size(*text).height;
    NSRect title = NSInsetRect(cellFrame, 4, 0);
    title.origin.y += (cellFrame.size.height - height) / 2;
    title.size.height = height;
    drawText(text, title);
}

void NSTableHeaderCell::highlight(bool flag, NSRect cellFrame, NSView* controlView) {
    NSTextFieldCell::highlight(flag, cellFrame, controlView);
}

void NSTableHeaderCell::drawSortIndicatorWithFrame(NSRect, NSView*, bool, long) {}

NSRect NSTableHeaderCell::sortIndicatorRectForBounds(NSRect rect) const {
    return NSMakeRect(NSMaxX(rect) - 13, rect.origin.y, 9, rect.size.height);
}
