// Catches property-list reading and writing that loses or corrupts values (signs of integers,
// dates, bytes), crashes or hangs on hostile input, or damages a settings file when a write
// fails part-way.
#include "platform/foundation/PropertyList.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <plist/plist.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "support/FileFixtures.h"

namespace {

using fixtures::TempDir;
using namespace std::string_literals;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool writeAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

std::vector<std::string> entries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != "..") names.push_back(n);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

std::string text(const NSData& d) {
    return std::string(d.begin(), d.end());
}

/// The XML bytes turned into binary by libplist itself, independent of the code under test.
std::string libplistBinary(const std::string& xml) {
    plist_t root = nullptr;
    plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &root);
    if (!root) return "";
    char* bin = nullptr;
    uint32_t len = 0;
    plist_to_bin(root, &bin, &len);
    std::string out = bin ? std::string(bin, len) : "";
    std::free(bin);
    plist_free(root);
    return out;
}

/// A binary property list of `objects` (each one's encoded bytes), 4-byte offsets and refs.
std::string makeBinary(const std::vector<std::string>& objects, uint64_t top = 0) {
    std::string out = "bplist00";
    std::vector<uint32_t> offsets;
    for (const auto& o : objects) {
        offsets.push_back(static_cast<uint32_t>(out.size()));
        out += o;
    }
    const uint64_t table = out.size();
    auto be = [&](uint64_t v, int n) {
        for (int i = n - 1; i >= 0; --i)
            out += static_cast<char>((v >> (8 * i)) & 0xff);
    };
    for (uint32_t off : offsets)
        be(off, 4);
    out += std::string(6, '\0');
    out += '\x04';  // offset size
    out += '\x04';  // reference size
    be(objects.size(), 8);
    be(top, 8);
    be(table, 8);
    return out;
}

std::string ref4(uint32_t r) {
    std::string s;
    for (int i = 3; i >= 0; --i)
        s += static_cast<char>((r >> (8 * i)) & 0xff);
    return s;
}

/// A value holding every kind, with the corner cases of each.
PlistValue everyKind(bool wholeSecondDates) {
    PlistValue d;
    d.setObject("plain", "string");
    d.setObject("Grüße ✓ 日本語", "unicode");
    d.setObject("", "empty string");
    d.setObject("<&> \"quoted\" 'single'", "markup");
    d.setObject(0, "zero");
    d.setObject(42, "positive");
    d.setObject(-5, "negative");
    d.setObject(std::numeric_limits<int64_t>::min(), "int64 min");
    d.setObject(std::numeric_limits<int64_t>::max(), "int64 max");
    d.setObject(std::numeric_limits<uint64_t>::max(), "uint64 max");
    d.setObject(0.1, "real");
    d.setObject(-2.5e-10, "small real");
    d.setObject(1e300, "large real");
    d.setObject(true, "yes");
    d.setObject(false, "no");
    d.setObject(NSDate::dateWithTimeIntervalSince1970(1700000000), "date");
    d.setObject(NSDate::dateWithTimeIntervalSince1970(-315619200), "date before 1970");
    d.setObject(NSDate::dateWithTimeIntervalSince1970(978307200), "reference date");
    d.setObject(NSDate::distantFuture(), "distant future");
    if (!wholeSecondDates) {
        d.setObject(NSDate::dateWithTimeIntervalSince1970(1700000000.25), "fractional date");
        d.setObject(NSDate::dateWithTimeIntervalSince1970(978307199.5), "fraction before 2001");
        d.setObject(NSDate::distantPast(), "distant past");
    }
    d.setObject(NSData{}, "empty data");
    d.setObject(NSData{0, 1, 2, 0xfe, 0xff, '<', '&'}, "data");
    PlistValue list = PlistValue::array();
    list.addObject("a");
    list.addObject(PlistValue::array());
    list.addObject(PlistValue::dictionary());
    PlistValue inner;
    inner.setObject(PlistValue::array(), "deeper");
    inner.mutableObjectForKey("deeper")->addObject(7);
    list.addObject(inner);
    d.setObject(list, "array");
    d.setObject(PlistValue::dictionary(), "empty dictionary");
    d.setObject("key with spaces & <markup>", "a key with spaces & <markup>");
    return d;
}

