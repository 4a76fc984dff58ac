#pragma once
// Registers the sidebar entry and the panel backgrounds for interface files.

void registerSidebarClasses();
