#pragma once
// The question over a removal tree: a sentence with the number of groups in green at 20 points
// in the regular face, the whole text centred.

#include <cstddef>

class NSTextField;

class CountHeadline {
  public:
    /// Shows `format` with its %@ replaced by `count` in `label`; nothing for nullptr.
    static void show(NSTextField* label, const char* format, std::size_t count);
};
