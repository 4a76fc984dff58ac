// Fuzz target of the icon-container reader: any bytes must give members that lie inside the
// input, and a PNG member whose header lies inside its member, without crashing or hanging.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/graphics/IcnsReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const std::uint8_t> bytes(data, size);
    if (auto members = icns::readMembers(bytes)) {
        for (const icns::Member& m : *members)
            if (m.offset > size || m.length > size - m.offset) std::abort();
    }
    if (auto best = icns::largestPngMember(bytes)) {
        if (best->member.length < 24 || best->width == 0 || best->height == 0) std::abort();
    }
    // The first bytes double as the size asked for.
    const std::uint32_t wanted = size > 0 ? data[0] : 0;
    if (auto fit = icns::pngMemberForSize(bytes, wanted, wanted)) {
        if (fit->member.offset > size || fit->member.length > size - fit->member.offset)
            std::abort();
        if (fit->width == 0 || fit->height == 0) std::abort();
    } else if (icns::largestPngMember(bytes)) {
        std::abort();  // a member to fall back on was there
    }
    return 0;
}
