// Catches delete executors that lose, duplicate or reorder reports, report a failed removal as
// done, remove what a path resolves to at deletion time instead of the entry that was found, ask
// for a password for entries that are already gone or more than once per list, keep the
// privileged helper after the list, or open an item up to everyone.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "languages/AMDeleteExecutor.h"
#include "appsManager/AsMDeleteExecutor.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/security/Authorization.h"
#include "platform/testing/LogCapture.h"
#include "platform/testing/RunLoopPump.h"
#include "support/FileFixtures.h"

namespace {

using fixtures::readFile;
using fixtures::TempDir;

/// A stand-in for pkexec that records each prompt ("<pid> <arguments>"; the pid becomes the
/// helper's) and, with `probe`, the mode of that item while the prompt is up. Prompts whose
/// number (from 1) is in `refused` exit 126 (dismissed); the others first make `unlock`
/// writable for its owner, as if the rights had been granted, and then run the helper.
class FakeEscalation {
  public:
    explicit FakeEscalation(std::vector<int> refused = {}, std::string unlock = "",
                            std::string probe = "") {
        log_ = dir_ / "prompts";
        modes_ = dir_ / "modes";
        for (const std::string& f : {log_, modes_}) {
            fixtures::makeFile(f);
            ::chmod(f.c_str(), 0666);  // the fake may run as the unprivileged user
        }
        std::string body = "#!/bin/sh\nprintf '%s\\n' \"$$ $*\" >> '" + log_ + "'\n" +
                           "n=$(wc -l < '" + log_ + "')\n";
        if (!probe.empty()) body += "stat -c %a '" + probe + "' >> '" + modes_ + "'\n";
        for (int r : refused)
            body += "[ \"$n\" -eq " + std::to_string(r) + " ] && exit 126\n";
        if (!unlock.empty()) body += "chmod u+w '" + unlock + "'\n";
        body += "exec \"$@\"\n";
        script_ = dir_.write("escalate", body);
        ::chmod(script_.c_str(), 0755);
    }
    const std::string& path() const { return script_; }
    std::size_t prompts() const { return lines(log_).size(); }
    /// The pid of each prompt, which became the helper when it granted.
    std::vector<pid_t> helperPids() const {
        std::vector<pid_t> pids;
        for (const std::string& line : lines(log_))
            pids.push_back(static_cast<pid_t>(std::stol(line)));
        return pids;
    }
    /// The probed item's mode (octal text) at each prompt.
    std::vector<std::string> probedModes() const { return lines(modes_); }

