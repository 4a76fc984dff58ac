#pragma once
// Registration of the pop-up window classes and their panel views.

/// Registers PopBaseWindow, the attached windows, PopWindowBgView and PopBgView by name.
void registerPopWindowClasses();
