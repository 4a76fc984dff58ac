// Catches a privileged helper that does anything but remove recorded entries (runs a program,
// obeys a malformed request, keeps a descriptor it was handed), removes an entry whose parent's
// path holds a link or that is another object now, or keeps serving a peer that sends nonsense.
#include "platform/security/PrivilegedHelper.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/foundation/EntryRemoval.h"
#include "platform/security/HelperProtocol.h"
#include "platform/security/ToolProcess.h"
#include "support/FileFixtures.h"

namespace {

namespace hp = platform::detail::helper;
namespace fs = std::filesystem;
using fixtures::TempDir;
using platform::EntryRemovalStatus;
using platform::FileEntryRecord;
using platform::recordEntryAtPath;

std::string thisExecutable() {
    char buffer[4096];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

/// This test binary started as the helper, unprivileged, on one end of a socket pair.
class HelperProcess {
  public:
    HelperProcess() {
        EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends_), 0);
        std::string exe = thisExecutable();
        int error = 0;
        pid_ = platform::detail::spawnProgram(exe, {exe, platform::kPrivilegedHelperArgument},
                                              ends_[1], ends_[1], STDERR_FILENO, &error);
        ::close(ends_[1]);
        EXPECT_GT(pid_, 0) << error;
    }
    ~HelperProcess() {
        ::close(ends_[0]);
        if (pid_ > 0) exitCode();
    }
    int channel() const { return ends_[0]; }

    hp::Message receive() {
        hp::Message m;
        EXPECT_EQ(hp::receiveMessage(ends_[0], &m, nullptr), hp::ReceiveResult::kMessage);
        return m;
    }
    /// Waits for the helper to end and answers its exit code.
    int exitCode() {
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    int ends_[2] = {-1, -1};
    pid_t pid_ = -1;
};

struct Pipe {
    int fds[2] = {-1, -1};
    Pipe() { EXPECT_EQ(::pipe2(fds, O_CLOEXEC), 0); }
    ~Pipe() {
        for (int fd : fds)
            if (fd >= 0) ::close(fd);
    }
    void closeWrite() {
        ::close(fds[1]);
        fds[1] = -1;
    }
    std::string readAll() {
        std::string out;
        char b[256];
        for (ssize_t n; (n = ::read(fds[0], b, sizeof b)) > 0;)
            out.append(b, n);
        return out;
    }
};

bool exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

struct Reply {
    std::uint32_t type = 0;
    std::uint32_t id = 0;
    std::optional<EntryRemovalStatus> status;  // kRemoved replies only
    int error = -1;
};

Reply decode(const hp::Message& m) {
    Reply reply;
    reply.type = m.type;
    hp::PayloadReader r(m.payload);
    reply.id = r.u32().value_or(0);
    if (m.type == hp::kRemoved) reply.status = static_cast<EntryRemovalStatus>(*r.u32());
    reply.error = r.i32().value_or(-1);
    EXPECT_TRUE(r.atEnd());
    return reply;
}

/// Sends one removal request and answers the helper's reply.
Reply askToRemove(HelperProcess& helper, std::uint32_t id, const FileEntryRecord& record) {
    EXPECT_TRUE(hp::sendMessage(helper.channel(), hp::kRemove, hp::encodeRemove(id, record)));
    return decode(helper.receive());
}

TEST(PrivilegedHelperTest, GreetsRemovesRecordedEntriesAndEndsWithTheApplication) {
    TempDir d;
    std::string file = d.write("Library/Logs/app.log", "12345");
    d.write("outside/precious", "p");
    d.write("Library/Caches/app/sub/f", "f");
    ::symlink((d / "outside").c_str(), (d / "Library/Caches/app/sub/link").c_str());
    auto fileRecord = platform::recordEntryAtPath(file);
    auto folderRecord = platform::recordEntryAtPath(d / "Library/Caches/app");
    ASSERT_TRUE(fileRecord && folderRecord);

    HelperProcess helper;
    hp::Message ready = helper.receive();
    EXPECT_EQ(ready.type, hp::kReady);
    EXPECT_EQ(hp::PayloadReader(ready.payload).u32(), hp::kProtocolVersion);

    Reply removed = askToRemove(helper, 9, *fileRecord);
    EXPECT_EQ(removed.type, hp::kRemoved);
    EXPECT_EQ(removed.id, 9u);
    EXPECT_EQ(removed.status, EntryRemovalStatus::kRemoved);
    EXPECT_EQ(removed.error, 0);
    EXPECT_FALSE(exists(file));

    EXPECT_EQ(askToRemove(helper, 10, *folderRecord).status, EntryRemovalStatus::kRemoved);
    EXPECT_FALSE(exists(d / "Library/Caches/app"));
    EXPECT_TRUE(exists(d / "outside/precious")) << "the helper followed a link inside the folder";

    // Asked again: nothing is left, which is no failure.
    EXPECT_EQ(askToRemove(helper, 11, *fileRecord).status, EntryRemovalStatus::kGone);

    ::shutdown(helper.channel(), SHUT_WR);  // the application is done with the helper
    hp::Message none;
    EXPECT_EQ(hp::receiveMessage(helper.channel(), &none, nullptr), hp::ReceiveResult::kEnd);
    EXPECT_EQ(helper.exitCode(), 0);
}

TEST(PrivilegedHelperTest, RefusesEveryOtherRequest) {
    TempDir d;
    const std::string marker = d / "ran";
    auto record = platform::recordEntryAtPath(d.write("kept", "k"));
    ASSERT_TRUE(record);
    // What a helper that runs tools would have taken: a program, its arguments, a descriptor.
    auto program = [&](std::uint32_t id) {
        hp::PayloadWriter w;
        w.u32(id).u32(0).u32(3).bytes("/bin/sh").bytes("-c").bytes("touch '" + marker + "'");
        return w.data();
    };
    std::string good = hp::encodeRemove(7, *record);
    struct Case {
        const char* what;
        std::uint32_t type;
        std::string payload;
        std::uint32_t id;
        int error;
    } cases[] = {
        {"run a program", 2, program(1), 1, EPERM},
        {"an unknown request", 99, program(2), 2, EPERM},
        {"a reply sent back to the helper", hp::kRemoved, good, 7, EPERM},
        {"a removal cut short", hp::kRemove, good.substr(0, good.size() - 1), 7, EINVAL},
        {"a removal with more after it", hp::kRemove, good + "x", 7, EINVAL},
        {"an empty removal", hp::kRemove, "", 0, EINVAL},
    };
    HelperProcess helper;
    helper.receive();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Pipe handed;
        ASSERT_TRUE(hp::sendMessage(helper.channel(), c.type, c.payload, handed.fds[1]));
        handed.closeWrite();
        Reply reply = decode(helper.receive());
        EXPECT_EQ(reply.type, hp::kRefused);
        EXPECT_EQ(reply.id, c.id);
        EXPECT_EQ(reply.error, c.error);
        EXPECT_EQ(handed.readAll(), "") << "the helper kept the descriptor it was handed";
    }
    EXPECT_FALSE(exists(marker)) << "the helper ran a program";
    EXPECT_TRUE(exists(d / "kept"));

