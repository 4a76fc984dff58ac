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
    return 0;
}
