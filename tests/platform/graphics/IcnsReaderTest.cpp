// Catches an icon-container reader that picks a smaller or non-PNG member, or that reads past
// a member, the container's length or the bytes it was given.
#include "platform/graphics/IcnsReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace {

std::string be32(std::uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

/// Just the PNG signature and an IHDR header of `w` x `h` (enough for the reader).
std::string pngHead(std::uint32_t w, std::uint32_t h) {
    return std::string("\x89PNG\r\n\x1a\n", 8) + be32(13) + "IHDR" + be32(w) + be32(h) +
           std::string("\x08\x06\0\0\0", 5) + be32(0);
}

std::string member(const std::string& type, const std::string& data) {
    return type + be32(static_cast<std::uint32_t>(data.size() + 8)) + data;
}

std::string container(const std::string& body) {
    return "icns" + be32(static_cast<std::uint32_t>(body.size() + 8)) + body;
}

std::span<const std::uint8_t> bytesOf(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

TEST(IcnsReader, LargestPngMemberByPixelsFirstOfEqual) {
    std::string file =
        container(member("TOC ", be32(0)) + member("ic07", pngHead(128, 128)) +
                  member("ic13", pngHead(256, 256)) + member("ic08", pngHead(256, 256)) +
                  member("it32", std::string(40000, 'z')) + member("ic04", pngHead(16, 16)));
    auto best = icns::largestPngMember(bytesOf(file));
    ASSERT_TRUE(best);
    EXPECT_EQ(best->member.typeName(), "ic13");
    EXPECT_EQ(best->width, 256u);
    std::string data = file.substr(best->member.offset, best->member.length);
    EXPECT_EQ(data, pngHead(256, 256));
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
        auto m = icns::pngMemberForSize(bytesOf(file), c.w, c.h);
        ASSERT_TRUE(m) << c.w << "x" << c.h;
        EXPECT_EQ(m->member.typeName(), c.type) << c.w << "x" << c.h;
    }
    EXPECT_FALSE(icns::pngMemberForSize(bytesOf(container(member("is32", "xx"))), 16, 16));
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

}  // namespace
