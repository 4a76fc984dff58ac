#pragma once
// The Apple icon container (.icns): a big-endian header ('icns', total length) followed by
// typed members (four-character type, length including its 8-byte header, data). Only the
// layout is read here; the members that hold PNG data are picked out for NSImage to decode.
// Every read is bounds-checked: a truncated or broken file gives fewer members, never a crash.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace icns {

/// One member of the container: its type and where its data lies in the file's bytes.
struct Member {
    std::array<char, 4> type{};
    std::size_t offset = 0;  ///< of the data, after the member's 8-byte header
    std::size_t length = 0;  ///< of the data

    std::string typeName() const { return std::string(type.data(), type.size()); }
};

/// A member that holds a PNG image, with the pixel size from its IHDR header.
struct PngMember {
    Member member;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

/// The members in file order; nil when the bytes do not start with an icns header. Parsing
/// stops at the first member that is shorter than its header or runs past the end of the
/// container (or of the bytes, when the header claims more than there is).
std::optional<std::vector<Member>> readMembers(std::span<const std::uint8_t> bytes);

/// The width and height of PNG bytes, read from the signature and IHDR chunk; nil otherwise.
std::optional<std::pair<std::uint32_t, std::uint32_t>> pngSize(std::span<const std::uint8_t> bytes);

/// The PNG member with the most pixels (the first of equal ones); nil when there is none.
std::optional<PngMember> largestPngMember(std::span<const std::uint8_t> bytes);

/// The smallest PNG member at least `minWidth` x `minHeight` pixels (the first of equal ones),
/// else the largest: an icon drawn small need not decode its 1024-pixel member.
std::optional<PngMember> pngMemberForSize(std::span<const std::uint8_t> bytes,
                                          std::uint32_t minWidth, std::uint32_t minHeight);

}  // namespace icns
