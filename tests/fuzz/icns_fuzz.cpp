// Fuzz target of the icon-container reader and its member decoders (PNG, JPEG 2000, run-length
// RGB with masks, run-length ARGB): any bytes must give members that lie inside the input, and
// decoded pixels of the size the member announced, premultiplied, without crashing or hanging.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/graphics/IcnsJpeg2000.h"
#include "platform/graphics/IcnsReader.h"

namespace {

void checkBitmap(const icns::Bitmap& bitmap, std::uint32_t width, std::uint32_t height) {
    if (bitmap.width != width || bitmap.height != height) std::abort();
    if (width == 0 || height == 0 || width > icns::kMaxSide || height > icns::kMaxSide)
        std::abort();
    if (bitmap.pixels.size() != std::size_t{width} * height) std::abort();
    for (std::uint32_t p : bitmap.pixels) {
        const std::uint32_t a = p >> 24;
        if (((p >> 16) & 0xff) > a || ((p >> 8) & 0xff) > a || (p & 0xff) > a) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const std::uint8_t> bytes(data, size);
    if (auto members = icns::readMembers(bytes)) {
        for (const icns::Member& m : *members)
            if (m.offset > size || m.length > size - m.offset) std::abort();
    }
    // The first byte doubles as the size asked for.
    const std::uint32_t wanted = size > 0 ? data[0] : 0;
    const auto order = icns::imageMembersForSize(bytes, wanted, wanted);
    for (const icns::ImageMember& m : icns::imageMembers(bytes)) {
        if (m.member.offset > size || m.member.length > size - m.member.offset) std::abort();
        if (m.mask && (m.mask->offset > size || m.mask->length > size - m.mask->offset))
            std::abort();
        if (m.width == 0 || m.height == 0) std::abort();
    }
    // Every member in the order is tried (the reader stops at the first that decodes).
    bool any = false;
    for (const icns::ImageMember& m : order) {
        if (m.width > icns::kMaxSide || m.height > icns::kMaxSide) std::abort();
        if (auto bitmap = icns::decodeMember(bytes, m)) {
            checkBitmap(*bitmap, m.width, m.height);
            any = true;
        }
    }
    if (icns::decodeForSize(bytes, wanted, wanted).has_value() != any) std::abort();
    // The JPEG 2000 decoder on its own, for inputs that are a bare member.
    if (icns::isJpeg2000(bytes)) {
        auto header = icns::readJpeg2000Header(bytes);
        if (auto bitmap = icns::decodeJpeg2000(bytes)) {
            if (!header) std::abort();
            checkBitmap(*bitmap, header->width, header->height);
        }
    }
    return 0;
}
