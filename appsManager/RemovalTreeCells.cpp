#include "appsManager/RemovalTreeCells.h"

#include "controls/rowcells/NewButton.h"
#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/NSTextFieldCell.h"
#include "platform/graphics/NSFont.h"
#include "services/Palette.h"

bool RemovalTreeCells::isColumn(const NSTableColumn* column, const char* identifier) {
    return column && column->identifier() == identifier;
}

Ref<NSImageCell> RemovalTreeCells::imageCell(const Ref<NSImage>& image) {
    auto cell = NSImageCell::make();
    cell->setImage(image);
    return cell;
}

const char* RemovalTreeCells::tickImageName(long ticked, long count) {
    if (ticked > 0 && ticked == count) return "sel";
    if (ticked > 0) return "halfsel";
    return "unsel";
}

bool RemovalTreeCells::isSelectedItem(NSOutlineView* outline, const Ref<NSObject>& item) {
    return outline && item && outline->itemAtRow(outline->selectedRow()) == item;
}

void RemovalTreeCells::fillNameCell(NewButton* name, const WeakRef<NSObject>& owner, bool selected,
                                    const char* tick, const std::string& title,
                                    const Ref<NSImage>& icon, const Ref<NSColor>& textColor) {
    name->setImagePosition(NSImageLeft);
    name->setDelegate(owner);
    name->setTarget(owner);
    name->setIsSelect(selected);
    name->setTitle("");
    name->setEditable(true);
    name->setSelectImageCell(imageCell(NSImage::imageNamed(tick)));

    auto label = NSTextFieldCell::make();
    label->setEditable(false);
    label->setDrawsBackground(false);
    label->setBackgroundColor(NSColor::clearColor());
    label->setLineBreakMode(NSLineBreakByTruncatingTail);
    if (textColor) label->setTextColor(textColor);
    label->setFont(NSFont::systemFontOfSize(14));
    label->setStringValue(title);
    name->setLabel(label);
    name->setIconImageCell(imageCell(icon));
}

void RemovalTreeCells::fillArrowCell(NSCell* cell, NSOutlineView* outline,
                                     const Ref<NSObject>& item, bool groupRow,
                                     const WeakRef<NSObject>& owner) {
    if (groupRow) {
        const bool open = outline && outline->isItemExpanded(item);
        cell->setImage(NSImage::imageNamed(open ? "arrow_w_open" : "arrow_w"));
        cell->setTarget(owner);
        cell->setAction(SEL("openOrClose"));
    } else {
        cell->setImage(nullptr);
        cell->setAction(SEL());
    }
}

void RemovalTreeCells::fillOtherCell(NSCell* cell, const NSTableColumn* column) {
    if (isColumn(column, "First")) return;
    if (auto* text = dynamic_cast<NSTextFieldCell*>(cell))
        text->setTextColor(Palette::treeDetailGrey());
}
