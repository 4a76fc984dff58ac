// Catches a dictionary loaded from a URL that is answered for an HTTP error, an empty or
// oversized body, a top level that is not a dictionary, or nesting the reader must refuse.
#include <gtest/gtest.h>

#include <string>

#include "platform/foundation/PropertyList.h"
#include "platform/testing/LoopbackServer.h"
#include "support/FileFixtures.h"

namespace {

using platform::testing::LoopbackServer;

std::string plist(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\">" + body + "</plist>";
}

TEST(PropertyListURL, OnlyADictionaryWithinTheLimitIsAnswered) {
    LoopbackServer server;
    ASSERT_TRUE(server.ok());
    const std::string dict = plist("<dict><key>VersionCheck</key><integer>7</integer></dict>");
    std::string deep = "<dict><key>k</key>";
    for (std::size_t i = 0; i < PropertyList::kMaxDepth + 5; ++i)
        deep += "<array>";
    for (std::size_t i = 0; i < PropertyList::kMaxDepth + 5; ++i)
        deep += "</array>";
    deep += "</dict>";
    std::string padded = dict;
    padded.insert(padded.find("<plist"), std::string(2000, ' '));

    server.serve("/dict", dict);
    const NSData binary = PropertyList::binaryData(*PropertyList::readData(dict));
    server.serve("/binary", std::string(binary.begin(), binary.end()));
    server.serve("/array", plist("<array><string>x</string></array>"));
    server.serve("/string", plist("<string>x</string>"));
    server.serve("/garbage", "VersionCheck = 7;<dict>");
    server.serve("/deep", plist(deep));
    server.serve("/padded", padded);
    server.serve("/gone", dict, "404 Not Found");

    struct Case {
        const char* path;
        std::size_t limit;
        bool answered;
    } cases[] = {
        {"/dict", PropertyList::kMaxBytes, true},
        {"/binary", 1000, true},
        {"/array", 1000, false},
        {"/string", 1000, false},
        {"/garbage", 1000, false},
        {"/deep", PropertyList::kMaxBytes, false},
        {"/padded", 2000, false},
        {"/padded", 4000, true},
        {"/gone", 1000, false},
        {"/empty", 1000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " within " + std::to_string(c.limit));
        auto value = NSDictionaryFromURL(*NSURL::URLWithString(server.url(c.path)), c.limit);
        ASSERT_EQ(value.has_value(), c.answered);
        if (value) {
            EXPECT_EQ(value->objectForKey("VersionCheck")->integerValue(), 7);
        }
    }
}

TEST(PropertyListURL, RefusedPortAndFilesAnswerLikeTheLoad) {
    const std::string refused =
        "http://127.0.0.1:" + std::to_string(platform::testing::refusedLoopbackPort()) + "/x";
    EXPECT_FALSE(NSDictionaryFromURL(*NSURL::URLWithString(refused)));

    fixtures::TempDir dir;
    const std::string file =
        dir.write("d.plist", plist("<dict><key>VersionCheck</key><string>7</string></dict>"));
    auto value = NSDictionaryFromURL(NSURL::fileURLWithPath(file));
    ASSERT_TRUE(value);
    EXPECT_EQ(value->objectForKey("VersionCheck")->integerValue(), 7);
}

}  // namespace