TEST(PropertyListTest, EveryKindRoundTripsThroughXml) {
    const PlistValue value = everyKind(true);
    const NSData xml = PropertyList::xmlData(value);
    ASSERT_FALSE(xml.empty());
    auto back = PropertyList::readData(xml);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, value) << back->description();
}

TEST(PropertyListTest, EveryKindRoundTripsThroughBinary) {
    const PlistValue value = everyKind(false);
    // Binary made by libplist itself from our XML (XML keeps whole seconds only) ...
    const std::string bin = libplistBinary(text(PropertyList::xmlData(everyKind(true))));
    ASSERT_EQ(bin.substr(0, 8), "bplist00");
    auto fromLibplist = PropertyList::readData(bin);
    ASSERT_TRUE(fromLibplist.has_value());
    EXPECT_EQ(*fromLibplist, everyKind(true));
    // ... and by our own writer, which keeps fractions of seconds.
    const NSData ours = PropertyList::binaryData(value);
    auto back = PropertyList::readData(ours);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, value) << back->description();
}

TEST(PropertyListTest, ReadsFilesInBothFormats) {
    TempDir tmp;
    const PlistValue value = everyKind(true);
    ASSERT_TRUE(writeAll(tmp / "xml.plist", text(PropertyList::xmlData(value))));
    ASSERT_TRUE(writeAll(tmp / "bin.plist", libplistBinary(readAll(tmp / "xml.plist"))));
    for (const char* name : {"xml.plist", "bin.plist"}) {
        auto v = PropertyList::readFile(tmp / name);
        ASSERT_TRUE(v.has_value()) << name;
        EXPECT_EQ(*v, value) << name;
    }
}

TEST(PropertyListTest, NegativeIntegersKeepTheirSign) {
    PlistValue list = PlistValue::array();
    list.addObject(-5);
    list.addObject(int64_t{-1});
    list.addObject(std::numeric_limits<uint64_t>::max());
    const std::string xml = text(PropertyList::xmlData(list));
    EXPECT_NE(xml.find("<integer>-5</integer>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<integer>-1</integer>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<integer>18446744073709551615</integer>"), std::string::npos) << xml;

    auto read = PropertyList::readData(
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><array>"
        "<integer>-5</integer><integer>-9223372036854775808</integer>"
        "<integer>18446744073709551615</integer><integer>9223372036854775807</integer>"
        "</array></plist>");
    ASSERT_TRUE(read.has_value());
    ASSERT_EQ(read->count(), 4u);
    EXPECT_EQ(read->objectAtIndex(0)->integerValue(), -5);
    EXPECT_FALSE(read->objectAtIndex(0)->isUnsignedInteger());
    EXPECT_EQ(read->objectAtIndex(1)->integerValue(), std::numeric_limits<int64_t>::min());
    EXPECT_TRUE(read->objectAtIndex(2)->isUnsignedInteger());
    EXPECT_EQ(read->objectAtIndex(2)->unsignedIntegerValue(), std::numeric_limits<uint64_t>::max());
    EXPECT_EQ(read->objectAtIndex(3)->integerValue(), std::numeric_limits<int64_t>::max());

    auto bin = PropertyList::readData(libplistBinary(xml));
    ASSERT_TRUE(bin.has_value());
    EXPECT_EQ(bin->objectAtIndex(0)->integerValue(), -5);
    EXPECT_EQ(bin->objectAtIndex(1)->integerValue(), -1);
}

TEST(PropertyListTest, DatesAreSecondsSince1970) {
    auto v = PropertyList::readData(
        "<plist version=\"1.0\"><array><date>2001-01-01T00:00:00Z</date>"
        "<date>1970-01-01T00:00:00Z</date><date>2023-11-14T22:13:20Z</date></array></plist>");
    ASSERT_TRUE(v.has_value());
    EXPECT_DOUBLE_EQ(v->objectAtIndex(0)->dateValue()->timeIntervalSince1970(), 978307200);
    EXPECT_DOUBLE_EQ(v->objectAtIndex(1)->dateValue()->timeIntervalSince1970(), 0);
    EXPECT_DOUBLE_EQ(v->objectAtIndex(2)->dateValue()->timeIntervalSince1970(), 1700000000);
    const std::string xml =
        text(PropertyList::xmlData(PlistValue::dateWithTimeIntervalSince1970(1700000000)));
    EXPECT_NE(xml.find("<date>2023-11-14T22:13:20Z</date>"), std::string::npos) << xml;
}

