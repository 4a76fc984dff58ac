#pragma once
// Icon files made by tests: the container and its members, run-length planes, and JPEG 2000
// images encoded losslessly through OpenJPEG, so that decoded pixels can be compared exactly.

#include <openjpeg.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace icnsfixtures {

inline std::string be32(std::uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

/// One member: type, length with its header, data.
inline std::string member(const std::string& type, const std::string& data) {
    return type + be32(static_cast<std::uint32_t>(data.size() + 8)) + data;
}

/// The container around members made with member().
inline std::string container(const std::string& body) {
    return "icns" + be32(static_cast<std::uint32_t>(body.size() + 8)) + body;
}

inline std::span<const std::uint8_t> bytesOf(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

/// `plane` in the icon files' run-length coding: runs of three or more equal bytes (up to 130)
/// as a repeat, everything else as literals (up to 128).
inline std::string packRunLength(const std::string& plane) {
    std::string out;
    std::size_t at = 0;
    while (at < plane.size()) {
        std::size_t run = 1;
        while (at + run < plane.size() && run < 130 && plane[at + run] == plane[at])
            ++run;
        if (run >= 3) {
            out += char(0x80 + run - 3);
            out += plane[at];
            at += run;
            continue;
        }
        std::size_t start = at, n = 0;
        while (at < plane.size() && n < 128) {
            if (at + 2 < plane.size() && plane[at] == plane[at + 1] && plane[at] == plane[at + 2])
                break;
            ++at, ++n;
        }
        out += char(n - 1);
        out += plane.substr(start, n);
    }
    return out;
}

/// A plane of `side` x `side` bytes, each `value(x, y)`.
inline std::string plane(std::uint32_t side, const std::function<std::uint8_t(int, int)>& value) {
    std::string out;
    for (std::uint32_t y = 0; y < side; ++y)
        for (std::uint32_t x = 0; x < side; ++x)
            out += char(value(int(x), int(y)));
    return out;
}

/// A plane of `side` x `side` bytes of `value`.
inline std::string plane(std::uint32_t side, std::uint8_t value) {
    return std::string(std::size_t{side} * side, char(value));
}

/// What encodeJpeg2000 makes.
struct Jpeg2000Options {
    bool jp2 = true;  ///< a JP2 file, else a raw codestream
    std::uint32_t width = 32;
    std::uint32_t height = 32;
    int components = 4;  ///< the last of two or four is marked as alpha
    int precision = 8;
    bool isSigned = false;
    std::uint32_t subsampling = 1;  ///< of every component, both ways
    OPJ_COLOR_SPACE space = OPJ_CLRSPC_SRGB;
    std::uint32_t tileSide = 0;  ///< 0: one tile
};

/// A lossless JPEG 2000 image whose component `c` holds `sample(c, x, y)`; "" when the
/// library refuses the options.
inline std::string encodeJpeg2000(
    const Jpeg2000Options& o, const std::function<int(int, std::uint32_t, std::uint32_t)>& sample) {
    const std::uint32_t cw = (o.width + o.subsampling - 1) / o.subsampling;
    const std::uint32_t ch = (o.height + o.subsampling - 1) / o.subsampling;
    std::vector<opj_image_cmptparm_t> parms(o.components);
    for (opj_image_cmptparm_t& p : parms) {
        std::memset(&p, 0, sizeof p);
        p.dx = p.dy = o.subsampling;
        p.w = cw;
        p.h = ch;
        p.prec = static_cast<OPJ_UINT32>(o.precision);
        p.sgnd = o.isSigned ? 1 : 0;
    }
    opj_image_t* image =
        opj_image_create(static_cast<OPJ_UINT32>(o.components), parms.data(), o.space);
    if (!image) return {};
    image->x0 = image->y0 = 0;
    image->x1 = o.width;
    image->y1 = o.height;
    for (int c = 0; c < o.components; ++c) {
        for (std::uint32_t y = 0; y < ch; ++y)
            for (std::uint32_t x = 0; x < cw; ++x)
                image->comps[c].data[y * cw + x] = sample(c, x, y);
    }
    if (o.components == 2 || o.components == 4) image->comps[o.components - 1].alpha = 1;

    opj_cparameters_t p;
    opj_set_default_encoder_parameters(&p);
    p.tcp_numlayers = 1;
    p.tcp_rates[0] = 0;  // lossless
    p.cp_disto_alloc = 1;
    std::uint32_t side = std::min(cw, ch);
    if (o.tileSide) {
        p.tile_size_on = OPJ_TRUE;
        p.cp_tdx = p.cp_tdy = static_cast<int>(o.tileSide);
        side = std::min(side, o.tileSide);
    }
    p.numresolution = 1;
    while (p.numresolution < 6 && (1u << p.numresolution) <= side)
        ++p.numresolution;
    p.tcp_mct = o.components >= 3 && o.subsampling == 1 ? 1 : 0;

    struct Sink {
        std::string out;
        std::size_t at = 0;
    } sink;
    opj_codec_t* codec = opj_create_compress(o.jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    auto quiet = [](const char*, void*) {};
    opj_set_info_handler(codec, quiet, nullptr);
    opj_set_warning_handler(codec, quiet, nullptr);
    opj_set_error_handler(codec, quiet, nullptr);
    opj_stream_t* stream = opj_stream_create(1 << 16, OPJ_FALSE);
    opj_stream_set_user_data(stream, &sink, nullptr);
    opj_stream_set_write_function(stream, [](void* buffer, OPJ_SIZE_T n, void* data) -> OPJ_SIZE_T {
        auto* s = static_cast<Sink*>(data);
        if (s->out.size() < s->at + n) s->out.resize(s->at + n);
        std::memcpy(s->out.data() + s->at, buffer, n);
        s->at += n;
        return n;
    });
    opj_stream_set_skip_function(stream, [](OPJ_OFF_T n, void* data) -> OPJ_OFF_T {
        auto* s = static_cast<Sink*>(data);
        s->at = static_cast<std::size_t>(static_cast<OPJ_OFF_T>(s->at) + n);
        if (s->out.size() < s->at) s->out.resize(s->at);
        return n;
    });
    opj_stream_set_seek_function(stream, [](OPJ_OFF_T to, void* data) -> OPJ_BOOL {
        auto* s = static_cast<Sink*>(data);
        s->at = static_cast<std::size_t>(to);
        if (s->out.size() < s->at) s->out.resize(s->at);
        return OPJ_TRUE;
    });
    const bool ok = opj_setup_encoder(codec, &p, image) &&
                    opj_start_compress(codec, image, stream) && opj_encode(codec, stream) &&
                    opj_end_compress(codec, stream);
    opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    opj_image_destroy(image);
    return ok ? sink.out : std::string();
}

/// An RGBA JPEG 2000 image of one colour (straight alpha).
inline std::string solidJpeg2000(std::uint32_t side, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                 std::uint8_t a = 255, bool jp2 = true) {
    Jpeg2000Options o;
    o.jp2 = jp2;
    o.width = o.height = side;
    const int values[4] = {r, g, b, a};
    return encodeJpeg2000(o, [&](int c, std::uint32_t, std::uint32_t) { return values[c]; });
}

}  // namespace icnsfixtures
