// Catches log lines that are misformatted, lose or mix messages of concurrent threads, leak out
// while a capture is active, or ignore the switch for the standard-error copy.
#include "platform/foundation/NSLog.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

#include "platform/testing/LogCapture.h"

namespace {

namespace fs = std::filesystem;

TEST(NSLogTest, CaptureReceivesFormattedMessages) {
    platform::LogCapture capture;
    NSLog("%@ has %d items (%.1f%%)", std::string("disk"), 3, 12.5);
    NSLog("missing: %@", NSStringOpt{});
    NSLog("ends with newline\n");
    NSLog("two\nlines");
    EXPECT_EQ(capture.lines(),
              (std::vector<std::string>{"disk has 3 items (12.5%)", "missing: (null)",
                                        "ends with newline", "two\nlines"}));
    capture.clear();
    EXPECT_TRUE(capture.lines().empty());
}

TEST(NSLogTest, CapturesCollectFromTwoThreadsInOrder) {
    platform::LogCapture outer;
    std::vector<std::string> inner;
    {
        platform::LogCapture capture;
        auto writer = [](const char* name) {
            for (int i = 0; i < 200; ++i)
                NSLog("%s %d", name, i);
        };
        std::thread a(writer, "a"), b(writer, "b");
        a.join();
        b.join();
        inner = capture.lines();
    }
    NSLog("after");

    ASSERT_EQ(inner.size(), 400u);
    int nextA = 0, nextB = 0;
    for (const std::string& line : inner) {
        if (line.starts_with("a ")) {
            EXPECT_EQ(line, "a " + std::to_string(nextA++));
        } else {
            EXPECT_EQ(line, "b " + std::to_string(nextB++));
        }
    }
    EXPECT_EQ(nextA, 200);
    EXPECT_EQ(nextB, 200);
    std::vector<std::string> all = outer.lines();
    ASSERT_EQ(all.size(), 401u);  // every live capture sees every line
    EXPECT_EQ(all.back(), "after");
}

/// Runs `body` with standard error sent to a file, and answers what was written there.
template <class F>
std::string stderrOf(F body) {
    fs::path file = fs::temp_directory_path() / ("nslog-" + std::to_string(getpid()) + ".txt");
    int target = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    int saved = dup(STDERR_FILENO);
    dup2(target, STDERR_FILENO);
    close(target);
    body();
    dup2(saved, STDERR_FILENO);
    close(saved);
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    fs::remove(file);
    return text.str();
}

/// Whether `text` has the shape "2024-01-31 13:45:02.123" (9 for a digit).
bool hasDateShape(std::string_view text) {
    constexpr std::string_view shape = "9999-99-99 99:99:99.999";
    if (text.size() != shape.size()) return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (shape[i] == '9' ? !digit : text[i] != shape[i]) return false;
    }
    return true;
}

TEST(NSLogTest, StandardErrorLineHasDateProcessAndThread) {
    unsetenv("UNINSTALLER_LOG_STDERR");
    std::string written = stderrOf([] { NSLog("hello %d", 7); });
    std::string rest = " uninstaller[" + std::to_string(getpid()) + ":" +
                       std::to_string(static_cast<long>(syscall(SYS_gettid))) + "] hello 7\n";
    ASSERT_GT(written.size(), rest.size()) << written;
    std::size_t dateLength = written.size() - rest.size();
    EXPECT_TRUE(hasDateShape(std::string_view(written).substr(0, dateLength))) << written;
    EXPECT_EQ(written.substr(dateLength), rest);
}

TEST(NSLogTest, StandardErrorCopyCanBeSwitchedOffAndCaptureSilencesIt) {
    setenv("UNINSTALLER_LOG_STDERR", "0", 1);
    EXPECT_EQ(stderrOf([] { NSLog("switched off"); }), "");
    unsetenv("UNINSTALLER_LOG_STDERR");

    platform::LogCapture capture;
    EXPECT_EQ(stderrOf([] { NSLog("captured"); }), "");
    EXPECT_EQ(capture.lines(), std::vector<std::string>{"captured"});
}

}  // namespace
