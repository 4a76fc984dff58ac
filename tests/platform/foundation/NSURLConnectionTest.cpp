// Catches URL loads that answer data for HTTP errors, lose empty bodies or redirects, wait past
// their timeout, ignore the cache policy, misread files, misparse URLs, or let a body grow past
// the limit its caller set.
#include "platform/foundation/NSURLConnection.h"

#include "platform/testing/LoopbackServer.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using platform::testing::LoopbackServer;

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::optional<NSData> get(const std::string& url, double timeout = 5,
                          NSURLRequestCachePolicy policy = NSURLRequestUseProtocolCachePolicy) {
    auto parsed = NSURL::URLWithString(url);
    if (!parsed) {
        ADD_FAILURE() << "unparsable " << url;
        return std::nullopt;
    }
    return NSURLConnection::sendSynchronousRequest(
        NSURLRequest::requestWithURL(*parsed, policy, timeout));
}

std::string text(const NSData& data) {
    return std::string(data.begin(), data.end());
}

TEST(NSURLConnectionTest, AnswersBodyOnlyForSuccessfulFinalStatus) {
    LoopbackServer server;
    ASSERT_TRUE(server.ok());
    struct Case {
        const char* path;
        std::optional<std::string> body;
    } cases[] = {
        {"/ok", "hello"},           {"/empty", ""},           {"/unchanged", ""},
        {"/redirect", "hello"},     {"/chain/5", "end"},      {"/chain/6", std::nullopt},
        {"/missing", std::nullopt}, {"/error", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::optional<NSData> data = get(server.url(c.path));
        ASSERT_EQ(data.has_value(), c.body.has_value());
        if (data) {
            EXPECT_EQ(text(*data), *c.body);
        }
    }
}

TEST(NSURLConnectionTest, ReloadPoliciesSendNoCacheHeaders) {
    LoopbackServer server;
    ASSERT_TRUE(server.ok());
    struct Case {
        NSURLRequestCachePolicy policy;
        bool noCache;
    } cases[] = {
        {NSURLRequestUseProtocolCachePolicy, false},
        {NSURLRequestReloadIgnoringLocalCacheData, true},
        {NSURLRequestReloadIgnoringLocalAndRemoteCacheData, true},
        {NSURLRequestReturnCacheDataElseLoad, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.policy);
        std::optional<NSData> data = get(server.url("/headers"), 5, c.policy);
        ASSERT_TRUE(data);
        std::string head = text(*data);
        EXPECT_TRUE(head.starts_with("GET /headers HTTP/1.1\r\n")) << head;
        EXPECT_EQ(head.find("Cache-Control: no-cache\r\n") != std::string::npos, c.noCache);
        EXPECT_EQ(head.find("Pragma: no-cache\r\n") != std::string::npos, c.noCache);
    }
}

TEST(NSURLConnectionTest, CacheOnlyPolicyDoesNotLoad) {
    LoopbackServer server;
    ASSERT_TRUE(server.ok());
    EXPECT_FALSE(get(server.url("/ok"), 5, NSURLRequestReturnCacheDataDontLoad));
    EXPECT_TRUE(server.requests().empty());
}

TEST(NSURLConnectionTest, RefusedConnectionFailsAtOnce) {
    int port = platform::testing::refusedLoopbackPort();
    ASSERT_GT(port, 0);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(get("http://127.0.0.1:" + std::to_string(port) + "/ok", 10));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
}

TEST(NSURLConnectionTest, SilentServerFailsAtTheTimeout) {
    LoopbackServer server(/*silent=*/true);
    ASSERT_TRUE(server.ok());
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(get(server.url("/ok"), 1.0));
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, 900ms);
    EXPECT_LT(elapsed, 2s);
}

