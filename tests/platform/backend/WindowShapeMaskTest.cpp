// Catches window outlines that are reshaped on every frame (a signature that follows colours),
// or not reshaped when the clear parts move or the size changes.
#include "platform/backend/sdl/WindowShapeMask.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using platform::sdl::WindowShapeMask;

/// An ARGB32 image with a row padding of 8 bytes, opaque grey except for clear pixels.
struct Image {
    Image(int w, int h) : width(w), height(h), stride(w * 4 + 8), bytes(std::size_t(stride * h)) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                set(x, y, 0xff303438);
    }
    void set(int x, int y, std::uint32_t pixel) {
        std::memcpy(&bytes[std::size_t(y * stride + x * 4)], &pixel, sizeof pixel);
    }
    /// Clears the top-left corner (a rounded corner, roughly) and, if asked, the top right.
    Image& clearCorners(bool right = false) {
        for (int x = 0; x < 3; ++x)
            set(x, 0, 0);
        set(0, 1, 0);
        if (right) set(width - 1, 0, 0);
        return *this;
    }
    std::uint64_t signature() const {
        return WindowShapeMask::signature(bytes.data(), width, height, stride);
    }
    bool fullyInside() const {
        return WindowShapeMask::isFullyInside(bytes.data(), width, height, stride);
    }
    int width, height, stride;
    std::vector<unsigned char> bytes;
};

TEST(WindowShapeMask, TheSignatureFollowsTheOutlineNotTheColours) {
    Image plain(8, 6), recoloured(8, 6);
    for (int x = 2; x < 6; ++x)
        recoloured.set(x, 3, 0xff31be6a);  // a green line drawn inside
    EXPECT_EQ(plain.signature(), recoloured.signature());

    // A faint pixel (below the cutoff) counts as clear, a strong one as inside.
    Image faint(8, 6), strong(8, 6), cleared(8, 6);
    faint.set(4, 4, 0x20000000);
    strong.set(4, 4, 0xc0101010);
    cleared.set(4, 4, 0);
    EXPECT_EQ(faint.signature(), cleared.signature());
    EXPECT_EQ(strong.signature(), plain.signature());

    struct Case {
        const char* what;
        Image image;
    } differing[] = {
        {"a clear corner", Image(8, 6).clearCorners()},
        {"a second clear corner", Image(8, 6).clearCorners(true)},
        {"another size", Image(6, 8)},
        {"one more row", Image(8, 7)},
    };
    std::vector<std::uint64_t> seen{plain.signature()};
    for (const Case& c : differing) {
        for (std::uint64_t other : seen)
            EXPECT_NE(c.image.signature(), other) << c.what;
        seen.push_back(c.image.signature());
    }
}

TEST(WindowShapeMask, AnOpaqueImageIsFullyInside) {
    EXPECT_TRUE(Image(8, 6).fullyInside());
    EXPECT_FALSE(Image(8, 6).clearCorners().fullyInside());
    Image lastPixel(8, 6);
    lastPixel.set(7, 5, 0x10ffffff);
    EXPECT_FALSE(lastPixel.fullyInside()) << "the padding after a row is not part of it";
}

}  // namespace
