// Catches privileged execution that asks for the password more than once per authorization, runs
// tools through a shell or mangles their arguments, loses a tool's output, pid or exit status,
// reaps the wrong child or leaves zombies and helpers behind, accepts forged or stale external
// forms, maps a refused prompt to the wrong status, or starts the escalation command as root.
#include "platform/security/Authorization.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/security/PrivilegedHelper.h"
#include "platform/testing/LogCapture.h"
#include "support/FileFixtures.h"

namespace {

using fixtures::readFile;
using fixtures::TempDir;

/// A stand-in for pkexec: records each invocation ("<pid> <arguments>") and then either runs
/// the helper it was given, unprivileged, or exits with `refusal`.
class FakeEscalation {
  public:
    explicit FakeEscalation(int refusal = 0) {
        log_ = dir_ / "invocations";
        std::string body = "#!/bin/sh\nprintf '%s\\n' \"$$ $*\" >> '" + log_ + "'\n" +
                           (refusal ? "exit " + std::to_string(refusal) + "\n" : "exec \"$@\"\n");
        script_ = dir_.write("escalate", body);
        ::chmod(script_.c_str(), 0755);
    }
    const std::string& path() const { return script_; }
    std::vector<std::string> invocations() const {
        std::vector<std::string> lines;
        std::istringstream in(readFile(log_));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    /// The pid of the last invocation, which became the helper when granting.
    pid_t lastPid() const { return static_cast<pid_t>(std::stol(invocations().back())); }

  private:
    TempDir dir_;
    std::string log_, script_;
};

AuthorizationItem adminItem{kAuthorizationRightExecute, 0, nullptr, 0};
AuthorizationRights adminRights{1, &adminItem};
constexpr AuthorizationFlags kObtain = kAuthorizationFlagInteractionAllowed |
                                       kAuthorizationFlagExtendRights |
                                       kAuthorizationFlagPreAuthorize;

bool processExists(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

/// Children of this process that have ended but were not reaped.
std::vector<pid_t> zombieChildren() {
    std::vector<pid_t> zombies;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::string stat = readFile(entry.path().string() + "/stat");
        auto close = stat.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        int parent = 0;
        if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &parent) == 2 && state == 'Z' &&
            parent == ::getpid())
            zombies.push_back(std::stoi(entry.path().filename().string()));
    }
    return zombies;
}

bool eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 200; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

std::string readAll(int fd) {
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    return out;
}

struct ToolRun {
    OSStatus status = errAuthorizationInternal;
    std::string output;
    int waitStatus = -1;
};

/// Runs a tool as the executors do, reading its whole output and waiting for that tool.
ToolRun runTool(AuthorizationRef authorization, const char* tool, std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    ToolRun run;
    FILE* pipe = nullptr;
    pid_t pid = -1;
    run.status = AuthorizationExecuteWithPrivilegesAndPid(
        authorization, tool, kAuthorizationFlagDefaults, argv.data(), &pipe, &pid);
    if (run.status != errAuthorizationSuccess) return run;
    run.output = readAll(fileno(pipe));
    std::fclose(pipe);
    EXPECT_EQ(AuthorizationWaitForProcess(pid, &run.waitStatus, 0), pid);
    return run;
}

AuthorizationRef obtainAdmin() {
    AuthorizationRef authorization = nullptr;
    EXPECT_EQ(AuthorizationCreate(nullptr, nullptr, kAuthorizationFlagDefaults, &authorization),
              errAuthorizationSuccess);
    EXPECT_EQ(AuthorizationCopyRights(authorization, &adminRights, nullptr, kObtain, nullptr),
              errAuthorizationSuccess);
    return authorization;
}

/// Each test runs as a user who is not root, with the fake in place of pkexec.
class AuthorizationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::setRunsAsRootForTesting(false);
        useEscalation(granting_);
    }
    void TearDown() override {
        platform::setRunsAsRootForTesting(std::nullopt);
        platform::setEscalationCommand(std::nullopt);
        platform::setPrivilegedHelperPath(std::nullopt);
    }
    void useEscalation(const FakeEscalation& fake) { platform::setEscalationCommand(fake.path()); }

    FakeEscalation granting_;
};

