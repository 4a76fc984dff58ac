// Catches privileged removal that asks for the password more than once per authorization, loses
// or mangles a record on its way to the helper, removes an entry that changed, leaves zombies and
// helpers behind, accepts forged or stale external forms, maps a refused prompt to the wrong
// status, or starts the escalation command as root.
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

#include "platform/foundation/EntryRemoval.h"
#include "platform/security/PrivilegedHelper.h"
#include "platform/testing/LogCapture.h"
#include "support/FileFixtures.h"

namespace {

using fixtures::readFile;
using fixtures::TempDir;
using platform::EntryRemovalStatus;
using platform::FileEntryRecord;

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

struct RemovalRun {
    OSStatus status = errAuthorizationInternal;
    platform::EntryRemoval outcome;
};

/// Removes the entry of `record` as the executors do.
RemovalRun removeWith(AuthorizationRef authorization, const FileEntryRecord& record) {
    RemovalRun run;
    run.status = AuthorizationRemoveEntryWithPrivileges(authorization, record, &run.outcome);
    return run;
}

FileEntryRecord recordOf(const std::string& path) {
    std::optional<FileEntryRecord> record = platform::recordEntryAtPath(path);
    EXPECT_TRUE(record) << path;
    return record.value_or(FileEntryRecord{});
}

bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
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
    TempDir d;
    FileEntryRecord record = recordOf(d.write("kept", "k"));
    platform::EntryRemoval outcome;

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
        {"remove with an unknown reference",
         [&] { return AuthorizationRemoveEntryWithPrivileges(bogus, record, &outcome); },
         errAuthorizationInvalidRef},
        {"remove without a place for the outcome",
         [&] { return AuthorizationRemoveEntryWithPrivileges(authorization, record, nullptr); },
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
    }
    EXPECT_TRUE(granting_.invocations().empty());
    EXPECT_TRUE(exists(d / "kept"));

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

TEST_F(AuthorizationTest, OnePromptServesEveryRemovalThroughExternalForms) {
    AuthorizationRef authorization = obtainAdmin();
    AuthorizationExternalForm form;
    ASSERT_EQ(AuthorizationMakeExternalForm(authorization, &form), errAuthorizationSuccess);
    ASSERT_EQ(granting_.invocations().size(), 1u);
    EXPECT_NE(granting_.invocations()[0].find(platform::kPrivilegedHelperArgument),
              std::string::npos);
    pid_t helper = granting_.lastPid();

    // The executors' sequence for each privileged removal.
    TempDir d;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        std::string file = d.write("entry " + std::to_string(i), "x");
        AuthorizationRef fresh = nullptr;
        ASSERT_EQ(AuthorizationCreateFromExternalForm(&form, &fresh), errAuthorizationSuccess);
        EXPECT_EQ(
            AuthorizationCopyRights(
                fresh, &adminRights, nullptr,
                kAuthorizationFlagInteractionAllowed | kAuthorizationFlagExtendRights, nullptr),
            errAuthorizationSuccess);
        RemovalRun run = removeWith(fresh, recordOf(file));
        EXPECT_EQ(AuthorizationFree(fresh, kAuthorizationFlagDefaults), errAuthorizationSuccess);
        EXPECT_EQ(run.status, errAuthorizationSuccess);
        EXPECT_EQ(run.outcome.status, EntryRemovalStatus::kRemoved);
        EXPECT_FALSE(exists(file));
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

TEST_F(AuthorizationTest, AHelperThatDiesIsReplacedByANewPrompt) {
    AuthorizationRef authorization = obtainAdmin();
    AuthorizationExternalForm form;
    AuthorizationMakeExternalForm(authorization, &form);
    ASSERT_EQ(::kill(granting_.lastPid(), SIGKILL), 0);
    EXPECT_TRUE(eventually([&] {
        AuthorizationRef made = nullptr;
        OSStatus status = AuthorizationCreateFromExternalForm(&form, &made);
        if (made) AuthorizationFree(made, 0);
        return status == errAuthorizationInvalidRef;
    })) << "a form of rights whose helper died still made references";

    TempDir d;
    std::string file = d.write("after", "x");
    RemovalRun run = removeWith(authorization, recordOf(file));
    EXPECT_EQ(run.status, errAuthorizationSuccess);
    EXPECT_EQ(run.outcome.status, EntryRemovalStatus::kRemoved);
    EXPECT_EQ(granting_.invocations().size(), 2u);
    AuthorizationFree(authorization, 0);
    EXPECT_TRUE(zombieChildren().empty());
}

TEST_F(AuthorizationTest, RootRemovesWithoutEscalating) {
    struct Case {
        const char* what;
        std::optional<bool> root;
    } cases[] = {{"real root", std::nullopt}, {"root by injection", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.root && ::geteuid() != 0) continue;  // only where the tests run as root
        platform::setRunsAsRootForTesting(c.root);
        AuthorizationRef authorization = obtainAdmin();
        TempDir d;
        RemovalRun run = removeWith(authorization, recordOf(d.write("as root", "x")));
        EXPECT_EQ(run.status, errAuthorizationSuccess);
        EXPECT_EQ(run.outcome.status, EntryRemovalStatus::kRemoved);
        EXPECT_FALSE(exists(d / "as root"));
        AuthorizationFree(authorization, 0);
    }
    EXPECT_TRUE(granting_.invocations().empty());
}

// The same removals behave alike whether the process is root (it removes entries itself) or
// obtains a helper through the fake.
enum class Road { kDirect, kHelper };

class RemovalRoadTest : public AuthorizationTest, public ::testing::WithParamInterface<Road> {
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

const std::vector<std::string> kAwkwardNames = {
    "two words", "quo\"te 'single'", "\xff\xfe not utf-8", "$HOME;|*`id`", "-rf", "\n"};

TEST_P(RemovalRoadTest, RecordsArriveAsTheirBytesAndTheirEntriesGo) {
    for (const std::string& name : kAwkwardNames) {
        SCOPED_TRACE(name);
        std::string file = dir_.write(name, "x");
        RemovalRun run = removeWith(authorization_, recordOf(file));
        EXPECT_EQ(run.status, errAuthorizationSuccess);
        EXPECT_EQ(run.outcome.status, EntryRemovalStatus::kRemoved) << run.outcome.error;
        EXPECT_FALSE(exists(file));
    }
    std::string folder = dir_.write("folder/sub/file", "f").substr(0, (dir_ / "folder").size());
    EXPECT_EQ(removeWith(authorization_, recordOf(folder)).outcome.status,
              EntryRemovalStatus::kRemoved);
    EXPECT_FALSE(exists(folder));
}

TEST_P(RemovalRoadTest, ChangedEntriesStayAndGoneOnesAreNoFailure) {
    FileEntryRecord gone = recordOf(dir_.write("gone", "g"));
    std::filesystem::remove(dir_ / "gone");
    FileEntryRecord behindLink = recordOf(dir_.write("Logs/app.log", "l"));
    std::filesystem::rename(dir_ / "Logs", dir_ / "Moved");
    ::symlink((dir_ / "Moved").c_str(), (dir_ / "Logs").c_str());
    FileEntryRecord replaced = recordOf(dir_.write("small", "12345"));
    std::filesystem::remove(dir_ / "small");
    dir_.write("small/everything", "e");

    RemovalRun run = removeWith(authorization_, gone);
    EXPECT_EQ(run.status, errAuthorizationSuccess);
    EXPECT_EQ(run.outcome.status, EntryRemovalStatus::kGone);
    EXPECT_EQ(removeWith(authorization_, behindLink).outcome.status, EntryRemovalStatus::kChanged);
    EXPECT_TRUE(exists(dir_ / "Moved/app.log"));
    EXPECT_EQ(removeWith(authorization_, replaced).outcome.status, EntryRemovalStatus::kChanged);
    EXPECT_TRUE(exists(dir_ / "small/everything"));

    FileEntryRecord malformed = replaced;
    malformed.name = "../small";
    EXPECT_EQ(removeWith(authorization_, malformed).status, errAuthorizationToolExecuteFailure);
    EXPECT_TRUE(exists(dir_ / "small/everything"));
}

TEST_P(RemovalRoadTest, ThreadsShareOneAuthorization) {
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
                std::string word = std::to_string(t) + "-" + std::to_string(i);
                std::string file = dir_.write(word, word);
                RemovalRun run = removeWith(fresh, recordOf(file));
                AuthorizationFree(fresh, 0);
                if (run.outcome.status != EntryRemovalStatus::kRemoved || exists(file))
                    failures[t].push_back(word + " was not removed");
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    for (const auto& f : failures)
        EXPECT_TRUE(f.empty()) << f.front();
}

INSTANTIATE_TEST_SUITE_P(Roads, RemovalRoadTest, ::testing::Values(Road::kDirect, Road::kHelper),
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
