#include "platform/graphics/IcnsReader.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>

#include "platform/graphics/IcnsJpeg2000.h"

namespace icns {

namespace {

constexpr std::size_t kHeader = 8;
constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

std::uint32_t be32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

bool isType(const Member& member, const char* type) {
    return std::memcmp(member.type.data(), type, 4) == 0;
}

/// The members whose pixels are three run-length planes, their side, their mask's type, and
/// how many bytes come before the planes.
struct RunLengthType {
    const char* type;
    std::uint32_t side;
    const char* mask;
    std::size_t skip;
};
constexpr RunLengthType kRunLengthTypes[] = {
    {"is32", 16, "s8mk", 0},
    {"il32", 32, "l8mk", 0},
    {"ih32", 48, "h8mk", 0},
    {"it32", 128, "t8mk", 4},  // four zero bytes lead its planes
};

/// The members whose pixels may be "ARGB" and four run-length planes, and their side.
struct ArgbType {
    const char* type;
    std::uint32_t side;
};
constexpr ArgbType kArgbTypes[] = {{"ic04", 16}, {"ic05", 32}};
constexpr std::uint8_t kArgbTag[4] = {'A', 'R', 'G', 'B'};

std::span<const std::uint8_t> dataOf(std::span<const std::uint8_t> bytes, const Member& member) {
    return bytes.subspan(member.offset, member.length);
}

/// The first mask member of each 24-bit type, in kRunLengthTypes' order.
using Masks = std::array<std::optional<Member>, std::size(kRunLengthTypes)>;

/// The image member that `member` is, if it is one we decode.
std::optional<ImageMember> classify(std::span<const std::uint8_t> bytes, const Member& member,
                                    const Masks& masks) {
    std::span<const std::uint8_t> data = dataOf(bytes, member);
    for (std::size_t i = 0; i < std::size(kRunLengthTypes); ++i) {
        const RunLengthType& t = kRunLengthTypes[i];
        if (isType(member, t.type))
            return ImageMember{member, Encoding::RunLengthRgb, t.side, t.side, masks[i]};
    }
    // Any type may carry PNG or JPEG 2000 data (ic07..ic14, icp4..icp6): the signature decides.
    if (auto size = pngSize(data))
        return ImageMember{member, Encoding::Png, size->first, size->second, std::nullopt};
    if (isJpeg2000(data)) {
        auto header = readJpeg2000Header(data);
        if (!header) return std::nullopt;
        return ImageMember{member, Encoding::Jpeg2000, header->width, header->height, std::nullopt};
    }
    for (const ArgbType& t : kArgbTypes) {
        if (isType(member, t.type) && data.size() >= 4 &&
            std::memcmp(data.data(), kArgbTag, 4) == 0)
            return ImageMember{member, Encoding::RunLengthArgb, t.side, t.side, std::nullopt};
    }
    return std::nullopt;
}

/// Fills `plane` from the run-length coded bytes at `at` (which it advances): a control byte
/// below 0x80 is followed by that many plus one literal bytes, one at or above it by a byte
/// repeated that many minus 0x80 plus three times. False when the bytes end first or a run
/// would go past the plane.
bool unpackPlane(std::span<const std::uint8_t> data, std::size_t& at,
                 std::span<std::uint8_t> plane) {
    std::size_t filled = 0;
    while (filled < plane.size()) {
        if (at >= data.size()) return false;
        const std::uint8_t control = data[at++];
        if (control < 0x80) {
            const std::size_t n = std::size_t{control} + 1;
            if (n > plane.size() - filled || n > data.size() - at) return false;
            std::memcpy(plane.data() + filled, data.data() + at, n);
            at += n;
            filled += n;
        } else {
            const std::size_t n = std::size_t{control} - 0x80 + 3;
            if (n > plane.size() - filled || at >= data.size()) return false;
            std::memset(plane.data() + filled, data[at++], n);
            filled += n;
        }
    }
    return true;
}

/// `count` run-length planes of `side` x `side` bytes, one after another from `at`.
std::optional<std::vector<std::uint8_t>> unpackPlanes(std::span<const std::uint8_t> data,
                                                      std::size_t at, std::uint32_t side,
                                                      int count) {
    const std::size_t size = std::size_t{side} * side;
    std::vector<std::uint8_t> planes(size * count);
    for (int i = 0; i < count; ++i) {
        if (!unpackPlane(data, at, std::span<std::uint8_t>(planes).subspan(size * i, size)))
            return std::nullopt;
    }
    return planes;
}

std::optional<Bitmap> decodeRunLength(std::span<const std::uint8_t> bytes,
                                      const ImageMember& image) {
    const std::uint32_t side = image.width;
    const std::size_t size = std::size_t{side} * side;
    std::span<const std::uint8_t> data = dataOf(bytes, image.member);
    const bool argb = image.encoding == Encoding::RunLengthArgb;
    std::size_t skip = argb ? sizeof kArgbTag : 0;
    for (const RunLengthType& t : kRunLengthTypes)
        if (!argb && isType(image.member, t.type)) skip = t.skip;
    if (data.size() < skip) return std::nullopt;
    auto planes = unpackPlanes(data, skip, side, argb ? 4 : 3);
    if (!planes) return std::nullopt;
    const std::uint8_t* colour = planes->data() + (argb ? size : 0);
    const std::uint8_t* alpha = argb ? planes->data() : nullptr;
    if (image.mask) {
        // A mask shorter than its plane is broken, and so is the member it goes with.
        if (image.mask->length < size) return std::nullopt;
        alpha = bytes.data() + image.mask->offset;
    }
    Bitmap bitmap{side, side, std::vector<std::uint32_t>(size)};
    for (std::size_t i = 0; i < size; ++i) {
        bitmap.pixels[i] = premultipliedPixel(alpha ? alpha[i] : 0xff, colour[i], colour[size + i],
                                              colour[2 * size + i]);
    }
    return bitmap;
}

std::optional<Bitmap> decodePng(std::span<const std::uint8_t> data) {
    struct Reader {
        std::span<const std::uint8_t> rest;
    } reader{data};
    cairo_surface_t* png = cairo_image_surface_create_from_png_stream(
        [](void* closure, unsigned char* out, unsigned int length) {
            auto* r = static_cast<Reader*>(closure);
            if (length > r->rest.size()) return CAIRO_STATUS_READ_ERROR;
            std::memcpy(out, r->rest.data(), length);
            r->rest = r->rest.subspan(length);
            return CAIRO_STATUS_SUCCESS;
        },
        &reader);
    std::optional<Bitmap> bitmap;
    if (cairo_surface_status(png) == CAIRO_STATUS_SUCCESS) {
        const int w = cairo_image_surface_get_width(png), h = cairo_image_surface_get_height(png);
        // Whatever format the PNG came in (opaque ones come without alpha), painted into ARGB.
        cairo_surface_t* argb = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        cairo_t* cr = cairo_create(argb);
        cairo_set_source_surface(cr, png, 0, 0);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(argb);
        if (cairo_surface_status(argb) == CAIRO_STATUS_SUCCESS && w > 0 && h > 0) {
            bitmap = Bitmap{static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h), {}};
            bitmap->pixels.resize(std::size_t(w) * h);
            const unsigned char* rows = cairo_image_surface_get_data(argb);
            const int stride = cairo_image_surface_get_stride(argb);
            for (int y = 0; y < h; ++y)
                std::memcpy(bitmap->pixels.data() + std::size_t(y) * w,
                            rows + std::size_t(y) * stride, std::size_t(w) * 4);
        }
        cairo_surface_destroy(argb);
    }
    cairo_surface_destroy(png);
    return bitmap;
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

std::vector<ImageMember> imageMembers(std::span<const std::uint8_t> bytes) {
    std::vector<ImageMember> out;
    auto members = readMembers(bytes);
    if (!members) return out;
    Masks masks;
    for (const Member& member : *members) {
        for (std::size_t i = 0; i < std::size(kRunLengthTypes); ++i)
            if (!masks[i] && isType(member, kRunLengthTypes[i].mask)) masks[i] = member;
    }
    for (const Member& member : *members) {
        if (out.size() == kMaxImageMembers) break;
        if (auto image = classify(bytes, member, masks)) out.push_back(*image);
    }
    return out;
}

std::vector<ImageMember> imageMembersForSize(std::span<const std::uint8_t> bytes,
                                             std::uint32_t minWidth, std::uint32_t minHeight) {
    std::vector<ImageMember> large, small;
    for (const ImageMember& m : imageMembers(bytes)) {
        if (m.width > kMaxSide || m.height > kMaxSide) continue;  // never decoded
        (m.width >= minWidth && m.height >= minHeight ? large : small).push_back(m);
    }
    std::stable_sort(large.begin(), large.end(), [](const ImageMember& a, const ImageMember& b) {
        return a.pixels() < b.pixels();
    });
    std::stable_sort(small.begin(), small.end(), [](const ImageMember& a, const ImageMember& b) {
        return a.pixels() > b.pixels();
    });
    large.insert(large.end(), small.begin(), small.end());
    return large;
}

std::optional<Bitmap> decodeMember(std::span<const std::uint8_t> bytes, const ImageMember& member) {
    if (member.width == 0 || member.height == 0 || member.width > kMaxSide ||
        member.height > kMaxSide || member.member.offset > bytes.size() ||
        member.member.length > bytes.size() - member.member.offset)
        return std::nullopt;
    if (member.mask && (member.mask->offset > bytes.size() ||
                        member.mask->length > bytes.size() - member.mask->offset))
        return std::nullopt;
    std::optional<Bitmap> bitmap;
    switch (member.encoding) {
        case Encoding::Png:
            bitmap = decodePng(dataOf(bytes, member.member));
            break;
        case Encoding::Jpeg2000:
            bitmap = decodeJpeg2000(dataOf(bytes, member.member));
            break;
        case Encoding::RunLengthRgb:
        case Encoding::RunLengthArgb:
            bitmap = decodeRunLength(bytes, member);
            break;
    }
    // A member that decodes to another size than it announced is not to be trusted.
    if (bitmap && (bitmap->width != member.width || bitmap->height != member.height))
        return std::nullopt;
    return bitmap;
}

std::optional<Bitmap> decodeForSize(std::span<const std::uint8_t> bytes, std::uint32_t minWidth,
                                    std::uint32_t minHeight) {
    for (const ImageMember& member : imageMembersForSize(bytes, minWidth, minHeight)) {
        if (auto bitmap = decodeMember(bytes, member)) return bitmap;
    }
    return std::nullopt;
}

}  // namespace icns
