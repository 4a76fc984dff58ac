// Catches an icon-container reader that picks a member too small or needlessly large for the
// drawn size, reads past a member, the container or the bytes it was given, misdecodes the
// run-length, ARGB or JPEG 2000 members, pairs a mask with the wrong member, or gives up on the
// file (or tries an unbounded decode) when one member is broken or forged.
#include "platform/graphics/IcnsReader.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/graphics/IcnsJpeg2000.h"
#include "platform/graphics/NSColor.h"
#include "support/FileFixtures.h"
#include "support/ImageFixtures.h"
#include "tests/platform/graphics/IcnsFixtures.h"

namespace {

using namespace icnsfixtures;
using namespace std::string_literals;

/// Just the PNG signature and an IHDR header of `w` x `h` (enough to be listed, not decoded).
std::string pngHead(std::uint32_t w, std::uint32_t h) {
    return std::string("\x89PNG\r\n\x1a\n", 8) + be32(13) + "IHDR" + be32(w) + be32(h) +
           std::string("\x08\x06\0\0\0", 5) + be32(0);
}

/// A real PNG of one colour.
std::string solidPng(int side, const Ref<NSColor>& color) {
    fixtures::TempDir dir;
    std::string path = dir / "solid.png";
    fixtures::writeSolidPng(path, side, side, color);
    return fixtures::readFile(path);
}

/// The three run-length planes of a 24-bit member of one colour.
std::string solidRgb(std::uint32_t side, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return packRunLength(plane(side, r)) + packRunLength(plane(side, g)) +
           packRunLength(plane(side, b));
}

std::uint32_t pixelAt(const icns::Bitmap& bitmap, std::uint32_t x, std::uint32_t y) {
    return bitmap.pixels.at(std::size_t{y} * bitmap.width + x);
}

std::vector<std::string> typesOf(const std::vector<icns::ImageMember>& members) {
    std::vector<std::string> out;
    for (const icns::ImageMember& m : members)
        out.push_back(m.member.typeName());
    return out;
}

/// The one image member of `type` in `file`.
std::optional<icns::ImageMember> imageMember(const std::string& file, const std::string& type) {
    for (const icns::ImageMember& m : icns::imageMembers(bytesOf(file)))
        if (m.member.typeName() == type) return m;
    return std::nullopt;
}

TEST(IcnsReader, WithNoneLargeEnoughTheLargestComesFirstFirstOfEqualOnes) {
    std::string file =
        container(member("TOC ", be32(0)) + member("ic07", pngHead(128, 128)) +
                  member("ic13", pngHead(256, 256)) + member("ic08", pngHead(256, 256)) +
                  member("it32", std::string(40000, 'z')) + member("ic04", pngHead(16, 16)));
    auto order = icns::imageMembersForSize(bytesOf(file), UINT32_MAX, UINT32_MAX);
    EXPECT_EQ(typesOf(order), (std::vector<std::string>{"ic13", "ic08", "ic07", "it32", "ic04"}));
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order[0].width, 256u);
    EXPECT_EQ(file.substr(order[0].member.offset, order[0].member.length), pngHead(256, 256));
}

TEST(IcnsReader, MemberForASizeIsTheSmallestLargeEnoughElseTheLargest) {
    std::string file =
        container(member("ic07", pngHead(128, 128)) + member("ic04", pngHead(16, 16)) +
                  member("ic13", pngHead(256, 256)) + member("ic12", pngHead(64, 64)) +
                  member("icp4", pngHead(64, 32)));
    struct Case {
        std::uint32_t w, h;
        const char* type;
    } cases[] =
        {
            {0, 0, "ic04"},     {16, 16, "ic04"}, {17, 17, "icp4"}, {33, 33, "ic12"},
            {64, 64, "ic12"},   {64, 30, "icp4"}, {65, 65, "ic07"}, {200, 10, "ic13"},
            {512, 512, "ic13"},  // none is that large: the largest
        };
    for (const Case& c : cases) {
        auto order = icns::imageMembersForSize(bytesOf(file), c.w, c.h);
        ASSERT_FALSE(order.empty()) << c.w << "x" << c.h;
        EXPECT_EQ(order[0].member.typeName(), c.type) << c.w << "x" << c.h;
    }
    EXPECT_TRUE(
        icns::imageMembersForSize(bytesOf(container(member("TOC ", "xx"))), 16, 16).empty());
}

