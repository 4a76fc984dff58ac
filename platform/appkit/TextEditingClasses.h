#pragma once
// Registration of the text-editing classes with the class registry.

/// Registers NSTextView with its editing actions (cut:, copy:, paste:, selectAll:, undo:,
/// redo:, deleteBackward:, deleteForward:, insertText:) so that respondsToSelector finds them
/// along the responder chain, and adds to NSTextField the "selectText:" action and the
/// "delegate" outlet (an object that is no NSTextFieldDelegate is refused). The controls are
/// registered first when they are not yet.
void registerAppKitTextEditingClasses();
