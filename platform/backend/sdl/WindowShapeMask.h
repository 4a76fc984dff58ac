#pragma once
// The outline of a window whose drawing leaves parts of it clear (rounded corners, the arrow of
// a pop-up). Without a compositor, and with SDL's windows having no alpha channel, those parts
// would show black; a window shaped to its drawn pixels shows what lies behind instead.

#include <cstdint>

namespace platform::sdl {

class WindowShapeMask {
  public:
    /// Pixels whose alpha is below this are outside the window's shape.
    static constexpr unsigned char kAlphaCutoff = 96;

    /// A signature of which pixels of an ARGB32 image (native-endian, as Cairo and SDL's
    /// ARGB8888 keep it) are inside the shape: equal for images of one size with the same
    /// inside pixels, so a window is reshaped only when its outline changed.
    static std::uint64_t signature(const unsigned char* argb, int width, int height, int stride);
    /// Whether every pixel is inside (an opaque window needs no shape of its own).
    static bool isFullyInside(const unsigned char* argb, int width, int height, int stride);
};

}  // namespace platform::sdl