  private:
    static std::vector<std::string> lines(const std::string& file) {
        std::vector<std::string> result;
        std::istringstream in(readFile(file));
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }
    TempDir dir_;
    std::string log_, modes_, script_;
};

/// Records every report of either executor, with the thread it came on.
class Recorder : public AsMDeleteExecutorDelegate,
                 public DeleteExecutorDelegate,
                 public DeleteExecutorFailureDelegate {
  public:
    struct Report {
        std::string path;
        bool removed;
        std::thread::id thread;
    };
    void deleteRelatedFile(const Ref<AMAppItem>& e) override { add(e->path(), true); }
    void deleteRelatedFileFail(const Ref<AMAppItem>& e) override { add(e->path(), false); }
    void deleteRelatedFile(const Ref<ZRTreeNode>& e) override { add(e->path(), true); }
    void deleteRelatedFileFail(const Ref<ZRTreeNode>& e) override { add(e->path(), false); }
    std::vector<Report> reports() const {
        std::lock_guard guard(lock_);
        return reports_;
    }

  private:
    void add(const std::string& path, bool removed) {
        std::lock_guard guard(lock_);
        reports_.push_back({path, removed, std::this_thread::get_id()});
    }
    mutable std::mutex lock_;
    std::vector<Report> reports_;
};

/// Builds entries and executors of one class, so that each test runs against both.
template <class Executor, class Entry>
struct Kind {
    using ExecutorType = Executor;
    /// Entries as discovery makes them: each with the record of what is at its path now.
    static std::vector<Ref<Entry>> entries(const std::vector<std::string>& paths) {
        std::vector<Ref<Entry>> list = unrecorded(paths);
        for (const auto& entry : list)
            entry->setEntryRecord(platform::recordEntryAtPath(entry->path()));
        return list;
    }
    /// Entries that only carry a path.
    static std::vector<Ref<Entry>> unrecorded(const std::vector<std::string>& paths) {
        std::vector<Ref<Entry>> list;
        for (const auto& p : paths) {
            auto entry = Entry::make();
            entry->setPath(p);
            list.push_back(entry);
        }
        return list;
    }
    static Ref<Executor> executor(const Ref<Recorder>& recorder) {
        auto executor = Executor::make();
        executor->setDelegate(recorder);
        return executor;
    }
    /// What the queued work does, run on this thread (children of a fork have no workers).
    static void runInline(const Ref<Executor>& executor, const std::vector<std::string>& paths) {
        for (const auto& entry : entries(paths))
            executor->removeTrahFile(entry);
    }
};
using Kinds =
    ::testing::Types<Kind<AsMDeleteExecutor, AMAppItem>, Kind<AMDeleteExecutor, ZRTreeNode>>;

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool processExists(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

/// Polls `condition` for up to ten seconds (for checks in forked children, which have no main
/// loop to run).
bool eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 1000 && !condition(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return condition();
}

unsigned modeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

/// Gathers failed checks inside a forked child, whose result is only an exit code.
struct ChildChecks {
    std::ostringstream failures;
    int count = 0;
    void expect(bool ok, const std::string& what) {
        if (ok) return;
        ++count;
        failures << what << "\n";
    }
    int finish() {
        std::fputs(failures.str().c_str(), stderr);
        return count;
    }
};

std::string outcomes(const std::vector<Recorder::Report>& reports) {
    std::string text;
    for (const auto& r : reports)
        text += r.removed ? 'R' : 'F';
    return text;
}

template <class K>
class DeleteExecutorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The helper road is taken even when the tests run as root.
        platform::setRunsAsRootForTesting(false);
        use(granting_);
        // The helper is this executable; checks that run as the unprivileged user must be able
        // to start it even when the build folder is private to its owner.
        helper_ = helperDir_ / "app_tests";
        std::filesystem::copy_file("/proc/self/exe", helper_);
        ::chmod(helper_.c_str(), 0755);
        platform::setPrivilegedHelperPath(helper_);
    }
    void TearDown() override {
        platform::setRunsAsRootForTesting(std::nullopt);
        platform::setEscalationCommand(std::nullopt);
        platform::setPrivilegedHelperPath(std::nullopt);
    }
    void use(const FakeEscalation& fake) { platform::setEscalationCommand(fake.path()); }

    /// A tree owned by the user that runUnprivileged checks run as.
    void giveToUnprivileged(const std::string& root) {
        if (::geteuid() != 0) return;
        for (auto& e : std::filesystem::recursive_directory_iterator(root))
            ::lchown(e.path().c_str(), fixtures::kNobody, fixtures::kNogroup);
        ::lchown(root.c_str(), fixtures::kNobody, fixtures::kNogroup);
    }

    FakeEscalation granting_;
    TempDir dir_;
    TempDir helperDir_;
    std::string helper_;
};
TYPED_TEST_SUITE(DeleteExecutorTest, Kinds);

TYPED_TEST(DeleteExecutorTest, RemovesEveryEntryOnAWorkerWithOneReportEachInOrder) {
    const TempDir& d = this->dir_;
    std::vector<std::string> paths = {
        d.write("one.txt", "1"),
        d.write("Bundle.app/Contents/Info.plist", "<plist/>").substr(0, (d / "Bundle.app").size()),
        d / "never-existed",          // gone already: removed without a prompt
        d / "one.txt/inside-a-file",  // a parent that is a file: gone as well
        d.write("deep/a/b/c.txt", "c").substr(0, (d / "deep").size()),
    };
    ::symlink(d.mkdir("kept").c_str(), (d / "link").c_str());
    paths.push_back(d / "link");  // the link goes, its target stays

    auto recorder = std::make_shared<Recorder>();
    auto executor = TypeParam::executor(recorder);
    auto entries = TypeParam::entries(paths);
    executor->executeDelete(entries);
    EXPECT_EQ(executor->trashFiles(), entries);
    ASSERT_TRUE(platform::testing::runMainLoopUntil(
        [&] { return recorder->reports().size() >= paths.size(); }));
    platform::waitForGlobalQueuesForTesting();

    auto reports = recorder->reports();
    ASSERT_EQ(reports.size(), paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i]);
        EXPECT_EQ(reports[i].path, paths[i]);
        EXPECT_TRUE(reports[i].removed);
        EXPECT_NE(reports[i].thread, std::this_thread::get_id());
        EXPECT_FALSE(exists(paths[i]));
    }
    EXPECT_TRUE(exists(d / "kept"));
    EXPECT_EQ(this->granting_.prompts(), 0u);
}

