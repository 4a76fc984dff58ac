#include "platform/graphics/IcnsReader.h"

#include <cstring>

namespace icns {

namespace {

constexpr std::size_t kHeader = 8;
constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

std::uint32_t be32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

}  // namespace

std::optional<std::vector<Member>> readMembers(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kHeader || std::memcmp(bytes.data(), "icns", 4) != 0) return std::nullopt;
    // The header's length bounds the members; a header that claims more than the file holds
    // (a truncated download) still gives the members that are complete.
    std::size_t end = std::min<std::size_t>(be32(bytes, 4), bytes.size());
    std::vector<Member> members;
    std::size_t at = kHeader;
    while (at + kHeader <= end) {
        std::size_t length = be32(bytes, at + 4);
        if (length < kHeader || length > end - at) break;
        Member member;
        std::memcpy(member.type.data(), bytes.data() + at, 4);
        member.offset = at + kHeader;
        member.length = length - kHeader;
        members.push_back(member);
        at += length;
    }
    return members;
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> pngSize(
    std::span<const std::uint8_t> bytes) {
    // Signature, then the first chunk: length, "IHDR", width, height.
    if (bytes.size() < 24 || std::memcmp(bytes.data(), kPngSignature, 8) != 0 ||
        std::memcmp(bytes.data() + 12, "IHDR", 4) != 0)
        return std::nullopt;
    std::uint32_t width = be32(bytes, 16), height = be32(bytes, 20);
    if (width == 0 || height == 0) return std::nullopt;
    return std::pair{width, height};
}

namespace {

/// The members that hold PNG data, in file order, with their pixel sizes.
std::vector<PngMember> pngMembers(std::span<const std::uint8_t> bytes) {
    std::vector<PngMember> out;
    auto members = readMembers(bytes);
    if (!members) return out;
    for (const Member& member : *members) {
        // Any type may carry PNG data (ic07..ic14, icp4..icp6): the signature decides.
        if (auto size = pngSize(bytes.subspan(member.offset, member.length)))
            out.push_back(PngMember{member, size->first, size->second});
    }
    return out;
}

std::uint64_t pixelsOf(const PngMember& m) {
    return std::uint64_t{m.width} * m.height;
}

}  // namespace

std::optional<PngMember> largestPngMember(std::span<const std::uint8_t> bytes) {
    std::optional<PngMember> best;
    for (const PngMember& m : pngMembers(bytes))
        if (!best || pixelsOf(m) > pixelsOf(*best)) best = m;
    return best;
}

std::optional<PngMember> pngMemberForSize(std::span<const std::uint8_t> bytes,
                                          std::uint32_t minWidth, std::uint32_t minHeight) {
    const std::vector<PngMember> members = pngMembers(bytes);
    std::optional<PngMember> best, largest;
    for (const PngMember& m : members) {
        if (!largest || pixelsOf(m) > pixelsOf(*largest)) largest = m;
        if (m.width < minWidth || m.height < minHeight) continue;
        if (!best || pixelsOf(m) < pixelsOf(*best)) best = m;
    }
    return best ? best : largest;
}

}  // namespace icns
