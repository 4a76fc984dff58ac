#pragma once
// Registers the image buttons and link controls with the runtime, so that interface files
// can name them.

/// Registers the image buttons, link controls, the search box and the overlay scroll view.
void registerControlsClasses();
