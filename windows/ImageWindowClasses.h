#pragma once
// Registers the main window's classes (the window, its title-bar container and view) for
// interface files and selectors; call after registerPlatformClasses().

void registerImageWindowClasses();
