#pragma once
// Registers the window-button classes with the runtime: creation by name, the strip's
// actions and the notification handlers of the buttons.

/// Registers TCWindowButtonGroup, TCWindowButton, HMTrafficButtonsContainer, TabBarView and
/// the pop-up windows.
void registerWindowsClasses();