TYPED_TEST(DeleteExecutorTest, AnEmptyListReportsNothing) {
    auto recorder = std::make_shared<Recorder>();
    auto executor = TypeParam::executor(recorder);
    executor->executeDelete({});
    platform::waitForGlobalQueuesForTesting();
    EXPECT_TRUE(recorder->reports().empty());
    EXPECT_EQ(this->granting_.prompts(), 0u);
}

TYPED_TEST(DeleteExecutorTest, QueuedWorkOutlivesTheCallersReference) {
    auto recorder = std::make_shared<Recorder>();
    std::string file = this->dir_.write("f", "x");
    TypeParam::executor(recorder)->executeDelete(TypeParam::entries({file}));
    ASSERT_TRUE(
        platform::testing::runMainLoopUntil([&] { return recorder->reports().size() == 1; }));
    EXPECT_TRUE(recorder->reports()[0].removed);
}

TYPED_TEST(DeleteExecutorTest, AnEntryWithoutARecordIsNeverRemoved) {
    // Nothing was recorded of these when they were found: what their paths name now was never
    // reviewed. Only "nothing there" can be reported removed.
    std::string file = this->dir_.write("unrecorded", "x");
    std::string missing = this->dir_ / "missing";
    auto recorder = std::make_shared<Recorder>();
    auto executor = TypeParam::executor(recorder);
    platform::LogCapture log;
    for (const auto& entry : TypeParam::unrecorded({file, missing}))
        executor->removeTrahFile(entry);
    EXPECT_EQ(outcomes(recorder->reports()), "FR");
    EXPECT_TRUE(exists(file));
    EXPECT_EQ(this->granting_.prompts(), 0u);
    auto lines = log.lines();
    EXPECT_NE(
        std::find(lines.begin(), lines.end(), "No record of the entry found, left alone: " + file),
        lines.end());
}

TYPED_TEST(DeleteExecutorTest, EntriesThatChangedSinceTheyWereFoundAreFailuresAndStay) {
    const TempDir& d = this->dir_;
    std::vector<std::string> paths = {
        d.write("Library/Logs/app.log", "log"), d.write("Library/Preferences/id.plist", "12345"),
        d.write("Caches/app/f", "f").substr(0, (d / "Caches/app").size())};
    auto entries = TypeParam::entries(paths);
    // A parent of the first replaced by a link to where it went: the same file, through a link.
    std::filesystem::rename(d / "Library/Logs", d / "Logs.moved");
    ::symlink((d / "Logs.moved").c_str(), (d / "Library/Logs").c_str());
    // The reviewed 5-byte file is a folder now; the reviewed folder is another folder now.
    std::filesystem::remove(paths[1]);
    d.write("Library/Preferences/id.plist/everything", "never reviewed");
    std::filesystem::rename(paths[2], d / "app.reviewed");
    d.write("Caches/app/other", "o");

    auto recorder = std::make_shared<Recorder>();
    auto executor = TypeParam::executor(recorder);
    platform::LogCapture log;
    for (const auto& entry : entries)
        executor->removeTrahFile(entry);
    EXPECT_EQ(outcomes(recorder->reports()), "FFF");
    EXPECT_TRUE(exists(d / "Logs.moved/app.log"));
    EXPECT_TRUE(exists(d / "Library/Preferences/id.plist/everything"));
    EXPECT_TRUE(exists(d / "Caches/app/other"));
    EXPECT_TRUE(exists(d / "app.reviewed/f"));
    EXPECT_EQ(this->granting_.prompts(), 0u) << "a changed entry must not go the privileged road";
    auto lines = log.lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Not the entry that was found, left alone: " + paths[1]),
              lines.end());
}

