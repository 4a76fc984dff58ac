// Catches formatting and parsing that differ from the platform's: %@ of nil, length
// modifiers, numeric prefixes, and path operations at the root and with trailing slashes.
#include "platform/foundation/NSString.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(NSStringFormat, ConversionsAndObjects) {
    NSStringOpt nil;
    EXPECT_EQ(ns::stringWithFormat("%@/Contents/Info.plist", std::string("/A.app")),
              "/A.app/Contents/Info.plist");
    EXPECT_EQ(ns::stringWithFormat("[%@]", nil), "[(null)]");
    EXPECT_EQ(ns::stringWithFormat("%0.2f KB", 1.5), "1.50 KB");
    EXPECT_EQ(ns::stringWithFormat("%ld|%lld|%qu|%zu", -3L, 4LL, uint64_t{5}, std::size_t{6}),
              "-3|4|5|6");
    EXPECT_EQ(ns::stringWithFormat("%u%@", 10u, std::string("09")), "1009");
    EXPECT_EQ(ns::stringWithFormat("0%u", 9u), "09");
    EXPECT_EQ(ns::stringWithFormat("100%% %d", 1), "100% 1");
    EXPECT_EQ(ns::stringWithFormat("%d %d", 1), "1 0") << "a missing argument reads as 0";
    EXPECT_EQ(ns::stringWithFormat("%5@|%-4d|%x", std::string("ab"), 7, 255u), "   ab|7   |ff");
    EXPECT_EQ(ns::stringWithFormat("%@", "text"), "text");
}

TEST(NSStringValues, NumericPrefixes) {
    struct Case {
        const char* text;
        long long integer;
        double real;
    };
    const Case cases[] = {
        {"120", 120, 120.0},     {"  42abc", 42, 42.0}, {"-7", -7, -7.0},
        {"12.35 MB", 12, 12.35}, {"", 0, 0.0},          {"abc", 0, 0.0},
        {"+3", 3, 3.0},          {"1e3x", 1, 1000.0},   {"99999999999999999999", INT64_MAX, 1e20},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ns::integerValue(c.text), c.integer) << c.text;
        EXPECT_DOUBLE_EQ(ns::doubleValue(c.text), c.real) << c.text;
    }
    EXPECT_FLOAT_EQ(ns::floatValue("999.99 M"), 999.99f);
    EXPECT_TRUE(ns::boolValue("YES"));
    EXPECT_TRUE(ns::boolValue(" 1"));
    EXPECT_FALSE(ns::boolValue("NO"));
    EXPECT_FALSE(ns::boolValue("0"));
}

TEST(NSStringSearch, PrefixRangeCase) {
    EXPECT_TRUE(ns::hasPrefix("com.apple.Safari", "com.apple."));
    EXPECT_FALSE(ns::hasPrefix("com.Apple.x", "com.apple."));
    EXPECT_FALSE(ns::hasPrefix("abc", "")) << "the platform answers NO for an empty prefix";
    EXPECT_EQ(ns::rangeOfString("foobar", "bar"), NSMakeRange(3, 3));
    EXPECT_EQ(ns::rangeOfString("foobar", "x").location, NSNotFound);
    EXPECT_EQ(ns::rangeOfString("foobar", "").location, NSNotFound);
    EXPECT_EQ(ns::lowercaseString("My App.PLIST"), "my app.plist");
    EXPECT_EQ(ns::lowercaseString("\xC3\x89t\xC3\xA9"), "\xC3\xA9t\xC3\xA9");  // Été
    std::string broken =
        "A\xFF\xFE"
        "B";
    EXPECT_EQ(ns::lowercaseString(broken),
              "a\xFF\xFE"
              "b")
        << "bytes that are not UTF-8 pass through";
    EXPECT_EQ(ns::stringByReplacingOccurrencesOfString("My Big App", " ", ""), "MyBigApp");
    EXPECT_EQ(ns::componentsSeparatedByString("a,,b", ","),
              (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(ns::length("\xF0\x9F\x98\x80x"), 3u) << "a character outside the BMP counts twice";
}

TEST(NSStringPaths, Components) {
    struct Case {
        const char* path;
        const char* last;
        const char* ext;
        const char* parent;
        const char* noExt;
    };
    const Case cases[] = {
        {"/Applications/Foo.app", "Foo.app", "app", "/Applications", "/Applications/Foo"},
        {"/Applications/Foo.app/", "Foo.app", "app", "/Applications", "/Applications/Foo"},
        {"/", "/", "", "/", "/"},
        {"/Foo", "Foo", "", "/", "/Foo"},
        {"Foo", "Foo", "", "", "Foo"},
        {"/a/.hidden", ".hidden", "", "/a", "/a/.hidden"},
        {"/a.b/c", "c", "", "/a.b", "/a.b/c"},
        {"/x/en.lproj", "en.lproj", "lproj", "/x", "/x/en"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ns::lastPathComponent(c.path), c.last) << c.path;
        EXPECT_EQ(ns::pathExtension(c.path), c.ext) << c.path;
        EXPECT_EQ(ns::stringByDeletingLastPathComponent(c.path), c.parent) << c.path;
        EXPECT_EQ(ns::stringByDeletingPathExtension(c.path), c.noExt) << c.path;
    }
    EXPECT_EQ(ns::stringByAppendingPathComponent("/", "Library"), "/Library");
    EXPECT_EQ(ns::stringByAppendingPathComponent("/a/", "/b"), "/a/b");
    EXPECT_EQ(ns::stringByAppendingPathComponent("/a", "Growl/Tickets"), "/a/Growl/Tickets");
    EXPECT_EQ(ns::stringByAppendingPathComponent("/a", ""), "/a");
    EXPECT_EQ(ns::pathComponents("/a//b/"), (std::vector<std::string>{"/", "a", "b"}));
}

TEST(NSStringPaths, TildeUsesHome) {
    const char* old = std::getenv("HOME");
    std::string saved = old ? old : "";
    setenv("HOME", "/tmp/fakehome/", 1);
    EXPECT_EQ(ns::stringByExpandingTildeInPath("~/Library"), "/tmp/fakehome/Library");
    EXPECT_EQ(ns::stringByExpandingTildeInPath("~"), "/tmp/fakehome");
    EXPECT_EQ(ns::stringByExpandingTildeInPath("~other/x"), "~other/x");
    EXPECT_EQ(ns::stringByExpandingTildeInPath("/abs"), "/abs");
    if (old)
        setenv("HOME", saved.c_str(), 1);
    else
        unsetenv("HOME");
}

}  // namespace
