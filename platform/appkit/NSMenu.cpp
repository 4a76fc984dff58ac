#include "platform/appkit/NSMenu.h"

#include <algorithm>

#include "platform/appkit/MenuTracker.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/NSWindow.h"
#include "platform/foundation/NSLog.h"

namespace {
// Deeper nesting than this is a mistake; it also bounds the searches.
constexpr int kMaxMenuDepth = 32;
}  // namespace

Ref<NSMenu> NSMenu::make(std::string title) {
    auto menu = std::make_shared<NSMenu>();
    menu->title_ = std::move(title);
    return menu;
}

NSMenu::~NSMenu() {
    for (auto& item : items_)
        if (item->menu() == this) item->setMenu(nullptr);
}

// --- Items ----------------------------------------------------------------------------------

Ref<NSMenuItem> NSMenu::itemAtIndex(long index) const {
    if (index < 0 || index >= numberOfItems()) return nullptr;
    return items_[static_cast<std::size_t>(index)];
}

void NSMenu::adopt(const Ref<NSMenuItem>& item) {
    if (NSMenu* old = item->menu()) old->removeItem(item.get());
    item->setMenu(this);
}

void NSMenu::addItem(const Ref<NSMenuItem>& item) {
    insertItem(item, numberOfItems());
}

Ref<NSMenuItem> NSMenu::addItemWithTitle(const std::string& title, SEL action,
                                         const std::string& keyEquivalent) {
    auto item = NSMenuItem::make(title, action, keyEquivalent);
    addItem(item);
    return item;
}

void NSMenu::insertItem(const Ref<NSMenuItem>& item, long index) {
    if (!item) return;
    if (item->submenu() && isSelfOrAncestor(item->submenu().get())) {
        NSLog("A menu cannot hold an item that opens the menu itself: %@", item->title());
        return;
    }
    Ref<NSMenuItem> keep = item;
    adopt(item);
    index = std::clamp(index, 0L, numberOfItems());
    items_.insert(items_.begin() + index, item);
}

void NSMenu::removeItem(const NSMenuItem* item) {
    long index = indexOfItem(item);
    if (index >= 0) removeItemAtIndex(index);
}

void NSMenu::removeItemAtIndex(long index) {
    if (index < 0 || index >= numberOfItems()) return;
    auto it = items_.begin() + index;
    if ((*it)->menu() == this) (*it)->setMenu(nullptr);
    items_.erase(it);
}

void NSMenu::removeAllItems() {
    for (auto& item : items_)
        if (item->menu() == this) item->setMenu(nullptr);
    items_.clear();
}

Ref<NSMenuItem> NSMenu::itemWithTitle(const std::string& title) const {
    return itemAtIndex(indexOfItemWithTitle(title));
}

Ref<NSMenuItem> NSMenu::itemWithTag(long tag) const {
    return itemAtIndex(indexOfItemWithTag(tag));
}

long NSMenu::indexOfItem(const NSMenuItem* item) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == item) return static_cast<long>(i);
    return -1;
}

long NSMenu::indexOfItemWithTitle(const std::string& title) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i]->title() == title) return static_cast<long>(i);
    return -1;
}

long NSMenu::indexOfItemWithTag(long tag) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i]->tag() == tag) return static_cast<long>(i);
    return -1;
}

void NSMenu::setSubmenu(const Ref<NSMenu>& submenu, NSMenuItem* item) {
    if (item && item->menu() == this) item->setSubmenu(submenu);
}

NSMenu* NSMenu::supermenu() const {
    return parentItem_ ? parentItem_->menu() : nullptr;
}

bool NSMenu::isSelfOrAncestor(const NSMenu* menu) const {
    int depth = 0;
    for (const NSMenu* m = this; m && depth <= kMaxMenuDepth; m = m->supermenu(), ++depth)
        if (m == menu) return true;
    return false;
}

// --- Validation -----------------------------------------------------------------------------

bool NSMenu::validate(NSMenuItem& item) const {
    if (item.isSeparatorItem()) return false;
    if (!autoenables_) return item.isEnabled();
    if (item.hasSubmenu()) return true;
    if (!item.action()) return false;
    Ref<NSObject> explicitTarget = item.target();
    NSObject* target = nullptr;
    if (NSApp)
        target = NSApp->targetForAction(item.action(), explicitTarget.get(), &item);
    else if (explicitTarget && explicitTarget->respondsToSelector(item.action()))
        target = explicitTarget.get();
    if (!target) return false;
    if (auto* validator = dynamic_cast<NSMenuItemValidation*>(target))
        return validator->validateMenuItem(&item);
    return true;
}

void NSMenu::update() {
    if (!autoenables_) return;
    for (auto& item : std::vector<Ref<NSMenuItem>>(items_))
        item->setEnabled(validate(*item));
}

// --- Key equivalents and showing ------------------------------------------------------------

Ref<NSMenuItem> NSMenu::findKeyEquivalent(const NSEvent& event, bool enabledOnly, int depth) const {
    if (depth > kMaxMenuDepth) return nullptr;
    for (const auto& item : items_) {
        if (item->isHidden()) continue;
        if (item->matchesKeyEquivalent(event)) {
            if (!enabledOnly) return item;
            bool enabled = validate(*item);
            if (autoenables_) item->setEnabled(enabled);
            if (enabled) return item;
        }
        if (const auto& sub = item->submenu()) {
            if (auto found = sub->findKeyEquivalent(event, enabledOnly, depth + 1)) return found;
        }
    }
    return nullptr;
}

Ref<NSMenuItem> NSMenu::itemForKeyEquivalent(const NSEvent& event) const {
    return findKeyEquivalent(event, false, 0);
}

bool NSMenu::performKeyEquivalent(NSEvent& event) {
    if (event.type() != NSEventTypeKeyDown) return false;
    Ref<NSObject> keepMenu = weak_from_this().lock();
    Ref<NSMenuItem> item = findKeyEquivalent(event, true, 0);
    if (!item || !item->action() || !NSApp) return false;
    Ref<NSObject> target = item->target();
    return NSApp->sendAction(item->action(), target.get(), item.get());
}

bool NSMenu::popUpMenuPositioningItem(NSMenuItem* item, NSPoint location, NSView* view) {
    Ref<NSObject> keepMenu = weak_from_this().lock();
    auto self = std::dynamic_pointer_cast<NSMenu>(keepMenu);
    if (!self) return false;
    NSPoint onScreen = location;
    if (view) {
        NSPoint base = view->convertPointToView(location, nullptr);
        NSWindow* window = view->window();
        onScreen = window ? window->convertBaseToScreen(base) : base;
    }
    bool byPress = false;
    if (NSApp) {
        if (NSEvent* current = NSApp->currentEvent()) {
            NSEventType type = current->type();
            byPress = type == NSEventTypeLeftMouseDown || type == NSEventTypeRightMouseDown;
        }
    }
    Ref<NSMenuItem> chosen;
    {
        MenuTracker tracker(self, item, onScreen, byPress);
        if (!tracker.isShowing()) return false;
        chosen = tracker.track();
    }
    if (!chosen) return false;
    if (chosen->action() && NSApp) {
        Ref<NSObject> target = chosen->target();
        NSApp->sendAction(chosen->action(), target.get(), chosen.get());
    }
    return true;
}

void NSMenu::addNibChild(Ref<NSObject> child) {
    if (auto item = std::dynamic_pointer_cast<NSMenuItem>(child)) addItem(item);
}