TEST_F(AuthorizationTest, BadArgumentsFailWithoutAskingTheUser) {
    AuthorizationRef authorization = nullptr;
    ASSERT_EQ(AuthorizationCreate(nullptr, nullptr, kAuthorizationFlagDefaults, &authorization),
              errAuthorizationSuccess);
    ASSERT_NE(authorization, nullptr);
    AuthorizationRef bogus = reinterpret_cast<AuthorizationRef>(0xdead0000);
    AuthorizationItem unnamed{nullptr, 0, nullptr, 0};
    AuthorizationRights unnamedRights{1, &unnamed};
    AuthorizationItem other{"system.privilege.other", 0, nullptr, 0};
    AuthorizationRights otherRights{1, &other};
    AuthorizationExternalForm form{};
    FILE* pipe = nullptr;
    char echo[] = "hi";
    char* args[] = {echo, nullptr};

    struct Case {
        const char* what;
        std::function<OSStatus()> call;
        OSStatus expected;
    } cases[] = {
        {"copy into an unknown reference",
         [&] { return AuthorizationCopyRights(bogus, &adminRights, nullptr, kObtain, nullptr); },
         errAuthorizationInvalidRef},
        {"copy without a set",
         [&] { return AuthorizationCopyRights(authorization, nullptr, nullptr, kObtain, nullptr); },
         errAuthorizationInvalidSet},
        {"copy a right without a name",
         [&] {
             return AuthorizationCopyRights(authorization, &unnamedRights, nullptr, kObtain,
                                            nullptr);
         },
         errAuthorizationInvalidSet},
        {"copy a right the layer does not know",
         [&] {
             return AuthorizationCopyRights(authorization, &otherRights, nullptr, kObtain, nullptr);
         },
         errAuthorizationDenied},
        {"external form into nothing",
         [&] { return AuthorizationMakeExternalForm(authorization, nullptr); },
         errAuthorizationInvalidPointer},
        {"external form of an unknown reference",
         [&] { return AuthorizationMakeExternalForm(bogus, &form); }, errAuthorizationInvalidRef},
        {"reference from no form",
         [&] { return AuthorizationCreateFromExternalForm(nullptr, &authorization); },
         errAuthorizationInvalidPointer},
        {"execute without a tool",
         [&] { return AuthorizationExecuteWithPrivileges(authorization, nullptr, 0, args, &pipe); },
         errAuthorizationInvalidPointer},
        {"execute a relative tool path",
         [&] {
             return AuthorizationExecuteWithPrivileges(authorization, "bin/echo", 0, args, &pipe);
         },
         errAuthorizationToolExecuteFailure},
        {"execute with an unknown reference",
         [&] { return AuthorizationExecuteWithPrivileges(bogus, "/bin/echo", 0, args, &pipe); },
         errAuthorizationInvalidRef},
        {"execute without a place for the pid",
         [&] {
             return AuthorizationExecuteWithPrivilegesAndPid(authorization, "/bin/echo", 0, args,
                                                             &pipe, nullptr);
         },
         errAuthorizationInvalidPointer},
        {"definition of the admin right",
         [&] { return AuthorizationRightGet(kAuthorizationRightExecute, nullptr); },
         errAuthorizationSuccess},
        {"definition of an unknown right",
         [&] { return AuthorizationRightGet("system.privilege.other", nullptr); },
         errAuthorizationDenied},
        {"definition without a name", [&] { return AuthorizationRightGet(nullptr, nullptr); },
         errAuthorizationInvalidSet},
        {"free an unknown reference", [&] { return AuthorizationFree(bogus, 0); },
         errAuthorizationInvalidRef},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.call(), c.expected);
        EXPECT_EQ(pipe, nullptr);
    }
    EXPECT_TRUE(granting_.invocations().empty());

    EXPECT_EQ(AuthorizationFree(authorization, kAuthorizationFlagDefaults),
              errAuthorizationSuccess);
    EXPECT_EQ(AuthorizationFree(authorization, kAuthorizationFlagDefaults),
              errAuthorizationInvalidRef);
}

