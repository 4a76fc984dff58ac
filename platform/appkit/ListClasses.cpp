#include "platform/appkit/ListClasses.h"

#include <string>

#include "platform/appkit/ControlClasses.h"
#include "platform/appkit/NSOutlineView.h"
#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/NSTableHeaderCell.h"
#include "platform/appkit/NSTableHeaderView.h"
#include "platform/appkit/NSTableView.h"
#include "platform/appkit/NibValueParsers.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/graphics/NSColor.h"

namespace {

using platform::EnumName;

const std::vector<EnumName> kHighlightStyles = {{"none", -1}, {"regular", 0}, {"sourceList", 1}};
const std::vector<EnumName> kGridLines = {{"none", 0}, {"vertical", 1}, {"horizontal", 2}};

bool setHeaderHeight(NSTableView& table, const std::string& text) {
    double height = 0;
    if (!platform::parsePropertyText(text, height) || height < 0) return false;
    if (height == 0) {
        table.setHeaderView(nullptr);
        return true;
    }
    if (!table.headerView()) table.setHeaderView(NSTableHeaderView::make());
    table.headerView()->setFrameSize(NSMakeSize(table.frame().size.width, height));
    return true;
}

bool setGridMask(NSTableView& table, const std::string& text) {
    long number = 0;
    if (platform::parsePropertyText(text, number)) {
        if (number < 0 || number > 3) return false;
        table.setGridStyleMask(static_cast<NSTableViewGridLineStyle>(number));
        return true;
    }
    if (text.empty()) return false;
    NSTableViewGridLineStyle mask = 0;
    for (const std::string& part : platform::splitListText(text)) {
        long bit = 0;
        if (!platform::parseEnumText(part, kGridLines, bit)) return false;
        mask |= static_cast<NSTableViewGridLineStyle>(bit);
    }
    table.setGridStyleMask(mask);
    return true;
}

}  // namespace

void registerAppKitListClasses() {
    registerAppKitControlClasses();
    auto& registry = ClassRegistry::shared();

    registry.registerClass<NSTableColumn, NSObject>("NSTableColumn")
        .property("identifier", &NSTableColumn::setIdentifier)
        .property("title", &NSTableColumn::setTitle)
        .property("width",
                  [](NSTableColumn& c, const std::string& text) {
                      double w = 0;
                      if (!platform::parsePropertyText(text, w) || w < 0) return false;
                      c.setWidth(w);
                      return true;
                  })
        .property("minWidth", &NSTableColumn::setMinWidth)
        .property("maxWidth", &NSTableColumn::setMaxWidth)
        .property("editable", &NSTableColumn::setEditable)
        .property("hidden", &NSTableColumn::setHidden);

    registry.registerClass<NSTableHeaderCell, NSTextFieldCell>("NSTableHeaderCell");
    registry.registerClass<NSTableHeaderView, NSView>("NSTableHeaderView");

    registry.registerClass<NSTableView, NSControl>("NSTableView")
        .property("rowHeight",
                  [](NSTableView& t, const std::string& text) {
                      double h = 0;
                      if (!platform::parsePropertyText(text, h) || h <= 0) return false;
                      t.setRowHeight(h);
                      return true;
                  })
        .property("intercellSpacing", &NSTableView::setIntercellSpacing)
        .property("headerHeight", setHeaderHeight)
        .property("allowsEmptySelection", &NSTableView::setAllowsEmptySelection)
        .property("allowsMultipleSelection", &NSTableView::setAllowsMultipleSelection)
        .property(
            "selectionHighlightStyle",
            [](NSTableView& t, const std::string& text) {
                long v = 0;
                if (!platform::parseEnumText(text, kHighlightStyles, v)) return false;
                t.setSelectionHighlightStyle(static_cast<NSTableViewSelectionHighlightStyle>(v));
                return true;
            })
        .property("usesAlternatingRowBackgroundColors",
                  &NSTableView::setUsesAlternatingRowBackgroundColors)
        .property("backgroundColor",
                  [](NSTableView& t, const std::string& text) {
                      Ref<NSColor> color = platform::parseColorText(text);
                      if (!color) return false;
                      t.setBackgroundColor(color);
                      return true;
                  })
        .property("gridStyleMask", setGridMask)
        .property("doubleAction",
                  [](NSTableView& t, const std::string& text) {
                      t.setDoubleAction(NSSelectorFromString(text));
                      return true;
                  })
        .outlet("dataSource", &NSTableView::setDataSource)
        .outlet("delegate", &NSTableView::setDelegate);

    registry.registerClass<NSOutlineView, NSTableView>("NSOutlineView")
        .property("indentationPerLevel", &NSOutlineView::setIndentationPerLevel)
        .outlet("dataSource", &NSOutlineView::setDataSource)
        .outlet("delegate", &NSOutlineView::setDelegate);
}
