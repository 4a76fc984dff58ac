#include "platform/appkit/MenuView.h"

#include <algorithm>

#include "platform/appkit/KeyEquivalent.h"
#include "platform/appkit/theme/MenuTheme.h"

namespace theme = platform::theme;

namespace {

/// The title a row shows: a main menu's top-level items may leave it to their submenu.
std::string rowTitle(const NSMenuItem& item) {
    if (item.title().empty() && item.submenu()) return item.submenu()->title();
    return item.title();
}

}  // namespace

Ref<MenuView> MenuView::make(const Ref<NSMenu>& menu) {
    auto view = std::make_shared<MenuView>();
    view->menu_ = menu;
    view->layout();
    view->initWithFrame(NSMakeRect(0, 0, view->preferredSize_.width, view->preferredSize_.height));
    return view;
}

void MenuView::layout() {
    rows_.clear();
    double y = theme::kMenuVerticalPadding;
    double width = theme::kMenuMinimumWidth;
    const auto& items = menu_->itemArray();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const NSMenuItem& item = *items[i];
        if (item.isHidden()) continue;
        double height =
            item.isSeparatorItem() ? theme::kMenuSeparatorHeight : theme::kMenuItemHeight;
        rows_.push_back({static_cast<long>(i), NSMakeRect(0, y, 0, height)});
        y += height;
        if (!item.isSeparatorItem()) {
            std::string key = platform::keyEquivalentLabel(item.keyEquivalent(),
                                                           item.keyEquivalentModifierMask());
            width = std::max(width, theme::menuRowWidth(rowTitle(item), key, item.hasSubmenu()));
        }
    }
    for (Row& row : rows_)
        row.rect.size.width = width;
    preferredSize_ = NSMakeSize(width, y + theme::kMenuVerticalPadding);
}

NSRect MenuView::rectOfItemAtIndex(long index) const {
    for (const Row& row : rows_)
        if (row.index == index) return row.rect;
    return NSZeroRect;
}

long MenuView::indexOfItemAtPoint(NSPoint point) const {
    if (point.x < 0 || point.x >= bounds().size.width) return -1;
    for (const Row& row : rows_)
        if (point.y >= NSMinY(row.rect) && point.y < NSMaxY(row.rect)) return row.index;
    return -1;
}

bool MenuView::isSelectable(long index) const {
    Ref<NSMenuItem> item = menu_->itemAtIndex(index);
    return item && !item->isHidden() && !item->isSeparatorItem() && item->isEnabled();
}

long MenuView::nextSelectable(long index, int step) const {
    if (rows_.empty()) return -1;
    long count = static_cast<long>(rows_.size());
    long position = -1;
    for (long r = 0; r < count; ++r)
        if (rows_[static_cast<std::size_t>(r)].index == index) position = r;
    if (position < 0) position = step > 0 ? -1 : count;
    for (long n = 0; n < count; ++n) {
        position = ((position + step) % count + count) % count;
        long candidate = rows_[static_cast<std::size_t>(position)].index;
        if (isSelectable(candidate)) return candidate;
    }
    return -1;
}

void MenuView::setHighlightedIndex(long index) {
    if (index == highlighted_) return;
    highlighted_ = index;
    setNeedsDisplay(true);
}

void MenuView::drawRect(NSRect) {
    theme::drawMenuBackground(bounds());
    for (const Row& row : rows_) {
        Ref<NSMenuItem> item = menu_->itemAtIndex(row.index);
        if (!item) continue;
        if (item->isSeparatorItem()) {
            theme::drawMenuSeparator(row.rect);
            continue;
        }
        theme::MenuRowLook look;
        look.title = rowTitle(*item);
        look.keyLabel =
            platform::keyEquivalentLabel(item->keyEquivalent(), item->keyEquivalentModifierMask());
        look.enabled = item->isEnabled();
        look.highlighted = row.index == highlighted_;
        look.hasSubmenu = item->hasSubmenu();
        look.state = item->state();
        theme::drawMenuRow(row.rect, look);
    }
}
