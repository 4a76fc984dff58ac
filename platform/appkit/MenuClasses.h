#pragma once
// Registration of the menu classes that interface files name.

/// Registers NSMenu and NSMenuItem with their interface-file properties: NSMenu title and
/// autoenablesItems; NSMenuItem title, keyEquivalent ("q", "Z", "Return"),
/// keyEquivalentModifierMask ("command|shift" or a number), tag, enabled, hidden, state and
/// separator, with target and action. A child NSMenuItem is added to its NSMenu, a child
/// NSMenu becomes its NSMenuItem's submenu.
void registerAppKitMenuClasses();