// Every kind takes part in the choice, with its own size; after the ones large enough come the
// smaller ones, largest first, for when the better ones turn out broken.
TEST(IcnsReader, MembersOfEveryKindAreOrderedBySizeForTheDrawnSize) {
    const std::string jp2 = solidJpeg2000(256, 1, 2, 3);
    ASSERT_FALSE(jp2.empty());
    std::string file =
        container(member("is32", solidRgb(16, 1, 1, 1)) + member("s8mk", plane(16, 0xff)) +
                  member("ic08", jp2) + member("il32", solidRgb(32, 1, 1, 1)) +
                  member("ic12", pngHead(64, 64)) + member("ih32", solidRgb(48, 1, 1, 1)) +
                  member("it32", be32(0) + solidRgb(128, 1, 1, 1)) +
                  member("ic05", "ARGB" + std::string(4, '\0')) + member("icnV", be32(0)) +
                  member("ic11", "neither PNG nor JPEG 2000"));
    struct Case {
        std::uint32_t wanted;
        std::vector<std::string> order;
    } cases[] = {
        {0, {"is32", "il32", "ic05", "ih32", "ic12", "it32", "ic08"}},
        {32, {"il32", "ic05", "ih32", "ic12", "it32", "ic08", "is32"}},
        {64, {"ic12", "it32", "ic08", "ih32", "il32", "ic05", "is32"}},
        {129, {"ic08", "it32", "ic12", "ih32", "il32", "ic05", "is32"}},
        {1024, {"ic08", "it32", "ic12", "ih32", "il32", "ic05", "is32"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(typesOf(icns::imageMembersForSize(bytesOf(file), c.wanted, c.wanted)), c.order)
            << c.wanted;
    auto ic08 = imageMember(file, "ic08");
    ASSERT_TRUE(ic08);
    EXPECT_EQ(ic08->encoding, icns::Encoding::Jpeg2000);
    EXPECT_EQ(ic08->width, 256u);
}

TEST(IcnsReader, StopsAtBrokenMembersWithinBounds) {
    std::string good = member("ic07", pngHead(32, 32));
    struct Case {
        const char* what;
        std::string bytes;
        std::optional<std::size_t> members;  // nil: not an icns
    } cases[] = {
        {"empty", "", std::nullopt},
        {"not an icns", "PNG icns" + good, std::nullopt},
        {"member shorter than its header", container(good + "ic08" + be32(7) + good), 1},
        {"member past the container", container(good + "ic08" + be32(500) + good), 1},
        {"container longer than the bytes", "icns" + be32(1u << 30) + good + good.substr(0, 9), 1},
        {"container shorter than the bytes", "icns" + be32(8 + good.size()) + good + good, 1},
        {"truncated member header", container(good + "ic0"), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto members = icns::readMembers(bytesOf(c.bytes));
        ASSERT_EQ(members.has_value(), c.members.has_value());
        if (!members) continue;
        EXPECT_EQ(members->size(), *c.members);
        for (const icns::Member& m : *members)
            EXPECT_LE(m.offset + m.length, c.bytes.size());
    }
}

TEST(IcnsReader, PngSizeNeedsSignatureIhdrAndNonZeroSize) {
    EXPECT_TRUE(icns::pngSize(bytesOf(pngHead(1, 2))));
    EXPECT_FALSE(icns::pngSize(bytesOf(pngHead(0, 2))));
    EXPECT_FALSE(icns::pngSize(bytesOf(pngHead(4, 4).substr(0, 23))));
    std::string noIhdr = pngHead(4, 4);
    noIhdr[12] = 'X';
    EXPECT_FALSE(icns::pngSize(bytesOf(noIhdr)));
}

// Each plane is filled exactly: a run or literal that goes past its plane, or data that ends
// first, makes the member malformed; bytes after the last plane are left alone.
TEST(IcnsReader, RunLengthPlanesAreFilledExactly) {
    const std::string r = "\xff\x10\xfb\x10", g = "\xff\x20\xfb\x20", b = "\xff\x30\xfb\x30";
    std::string ramp;  // 0..255 as two literals of 128 bytes
    for (int half = 0; half < 2; ++half) {
        ramp += '\x7f';
        for (int i = 0; i < 128; ++i)
            ramp += char(half * 128 + i);
    }
    const auto repeated = [](int n, std::uint8_t v) {
        return std::string(std::size_t(n), char(v));
    };
    struct Case {
        const char* what;
        std::string data;
        std::optional<std::array<std::string, 3>> planes;  // nil: malformed
    } cases[] = {
        {"runs", r + g + b, {{repeated(256, 0x10), repeated(256, 0x20), repeated(256, 0x30)}}},
        {"literals",
         ramp + g + b,
         {{plane(16, [](int x, int y) { return std::uint8_t(y * 16 + x); }), repeated(256, 0x20),
           repeated(256, 0x30)}}},
        {"shortest run and literal",
         std::string("\x80\x11\xff\x10\xf8\x10", 6) + std::string("\x00\xaa", 2) +
             "\xff\x20\xfa\x20" + b,
         {{repeated(3, 0x11) + repeated(253, 0x10), "\xaa" + repeated(255, 0x20),
           repeated(256, 0x30)}}},
        {"bytes after the last plane",
         r + g + b + "\x7f\x01",
         {{repeated(256, 0x10), repeated(256, 0x20), repeated(256, 0x30)}}},
        {"run past its plane", "\xff\x10\xfc\x10" + g + b, std::nullopt},
        {"literal past its plane", "\xff\x10\x7f" + std::string(128, 'x') + g + b, std::nullopt},
        {"plane cut short", r + "\xff\x20", std::nullopt},
        {"run without its byte", r + g + "\xff\x30\xfb", std::nullopt},
        {"literal past the member", r + g + "\xff\x30\x7d" + std::string(5, 'x'), std::nullopt},
        {"no data", "", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string file = container(member("is32", c.data));
        auto is32 = imageMember(file, "is32");
        ASSERT_TRUE(is32);
        auto bitmap = icns::decodeMember(bytesOf(file), *is32);
        ASSERT_EQ(bitmap.has_value(), c.planes.has_value());
        if (!bitmap) continue;
        ASSERT_EQ(bitmap->width, 16u);
        ASSERT_EQ(bitmap->pixels.size(), 256u);
        const auto& p = *c.planes;
        for (std::size_t i = 0; i < 256; ++i) {
            EXPECT_EQ(bitmap->pixels[i], icns::premultipliedPixel(0xff, p[0][i], p[1][i], p[2][i]))
                << "pixel " << i;
        }
    }
}

// A 24-bit member takes its alpha from the mask of its own size only, wherever that lies in
// the file; without one it is opaque. The 128-pixel member's planes follow four zero bytes.
TEST(IcnsReader, TwentyFourBitMembersTakeTheMaskOfTheirSize) {
    std::string file = container(
        member("s8mk", plane(16, [](int x, int) { return std::uint8_t(x * 16); })) +
        member("is32", solidRgb(16, 0xff, 0, 0)) + member("il32", solidRgb(32, 0, 0xff, 0)) +
        member("ih32", solidRgb(48, 0, 0, 0xff)) + member("h8mk", plane(48, 0x40)) +
        member("t8mk", plane(128, 0xc0)) +
        member("it32", be32(0) + solidRgb(128, 0xff, 0xff, 0xff)));
    struct Case {
        const char* type;
        std::uint32_t side;
        std::uint32_t x;
        std::uint32_t pixel;
    } cases[] = {
        {"is32", 16, 0, 0x00000000},  {"is32", 16, 1, 0x10100000},
        {"is32", 16, 15, 0xf0f00000}, {"il32", 32, 31, 0xff00ff00},  // no l8mk: opaque
        {"ih32", 48, 47, 0x40000040}, {"it32", 128, 127, 0xc0c0c0c0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " x " + std::to_string(c.x));
        auto image = imageMember(file, c.type);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->encoding, icns::Encoding::RunLengthRgb);
        EXPECT_EQ(image->mask.has_value(), std::string(c.type) != "il32");
        auto bitmap = icns::decodeMember(bytesOf(file), *image);
        ASSERT_TRUE(bitmap);
        ASSERT_EQ(bitmap->width, c.side);
        ASSERT_EQ(bitmap->height, c.side);
        EXPECT_EQ(pixelAt(*bitmap, c.x, c.side - 1), c.pixel);
    }
}

// A forged file of countless members is listed in one pass and only so far: each listed member
// may cost a decode, and each 24-bit one must find its mask, here at the far end.
TEST(IcnsReader, FilesOfCountlessMembersAreListedBoundedly) {
    std::string body;
    for (int i = 0; i < 200000; ++i)
        body += member("is32", "");
    std::string file = container(body + member("s8mk", plane(16, 0xff)));
    auto members = icns::imageMembers(bytesOf(file));
    ASSERT_EQ(members.size(), icns::kMaxImageMembers);
    for (const icns::ImageMember& m : members) {
        ASSERT_TRUE(m.mask);
        EXPECT_EQ(m.mask->offset, file.size() - 256);
    }
    EXPECT_FALSE(icns::decodeForSize(bytesOf(file), 16, 16));
}

// A mask too short for its member breaks that member only: the next one is drawn instead.
TEST(IcnsReader, MemberWithAShortMaskIsSkippedNotTheFile) {
    std::string file = container(member("is32", solidRgb(16, 0xff, 0, 0)) +
                                 member("s8mk", plane(16, 0xff).substr(1)) +
                                 member("il32", solidRgb(32, 0, 0, 0xff)));
    auto is32 = imageMember(file, "is32");
    ASSERT_TRUE(is32);
    EXPECT_FALSE(icns::decodeMember(bytesOf(file), *is32));
    auto bitmap = icns::decodeForSize(bytesOf(file), 16, 16);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->width, 32u);
    EXPECT_EQ(pixelAt(*bitmap, 0, 0), 0xff0000ffu);
}

TEST(IcnsReader, ArgbMembersAreFourRunLengthPlanesAfterTheirTag) {
    const auto alphaRamp = [](int x, int) { return std::uint8_t(x * 16); };
    const std::string argb16 = "ARGB" + packRunLength(plane(16, alphaRamp)) +
                               packRunLength(plane(16, 0xff)) + packRunLength(plane(16, 0x80)) +
                               packRunLength(plane(16, 0));
    const std::string argb32 =
        "ARGB" + packRunLength(plane(32, 0xff)) +
        packRunLength(plane(32, [](int, int y) { return std::uint8_t(y * 8); })) +
        packRunLength(plane(32, 0)) + packRunLength(plane(32, 0x33));
    struct Case {
        const char* what;
        std::string type, data;
        std::optional<icns::Encoding> encoding;  // nil: not an image member
        bool decodes;
        std::uint32_t x, y, pixel;
    } cases[] = {
        {"16 pixels", "ic04", argb16, icns::Encoding::RunLengthArgb, true, 15, 3,
         icns::premultipliedPixel(0xf0, 0xff, 0x80, 0)},
        {"32 pixels", "ic05", argb32, icns::Encoding::RunLengthArgb, true, 7, 31,
         icns::premultipliedPixel(0xff, 0xf8, 0, 0x33)},
        {"PNG instead", "ic04", solidPng(16, NSColor::blueColor()), icns::Encoding::Png, true, 8, 8,
         0xff0000ff},
        {"a plane missing", "ic04", argb16.substr(0, argb16.size() - 2),
         icns::Encoding::RunLengthArgb, false, 0, 0, 0},
        {"planes without the tag", "ic05", argb32.substr(4), std::nullopt, false, 0, 0, 0},
        {"tag on another type", "ic07", argb16, std::nullopt, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string file = container(member(c.type, c.data));
        auto image = imageMember(file, c.type);
        ASSERT_EQ(image.has_value(), c.encoding.has_value());
        if (!image) continue;
        EXPECT_EQ(image->encoding, *c.encoding);
        auto bitmap = icns::decodeMember(bytesOf(file), *image);
        ASSERT_EQ(bitmap.has_value(), c.decodes);
        if (bitmap) {
            EXPECT_EQ(pixelAt(*bitmap, c.x, c.y), c.pixel);
        }
    }
}

// Lossless images come back exactly, whatever their layout; alpha is premultiplied in.
TEST(IcnsReader, Jpeg2000MembersDecodeToTheirPixels) {
    using Sample = std::function<int(int, std::uint32_t, std::uint32_t)>;
    using Expect = std::function<std::uint32_t(std::uint32_t, std::uint32_t)>;
    const auto options = [](bool jp2, std::uint32_t w, std::uint32_t h, int components,
                            int precision = 8) {
        Jpeg2000Options o;
        o.jp2 = jp2;
        o.width = w;
        o.height = h;
        o.components = components;
        o.precision = precision;
        o.space = components < 3 ? OPJ_CLRSPC_GRAY : OPJ_CLRSPC_SRGB;
        return o;
    };
    const auto rgba = [](int c, std::uint32_t x, std::uint32_t y) {
        const int v[4] = {int(x * 5), int(y * 4), 0x55, int((x + y) * 2)};
        return v[c];
    };
    const auto grey = [](int c, std::uint32_t x, std::uint32_t y) {
        return c ? int(y * 16) : int(x * 16 + y);
    };
    struct Case {
        const char* what;
        Jpeg2000Options options;
        Sample sample;
        Expect pixel;
    } cases[] = {
        {"JP2 RGBA", options(true, 32, 64, 4), rgba,
         [&](std::uint32_t x, std::uint32_t y) {
             return icns::premultipliedPixel(std::uint8_t((x + y) * 2), std::uint8_t(x * 5),
                                             std::uint8_t(y * 4), 0x55);
         }},
        {"raw codestream RGB", options(false, 48, 48, 3), rgba,
         [](std::uint32_t x, std::uint32_t y) {
             return icns::premultipliedPixel(0xff, std::uint8_t(x * 5), std::uint8_t(y * 4), 0x55);
         }},
        {"grey", options(true, 16, 16, 1), grey,
         [](std::uint32_t x, std::uint32_t y) {
             const std::uint8_t v = std::uint8_t(x * 16 + y);
             return icns::premultipliedPixel(0xff, v, v, v);
         }},
        {"grey and alpha", options(false, 16, 16, 2), grey,
         [](std::uint32_t x, std::uint32_t y) {
             const std::uint8_t v = std::uint8_t(x * 16 + y);
             return icns::premultipliedPixel(std::uint8_t(y * 16), v, v, v);
         }},
        {"12 bits", options(true, 16, 16, 4, 12),
         [](int c, std::uint32_t, std::uint32_t) {
             return std::array{4095, 0, 2730, 4095}[c];
         },
         [](std::uint32_t, std::uint32_t) { return 0xffff00aau; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string data = encodeJpeg2000(c.options, c.sample);
        ASSERT_FALSE(data.empty());
        std::string file = container(member("ic09", data));
        auto image = imageMember(file, "ic09");
        ASSERT_TRUE(image);
        EXPECT_EQ(image->encoding, icns::Encoding::Jpeg2000);
        EXPECT_EQ(image->width, c.options.width);
        EXPECT_EQ(image->height, c.options.height);
        auto bitmap = icns::decodeMember(bytesOf(file), *image);
        ASSERT_TRUE(bitmap);
        ASSERT_EQ(bitmap->pixels.size(), std::size_t{c.options.width} * c.options.height);
        int wrong = 0;
        for (std::uint32_t y = 0; y < c.options.height; ++y)
            for (std::uint32_t x = 0; x < c.options.width; ++x)
                if (pixelAt(*bitmap, x, y) != c.pixel(x, y) && wrong++ < 3)
                    ADD_FAILURE() << x << "," << y << ": " << std::hex << pixelAt(*bitmap, x, y)
                                  << " not " << c.pixel(x, y);
    }
}

// What cannot be shown as ARGB, is too large or too finely tiled, or is broken is refused, and
// the library is not let to write to standard error meanwhile.
TEST(IcnsReader, Jpeg2000MembersThatCannotBeMappedOrBoundedAreRefusedQuietly) {
    const auto flat = [](int, std::uint32_t, std::uint32_t) { return 7; };
    const auto with = [](const std::function<void(Jpeg2000Options&)>& change) {
        Jpeg2000Options o;
        change(o);
        return o;
    };
    const std::string good = encodeJpeg2000(Jpeg2000Options{}, flat);
    ASSERT_FALSE(good.empty());
    ASSERT_TRUE(icns::decodeJpeg2000(bytesOf(good)));
    struct Case {
        const char* what;
        std::string data;
    } cases[] = {
        {"cut in half", good.substr(0, good.size() / 2)},
        {"last bytes missing", good.substr(0, good.size() - 10)},
        {"signed samples", encodeJpeg2000(with([](auto& o) { o.isSigned = true; }), flat)},
        {"subsampled", encodeJpeg2000(with([](auto& o) { o.subsampling = 2; }), flat)},
        {"five components", encodeJpeg2000(with([](auto& o) { o.components = 5; }), flat)},
        {"YCC colours", encodeJpeg2000(with([](auto& o) {
                                           o.components = 3;
                                           o.space = OPJ_CLRSPC_SYCC;
                                       }),
                                       flat)},
        {"wider than any icon", encodeJpeg2000(with([](auto& o) {
                                                   o.width = icns::kMaxSide + 16;
                                                   o.height = 16;
                                               }),
                                               flat)},
        {"a thousand tiles", encodeJpeg2000(with([](auto& o) {
                                                o.width = o.height = 128;
                                                o.tileSide = 4;
                                            }),
                                            flat)},
        {"signature and nothing else", good.substr(0, 12)},
        {"codestream start and nothing else", std::string("\xff\x4f\xff\x51", 4)},
    };
    testing::internal::CaptureStderr();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(c.data.empty());
        EXPECT_FALSE(icns::decodeJpeg2000(bytesOf(c.data)));
        std::string file = container(member("ic10", c.data));
        for (const icns::ImageMember& m : icns::imageMembers(bytesOf(file)))
            EXPECT_FALSE(icns::decodeMember(bytesOf(file), m));
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

/// A codestream's SOC and SIZ marker for `components` 8-bit components, and a COD-less rest.
std::string siz(std::uint32_t xsiz, std::uint32_t ysiz, std::uint32_t xo, std::uint32_t yo,
                std::uint32_t xt, std::uint32_t yt, std::uint32_t xto = 0, std::uint32_t yto = 0,
                std::uint32_t components = 3, std::optional<std::uint32_t> lsiz = std::nullopt) {
    const std::uint32_t length = lsiz.value_or(38 + 3 * components);
    std::string s = std::string("\xff\x4f\xff\x51", 4) + char(length >> 8) + char(length) + "\0\0"s;
    for (std::uint32_t v : {xsiz, ysiz, xo, yo, xt, yt, xto, yto})
        s += be32(v);
    s += char(components >> 8);
    s += char(components);
    for (std::uint32_t i = 0; i < components; ++i)
        s += "\x07\x01\x01";
    return s;
}

std::string box(const std::string& type, const std::string& data) {
    return be32(static_cast<std::uint32_t>(data.size() + 8)) + type + data;
}

TEST(IcnsReader, Jpeg2000HeaderComesFromTheCodestreamSizMarker) {
    const std::string signature = box("jP  ", "\x0d\x0a\x87\x0a");
    const std::string ftyp = box("ftyp", "jp2 " + be32(0) + "jp2 ");
    const std::string plain = siz(128, 96, 0, 0, 128, 96);
    struct Case {
        const char* what;
        std::string bytes;
        std::optional<std::array<std::uint64_t, 4>> header;  // width, height, components, tiles
        bool jp2;
    } cases[] = {
        {"codestream", plain, {{128, 96, 3, 1}}, false},
        {"image offset", siz(140, 100, 12, 4, 256, 256, 0, 0, 1), {{128, 96, 1, 1}}, false},
        {"tiles", siz(1000, 1000, 0, 0, 100, 300), {{1000, 1000, 3, 40}}, false},
        {"tile offset", siz(1000, 10, 50, 0, 100, 10, 40, 0), {{950, 10, 3, 10}}, false},
        {"in a JP2 file",
         signature + ftyp + box("jp2h", "") + box("jp2c", plain),
         {{128, 96, 3, 1}},
         true},
        {"64-bit box length",
         signature + be32(1) + "jp2c" + be32(0) + be32(16 + plain.size()) + plain,
         {{128, 96, 3, 1}},
         true},
        {"box to the end", signature + be32(0) + "jp2c" + plain, {{128, 96, 3, 1}}, true},
        {"no image", siz(10, 10, 10, 0, 16, 16), std::nullopt, false},
        {"no tile size", siz(10, 10, 0, 0, 0, 16), std::nullopt, false},
        {"tiles miss the image", siz(100, 10, 50, 0, 10, 10, 20, 0), std::nullopt, false},
        {"no components", siz(10, 10, 0, 0, 16, 16, 0, 0, 0), std::nullopt, false},
        {"marker length wrong", siz(10, 10, 0, 0, 16, 16, 0, 0, 3, 40), std::nullopt, false},
        {"marker cut short", plain.substr(0, plain.size() - 1), std::nullopt, false},
        {"JP2 without codestream", signature + ftyp + box("jp2h", ""), std::nullopt, true},
        {"JP2 box past the end", signature + be32(500) + "ftyp" + box("jp2c", plain), std::nullopt,
         true},
        {"JP2 box shorter than its header", signature + be32(4) + "ftyp" + box("jp2c", plain),
         std::nullopt, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(icns::isJpeg2000(bytesOf(c.bytes)));
        auto header = icns::readJpeg2000Header(bytesOf(c.bytes));
        ASSERT_EQ(header.has_value(), c.header.has_value());
        if (!header) continue;
        EXPECT_EQ(header->jp2, c.jp2);
        EXPECT_EQ((std::array<std::uint64_t, 4>{header->width, header->height, header->components,
                                                header->tiles}),
                  *c.header);
    }
    EXPECT_FALSE(icns::isJpeg2000(bytesOf("\xff\x4f\xff\x52 not SIZ"s)));
}

// When the member fit for the size is broken, the next best is drawn: a larger one first, then
// the largest of the smaller ones; only when none decodes is there nothing.
TEST(IcnsReader, BrokenMembersGiveWayToTheNextBest) {
    const std::string png = solidPng(64, NSColor::blueColor());
    const std::string brokenPng = png.substr(0, 40) + std::string(png.size() - 40, '\0');
    const std::string jp2 = solidJpeg2000(64, 0xff, 0xff, 0);
    const std::string it32 = be32(0) + solidRgb(128, 0, 0xff, 0);
    const std::string il32 = solidRgb(32, 0xff, 0, 0);
    const std::string broken = "\xff\x10";
    struct Case {
        const char* what;
        std::string body;
        std::optional<std::uint32_t> pixel;
    } cases[] = {
        {"PNG fit", member("ic12", png) + member("it32", it32) + member("il32", il32), 0xff0000ff},
        {"JPEG 2000 fit", member("ic12", jp2) + member("it32", it32) + member("il32", il32),
         0xffffff00},
        {"fit PNG broken", member("ic12", brokenPng) + member("it32", it32) + member("il32", il32),
         0xff00ff00},
        {"fit JPEG 2000 broken",
         member("ic12", jp2.substr(0, jp2.size() - 20)) + member("it32", it32), 0xff00ff00},
        {"larger broken too",
         member("ic12", brokenPng) + member("it32", broken) + member("il32", il32), 0xffff0000},
        {"all broken", member("ic12", brokenPng) + member("it32", broken) + member("il32", broken),
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string file = container(c.body);
        auto bitmap = icns::decodeForSize(bytesOf(file), 64, 64);
        ASSERT_EQ(bitmap.has_value(), c.pixel.has_value());
        if (bitmap) {
            EXPECT_EQ(pixelAt(*bitmap, 10, 10), *c.pixel);
        }
    }
}

// A header may claim any size: such members are never tried, and refused if asked for.
TEST(IcnsReader, MembersLargerThanAnyIconAreNotDecoded) {
    const std::string small = solidPng(16, NSColor::redColor());
    std::string file =
        container(member("ic10", pngHead(30000, 30000)) +
                  member("ic14", siz(4096, 4096, 0, 0, 4096, 4096)) + member("ic04", small));
    auto order = icns::imageMembersForSize(bytesOf(file), 2048, 2048);
    EXPECT_EQ(typesOf(order), (std::vector<std::string>{"ic04"}));
    for (const char* type : {"ic10", "ic14"}) {
        auto image = imageMember(file, type);
        ASSERT_TRUE(image) << type;
        EXPECT_FALSE(icns::decodeMember(bytesOf(file), *image)) << type;
    }
    auto bitmap = icns::decodeForSize(bytesOf(file), 2048, 2048);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->width, 16u);
}

}  // namespace
