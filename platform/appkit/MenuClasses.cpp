#include "platform/appkit/MenuClasses.h"

#include "platform/appkit/KeyEquivalent.h"
#include "platform/appkit/NSMenu.h"
#include "platform/appkit/NSMenuItem.h"

void NSMenu::registerClass() {
    ClassRegistry::shared()
        .registerClass<NSMenu, NSObject>("NSMenu")
        .property("title", &NSMenu::setTitle)
        .property("autoenablesItems", &NSMenu::setAutoenablesItems);
}

void NSMenuItem::registerClass() {
    ClassRegistry::shared()
        .registerClass<NSMenuItem, NSObject>("NSMenuItem")
        .property("title", &NSMenuItem::setTitle)
        .property("keyEquivalent",
                  [](NSMenuItem& item, const std::string& text) {
                      auto key = platform::parseKeyEquivalent(text);
                      if (!key) return false;
                      item.setKeyEquivalent(*key);
                      return true;
                  })
        .property("keyEquivalentModifierMask",
                  [](NSMenuItem& item, const std::string& text) {
                      auto mask = platform::parseModifierMask(text);
                      if (!mask) return false;
                      item.setKeyEquivalentModifierMask(*mask);
                      return true;
                  })
        .property("tag", &NSMenuItem::setTag)
        .property("enabled", &NSMenuItem::setEnabled)
        .property("hidden", &NSMenuItem::setHidden)
        .property("state", &NSMenuItem::setState)
        .property("separator", &NSMenuItem::setSeparatorItem);
}

void registerAppKitMenuClasses() {
    NSObject::registerClass();
    NSMenu::registerClass();
    NSMenuItem::registerClass();
}