TYPED_TEST(DeleteExecutorTest, ThePrivilegedRemovalLeavesChangedEntriesToo) {
    // Straight to the helper (as root where the tests run as root): the entry is found again
    // there, beneath its recorded parent, and only the recorded object is removed.
    const TempDir& d = this->dir_;
    std::string kept = d.write("Library/Logs/app.log", "log");
    std::string small = d.write("Preferences/id.plist", "12345");
    std::string plain = d.write("Preferences/other.plist", "o");
    auto linked = platform::recordEntryAtPath(kept);
    auto replaced = platform::recordEntryAtPath(small);
    auto unchanged = platform::recordEntryAtPath(plain);
    ASSERT_TRUE(linked && replaced && unchanged);
    std::filesystem::rename(d / "Library", d / "Moved");
    ::symlink((d / "Moved").c_str(), (d / "Library").c_str());
    std::filesystem::remove(small);
    d.write("Preferences/id.plist/everything", "never reviewed");

    auto executor = TypeParam::executor(std::make_shared<Recorder>());
    ASSERT_TRUE(executor->allocAuthorization());
    EXPECT_FALSE(executor->authDeleteAtPath(*linked));
    EXPECT_FALSE(executor->authDeleteAtPath(*replaced));
    EXPECT_TRUE(executor->authDeleteAtPath(*unchanged));
    EXPECT_TRUE(exists(d / "Moved/Logs/app.log"));
    EXPECT_TRUE(exists(d / "Preferences/id.plist/everything"));
    EXPECT_FALSE(exists(plain));
    EXPECT_EQ(this->granting_.prompts(), 1u);
}

TYPED_TEST(DeleteExecutorTest, AnApplicationFoundThroughALinkedFolderIsStillRemoved) {
    const TempDir& d = this->dir_;
    d.write("opt/Foo.app/Contents/Info.plist", "<plist/>");
    d.mkdir("Applications");
    ::symlink((d / "opt").c_str(), (d / "Applications/Linked").c_str());
    auto recorder = std::make_shared<Recorder>();
    auto executor = TypeParam::executor(recorder);
    for (const auto& entry : TypeParam::entries({d / "Applications/Linked/Foo.app"}))
        executor->removeTrahFile(entry);
    EXPECT_EQ(outcomes(recorder->reports()), "R");
    EXPECT_FALSE(exists(d / "opt/Foo.app"));
    EXPECT_TRUE(exists(d / "Applications/Linked"));
}

TYPED_TEST(DeleteExecutorTest, PrivilegedRoadPromptsOnceWhileRightsAreHeld) {
    const TempDir& d = this->dir_;
    d.write("locked/a", "a");
    d.write("locked/sub/b", "b");
    d.write("locked/c", "c");
    this->giveToUnprivileged(d.path());
    ::chmod((d / "locked").c_str(), 0555);
    FakeEscalation fake({}, d / "locked");
    this->use(fake);

    auto result = fixtures::runUnprivileged([&] {
        ChildChecks checks;
        auto recorder = std::make_shared<Recorder>();
        {
            auto executor = TypeParam::executor(recorder);
            TypeParam::runInline(executor, {d / "locked/a", d / "locked/sub", d / "locked/c"});
        }
        checks.expect(outcomes(recorder->reports()) == "RRR",
                      "outcomes " + outcomes(recorder->reports()));
        checks.expect(
            !exists(d / "locked/a") && !exists(d / "locked/sub") && !exists(d / "locked/c"),
            "entries left on disk");
        checks.expect(fake.prompts() == 1, "prompts " + std::to_string(fake.prompts()));
        return checks.finish();
    });
    if (!result) GTEST_SKIP() << "cannot run as an unprivileged user here";
    EXPECT_EQ(*result, 0);
}

