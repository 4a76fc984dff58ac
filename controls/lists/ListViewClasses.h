#pragma once
// Registers the dark list views and their header cells for interface files.

void registerListViewClasses();
