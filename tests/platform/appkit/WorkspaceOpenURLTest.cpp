// Catches URLs handed to the desktop through a shell or split into several arguments, openers
// started for URLs that must not be opened, openers left as zombies, and failures reported as
// success.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <sstream>
#include <string>
#include <vector>

#include "platform/appkit/NSWorkspace.h"
#include "platform/appkit/URLOpener.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/foundation/NSURL.h"
#include "support/FileFixtures.h"

namespace {

/// A fake opener that writes its pid, its argument count and each argument on a line of its
/// own into `record` in the fixture folder.
class FakeOpener : public ::testing::Test {
  protected:
    void SetUp() override {
        record = dir / "record";
        opener = dir.write("opener",
                           "#!/bin/sh\n"
                           "{ echo $$; echo $#; for a in \"$@\"; do echo \"$a\"; done; } > '" +
                               record +
                               ".tmp'\n"
                               "mv '" +
                               record + ".tmp' '" + record + "'\n");
        chmod(opener.c_str(), 0755);
        platform::setURLOpenerForTesting(opener);
    }
    void TearDown() override { platform::setURLOpenerForTesting(""); }

    /// The lines the opener wrote, once it has ended and been reaped.
    std::vector<std::string> recorded() {
        platform::waitForGlobalQueuesForTesting();
        std::vector<std::string> lines;
        std::istringstream in(fixtures::readFile(record));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    static bool open(const std::string& text) {
        auto url = NSURL::URLWithString(text);
        return url && NSWorkspace::sharedWorkspace()->openURL(*url);
    }

    fixtures::TempDir dir;
    std::string record;
    std::string opener;
};

TEST_F(FakeOpener, TheOpenerGetsExactlyTheURLAsOneArgument) {
    const char* urls[] = {
        "https://example.com/support",
        "http://example.com/search?q=a;b&c=$(id)'x'*",  // a shell would expand this
        "mailto:support@example.com?subject=Hello",
        "file:///tmp/some%20folder/",
    };
    for (const char* text : urls) {
        std::remove(record.c_str());
        ASSERT_TRUE(open(text)) << text;
        std::vector<std::string> lines = recorded();
        ASSERT_EQ(lines.size(), 3u) << text;
        EXPECT_EQ(lines[1], "1") << text;
        EXPECT_EQ(lines[2], text);
        // Reaped: no zombie is left behind (kill answers for a zombie too).
        pid_t pid = std::stoi(lines[0]);
        EXPECT_EQ(kill(pid, 0), -1) << text;
        EXPECT_EQ(errno, ESRCH) << text;
    }
}

TEST_F(FakeOpener, URLsThatMustNotBeOpenedStartNothing) {
    const char* refused[] = {
        "javascript:alert(1)",
        "ftp://example.com/file",
        "x-custom://anything",
        "http:no-host",
        "https://",
        "mailto:",
        "file:",
    };
    for (const char* text : refused) {
        auto url = NSURL::URLWithString(text);
        ASSERT_TRUE(url) << text;
        EXPECT_FALSE(NSWorkspace::sharedWorkspace()->openURL(*url)) << text;
    }
    EXPECT_TRUE(recorded().empty());
}

TEST_F(FakeOpener, AnOpenerThatCannotStartIsAFailureNotACrash) {
    platform::setURLOpenerForTesting(dir / "no-such-opener");
    EXPECT_FALSE(open("https://example.com/"));
    std::string notExecutable = dir.write("plain", "#!/bin/sh\n");
    chmod(notExecutable.c_str(), 0644);
    platform::setURLOpenerForTesting(notExecutable);
    EXPECT_FALSE(open("https://example.com/"));
    EXPECT_TRUE(recorded().empty());
}

TEST_F(FakeOpener, TheEnvironmentNamesTheOpener) {
    platform::setURLOpenerForTesting("");
    {
        fixtures::ScopedEnv env("UNINSTALLER_URL_OPENER", opener);
        EXPECT_EQ(platform::urlOpenerCommand(), opener);
        ASSERT_TRUE(open("https://example.com/env"));
        std::vector<std::string> lines = recorded();
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[2], "https://example.com/env");
    }
    fixtures::ScopedEnv unset("UNINSTALLER_URL_OPENER", std::nullopt);
    EXPECT_EQ(platform::urlOpenerCommand(), "xdg-open");
}

}  // namespace
