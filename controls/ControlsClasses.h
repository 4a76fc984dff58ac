#pragma once
// Registers the image buttons and link controls with the runtime, so that interface files
// can name them.

/// Registers the image buttons, link controls, row cells, the dark tables and outlines with
/// their header cells, the search box, the overlay scroll view, and the drawing kit's buttons
/// and segmented cell.
void registerControlsClasses();
