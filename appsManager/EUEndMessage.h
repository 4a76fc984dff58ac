#pragma once
// The closing sentence of the removal dialogs: the whole text centred, its numbers standing out
// in their own colours in the regular font at 16 points.

#include <string>
#include <vector>

#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSColor.h"

class EUEndMessage {
  public:
    /// A part of the sentence that stands out: its text and its colour.
    struct Part {
        std::string text;
        Ref<NSColor> colour;
    };

    /// `text` centred; each part's first occurrence, searched after the part before it, in the
    /// part's colour and the regular font at 16 points. A part that is empty or does not occur
    /// stays plain.
    static Ref<NSMutableAttributedString> attributedMessage(const std::string& text,
                                                            const std::vector<Part>& parts);

    /// The green of the space that was freed.
    static Ref<NSColor> sizeColor();
    /// The colour of the number of items that could not be removed.
    static Ref<NSColor> failureColor();
};
