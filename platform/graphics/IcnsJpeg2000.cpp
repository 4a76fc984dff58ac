#include "platform/graphics/IcnsJpeg2000.h"

#include <openjpeg.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace icns {

namespace {

constexpr std::uint8_t kJp2Signature[12] = {0,   0,   0,    12,   'j',  'P',
                                            ' ', ' ', 0x0d, 0x0a, 0x87, 0x0a};
constexpr std::uint8_t kCodestreamStart[4] = {0xff, 0x4f, 0xff, 0x51};  // SOC, SIZ

std::uint32_t be16(std::span<const std::uint8_t> b, std::size_t at) {
    return (std::uint32_t{b[at]} << 8) | b[at + 1];
}

std::uint32_t be32(std::span<const std::uint8_t> b, std::size_t at) {
    return (be16(b, at) << 16) | be16(b, at + 2);
}

bool startsWith(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> prefix) {
    return bytes.size() >= prefix.size() &&
           std::memcmp(bytes.data(), prefix.data(), prefix.size()) == 0;
}

std::uint64_t ceilDiv(std::uint64_t a, std::uint64_t b) {
    return (a + b - 1) / b;
}

/// The SIZ marker of a codestream that starts at `bytes`.
std::optional<Jpeg2000Header> readSiz(std::span<const std::uint8_t> bytes) {
    // SOC, SIZ, Lsiz, Rsiz, Xsiz, Ysiz, XOsiz, YOsiz, XTsiz, YTsiz, XTOsiz, YTOsiz, Csiz, then
    // three bytes a component.
    constexpr std::size_t kFixed = 4 + 2 + 2 + 8 * 4 + 2;
    if (!startsWith(bytes, kCodestreamStart) || bytes.size() < kFixed) return std::nullopt;
    const std::uint32_t lsiz = be16(bytes, 4);
    const std::uint32_t xsiz = be32(bytes, 8), ysiz = be32(bytes, 12);
    const std::uint32_t xo = be32(bytes, 16), yo = be32(bytes, 20);
    const std::uint32_t xt = be32(bytes, 24), yt = be32(bytes, 28);
    const std::uint32_t xto = be32(bytes, 32), yto = be32(bytes, 36);
    const std::uint32_t components = be16(bytes, 40);
    if (components == 0 || lsiz != 38 + 3 * components || bytes.size() < 4 + lsiz)
        return std::nullopt;
    if (xsiz <= xo || ysiz <= yo || xt == 0 || yt == 0 || xto > xo || yto > yo ||
        std::uint64_t{xto} + xt <= xo || std::uint64_t{yto} + yt <= yo)
        return std::nullopt;
    Jpeg2000Header header;
    header.width = xsiz - xo;
    header.height = ysiz - yo;
    header.components = components;
    header.tiles = ceilDiv(xsiz - xto, xt) * ceilDiv(ysiz - yto, yt);
    return header;
}

/// The data of the first 'jp2c' box of a JP2 file.
std::optional<std::span<const std::uint8_t>> codestreamOfJp2(std::span<const std::uint8_t> bytes) {
    std::size_t at = 0;
    while (bytes.size() - at >= 8) {
        std::uint64_t length = be32(bytes, at);
        std::size_t header = 8;
        if (length == 1) {  // a 64-bit length follows the type
            if (bytes.size() - at < 16) return std::nullopt;
            length = (std::uint64_t{be32(bytes, at + 8)} << 32) | be32(bytes, at + 12);
            header = 16;
        } else if (length == 0) {  // the box runs to the end
            length = bytes.size() - at;
        }
        if (length < header || length > bytes.size() - at) return std::nullopt;
        if (std::memcmp(bytes.data() + at + 4, "jp2c", 4) == 0)
            return bytes.subspan(at + header, static_cast<std::size_t>(length) - header);
        at += static_cast<std::size_t>(length);
    }
    return std::nullopt;
}

/// Reads the member's bytes for the decoder.
struct Source {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;
};

OPJ_SIZE_T readSource(void* buffer, OPJ_SIZE_T count, void* data) {
    auto* s = static_cast<Source*>(data);
    if (s->at >= s->bytes.size()) return static_cast<OPJ_SIZE_T>(-1);
    const std::size_t n = std::min<std::size_t>(count, s->bytes.size() - s->at);
    std::memcpy(buffer, s->bytes.data() + s->at, n);
    s->at += n;
    return n;
}

OPJ_OFF_T skipSource(OPJ_OFF_T count, void* data) {
    auto* s = static_cast<Source*>(data);
    if (count >= 0) {
        // Never answer 0 for a forward skip: the library would ask again for ever.
        const auto n =
            std::min<std::uint64_t>(static_cast<std::uint64_t>(count), s->bytes.size() - s->at);
        if (n == 0 && count > 0) return -1;
        s->at += static_cast<std::size_t>(n);
        return static_cast<OPJ_OFF_T>(n);
    }
    if (static_cast<std::uint64_t>(-count) > s->at) return -1;
    s->at -= static_cast<std::size_t>(-count);
    return count;
}

OPJ_BOOL seekSource(OPJ_OFF_T to, void* data) {
    auto* s = static_cast<Source*>(data);
    if (to < 0 || static_cast<std::uint64_t>(to) > s->bytes.size()) return OPJ_FALSE;
    s->at = static_cast<std::size_t>(to);
    return OPJ_TRUE;
}

void quiet(const char*, void*) {}

struct CodecDeleter {
    void operator()(opj_codec_t* c) const { opj_destroy_codec(c); }
};
struct StreamDeleter {
    void operator()(opj_stream_t* s) const { opj_stream_destroy(s); }
};
struct ImageDeleter {
    void operator()(opj_image_t* i) const { opj_image_destroy(i); }
};

/// The decoded image as a Bitmap; nil when its components cannot be shown as ARGB.
std::optional<Bitmap> toBitmap(const opj_image_t& image, std::uint32_t width,
                               std::uint32_t height) {
    const std::uint32_t count = image.numcomps;
    if (count < 1 || count > 4 || !image.comps) return std::nullopt;
    if (image.color_space == OPJ_CLRSPC_SYCC || image.color_space == OPJ_CLRSPC_EYCC ||
        image.color_space == OPJ_CLRSPC_CMYK)
        return std::nullopt;
    for (std::uint32_t i = 0; i < count; ++i) {
        const opj_image_comp_t& c = image.comps[i];
        if (!c.data || c.w != width || c.h != height || c.dx != 1 || c.dy != 1 || c.sgnd ||
            c.prec < 1 || c.prec > 16)
            return std::nullopt;
    }
    // Grey, grey and alpha, RGB or RGBA; the alpha is the component marked so, else the last.
    std::uint32_t alpha = count;
    if (count == 2 || count == 4) {
        alpha = count - 1;
        for (std::uint32_t i = 0; i < count; ++i)
            if (image.comps[i].alpha) alpha = i;
    }
    std::uint32_t colour[3];
    for (std::uint32_t i = 0, n = 0; i < count; ++i)
        if (i != alpha) colour[n++] = i;
    if (count < 3) colour[1] = colour[2] = colour[0];

    const auto sample = [&image](std::uint32_t component, std::size_t at) -> std::uint8_t {
        const opj_image_comp_t& c = image.comps[component];
        const std::int64_t max = (std::int64_t{1} << c.prec) - 1;
        const std::int64_t v = std::clamp<std::int64_t>(c.data[at], 0, max);
        return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
    };
    Bitmap bitmap{width, height, {}};
    const std::size_t n = std::size_t{width} * height;
    bitmap.pixels.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t a = alpha < count ? sample(alpha, i) : 0xff;
        bitmap.pixels[i] =
            premultipliedPixel(a, sample(colour[0], i), sample(colour[1], i), sample(colour[2], i));
    }
    return bitmap;
}

}  // namespace

