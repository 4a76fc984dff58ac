#pragma once
// The kit's buttons draw their title in a colour of their own, whatever colour the title holds.

#include <string>

#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSColor.h"

/// A copy of `title` whose foreground is `color` over the first characters of `cellTitle` (the
/// range is clipped to the copy when the cell's title is the longer); null stays null.
Ref<NSAttributedString> titleInColor(const Ref<NSAttributedString>& title,
                                     const std::string& cellTitle, const Ref<NSColor>& color);
