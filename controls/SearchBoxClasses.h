#pragma once
// Registers the search box for interface files.

void registerSearchBoxClasses();
