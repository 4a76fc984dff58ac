#pragma once
// Registration of the platform layer's classes with the class registry, for interface files.

/// Registers every class of the platform layer that interface files may name: NSObject, the
/// views, windows, controllers, controls, menus, scroll views, lists and the field editor.
void registerPlatformClasses();
