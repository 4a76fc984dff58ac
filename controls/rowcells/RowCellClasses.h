#pragma once
// Registers the row cells of the lists with the runtime, so that interface files can name
// them.

/// Registers NewButton, RemoveButtonCell, ImageTextCell, ImageAndTextCell,
/// showSelectImageCell and RSVerticallyCenteredTextFieldCell.
void registerRowCellClasses();
