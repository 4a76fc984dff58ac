#pragma once
// Menus: an ordered list of items (some opening submenus) that validates its items through the
// responder chain, answers key equivalents, and pops up as a window of its own (this desktop
// has no global menu bar).

#include <string>
#include <vector>

#include "platform/appkit/NSMenuItem.h"
#include "platform/appkit/NibLoader.h"
#include "platform/foundation/NSGeometry.h"
#include "platform/foundation/NSObject.h"

class NSEvent;
class NSView;

class NSMenu : public NSObject, public NibContainer {
  public:
    /// An empty menu titled `title`.
    static Ref<NSMenu> make(std::string title = "");

    NSMenu() = default;
    ~NSMenu() override;

    const std::string& title() const { return title_; }
    void setTitle(const std::string& title) { title_ = title; }

    // Items.
    const std::vector<Ref<NSMenuItem>>& itemArray() const { return items_; }
    long numberOfItems() const { return static_cast<long>(items_.size()); }
    /// The item at `index`, or nullptr when out of range.
    Ref<NSMenuItem> itemAtIndex(long index) const;
    /// Appends `item`, taking it out of the menu it was in; an item whose submenu is this menu
    /// or one of its ancestors is refused.
    void addItem(const Ref<NSMenuItem>& item);
    /// Appends a new item and returns it.
    Ref<NSMenuItem> addItemWithTitle(const std::string& title, SEL action,
                                     const std::string& keyEquivalent);
    /// Inserts `item` at `index` (clamped to 0...numberOfItems), with addItem's rules.
    void insertItem(const Ref<NSMenuItem>& item, long index);
    void removeItem(const NSMenuItem* item);
    void removeItemAtIndex(long index);
    void removeAllItems();
    /// The first item with `title` / `tag`, or nullptr.
    Ref<NSMenuItem> itemWithTitle(const std::string& title) const;
    Ref<NSMenuItem> itemWithTag(long tag) const;
    /// The index of `item` (by identity), or -1.
    long indexOfItem(const NSMenuItem* item) const;
    long indexOfItemWithTitle(const std::string& title) const;
    long indexOfItemWithTag(long tag) const;
    /// Attaches `submenu` to `item` (an item of this menu).
    void setSubmenu(const Ref<NSMenu>& submenu, NSMenuItem* item);

    /// The menu whose item opens this one (raw), or nullptr.
    NSMenu* supermenu() const;
    /// The item that opens this menu (raw), or nullptr.
    NSMenuItem* parentItem() const { return parentItem_; }
    /// Whether `menu` is this menu or one of its supermenus.
    bool isSelfOrAncestor(const NSMenu* menu) const;

    // Validation.
    /// Whether update() sets each item's enabled state from its target (true by default).
    bool autoenablesItems() const { return autoenables_; }
    void setAutoenablesItems(bool autoenables) { autoenables_ = autoenables; }
    /// Enables each item when autoenabling: an item with a submenu is enabled, an item whose
    /// action no object answers (NSApp->targetForAction) is disabled, and an object that
    /// answers and implements NSMenuItemValidation decides.
    void update();
    /// The enabled state that update() would give `item` (its own flag when not autoenabling).
    bool validate(NSMenuItem& item) const;

    // Key equivalents and showing.
    /// Finds the visible, enabled item (submenus searched, depth first) whose key equivalent the
    /// key-down `event` is, and sends its action through NSApp->sendAction; true when some
    /// object took the action.
    bool performKeyEquivalent(NSEvent& event);
    /// The visible item (submenus searched) whose key equivalent `event` is, enabled or not.
    Ref<NSMenuItem> itemForKeyEquivalent(const NSEvent& event) const;
    /// Shows the menu and tracks the pointer and keys until an item is chosen or the menu is
    /// dismissed; the chosen item's action is sent after the menu closed. `location` is in
    /// `view`'s coordinates (screen coordinates when `view` is nullptr); the menu's top-left
    /// corner goes there, or `item`'s row is centred on it. Answers whether an item was chosen.
    bool popUpMenuPositioningItem(NSMenuItem* item, NSPoint location, NSView* view);

    /// Interface files: child NSMenuItem elements are appended.
    void addNibChild(Ref<NSObject> child) override;

    static void registerClass();

    // Platform-internal, kept by NSMenuItem.
    void setParentItem(NSMenuItem* item) { parentItem_ = item; }

  private:
    Ref<NSMenuItem> findKeyEquivalent(const NSEvent& event, bool enabledOnly, int depth) const;
    void adopt(const Ref<NSMenuItem>& item);

    std::string title_;
    std::vector<Ref<NSMenuItem>> items_;
    NSMenuItem* parentItem_ = nullptr;
    bool autoenables_ = true;
};
