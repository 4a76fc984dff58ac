#pragma once
// Registers the classes of the Languages screen for interface files.

void registerLanguagesClasses();
