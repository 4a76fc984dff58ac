#pragma once
// Registers the uninstaller's classes with the runtime (creation by name, actions, outlets),
// and the palette colours their interface files name.

void registerAppsManagerClasses();
