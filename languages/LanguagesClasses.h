#pragma once
// Registers the classes of the Languages screen, and the palette colours their interface files
// name, for interface files.

void registerLanguagesClasses();
