#pragma once
// Raw bytes: the contents of a file or the body of a network answer.

#include <cstdint>
#include <vector>

/// A buffer of bytes; "no data" is expressed as std::optional<NSData>.
using NSData = std::vector<uint8_t>;
