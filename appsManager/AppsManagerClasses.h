#pragma once
// Registers the uninstaller's classes with the runtime (creation by name, actions, outlets).

void registerAppsManagerClasses();