TEST(PropertyListTest, StringOfDigitsReadsAsInteger) {
    auto v = PropertyList::readData(
        "<plist version=\"1.0\"><dict><key>VersionCheck</key><string>120</string></dict></plist>");
    ASSERT_TRUE(v.has_value());
    const PlistValue* version = v->objectForKey("VersionCheck");
    ASSERT_NE(version, nullptr);
    EXPECT_TRUE(version->isString());
    EXPECT_EQ(version->integerValue(), 120);
}

TEST(PropertyListTest, BadInputGivesNil) {
    const std::string good = text(PropertyList::xmlData(everyKind(true)));
    const std::string goodBin = libplistBinary(good);
    std::string badTrailer = goodBin;
    badTrailer[badTrailer.size() - 26] = 9;  // offset size 9
    std::string topOutOfRange = goodBin;
    topOutOfRange[topOutOfRange.size() - 16] = '\x7f';
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"garbage", "this is not a property list"},
        {"only the XML declaration", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"},
        {"unclosed plist", "<plist version=\"1.0\"><dict><key>a</key>"},
        {"XML cut in half", good.substr(0, good.size() / 2)},
        {"mismatched tags", "<plist><dict><key>a</key><string>b</array></dict></plist>"},
        {"only the binary magic", "bplist00"},
        {"binary cut in half", goodBin.substr(0, goodBin.size() / 2)},
        {"binary without its last byte", goodBin.substr(0, goodBin.size() - 1)},
        {"binary with a bad trailer", badTrailer},
        {"binary with the top object out of range", topOutOfRange},
        {"binary array that contains itself", makeBinary({"\xa1" + ref4(0)})},
        {"binary reference out of range", makeBinary({"\xa1" + ref4(5), "\x09"})},
        {"NUL bytes", std::string(64, '\0')},
        {"XML with a NUL in a key", "<plist><dict><key>a\0b</key><true/></dict></plist>"s},
        {"binary key that is a number",
         makeBinary({"\xd1" + ref4(1) + ref4(2), std::string("\x10\x05", 2), "\x09"})},
        {"binary key with a NUL", makeBinary({"\xd1" + ref4(1) + ref4(2),
                                              std::string("\x53"
                                                          "a\0b",
                                                          4),
                                              "\x09"})},
        {"binary UTF-16 key with a NUL",
         makeBinary({"\xd1" + ref4(1) + ref4(2), std::string("\x61\0\0", 3), "\x09"})},
        {"binary key out of bounds",
         makeBinary({"\xd1" + ref4(1) + ref4(2), "\x5f\x10\x7f", "\x09"})},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(PropertyList::readData(c.bytes).has_value()) << c.name;
    }
}

TEST(PropertyListTest, BinaryKeysInBothStringEncodings) {
    auto v = PropertyList::readData(makeBinary({"\xd2" + ref4(1) + ref4(2) + ref4(3) + ref4(3),
                                                "\x51"
                                                "a",
                                                "\x61\x00\xe9"s, "\x08"}));
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(v->allKeys(), (std::vector<std::string>{"a", "\xc3\xa9"}));
}

TEST(PropertyListTest, EveryPrefixOfABinaryListIsSafe) {
    const std::string bin = libplistBinary(text(PropertyList::xmlData(everyKind(true))));
    for (std::size_t n = 0; n < bin.size(); ++n) {
        EXPECT_FALSE(PropertyList::readData(bin.substr(0, n)).has_value()) << n;
    }
    EXPECT_TRUE(PropertyList::readData(bin).has_value());
}