TEST(NSURLConnectionTest, ConcurrentLoadsEachGetTheirAnswer) {
    LoopbackServer server;
    ASSERT_TRUE(server.ok());
    std::atomic<int> good{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&] {
            for (int j = 0; j < 3; ++j) {
                auto data = NSURLConnection::sendSynchronousRequest(
                    NSURLRequest::requestWithURL(*NSURL::URLWithString(server.url("/ok"))));
                if (data && text(*data) == "hello") ++good;
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(good, 12);
}

TEST(NSURLConnectionTest, UnsupportedSchemesGiveNil) {
    for (const char* url : {"ftp://127.0.0.1/file", "mailto:someone@example.com", "data:,x"}) {
        SCOPED_TRACE(url);
        EXPECT_FALSE(get(url));
    }
}

TEST(NSURLConnectionTest, BodyLongerThanTheLimitGivesNil) {
    LoopbackServer server;
    ASSERT_TRUE(server.ok());
    server.serve("/big", std::string(300 * 1024, 'x'));
    server.serve("/small", std::string(1000, 'y'));
    struct Case {
        const char* path;
        std::size_t limit;
        std::optional<std::size_t> size;
    } cases[] = {
        {"/big", 256 * 1024, std::nullopt},
        {"/big", 300 * 1024, 300 * 1024},
        {"/small", 1000, 1000},
        {"/small", 999, std::nullopt},
        {"/empty", 0, 0},
        {"/ok", 0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " within " + std::to_string(c.limit));
        auto data = NSURLConnection::sendSynchronousRequest(
            NSURLRequest::requestWithURL(*NSURL::URLWithString(server.url(c.path)),
                                         NSURLRequestUseProtocolCachePolicy, 5),
            c.limit);
        ASSERT_EQ(data.has_value(), c.size.has_value());
        if (data) {
            EXPECT_EQ(data->size(), *c.size);
        }
    }
}

class NSURLConnectionFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("nsurl-" + std::to_string(getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path write(const std::string& name, const std::string& content) {
        fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << content;
        return p;
    }
    fs::path dir_;
};

TEST_F(NSURLConnectionFileTest, ReadsRegularFilesOnly) {
    const std::string bytes("a\0b\xff z", 6);
    struct Case {
        fs::path path;
        std::optional<std::string> content;
    } cases[] = {
        {write("data bin", bytes), bytes},
        {write("empty", ""), ""},
        {dir_ / "missing", std::nullopt},
        {dir_, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        auto data = NSURLConnection::sendSynchronousRequest(
            NSURLRequest::requestWithURL(NSURL::fileURLWithPath(c.path.string())));
        ASSERT_EQ(data.has_value(), c.content.has_value());
        if (data) {
            EXPECT_EQ(text(*data), *c.content);
        }
    }
}

TEST_F(NSURLConnectionFileTest, FileLongerThanTheLimitGivesNil) {
    NSURL file = NSURL::fileURLWithPath(write("ten", "0123456789").string());
    const auto request = NSURLRequest::requestWithURL(file);
    EXPECT_TRUE(NSURLConnection::sendSynchronousRequest(request, 10));
    EXPECT_FALSE(NSURLConnection::sendSynchronousRequest(request, 9));
}

TEST_F(NSURLConnectionFileTest, FileURLWithPathEscapesAndMarksFolders) {
    NSURL file = NSURL::fileURLWithPath((dir_ / "a b#c%.txt").string());
    EXPECT_EQ(file.absoluteString(), "file://" + dir_.string() + "/a%20b%23c%25.txt");
    EXPECT_EQ(file.path(), (dir_ / "a b#c%.txt").string());
    EXPECT_TRUE(file.isFileURL());
    EXPECT_FALSE(file.host());

    NSURL folder = NSURL::fileURLWithPath(dir_.string());
    EXPECT_EQ(folder.absoluteString(), "file://" + dir_.string() + "/");
    EXPECT_EQ(folder.path(), dir_.string());

    std::string cwd = fs::current_path().string();
    EXPECT_EQ(NSURL::fileURLWithPath("no-such-child").path(), cwd + "/no-such-child");
}

TEST(NSURLTest, ParsesPartsOfValidURLs) {
    struct Case {
        const char* string;
        const char* scheme;
        NSStringOpt host;
        std::optional<int> port;
        const char* path;
        NSStringOpt query;
        bool isFile;
    } cases[] = {
        {"http://127.0.0.1:8080/a/b?x=1&y#top", "http", "127.0.0.1", 8080, "/a/b", "x=1&y", false},
        {"https://user:pw@Example.com", "https", "Example.com", {}, "", {}, false},
        {"http://example.com/dir/", "http", "example.com", {}, "/dir", {}, false},
        {"http://[::1]:80/", "http", "::1", 80, "/", {}, false},
        {"file:///tmp/a%20b/", "file", {}, {}, "/tmp/a b", {}, true},
        {"FILE://localhost/etc", "FILE", "localhost", {}, "/etc", {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.string);
        auto url = NSURL::URLWithString(c.string);
        ASSERT_TRUE(url);
        EXPECT_EQ(url->absoluteString(), c.string);
        EXPECT_EQ(url->scheme(), c.scheme);
        EXPECT_EQ(url->host(), c.host);
        EXPECT_EQ(url->port(), c.port);
        EXPECT_EQ(url->path(), c.path);
        EXPECT_EQ(url->query(), c.query);
        EXPECT_EQ(url->isFileURL(), c.isFile);
    }
}

TEST(NSURLTest, RejectsStringsThatAreNotURLs) {
    for (const char* s : {"", "example.com/path", "no scheme", "http://a b/", "1http://x/", "://x",
                          "http://x:99999/", "http://x:8a/", "http://x/%zz", "http://x/%4",
                          "http://x/\xc3\xa9", "http://[::1/", "http://x/#a#b"}) {
        SCOPED_TRACE(s);
        EXPECT_FALSE(NSURL::URLWithString(s));
    }
}

TEST(NSURLRequestTest, NonPositiveTimeoutMeansTheDefault) {
    NSURL url = *NSURL::URLWithString("http://127.0.0.1/");
    EXPECT_EQ(NSURLRequest::requestWithURL(url).timeoutInterval(), 60);
    EXPECT_EQ(NSURLRequest::requestWithURL(url).cachePolicy(), NSURLRequestUseProtocolCachePolicy);
    for (double t : {0.0, -1.0, std::nan("")})
        EXPECT_EQ(NSURLRequest::requestWithURL(url, NSURLRequestReloadIgnoringCacheData, t)
                      .timeoutInterval(),
                  60);
    EXPECT_EQ(NSURLRequest::requestWithURL(url, NSURLRequestReloadIgnoringCacheData, 2.5)
                  .timeoutInterval(),
              2.5);
}

}  // namespace
