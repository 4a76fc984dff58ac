#pragma once
// The JPEG 2000 members of icon files (ic07 to ic14 in icons of 2008 to 2011): a JP2 file or a
// raw codestream, decoded through OpenJPEG. The codestream's main header is read here first,
// so that sizes, component layouts and tilings we will not decode are refused before the
// library allocates anything.

#include <cstdint>
#include <optional>
#include <span>

#include "platform/graphics/IcnsReader.h"

namespace icns {

/// The most tiles a member may be cut into (an icon is one tile; each costs the decoder
/// memory before a single pixel is read).
constexpr std::uint64_t kMaxJpeg2000Tiles = 256;

/// What the codestream's SIZ marker tells.
struct Jpeg2000Header {
    bool jp2 = false;  ///< a JP2 file (signature box first), else a raw codestream
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t components = 0;
    std::uint64_t tiles = 0;
};

/// Whether `bytes` start like JPEG 2000: the JP2 signature box, or SOC followed by SIZ.
bool isJpeg2000(std::span<const std::uint8_t> bytes);

/// The main header of a JP2 file (of its first 'jp2c' box) or raw codestream; nil when there
/// is none, it is cut short, or its sizes are inconsistent.
std::optional<Jpeg2000Header> readJpeg2000Header(std::span<const std::uint8_t> bytes);

/// The pixels of a JPEG 2000 image of one to four unsigned, unsubsampled components of up to
/// 16 bits (grey, grey and alpha, RGB, RGBA); nil when it is broken, larger than kMaxSide, cut
/// into more than kMaxJpeg2000Tiles tiles, or not of such a layout. The library says nothing
/// on standard error.
std::optional<Bitmap> decodeJpeg2000(std::span<const std::uint8_t> bytes);

}  // namespace icns
