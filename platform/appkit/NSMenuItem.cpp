#include "platform/appkit/NSMenuItem.h"

#include "platform/appkit/KeyEquivalent.h"
#include "platform/appkit/NSMenu.h"
#include "platform/foundation/NSLog.h"

Ref<NSMenuItem> NSMenuItem::make(std::string title, SEL action, std::string keyEquivalent) {
    auto item = std::make_shared<NSMenuItem>();
    item->title_ = std::move(title);
    item->action_ = action;
    item->keyEquivalent_ = std::move(keyEquivalent);
    return item;
}

Ref<NSMenuItem> NSMenuItem::separatorItem() {
    auto item = std::make_shared<NSMenuItem>();
    item->separator_ = true;
    return item;
}

NSMenuItem::~NSMenuItem() {
    if (submenu_ && submenu_->parentItem() == this) submenu_->setParentItem(nullptr);
}

void NSMenuItem::setTitle(const std::string& title) {
    title_ = title;
}

void NSMenuItem::setSeparatorItem(bool separator) {
    separator_ = separator;
}

bool NSMenuItem::matchesKeyEquivalent(const NSEvent& event) const {
    return !separator_ && platform::keyEquivalentMatches(keyEquivalent_, keyMask_, event);
}

void NSMenuItem::setSubmenu(const Ref<NSMenu>& submenu) {
    if (submenu == submenu_) return;
    if (submenu && menu_ && menu_->isSelfOrAncestor(submenu.get())) {
        NSLog("A menu cannot open from one of its own items: %@", title_);
        return;
    }
    if (submenu_ && submenu_->parentItem() == this) submenu_->setParentItem(nullptr);
    submenu_ = submenu;
    if (!submenu_) return;
    if (NSMenuItem* old = submenu_->parentItem(); old && old != this) old->setSubmenu(nullptr);
    submenu_->setParentItem(this);
}

void NSMenuItem::addNibChild(Ref<NSObject> child) {
    if (auto menu = std::dynamic_pointer_cast<NSMenu>(child)) {
        setSubmenu(menu);
        if (title_.empty()) title_ = menu->title();
    }
}

std::string NSMenuItem::description() const {
    return "<NSMenuItem: " + (separator_ ? std::string("separator") : title_) + ">";
}
