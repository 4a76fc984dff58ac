#include "controls/lists/DarkHeaderCell.h"

#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSGradient.h"
#include "platform/graphics/TextLayout.h"
#include "services/Palette.h"

Ref<NSFont> DarkHeaderCell::headerFont() {
    return NSFont::systemFontOfSize(14);
}

Ref<NSColor> DarkHeaderCell::headerTextColor() {
    return Palette::headerTextGrey();
}

void DarkHeaderCell::initWithCell(const NSCell& old) {
    initTextCell(old.stringValue());
    auto text = NSMutableAttributedString::make("");
    if (Ref<NSAttributedString> oldText = old.attributedStringValue())
        text->appendAttributedString(*oldText);
    const NSRange whole = NSMakeRange(0, text->length());
    text->addAttribute(NSFontAttributeName, headerFont(), whole);
    text->addAttribute(NSForegroundColorAttributeName, headerTextColor(), whole);
    // A title set later as plain text keeps the same look.
    setFont(headerFont());
    setTextColor(headerTextColor());
    setAttributedStringValue(text);
    ascending_ = true;
    priority_ = 1;
}

void DarkHeaderCell::drawWithFrame(NSRect cellFrame, NSView* controlView) {
    setControlView(controlView);
    _drawInRect(cellFrame, false);
    drawSortIndicatorWithFrame(cellFrame, controlView, ascending_, priority_);
}

void DarkHeaderCell::highlight(bool flag, NSRect cellFrame, NSView* controlView) {
    NSTableHeaderCell::highlight(flag, cellFrame, controlView);
    setControlView(controlView);
    _drawInRect(cellFrame, true);
    drawSortIndicatorWithFrame(cellFrame, controlView, ascending_, priority_);
}

void DarkHeaderCell::_drawInRect(NSRect rect, bool /*hilighted*/) {
    Ref<NSColor> fill = headerFillColor();
    NSGradient::initWithColors({fill, fill, fill})->drawInRect(rect, 100);
    NSRect title = rect;
    title.origin.y += titleOffset();
    if (priority_ == 0) title.size.width -= 8;
    drawText(attributedStringValue(), title);
}

void DarkHeaderCell::drawSortIndicatorWithFrame(NSRect cellFrame, NSView*, bool ascending, long) {
    const NSAttributes measuring = {
        {NSFontAttributeName, NSFont::systemFontOfSize(13)},
        {NSForegroundColorAttributeName, Palette::sortIndicatorWhite()}};
    const float titleWidth =
        static_cast<float>(ns::sizeWithAttributes(stringValue(), measuring).width);
    const double x = cellFrame.origin.x, y = cellFrame.origin.y, w = cellFrame.size.width;
    auto triangle = NSBezierPath::bezierPath();
    if (ascending) {
        // Fixed heights: the triangle stands in the header's top band wherever the frame is.
        triangle->moveToPoint(NSMakePoint(x + w + 5, 20));
        triangle->lineToPoint(NSMakePoint(x + w + 9, 13));
        triangle->lineToPoint(NSMakePoint(x + w + 13, 20));
    } else {
        const double a = x + w - static_cast<double>(titleWidth) - 4;
        triangle->moveToPoint(NSMakePoint(a, y + 10));
        triangle->lineToPoint(NSMakePoint(a + 4, y + 17));
        triangle->lineToPoint(NSMakePoint(a + 8, y + 10));
    }
    triangle->closePath();
    // The cell's own priority decides the colour, not the argument.
    (priority_ == 0 ? NSColor::whiteColor() : NSColor::clearColor())->setFill();
    triangle->fill();
}

void DarkHeaderCell::setSortAscending(bool ascending, long priority) {
    ascending_ = ascending;
    priority_ = priority;
}