TYPED_TEST(DeleteExecutorTest, RightsAndTheHelperEndWithEachList) {
    const TempDir& d = this->dir_;
    std::vector<std::string> first = {d.write("locked/a", "a"), d.write("locked/b", "b")};
    std::vector<std::string> second = {d.write("locked/c", "c")};
    this->giveToUnprivileged(d.path());
    ::chmod((d / "locked").c_str(), 0555);
    FakeEscalation fake({}, d / "locked");
    this->use(fake);

    auto result = fixtures::runUnprivileged([&] {
        ChildChecks checks;
        auto recorder = std::make_shared<Recorder>();
        auto executor = TypeParam::executor(recorder);
        executor->executeDelete(TypeParam::entries(first));
        checks.expect(eventually([&] { return recorder->reports().size() == 2; }), "no reports");
        checks.expect(fake.prompts() == 1, "prompts " + std::to_string(fake.prompts()));
        if (fake.prompts() == 1) {
            pid_t helper = fake.helperPids()[0];
            checks.expect(eventually([&] { return !processExists(helper); }),
                          "the helper outlived its list");
        }
        // The executor is still alive, but the next list asks again (the fake's grant opened
        // the folder up: close it again).
        ::chmod((d / "locked").c_str(), 0555);
        executor->executeDelete(TypeParam::entries(second));
        checks.expect(eventually([&] { return recorder->reports().size() == 3; }), "no report");
        checks.expect(outcomes(recorder->reports()) == "RRR",
                      "outcomes " + outcomes(recorder->reports()));
        checks.expect(fake.prompts() == 2, "prompts " + std::to_string(fake.prompts()));
        checks.expect(eventually([&] {
                          for (pid_t pid : fake.helperPids())
                              if (processExists(pid)) return false;
                          return true;
                      }),
                      "a helper outlived its list");
        return checks.finish();
    });
    if (!result) GTEST_SKIP() << "cannot run as an unprivileged user here";
    EXPECT_EQ(*result, 0);
}

TYPED_TEST(DeleteExecutorTest, AnItemOpenedUpForTheAttemptIsNeverWorldWritable) {
    // A folder the user cannot remove: its parent is not writable. It is opened up for its
    // owner while the password is asked for, and then closed again when the prompt is refused.
    const TempDir& d = this->dir_;
    std::string folder = d.write("locked/Sub/inner", "i").substr(0, (d / "locked/Sub").size());
    this->giveToUnprivileged(d.path());
    ::chmod(folder.c_str(), 0550);
    ::chmod((d / "locked").c_str(), 0555);
    FakeEscalation fake({1}, "", folder);
    this->use(fake);

    auto result = fixtures::runUnprivileged([&] {
        ChildChecks checks;
        platform::LogCapture quiet;
        auto recorder = std::make_shared<Recorder>();
        {
            auto executor = TypeParam::executor(recorder);
            TypeParam::runInline(executor, {folder});
        }
        checks.expect(outcomes(recorder->reports()) == "F",
                      "outcomes " + outcomes(recorder->reports()));
        auto modes = fake.probedModes();
        checks.expect(modes == std::vector<std::string>{"750"},
                      "mode during the prompt " + (modes.empty() ? "?" : modes[0]));
        checks.expect(modeOf(folder) == 0550, "mode after " + std::to_string(modeOf(folder)));
        checks.expect(!exists(folder + "/inner"), "the opened-up folder kept its contents");
        return checks.finish();
    });
    if (!result) GTEST_SKIP() << "cannot run as an unprivileged user here";
    EXPECT_EQ(*result, 0);
}