TEST(PropertyListTest, NestingIsBoundedInBothFormats) {
    auto nestedXml = [](std::size_t depth) {
        std::string s = "<plist version=\"1.0\">";
        for (std::size_t i = 0; i < depth; ++i)
            s += "<array>";
        for (std::size_t i = 0; i < depth; ++i)
            s += "</array>";
        return s + "</plist>";
    };
    auto nestedBinary = [](std::size_t depth) {
        std::vector<std::string> objects;
        for (std::size_t i = 0; i + 1 < depth; ++i)
            objects.push_back("\xa1" + ref4(static_cast<uint32_t>(i + 1)));
        objects.push_back(std::string(1, '\xa0'));
        return makeBinary(objects);
    };
    const std::size_t max = PropertyList::kMaxDepth;
    EXPECT_TRUE(PropertyList::readData(nestedXml(max)).has_value());
    EXPECT_FALSE(PropertyList::readData(nestedXml(max + 1)).has_value());
    EXPECT_TRUE(PropertyList::readData(nestedBinary(max)).has_value());
    EXPECT_FALSE(PropertyList::readData(nestedBinary(max + 1)).has_value());
    // Far deeper than libplist's own recursion survives.
    EXPECT_FALSE(PropertyList::readData(nestedXml(200000)).has_value());
    EXPECT_FALSE(PropertyList::readData(nestedBinary(200000)).has_value());
    // Too deep and wide at the bottom: refused in time (freeing leaf by leaf is quadratic).
    std::string wide = nestedXml(max + 10);
    std::string leaves;
    for (int i = 0; i < 200000; ++i)
        leaves += "<true/>";
    wide.insert(wide.find("</array>"), leaves);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(PropertyList::readData(wide).has_value());
#if defined(__SANITIZE_ADDRESS__)
    const auto bound = std::chrono::seconds(90);  // instrumented builds run this 10-20 times slower
#else
    const auto bound = std::chrono::seconds(10);
#endif
    EXPECT_LT(std::chrono::steady_clock::now() - start, bound);

    PlistValue deep = PlistValue::array();
    for (std::size_t i = 0; i < max + 1; ++i) {
        PlistValue outer = PlistValue::array();
        outer.addObject(deep);
        deep = outer;
    }
    EXPECT_TRUE(PropertyList::xmlData(deep).empty());
}

TEST(PropertyListTest, SharedReferencesCannotExplode) {
    // Object i is an array holding object i+1 twice: 2^60 nodes once libplist copies them.
    std::vector<std::string> objects;
    for (uint32_t i = 0; i < 60; ++i)
        objects.push_back("\xa2" + ref4(i + 1) + ref4(i + 1));
    objects.push_back("\x09");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(PropertyList::readData(makeBinary(objects)).has_value());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    // A little sharing is fine: the same string under two keys.
    auto shared = PropertyList::readData(
        makeBinary({std::string("\xd2") + ref4(1) + ref4(2) + ref4(3) + ref4(3),
                    "\x51"
                    "a",
                    "\x51"
                    "b",
                    "\x53"
                    "xyz"}));
    ASSERT_TRUE(shared.has_value());
    EXPECT_EQ(shared->stringForKey("a"), std::optional<std::string>("xyz"));
    EXPECT_EQ(shared->stringForKey("b"), std::optional<std::string>("xyz"));
}

TEST(PropertyListTest, NonUtf8StringsDoNotCrash) {
    auto v = PropertyList::readData(
        "<plist version=\"1.0\"><dict><key>k\xff</key><string>caf\xe9 "
        "\xc3</string></dict></plist>");
    if (v) {
        ASSERT_TRUE(v->isDictionary());
        (void)PropertyList::xmlData(*v);
    }
    PlistValue raw;
    raw.setObject("caf\xe9\xff", "bytes\xfe");
    const NSData xml = PropertyList::xmlData(raw);
    (void)PropertyList::readData(xml);
    // libplist's binary writer turns such strings into UTF-16 as best it can: no crash.
    auto bin = PropertyList::readData(PropertyList::binaryData(raw));
    if (bin) {
        EXPECT_LE(bin->count(), 1u);
    }
}

TEST(PropertyListTest, FilesThatAreNotPropertyListsGiveNil) {
    TempDir tmp;
    ASSERT_TRUE(writeAll(tmp / "empty.plist", ""));
    ASSERT_TRUE(writeAll(tmp / "text.plist", "hello"));
    ASSERT_TRUE(
        fixtures::makeFile(tmp / "huge.plist", static_cast<off_t>(PropertyList::kMaxBytes) + 1));
    ASSERT_EQ(mkdir((tmp / "folder.plist").c_str(), 0755), 0);
    ASSERT_EQ(mkfifo((tmp / "fifo.plist").c_str(), 0644), 0);
    for (const char* name : {"missing.plist", "empty.plist", "text.plist", "huge.plist",
                             "folder.plist", "fifo.plist"}) {
        EXPECT_FALSE(PropertyList::readFile(tmp / name).has_value()) << name;
        EXPECT_FALSE(NSDictionaryFromFile(tmp / name).has_value()) << name;
    }
    EXPECT_FALSE(PropertyList::readFile("").has_value());
}