bool isJpeg2000(std::span<const std::uint8_t> bytes) {
    return startsWith(bytes, kJp2Signature) || startsWith(bytes, kCodestreamStart);
}

std::optional<Jpeg2000Header> readJpeg2000Header(std::span<const std::uint8_t> bytes) {
    if (startsWith(bytes, kCodestreamStart)) return readSiz(bytes);
    if (!startsWith(bytes, kJp2Signature)) return std::nullopt;
    auto codestream = codestreamOfJp2(bytes);
    if (!codestream) return std::nullopt;
    auto header = readSiz(*codestream);
    if (header) header->jp2 = true;
    return header;
}

std::optional<Bitmap> decodeJpeg2000(std::span<const std::uint8_t> bytes) {
    const auto header = readJpeg2000Header(bytes);
    if (!header || header->width > kMaxSide || header->height > kMaxSide ||
        header->components > 4 || header->tiles > kMaxJpeg2000Tiles)
        return std::nullopt;

    std::unique_ptr<opj_codec_t, CodecDeleter> codec(
        opj_create_decompress(header->jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K));
    if (!codec) return std::nullopt;
    opj_set_info_handler(codec.get(), quiet, nullptr);
    opj_set_warning_handler(codec.get(), quiet, nullptr);
    opj_set_error_handler(codec.get(), quiet, nullptr);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(codec.get(), &parameters)) return std::nullopt;

    Source source{bytes, 0};
    std::unique_ptr<opj_stream_t, StreamDeleter> stream(
        opj_stream_create(std::min<std::size_t>(bytes.size(), 64 * 1024), OPJ_TRUE));
    if (!stream) return std::nullopt;
    opj_stream_set_user_data(stream.get(), &source, nullptr);
    opj_stream_set_user_data_length(stream.get(), bytes.size());
    opj_stream_set_read_function(stream.get(), readSource);
    opj_stream_set_skip_function(stream.get(), skipSource);
    opj_stream_set_seek_function(stream.get(), seekSource);

    opj_image_t* raw = nullptr;
    const bool read = opj_read_header(stream.get(), codec.get(), &raw);
    std::unique_ptr<opj_image_t, ImageDeleter> image(raw);
    if (!read || !image) return std::nullopt;
    // The library's view of the size must be the one we checked.
    if (image->x1 - image->x0 != header->width || image->y1 - image->y0 != header->height)
        return std::nullopt;
    if (!opj_decode(codec.get(), stream.get(), image.get()) ||
        !opj_end_decompress(codec.get(), stream.get()))
        return std::nullopt;
    return toBitmap(*image, header->width, header->height);
}

}  // namespace icns
