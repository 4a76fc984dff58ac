#include "platform/backend/sdl/WindowShapeMask.h"

#include <cstring>

namespace platform::sdl {

namespace {

/// The alpha byte of the native-endian 32-bit pixel at `p`.
unsigned char alphaOf(const unsigned char* p) {
    std::uint32_t pixel;
    std::memcpy(&pixel, p, sizeof pixel);
    return static_cast<unsigned char>(pixel >> 24);
}

constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;

void mix(std::uint64_t& hash, std::uint64_t value) {
    hash ^= value;
    hash *= kFnvPrime;
}

}  // namespace

// Each row is summed up by the columns where it changes between outside and inside, which is
// a handful of numbers for a rounded outline, so the signature costs one pass over the alpha.
std::uint64_t WindowShapeMask::signature(const unsigned char* argb, int width, int height,
                                         int stride) {
    std::uint64_t hash = kFnvOffset;
    mix(hash, static_cast<std::uint64_t>(width));
    mix(hash, static_cast<std::uint64_t>(height));
    if (!argb) return hash;
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = argb + static_cast<long>(y) * stride;
        bool inside = false;
        for (int x = 0; x < width; ++x) {
            const bool now = alphaOf(row + 4 * x) >= kAlphaCutoff;
            if (now == inside) continue;
            inside = now;
            mix(hash, static_cast<std::uint64_t>(x) + 1);
        }
        mix(hash, 0);  // the end of the row
    }
    return hash;
}

bool WindowShapeMask::isFullyInside(const unsigned char* argb, int width, int height, int stride) {
    if (!argb) return true;
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = argb + static_cast<long>(y) * stride;
        for (int x = 0; x < width; ++x)
            if (alphaOf(row + 4 * x) < kAlphaCutoff) return false;
    }
    return true;
}

}  // namespace platform::sdl
