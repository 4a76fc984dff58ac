#pragma once
// Registers every class of the application (and of the platform) that interface files, the
// principal class or stored selectors name, and the palette colours that interface files name.
// Called once by main and by tests.

void registerApplicationClasses();
