#pragma once
// The Apple icon container (.icns): a big-endian header ('icns', total length) followed by
// typed members (four-character type, length including its 8-byte header, data). The members
// that hold an image are told apart by their data and type: PNG and JPEG 2000 by signature,
// the 24-bit run-length members (is32, il32, ih32, it32) with their 8-bit masks (s8mk, l8mk,
// h8mk, t8mk) and the run-length ARGB members (ic04, ic05) by type. Each is decoded to
// premultiplied ARGB pixels.
// Every read is bounds-checked: a truncated or broken file gives fewer members, and a broken
// member is skipped for the next best one, never a crash.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace icns {

/// The longest side of a member that is decoded; larger ones are refused (no icon type holds
/// more than 1024 pixels, and a forged header must not make us allocate gigabytes).
constexpr std::uint32_t kMaxSide = 1024;

/// The most image members of one file that are listed (and so tried): real icon files hold
/// fewer than thirty, and each try of a forged one costs a decode.
constexpr std::size_t kMaxImageMembers = 64;

/// One member of the container: its type and where its data lies in the file's bytes.
struct Member {
    std::array<char, 4> type{};
    std::size_t offset = 0;  ///< of the data, after the member's 8-byte header
    std::size_t length = 0;  ///< of the data

    std::string typeName() const { return std::string(type.data(), type.size()); }
};

/// How a member's pixels are stored.
enum class Encoding {
    Png,
    Jpeg2000,
    RunLengthRgb,   ///< three run-length planes R, G, B; alpha from the mask member, if any
    RunLengthArgb,  ///< "ARGB", then four run-length planes A, R, G, B
};

/// A member that holds an image, with its pixel size (from its header, or fixed by its type).
struct ImageMember {
    Member member;
    Encoding encoding = Encoding::Png;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::optional<Member> mask;  ///< the 8-bit alpha plane of a 24-bit member; nil: opaque

    std::uint64_t pixels() const { return std::uint64_t{width} * height; }
};

/// Decoded pixels: one 32-bit word per pixel, alpha in the top byte, then red, green and blue,
/// each colour premultiplied by alpha; rows top to bottom, `width` words each.
struct Bitmap {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> pixels;
};

/// One Bitmap pixel of the given straight (not premultiplied) alpha and colour.
constexpr std::uint32_t premultipliedPixel(std::uint8_t a, std::uint8_t r, std::uint8_t g,
                                           std::uint8_t b) {
    const auto mul = [a](std::uint8_t c) { return (std::uint32_t{c} * a + 127) / 255; };
    return (std::uint32_t{a} << 24) | (mul(r) << 16) | (mul(g) << 8) | mul(b);
}

/// The members in file order; nil when the bytes do not start with an icns header. Parsing
/// stops at the first member that is shorter than its header or runs past the end of the
/// container (or of the bytes, when the header claims more than there is).
std::optional<std::vector<Member>> readMembers(std::span<const std::uint8_t> bytes);

/// The width and height of PNG bytes, read from the signature and IHDR chunk; nil otherwise.
std::optional<std::pair<std::uint32_t, std::uint32_t>> pngSize(std::span<const std::uint8_t> bytes);

/// The members that hold an image of a kind we decode, in file order, the first
/// kMaxImageMembers of them. Masks are not listed; a 24-bit member takes the first mask of its
/// own size.
std::vector<ImageMember> imageMembers(std::span<const std::uint8_t> bytes);

/// The image members in the order to try them for drawing at `minWidth` x `minHeight` pixels:
/// those at least that large from the smallest up, then the others from the largest down
/// (equal ones in file order). An icon drawn small need not decode its 1024-pixel member.
std::vector<ImageMember> imageMembersForSize(std::span<const std::uint8_t> bytes,
                                             std::uint32_t minWidth, std::uint32_t minHeight);

/// The member's pixels; nil when its data is malformed, does not have the size it announced,
/// or is larger than kMaxSide.
std::optional<Bitmap> decodeMember(std::span<const std::uint8_t> bytes, const ImageMember& member);

/// The first member in imageMembersForSize's order that decodes; nil when none does.
std::optional<Bitmap> decodeForSize(std::span<const std::uint8_t> bytes, std::uint32_t minWidth,
                                    std::uint32_t minHeight);

}  // namespace icns
