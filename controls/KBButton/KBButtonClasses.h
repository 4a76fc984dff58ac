#pragma once
// Registers the kit's buttons and their cells with the runtime, so that interface files can
// name them.

/// Registers KBButton, KBButtonCell, AllCustemButton and AllCustemButtonCell.
void registerKBButtonClasses();
