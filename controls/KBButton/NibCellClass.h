#pragma once
// Buttons of the kit that make their own cell class when an interface file creates them, in
// place of the cell class that the file names.

#include <functional>

#include "platform/appkit/NSControl.h"
#include "platform/appkit/NibLoader.h"

/// Decodes `control` (through `decode`) so that cell elements inside it that name
/// `superclassCell`'s class make `ownCell`'s class instead; the coder's mapping of that name is
/// put back afterwards (to the superclass's cell class when it had none). Only `decode` runs
/// when `control` is exactly an NSControl or the two cells are of one class.
void decodeWithOwnCellClass(const NSControl& control, const NSCell* superclassCell,
                            const NSCell* ownCell, NibCoder& coder,
                            const std::function<void()>& decode);
