#pragma once
// Registers the uninstall progress dialog, the progress bar views and the sort pop-up content
// with the runtime (creation by name, outlets, actions), and the palette colours their
// interface files name.

void registerProgressAndSortClasses();