TEST(PropertyListTest, DictionaryAndArrayFromFileCheckTheTopLevel) {
    TempDir tmp;
    PlistValue list = PlistValue::array();
    list.addObject("x");
    ASSERT_TRUE(PropertyList::writeFileAtomically(list, tmp / "array.plist"));
    ASSERT_TRUE(PropertyList::writeFileAtomically(everyKind(true), tmp / "dict.plist"));
    ASSERT_TRUE(PropertyList::writeFileAtomically(PlistValue("s"), tmp / "string.plist"));
    EXPECT_FALSE(NSDictionaryFromFile(tmp / "array.plist").has_value());
    EXPECT_TRUE(NSArrayFromFile(tmp / "array.plist").has_value());
    EXPECT_TRUE(NSDictionaryFromFile(tmp / "dict.plist").has_value());
    EXPECT_FALSE(NSArrayFromFile(tmp / "dict.plist").has_value());
    EXPECT_FALSE(NSDictionaryFromFile(tmp / "string.plist").has_value());
    EXPECT_FALSE(NSArrayFromFile(tmp / "string.plist").has_value());
}

TEST(PropertyListTest, AtomicWriteReplacesAndLeavesNoTemporaryFile) {
    TempDir tmp;
    const std::string path = tmp / "StringMessage.plist";
    PlistValue first;
    first.setObject("one", "k");
    ASSERT_TRUE(PropertyList::writeFileAtomically(first, path));
    PlistValue second;
    second.setObject("two", "k");
    ASSERT_TRUE(PropertyList::writeFileAtomically(second, path));
    EXPECT_EQ(entries(tmp.path()), std::vector<std::string>{"StringMessage.plist"});
    EXPECT_EQ(NSDictionaryFromFile(path), second);
    EXPECT_EQ(readAll(path), text(PropertyList::xmlData(second)));
}

TEST(PropertyListTest, AtomicWriteKeepsTheModeOrUsesTheUmask) {
    TempDir tmp;
    const std::string existing = tmp / "existing.plist";
    ASSERT_TRUE(writeAll(existing, "old"));
    ASSERT_EQ(chmod(existing.c_str(), 0640), 0);
    ASSERT_TRUE(PropertyList::writeFileAtomically(PlistValue(), existing));
    EXPECT_EQ(modeOf(existing), 0640u);

    const mode_t old = umask(027);
    const bool ok = PropertyList::writeFileAtomically(PlistValue(), tmp / "new.plist");
    umask(old);
    ASSERT_TRUE(ok);
    EXPECT_EQ(modeOf(tmp / "new.plist"), 0640u);  // 0644 less 027
}

TEST(PropertyListTest, FailedWritesLeaveTheOldFileAndNoTemporaryFile) {
    TempDir tmp;
    // The target is a folder: the rename fails after the temporary file was written.
    ASSERT_EQ(mkdir((tmp / "target.plist").c_str(), 0755), 0);
    EXPECT_FALSE(PropertyList::writeFileAtomically(PlistValue(), tmp / "target.plist"));
    EXPECT_EQ(entries(tmp.path()), std::vector<std::string>{"target.plist"});
    // The folder does not exist.
    EXPECT_FALSE(PropertyList::writeFileAtomically(PlistValue(), tmp / "missing/x.plist"));
    EXPECT_FALSE(PropertyList::writeFileAtomically(PlistValue(), ""));
}

TEST(PropertyListTest, WriteIntoAReadOnlyFolderKeepsTheOldFileByteForByte) {
    TempDir tmp;
    const std::string folder = tmp / "Resources";
    const std::string path = folder + "/StringMessage.plist";
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    const std::string original =
        "<?xml version=\"1.0\"?>\n<plist><dict><key>a</key>"
        "<string>old</string></dict></plist>\n";
    ASSERT_TRUE(writeAll(path, original));
    ASSERT_EQ(chmod(path.c_str(), 0644), 0);
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);

    auto result = fixtures::runUnprivileged([&] {
        PlistValue v;
        v.setObject("new", "a");
        return PropertyList::writeFileAtomically(v, path) ? 1 : 0;
    });
    chmod(folder.c_str(), 0755);
    if (!result) GTEST_SKIP() << "could not drop privileges";
    EXPECT_EQ(*result, 0) << "the write must fail";
    EXPECT_EQ(readAll(path), original);
    EXPECT_EQ(entries(folder), std::vector<std::string>{"StringMessage.plist"});
}

}  // namespace
