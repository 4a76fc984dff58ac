#pragma once
// Registers the search box, and the palette colours its interface file names, for interface
// files.

void registerSearchBoxClasses();