    // Well-formed but naming no entry of a folder: answered as a failure, nothing done.
    FileEntryRecord relative = *record;
    relative.parent = "tmp";
    Reply refused = askToRemove(helper, 8, relative);
    EXPECT_EQ(refused.status, EntryRemovalStatus::kFailed);
    EXPECT_EQ(refused.error, EINVAL);

    // Still serving after all of them; then a frame longer than allowed ends the session.
    EXPECT_EQ(askToRemove(helper, 12, *record).status, EntryRemovalStatus::kRemoved);
    std::string oversized = hp::PayloadWriter().u32(hp::kMaxFrameLength + 1).u32(6).data();
    ASSERT_EQ(::send(helper.channel(), oversized.data(), oversized.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(oversized.size()));
    hp::Message none;
    EXPECT_EQ(hp::receiveMessage(helper.channel(), &none, nullptr), hp::ReceiveResult::kEnd);
    EXPECT_EQ(helper.exitCode(), 0);
}

TEST(PrivilegedHelperTest, LeavesEntriesWhoseParentPathHoldsALinkOrThatChanged) {
    TempDir d;
    auto recordOf = [&](const std::string& relative) {
        auto record = platform::recordEntryAtPath(d / relative);
        EXPECT_TRUE(record) << relative;
        return record.value_or(FileEntryRecord{});
    };
    d.write("Library/Logs/app.log", "log");
    d.write("Home/Preferences/id.plist", "12345");
    d.write("Users/me/Caches/app/f", "f");
    FileEntryRecord log = recordOf("Library/Logs/app.log");
    FileEntryRecord prefs = recordOf("Home/Preferences/id.plist");
    FileEntryRecord cache = recordOf("Users/me/Caches/app");

    // The same file reached through a link on the parent's path: identity alone would pass.
    fs::rename(d / "Library", d / "Moved");
    ::symlink((d / "Moved").c_str(), (d / "Library").c_str());
    // A reviewed 5-byte file is a folder now.
    fs::remove(d / "Home/Preferences/id.plist");
    d.write("Home/Preferences/id.plist/everything", "never reviewed");
    // A folder of another user's home put where the reviewed one was.
    fs::rename(d / "Users/me/Caches/app", d / "app.reviewed");
    d.write("Users/me/Caches/app/other", "o");

    HelperProcess helper;
    helper.receive();
    struct Case {
        const char* what;
        FileEntryRecord record;
        std::string kept;
    } cases[] = {
        {"a link on the parent's path", log, "Moved/Logs/app.log"},
        {"a file that became a folder", prefs, "Home/Preferences/id.plist/everything"},
        {"a folder that is another one now", cache, "Users/me/Caches/app/other"},
    };
    std::uint32_t id = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Reply reply = askToRemove(helper, id++, c.record);
        EXPECT_EQ(reply.type, hp::kRemoved);
        EXPECT_EQ(reply.status, EntryRemovalStatus::kChanged);
        EXPECT_TRUE(exists(d / c.kept));
    }
    EXPECT_TRUE(exists(d / "app.reviewed/f"));
}

TEST(PrivilegedHelperTest, WillNotServeATerminalOrFile) {
    Pipe notASocket;
    std::string exe = thisExecutable();
    int error = 0;
    pid_t pid = platform::detail::spawnProgram(exe, {exe, platform::kPrivilegedHelperArgument},
                                               notASocket.fds[0], notASocket.fds[1],
                                               notASocket.fds[1], &error);
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
    EXPECT_EQ(platform::runPrivilegedHelperIfRequested(1, nullptr), std::nullopt);
}

}  // namespace
