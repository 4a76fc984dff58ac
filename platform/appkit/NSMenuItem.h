#pragma once
// One command of a menu: its title, the action it sends (to its target, or along the responder
// chain when it has none), its key equivalent, its state mark, and an optional submenu.

#include <string>

#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NibLoader.h"
#include "platform/foundation/NSObject.h"

class NSMenu;
class NSMenuItem;

/// Objects that decide whether a menu item that targets them is enabled (validateMenuItem:).
class NSMenuItemValidation {
  public:
    virtual ~NSMenuItemValidation() = default;
    /// Answers whether `item` may be chosen now.
    virtual bool validateMenuItem(NSMenuItem* item) = 0;
};

class NSMenuItem : public NSObject, public NibTargetAction, public NibContainer {
  public:
    /// An item with `title`, `action` and `keyEquivalent` ("" for none; Command is its modifier).
    static Ref<NSMenuItem> make(std::string title = "", SEL action = SEL(),
                                std::string keyEquivalent = "");
    /// A new separator line: no title, no action, never enabled.
    static Ref<NSMenuItem> separatorItem();

    NSMenuItem() = default;
    ~NSMenuItem() override;

    const std::string& title() const { return title_; }
    void setTitle(const std::string& title);
    bool isSeparatorItem() const { return separator_; }
    /// Turns the item into a separator (interface files: separator="YES").
    void setSeparatorItem(bool separator);

    SEL action() const { return action_; }
    void setAction(SEL action) override { action_ = action; }
    /// The object the action goes to; nullptr sends it along the responder chain.
    Ref<NSObject> target() const { return target_.lock(); }
    void setTarget(WeakRef<NSObject> target) override { target_ = std::move(target); }

    /// The key that chooses the item with the modifier mask: one character ("q", "Z", "\r").
    const std::string& keyEquivalent() const { return keyEquivalent_; }
    void setKeyEquivalent(const std::string& key) { keyEquivalent_ = key; }
    /// The modifiers of the key equivalent (Command by default).
    NSEventModifierFlags keyEquivalentModifierMask() const { return keyMask_; }
    void setKeyEquivalentModifierMask(NSEventModifierFlags mask) { keyMask_ = mask; }
    /// Whether the key-down `event` is this item's key equivalent (case rules of KeyEquivalent.h).
    bool matchesKeyEquivalent(const NSEvent& event) const;

    long tag() const { return tag_; }
    void setTag(long tag) { tag_ = tag; }
    /// Whether the item may be chosen; a menu that autoenables its items sets it when it
    /// validates them.
    bool isEnabled() const { return enabled_ && !separator_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    /// Hidden items are neither shown nor matched by key equivalents.
    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden) { hidden_ = hidden; }
    /// The mark beside the title: 1 on (a check), 0 off, -1 mixed (a dash).
    long state() const { return state_; }
    void setState(long state) { state_ = state; }
    /// Any object the application attaches to the item (retained).
    const Ref<NSObject>& representedObject() const { return representedObject_; }
    void setRepresentedObject(Ref<NSObject> object) { representedObject_ = std::move(object); }

    /// The menu that opens from this item (retained), or nullptr.
    const Ref<NSMenu>& submenu() const { return submenu_; }
    /// Attaches `submenu` (detaching it from any other item); a menu that holds this item, or
    /// one of that menu's ancestors, is refused, as it would make a loop.
    void setSubmenu(const Ref<NSMenu>& submenu);
    bool hasSubmenu() const { return submenu_ != nullptr; }
    /// The menu holding the item (raw; cleared when the item is removed).
    NSMenu* menu() const { return menu_; }

    /// Interface files: a child NSMenu becomes the submenu.
    void addNibChild(Ref<NSObject> child) override;
    std::string description() const override;

    static void registerClass();

    // Platform-internal, kept by NSMenu.
    void setMenu(NSMenu* menu) { menu_ = menu; }

  private:
    std::string title_;
    SEL action_;
    WeakRef<NSObject> target_;
    std::string keyEquivalent_;
    NSEventModifierFlags keyMask_ = NSEventModifierFlagCommand;
    long tag_ = 0;
    bool enabled_ = true;
    bool hidden_ = false;
    bool separator_ = false;
    long state_ = 0;
    Ref<NSObject> representedObject_;
    Ref<NSMenu> submenu_;
    NSMenu* menu_ = nullptr;
};
