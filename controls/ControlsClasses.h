#pragma once
// Registers the image buttons and link controls with the runtime, so that interface files
// can name them.

/// Registers TextImageButton, TCImageButton, EUHandButton and TCTextLine.
void registerControlsClasses();