TYPED_TEST(DeleteExecutorTest, ARefusedPromptFailsOnlyItsEntryAndTheNextOneAsksAgain) {
    const TempDir& d = this->dir_;
    std::vector<std::string> paths = {d.write("free/1", "1"), d.write("free/2", "2"),
                                      d.write("locked/3", "3"), d.write("locked/4", "4"),
                                      d.write("locked/5", "5")};
    const unsigned before = modeOf(paths[2]);
    this->giveToUnprivileged(d.path());
    ::chmod((d / "locked").c_str(), 0555);
    FakeEscalation fake({1}, d / "locked");
    this->use(fake);

    auto result = fixtures::runUnprivileged([&] {
        ChildChecks checks;
        platform::LogCapture log;
        auto recorder = std::make_shared<Recorder>();
        {
            auto executor = TypeParam::executor(recorder);
            TypeParam::runInline(executor, paths);
        }
        auto reports = recorder->reports();
        checks.expect(outcomes(reports) == "RRFRR", "outcomes " + outcomes(reports));
        for (std::size_t i = 0; i < reports.size() && i < paths.size(); ++i)
            checks.expect(reports[i].path == paths[i], "order at " + std::to_string(i));
        checks.expect(exists(paths[2]) && !exists(paths[3]) && !exists(paths[4]),
                      "wrong entries left");
        // Entry 3 was opened up for the attempt and must not stay world-writable.
        checks.expect(modeOf(paths[2]) == before,
                      "mode of entry 3 " + std::to_string(modeOf(paths[2])));
        checks.expect(fake.prompts() == 2, "prompts " + std::to_string(fake.prompts()));
        auto lines = log.lines();
        auto has = [&](const std::string& l) {
            return std::find(lines.begin(), lines.end(), l) != lines.end();
        };
        checks.expect(has("Copy Rights Unsuccessful: " + std::to_string(errAuthorizationCanceled)),
                      "no copy-rights line");
        checks.expect(has("Alloc authorization failed!!!"), "no alloc line");
        return checks.finish();
    });
    if (!result) GTEST_SKIP() << "cannot run as an unprivileged user here";
    EXPECT_EQ(*result, 0);
}

TYPED_TEST(DeleteExecutorTest, APermissionFailureIsReportedAndLeavesPermissionsAsTheyWere) {
    // As root: a folder of root's holding items of the unprivileged user, who may change their
    // permissions but not remove them. Otherwise: a read-only folder of our own.
    const TempDir& d = this->dir_;
    std::string file = d.write("sealed/file", "f");
    std::string folder =
        d.write("sealed/folder/inner", "i").substr(0, (d / "sealed/folder").size());
    ::chmod(file.c_str(), 0640);
    ::chmod(folder.c_str(), 0750);
    if (::geteuid() == 0) {
        for (const auto& p : {file, folder, folder + "/inner"})
            ::lchown(p.c_str(), fixtures::kNobody, fixtures::kNogroup);
    } else {
        ::chmod((d / "sealed").c_str(), 0555);
    }

    auto result = fixtures::runUnprivileged([&] {
        ChildChecks checks;
        platform::LogCapture log;
        auto recorder = std::make_shared<Recorder>();
        {
            auto executor = TypeParam::executor(recorder);
            TypeParam::runInline(executor, {file, folder});
        }
        checks.expect(outcomes(recorder->reports()) == "FF",
                      "outcomes " + outcomes(recorder->reports()));
        checks.expect(exists(file) && exists(folder), "items removed");
        checks.expect(modeOf(file) == 0640, "file mode " + std::to_string(modeOf(file)));
        checks.expect(modeOf(folder) == 0750, "folder mode " + std::to_string(modeOf(folder)));
        auto lines = log.lines();
        checks.expect(std::find(lines.begin(), lines.end(),
                                "Clean file by authorization failed: " + file) != lines.end(),
                      "no failure line");
        return checks.finish();
    });
    if (!result) GTEST_SKIP() << "cannot run as an unprivileged user here";
    EXPECT_EQ(*result, 0);
    EXPECT_EQ(this->granting_.prompts(), 1u);
}

TEST(AMDeleteExecutorDelegateTest, ADelegateWithoutTheFailurePartGetsOnlySuccesses) {
    struct SuccessOnly : DeleteExecutorDelegate {
        std::vector<std::string> removed;
        void deleteRelatedFile(const Ref<ZRTreeNode>& e) override { removed.push_back(e->path()); }
    };
    platform::setRunsAsRootForTesting(false);
    FakeEscalation refusing({1, 2, 3});
    platform::LogCapture quiet;
    platform::setEscalationCommand(refusing.path());
    TempDir d;
    auto delegate = std::make_shared<SuccessOnly>();
    auto executor = AMDeleteExecutor::make();
    executor->setDelegate(delegate);
    auto entries =
        Kind<AMDeleteExecutor, ZRTreeNode>::entries({d / std::string(300, 'x'), d.write("ok", "")});
    executor->removeTrahFile(entries[0]);
    executor->removeTrahFile(entries[1]);
    EXPECT_EQ(delegate->removed, std::vector<std::string>{d / "ok"});
    platform::setRunsAsRootForTesting(std::nullopt);
    platform::setEscalationCommand(std::nullopt);
}

}  // namespace
