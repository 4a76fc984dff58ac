// Catches a privileged helper that runs malformed or relative requests, misreports pids and exit
// statuses, leaves before its tools end, or keeps serving a peer that sends nonsense.
#include "platform/security/PrivilegedHelper.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/security/HelperProtocol.h"
#include "platform/security/ToolProcess.h"

namespace {

namespace hp = platform::detail::helper;

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

TEST(PrivilegedHelperTest, GreetsRunsAToolAndReportsItsEnd) {
    HelperProcess helper;
    hp::Message ready = helper.receive();
    EXPECT_EQ(ready.type, hp::kReady);
    EXPECT_EQ(hp::PayloadReader(ready.payload).u32(), hp::kProtocolVersion);

    Pipe output;
    ASSERT_TRUE(hp::sendMessage(helper.channel(), hp::kExecute,
                                hp::encodeExecute(9, 0, {"/bin/echo", "a  b", "\xff"}),
                                output.fds[1]));
    output.closeWrite();
    hp::Message started = helper.receive();
    ASSERT_EQ(started.type, hp::kStarted);
    hp::PayloadReader s(started.payload);
    EXPECT_EQ(s.u32(), 9u);
    std::optional<std::int32_t> pid = s.i32();
    ASSERT_TRUE(pid && *pid > 0);
    EXPECT_EQ(output.readAll(), "a  b \xff\n");

    hp::Message exited = helper.receive();
    ASSERT_EQ(exited.type, hp::kExited);
    hp::PayloadReader e(exited.payload);
    EXPECT_EQ(e.i32(), *pid);
    std::optional<std::int32_t> status = e.i32();
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
}

TEST(PrivilegedHelperTest, RefusesRequestsThatAreNotWellFormed) {
    HelperProcess helper;
    helper.receive();
    std::string withNul = std::string("/bin/echo") + '\0' + "x";
    struct Case {
        const char* what;
        std::string payload;
        bool withDescriptor;
        int error;
    } cases[] = {
        {"relative tool", hp::encodeExecute(1, 0, {"bin/echo", "x"}), true, EINVAL},
        {"no descriptor", hp::encodeExecute(2, 0, {"/bin/echo", "x"}), false, EINVAL},
        {"NUL inside a path", hp::encodeExecute(3, 0, {withNul}), true, EINVAL},
        {"no tool at all", hp::PayloadWriter().u32(4).u32(0).u32(0).data(), true, EINVAL},
        {"cut string", hp::PayloadWriter().u32(5).u32(0).u32(1).u32(99).data(), true, EINVAL},
        {"missing tool", hp::encodeExecute(6, 0, {"/nonexistent/tool"}), true, ENOENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Pipe output;
        ASSERT_TRUE(hp::sendMessage(helper.channel(), hp::kExecute, c.payload,
                                    c.withDescriptor ? output.fds[1] : -1));
        output.closeWrite();
        hp::Message reply = helper.receive();
        EXPECT_EQ(reply.type, hp::kFailed);
        hp::PayloadReader r(reply.payload);
        r.u32();
        EXPECT_EQ(r.i32(), c.error);
        EXPECT_EQ(output.readAll(), "") << "the helper kept the descriptor or ran something";
    }
    // Still serving after all of them; then a frame longer than allowed ends the session.
    std::string oversized = hp::PayloadWriter().u32(hp::kMaxFrameLength + 1).u32(2).data();
    ASSERT_EQ(::send(helper.channel(), oversized.data(), oversized.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(oversized.size()));
    hp::Message none;
    EXPECT_EQ(hp::receiveMessage(helper.channel(), &none, nullptr), hp::ReceiveResult::kEnd);
    EXPECT_EQ(helper.exitCode(), 0);
}

TEST(PrivilegedHelperTest, StaysUntilItsLastToolEnds) {
    HelperProcess helper;
    helper.receive();
    // A tool that runs until its input ends: cat reading the pipe.
    std::string payload = hp::encodeExecute(1, hp::kExecuteInputFromDescriptor, {"/bin/cat"});
    int both[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, both), 0);
    ASSERT_TRUE(hp::sendMessage(helper.channel(), hp::kExecute, payload, both[1]));
    ::close(both[1]);
    ASSERT_EQ(helper.receive().type, hp::kStarted);

    ::shutdown(helper.channel(), SHUT_WR);  // the application is done with the helper
    pollfd p{helper.channel(), POLLIN, 0};
    EXPECT_EQ(::poll(&p, 1, 200), 0) << "the helper left while its tool was running";

    ::close(both[0]);  // cat's input ends
    EXPECT_EQ(helper.receive().type, hp::kExited);
    hp::Message none;
    EXPECT_EQ(hp::receiveMessage(helper.channel(), &none, nullptr), hp::ReceiveResult::kEnd);
    EXPECT_EQ(helper.exitCode(), 0);
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