TEST_F(AuthorizationTest, FlagsDecideWhetherTheUserIsAsked) {
    struct Case {
        AuthorizationFlags flags;
        OSStatus expected;
        std::size_t prompts;
    } cases[] = {
        {kAuthorizationFlagDefaults, errAuthorizationDenied, 0},
        {kAuthorizationFlagInteractionAllowed, errAuthorizationDenied, 0},
        {kAuthorizationFlagExtendRights, errAuthorizationInteractionNotAllowed, 0},
        {kAuthorizationFlagInteractionAllowed | kAuthorizationFlagExtendRights,
         errAuthorizationSuccess, 1},
        {kObtain, errAuthorizationSuccess, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        FakeEscalation fake;
        useEscalation(fake);
        AuthorizationRef authorization = nullptr;
        ASSERT_EQ(AuthorizationCreate(nullptr, nullptr, 0, &authorization),
                  errAuthorizationSuccess);
        EXPECT_EQ(AuthorizationCopyRights(authorization, &adminRights, nullptr, c.flags, nullptr),
                  c.expected);
        EXPECT_EQ(fake.invocations().size(), c.prompts);
        AuthorizationFree(authorization, kAuthorizationFlagDefaults);
    }
}

TEST_F(AuthorizationTest, OnePromptServesEveryExecutionThroughExternalForms) {
    AuthorizationRef authorization = obtainAdmin();
    AuthorizationExternalForm form;
    ASSERT_EQ(AuthorizationMakeExternalForm(authorization, &form), errAuthorizationSuccess);
    ASSERT_EQ(granting_.invocations().size(), 1u);
    EXPECT_NE(granting_.invocations()[0].find(platform::kPrivilegedHelperArgument),
              std::string::npos);
    pid_t helper = granting_.lastPid();

    // The executors' sequence for each privileged removal.
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        AuthorizationRef fresh = nullptr;
        ASSERT_EQ(AuthorizationCreateFromExternalForm(&form, &fresh), errAuthorizationSuccess);
        EXPECT_EQ(
            AuthorizationCopyRights(
                fresh, &adminRights, nullptr,
                kAuthorizationFlagInteractionAllowed | kAuthorizationFlagExtendRights, nullptr),
            errAuthorizationSuccess);
        FILE* pipe = nullptr;
        pid_t pid = -1;
        std::string text = "run " + std::to_string(i);
        char* args[] = {text.data(), nullptr};
        ASSERT_EQ(
            AuthorizationExecuteWithPrivilegesAndPid(fresh, "/bin/echo", 0, args, &pipe, &pid),
            errAuthorizationSuccess);
        EXPECT_EQ(AuthorizationFree(fresh, kAuthorizationFlagDefaults), errAuthorizationSuccess);
        EXPECT_EQ(readAll(fileno(pipe)), text + "\n");
        std::fclose(pipe);
        int status = -1;
        EXPECT_EQ(AuthorizationWaitForProcess(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    EXPECT_EQ(granting_.invocations().size(), 1u);
    EXPECT_TRUE(processExists(helper));

    EXPECT_EQ(AuthorizationFree(authorization, kAuthorizationFlagDefaults),
              errAuthorizationSuccess);
    EXPECT_FALSE(processExists(helper)) << "the helper outlived its authorization";
    AuthorizationRef stale = nullptr;
    EXPECT_EQ(AuthorizationCreateFromExternalForm(&form, &stale), errAuthorizationInvalidRef);
    EXPECT_EQ(stale, nullptr);
}

TEST_F(AuthorizationTest, RefusedPromptsMapToStatusesAndAskAgainNextTime) {
    struct Case {
        int exitCode;
        OSStatus expected;
    } cases[] = {
        {126, errAuthorizationCanceled},
        {127, errAuthorizationDenied},
        {1, errAuthorizationInternal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exitCode);
        FakeEscalation refusing(c.exitCode);
        useEscalation(refusing);
        AuthorizationRef authorization = nullptr;
        ASSERT_EQ(AuthorizationCreate(nullptr, nullptr, 0, &authorization),
                  errAuthorizationSuccess);
        for (std::size_t attempt = 1; attempt <= 2; ++attempt) {
            EXPECT_EQ(
                AuthorizationCopyRights(authorization, &adminRights, nullptr, kObtain, nullptr),
                c.expected);
            EXPECT_EQ(refusing.invocations().size(), attempt);
        }
        EXPECT_TRUE(zombieChildren().empty());
        AuthorizationFree(authorization, kAuthorizationFlagDefaults);
    }

    platform::LogCapture log;
    platform::setEscalationCommand(granting_.path() + ".missing");
    AuthorizationRef authorization = nullptr;
    EXPECT_EQ(AuthorizationCreate(&adminRights, nullptr, kObtain, &authorization),
              errAuthorizationInternal);
    EXPECT_EQ(authorization, nullptr);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find(".missing"), std::string::npos);
}

TEST_F(AuthorizationTest, EscalationCommandComesFromTheEnvironment) {
    platform::setEscalationCommand(std::nullopt);
    fixtures::ScopedEnv env("UNINSTALLER_ESCALATION_COMMAND", granting_.path());
    AuthorizationRef authorization = obtainAdmin();
    EXPECT_EQ(granting_.invocations().size(), 1u);
    AuthorizationFree(authorization, kAuthorizationFlagDefaults);
}

TEST_F(AuthorizationTest, ForgedFormsAreRejected) {
    AuthorizationRef authorization = obtainAdmin();
    AuthorizationExternalForm real;
    ASSERT_EQ(AuthorizationMakeExternalForm(authorization, &real), errAuthorizationSuccess);
    AuthorizationExternalForm zeros{};
    AuthorizationExternalForm flipped = real;
    flipped.bytes[kAuthorizationExternalFormLength - 1] ^= 1;
    for (const AuthorizationExternalForm* forged : {&zeros, &flipped}) {
        AuthorizationRef made = nullptr;
        EXPECT_EQ(AuthorizationCreateFromExternalForm(forged, &made), errAuthorizationInvalidRef);
        EXPECT_EQ(made, nullptr);
    }
    AuthorizationFree(authorization, kAuthorizationFlagDefaults);
}

TEST_F(AuthorizationTest, TheHelperLivesAsLongAsAReferenceUnlessRightsAreDestroyed) {
    for (bool destroy : {false, true}) {
        SCOPED_TRACE(destroy);
        FakeEscalation fake;
        useEscalation(fake);
        AuthorizationRef first = obtainAdmin();
        AuthorizationExternalForm form;
        AuthorizationMakeExternalForm(first, &form);
        AuthorizationRef second = nullptr;
        ASSERT_EQ(AuthorizationCreateFromExternalForm(&form, &second), errAuthorizationSuccess);
        pid_t helper = fake.lastPid();

        EXPECT_EQ(AuthorizationFree(first, destroy ? kAuthorizationFlagDestroyRights : 0),
                  errAuthorizationSuccess);
        EXPECT_EQ(processExists(helper), !destroy);
        // Rights that were destroyed are not held any more: only a new prompt would give them.
        EXPECT_EQ(AuthorizationCopyRights(second, &adminRights, nullptr,
                                          kAuthorizationFlagExtendRights, nullptr),
                  destroy ? errAuthorizationInteractionNotAllowed : errAuthorizationSuccess);
        EXPECT_EQ(AuthorizationFree(second, 0), errAuthorizationSuccess);
        EXPECT_FALSE(processExists(helper));
        EXPECT_EQ(fake.invocations().size(), 1u);
    }
}

TEST_F(AuthorizationTest, AHelperThatDiesReleasesItsWaitersAndIsReplaced) {
    AuthorizationRef authorization = obtainAdmin();
    AuthorizationExternalForm form;
    AuthorizationMakeExternalForm(authorization, &form);
    FILE* pipe = nullptr;
    pid_t cat = -1;
    ASSERT_EQ(AuthorizationExecuteWithPrivilegesAndPid(authorization, "/bin/cat", 0, nullptr, &pipe,
                                                       &cat),
              errAuthorizationSuccess);
    ASSERT_EQ(::kill(granting_.lastPid(), SIGKILL), 0);

    int status = 0;
    EXPECT_EQ(AuthorizationWaitForProcess(cat, &status, 0), cat);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    std::fclose(pipe);  // lets the orphaned tool end
    AuthorizationRef made = nullptr;
    EXPECT_EQ(AuthorizationCreateFromExternalForm(&form, &made), errAuthorizationInvalidRef);

    ToolRun run = runTool(authorization, "/bin/echo", {"again"});
    EXPECT_EQ(run.status, errAuthorizationSuccess);
    EXPECT_EQ(run.output, "again\n");
    EXPECT_EQ(granting_.invocations().size(), 2u);
    AuthorizationFree(authorization, 0);
    EXPECT_TRUE(zombieChildren().empty());
}

TEST_F(AuthorizationTest, RootRunsToolsWithoutEscalating) {
    struct Case {
        const char* what;
        std::optional<bool> root;
    } cases[] = {{"real root", std::nullopt}, {"root by injection", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.root && ::geteuid() != 0) continue;  // only where the tests run as root
        platform::setRunsAsRootForTesting(c.root);
        AuthorizationRef authorization = obtainAdmin();
        ToolRun run = runTool(authorization, "/bin/echo", {"as root"});
        EXPECT_EQ(run.status, errAuthorizationSuccess);
        EXPECT_EQ(run.output, "as root\n");
        AuthorizationFree(authorization, 0);
    }
    EXPECT_TRUE(granting_.invocations().empty());
}

// The same tool runs behave alike whether the process is root (tools run directly) or obtains
// a helper through the fake.
enum class Road { kDirect, kHelper };

class ToolRunTest : public AuthorizationTest, public ::testing::WithParamInterface<Road> {
  protected:
    void SetUp() override {
        AuthorizationTest::SetUp();
        platform::setRunsAsRootForTesting(GetParam() == Road::kDirect);
        authorization_ = obtainAdmin();
    }
    void TearDown() override {
        if (authorization_) AuthorizationFree(authorization_, kAuthorizationFlagDefaults);
        EXPECT_EQ(granting_.invocations().size(), GetParam() == Road::kHelper ? 1u : 0u);
        EXPECT_TRUE(eventually([] { return zombieChildren().empty(); }));
        AuthorizationTest::TearDown();
    }

    AuthorizationRef authorization_ = nullptr;
    TempDir dir_;
};

const std::vector<std::string> kAwkwardArguments = {
    "two words", "quo\"te 'single'", "\xff\xfe not utf-8", "", "$HOME;|*`id`", "-n"};

TEST_P(ToolRunTest, ArgumentsArriveAsTheirBytesAndOutputComesBack) {
    ToolRun run = runTool(authorization_, "/bin/echo", kAwkwardArguments);
    EXPECT_EQ(run.status, errAuthorizationSuccess);
    std::string expected;
    for (const std::string& a : kAwkwardArguments)
        expected += (expected.empty() ? "" : " ") + a;
    EXPECT_EQ(run.output, expected + "\n");
    EXPECT_TRUE(WIFEXITED(run.waitStatus) && WEXITSTATUS(run.waitStatus) == 0);
}

TEST_P(ToolRunTest, RemovalSucceedsSilentlyAndFailureSpeaks) {
    std::string file = dir_.write("victim file", "x");
    ToolRun removed = runTool(authorization_, "/bin/rm", {"-rf", file});
    EXPECT_EQ(removed.status, errAuthorizationSuccess);
    EXPECT_EQ(removed.output, "");
    EXPECT_EQ(WEXITSTATUS(removed.waitStatus), 0);
    EXPECT_FALSE(std::filesystem::exists(file));

    // Error messages reach the pipe: the executors judge a removal by the tool's silence.
    ToolRun failed = runTool(authorization_, "/bin/rm", {file});
    EXPECT_EQ(failed.status, errAuthorizationSuccess);
    EXPECT_NE(failed.output.find("victim file"), std::string::npos) << failed.output;
    EXPECT_TRUE(WIFEXITED(failed.waitStatus) && WEXITSTATUS(failed.waitStatus) == 1);

    EXPECT_EQ(runTool(authorization_, "/nonexistent/tool", {}).status,
              errAuthorizationToolExecuteFailure);
}

TEST_P(ToolRunTest, ThePidIsTheRunningToolAndOnlyItIsWaitedFor) {
    pid_t mine = ::fork();
    ASSERT_GE(mine, 0);
    if (mine == 0) ::_exit(7);

    std::vector<std::string> args = {"--", "-"};  // "-n" among them is a file name too
    args.insert(args.end(), kAwkwardArguments.begin(), kAwkwardArguments.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    FILE* pipe = nullptr;
    pid_t cat = -1;
    ASSERT_EQ(AuthorizationExecuteWithPrivilegesAndPid(authorization_, "/bin/cat", 0, argv.data(),
                                                       &pipe, &cat),
              errAuthorizationSuccess);
    int fd = fileno(pipe);

    // cat copies its input (the pipe) until the end of it, then complains about the other
    // arguments, which it takes for file names.
    std::string cmdline = std::string("/bin/cat") + '\0';
    for (const std::string& a : args)
        cmdline += a + '\0';
    EXPECT_EQ(readFile("/proc/" + std::to_string(cat) + "/cmdline"), cmdline);
    int status = -1;
    EXPECT_EQ(AuthorizationWaitForProcess(cat, &status, WNOHANG), 0);
    ASSERT_EQ(::write(fd, "ping\n", 5), 5);
    char echo[5];
    ASSERT_EQ(::read(fd, echo, sizeof echo), 5);
    EXPECT_EQ(std::string(echo, 5), "ping\n");
    ::shutdown(fd, SHUT_WR);
    std::string complaints = readAll(fd);
    std::fclose(pipe);
    EXPECT_NE(complaints.find("two words"), std::string::npos) << complaints;

    EXPECT_EQ(AuthorizationWaitForProcess(cat, &status, 0), cat);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    errno = 0;
    EXPECT_EQ(AuthorizationWaitForProcess(cat, &status, 0), -1);
    EXPECT_EQ(errno, ECHILD);
    EXPECT_EQ(AuthorizationWaitForProcess(mine, &status, 0), -1) << "not a tool of the layer";

    status = -1;
    EXPECT_EQ(::waitpid(mine, &status, 0), mine) << "the layer reaped a child it did not start";
    EXPECT_EQ(WEXITSTATUS(status), 7);
}

TEST_P(ToolRunTest, ToolsNobodyWaitsForAreReaped) {
    char text[] = "unwatched";
    char* args[] = {text, nullptr};
    for (int i = 0; i < 3; ++i) {
        FILE* pipe = nullptr;
        ASSERT_EQ(AuthorizationExecuteWithPrivileges(authorization_, "/bin/echo", 0, args, &pipe),
                  errAuthorizationSuccess);
        EXPECT_EQ(readAll(fileno(pipe)), "unwatched\n");
        std::fclose(pipe);
    }
    // Without a pipe the tool's words go to our standard error.
    char* quiet[] = {nullptr};
    EXPECT_EQ(AuthorizationExecuteWithPrivileges(authorization_, "/bin/true", 0, quiet, nullptr),
              errAuthorizationSuccess);
    // TearDown checks that no zombie is left.
}

TEST_P(ToolRunTest, ThreadsShareOneAuthorization) {
    AuthorizationExternalForm form;
    ASSERT_EQ(AuthorizationMakeExternalForm(authorization_, &form), errAuthorizationSuccess);
    constexpr int kThreads = 6, kRuns = 4;
    std::vector<std::string> failures[kThreads];
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRuns; ++i) {
                AuthorizationRef fresh = nullptr;
                if (AuthorizationCreateFromExternalForm(&form, &fresh) != errAuthorizationSuccess) {
                    failures[t].push_back("form");
                    continue;
                }
                std::string word = std::to_string(t) + "/" + std::to_string(i);
                ToolRun run = runTool(fresh, "/bin/echo", {word});
                AuthorizationFree(fresh, 0);
                if (run.output != word + "\n" || run.waitStatus != 0)
                    failures[t].push_back(word + " gave " + run.output);
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    for (const auto& f : failures)
        EXPECT_TRUE(f.empty()) << f.front();
}

INSTANTIATE_TEST_SUITE_P(Roads, ToolRunTest, ::testing::Values(Road::kDirect, Road::kHelper),
                         [](const auto& info) {
                             return info.param == Road::kDirect ? "Direct" : "Helper";
                         });

TEST_F(AuthorizationTest, ConcurrentRequestsShareOnePrompt) {
    AuthorizationRef authorization = nullptr;
    ASSERT_EQ(AuthorizationCreate(nullptr, nullptr, 0, &authorization), errAuthorizationSuccess);
    std::vector<std::thread> threads;
    std::vector<OSStatus> results(6, errAuthorizationInternal);
    for (std::size_t i = 0; i < results.size(); ++i) {
        threads.emplace_back([&, i] {
            results[i] =
                AuthorizationCopyRights(authorization, &adminRights, nullptr, kObtain, nullptr);
        });
    }
    for (std::thread& t : threads)
        t.join();
    for (OSStatus s : results)
        EXPECT_EQ(s, errAuthorizationSuccess);
    EXPECT_EQ(granting_.invocations().size(), 1u);
    AuthorizationFree(authorization, 0);
}

}  // namespace
