// Catches a review dialog whose uninstall drives the progress dialog with wrong percentages,
// asks for the end message too early, counts a failed file as freed space or a file listed
// twice twice, reports success when items stayed on disk (or stops short of the end panel),
// deletes anything on Cancel or the close button, starts with nothing ticked,
// breaks the road from Uninstall through the progress dialog's OK back to the opener, or lets a
// late executor report reach a dialog that is gone.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/appsManager/RelatedFilesDialogFixture.h"
#include "appsManager/AMPublicUtilities.h"
#include "appsManager/AsMDeleteExecutor.h"
#include "appsManager/EUProgressView.h"
#include "appsManager/NSProgressBar.h"
#include "appsManager/UninstallProgressWindowController.h"
#include "platform/appkit/NSButton.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/security/Authorization.h"
#include "support/ImmutableFile.h"

using namespace reviewtest;

namespace {

/// Runs `work` on a thread of its own (as the executor's worker would), then runs the main
/// queue dry.
void fromWorker(const std::function<void()>& work) {
    std::thread worker(work);
    worker.join();
    pt::drainQueues();
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

/// A stand-in for the privileged road's escalation command that records each prompt and then
/// runs the helper, as if the rights had been granted.
class RecordingEscalation {
  public:
    RecordingEscalation() {
        log_ = dir_.write("prompts", "");
        script_ = dir_.write("escalate",
                             "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" + log_ + "'\nexec \"$@\"\n");
        ::chmod(script_.c_str(), 0755);
    }
    const std::string& path() const { return script_; }
    std::size_t prompts() const {
        std::string text = fixtures::readFile(log_);
        return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    }

  private:
    fixtures::TempDir dir_;
    std::string log_, script_;
};

class ReviewUninstall : public ReviewDialog {
  protected:
    void SetUp() override {
        ReviewDialog::SetUp();
        // The privileged road, should anything take it, goes through the recording fake.
        platform::setRunsAsRootForTesting(false);
        platform::setEscalationCommand(escalation.path());
        helper = helperDir / "app_tests";
        fs::copy_file("/proc/self/exe", helper);
        ::chmod(helper.c_str(), 0755);
        platform::setPrivilegedHelperPath(helper);
    }
    void TearDown() override {
        if (okPoller) *okPoller = nullptr;
        ReviewDialog::TearDown();
        platform::setRunsAsRootForTesting(std::nullopt);
        platform::setEscalationCommand(std::nullopt);
        platform::setPrivilegedHelperPath(std::nullopt);
    }

    /// Runs the review window modally; `inside` runs from the main queue within the loop. A
    /// loop that is never stopped is aborted after a while.
    void runReviewModally(const std::function<void()>& inside) {
        auto finished = std::make_shared<bool>(false);
        dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 10 * NSEC_PER_SEC),
                       dispatch_get_main_queue(), [finished, app = app] {
                           if (!*finished) app->abortModal();
                       });
        dispatch_async(dispatch_get_main_queue(), inside);
        response = app->runModalForWindow(window);
        *finished = true;
    }
    /// Clicks the progress dialog's OK once its end panel shows inside its modal loop.
    void pressOkWhenDone() {
        okPoller = std::make_shared<std::function<void()>>();
        std::weak_ptr<std::function<void()>> weak = okPoller;
        *okPoller = [this, weak] {
            auto dialog = controller ? controller->uninstallPWC() : nullptr;
            if (dialog && dialog->isWindowLoaded() && dialog->endView() &&
                !dialog->endView()->isHidden() && app->modalWindow() == dialog->window()) {
                pt::postClick(*dialog->window(), middleOf(*dialog->okButton()));
                return;
            }
            dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 20 * NSEC_PER_MSEC),
                           dispatch_get_main_queue(), [weak] {
                               if (auto poll = weak.lock(); poll && *poll) (*poll)();
                           });
        };
        dispatch_async(dispatch_get_main_queue(), *okPoller);
    }
    /// Uninstall clicked inside the review's modal loop, then the run loop turned until the
    /// opener heard the end (the progress dialog runs modally meanwhile).
    void runRoad() {
        runReviewModally(
            [this] { pt::postClick(*window, middleOf(*controller->uninstallButton())); });
        EXPECT_EQ(response, NSModalResponseStop);
        EXPECT_FALSE(window->isVisible());
        // The deletion starts half a second later, not at once.
        EXPECT_EQ(controller->uninstallPWC(), nullptr);
        pressOkWhenDone();
        ASSERT_TRUE(pt::runMainLoopUntil([this] { return recorder->calls > 0; }, 20));
        pt::drainQueues();
    }
    std::vector<std::string> paths() const {
        std::vector<std::string> out;
        for (const auto& g : *list)
            for (const auto& r : g->records())
                out.push_back(r->path());
        return out;
    }

    RecordingEscalation escalation;
    fixtures::TempDir helperDir;
    std::string helper;
    std::shared_ptr<std::function<void()>> okPoller;
    NSModalResponse response = 0;
};

TEST_F(ReviewUninstall, FourReportsDriveTheBarInQuartersAndAskForTheMessageWithTheLast) {
    makeGroups({{{"Alpha", "Applications/Alpha.app", "1.00 MB"},
                 {"com.alpha", "Library/Caches/com.alpha", "500.00 KB"}},
                {{"Beta", "Applications/Beta.app", "250.00 KB"},
                 {"Beta", "Library/Logs/Beta", "2.00 KB"}}});
    open();
    ASSERT_EQ(controller->selectDeletePath().size(), 4u);
    controller->prepareProgress();
    auto dialog = controller->uninstallPWC();
    ASSERT_TRUE(dialog && dialog->isWindowLoaded());
    EXPECT_EQ(dialog->delegate(), controller);
    EXPECT_EQ(controller->allSelectCount(), 4);

    struct Report {
        std::size_t record;
        bool removed;
        int percent;
        std::uint64_t total;
    };
    // The second file fails: it counts towards completion but frees nothing.
    const Report reports[] = {{0, true, 25, 1000000},
                              {1, false, 50, 1000000},
                              {2, true, 75, 1250000},
                              {3, true, 100, 1252000}};
    const auto ticked = controller->selectDeletePath();
    for (const Report& r : reports) {
        SCOPED_TRACE(r.percent);
        const Ref<AMAppItem> entry = ticked[r.record];
        fromWorker([&] {
            if (r.removed)
                controller->deleteRelatedFile(entry);
            else
                controller->deleteRelatedFileFail(entry);
        });
        EXPECT_EQ(controller->deleteCount(), static_cast<int>(r.record + 1));
        EXPECT_EQ(controller->failCount(), r.record >= 1 ? 1 : 0);
        EXPECT_EQ(controller->totalSize(), r.total);
        EXPECT_NEAR(dialog->aProgressView()->progressBar()->frame().size.width,
                    656.0 * r.percent / 100, 1e-3);
        EXPECT_EQ(dialog->pathLabel()->stringValue(), entry->path());
        const std::string message = dialog->messageLabel()->stringValue();
        if (r.percent < 100) {
            EXPECT_EQ(message, "");
            EXPECT_TRUE(dialog->endView()->isHidden());
        } else {
            EXPECT_EQ(message, "1 item(s) could not be removed. Freed up 1.25 MB disk space.");
            EXPECT_FALSE(dialog->endView()->isHidden());
        }
    }
}

TEST_F(ReviewUninstall, TheWholeRoadDeletesTheTickedFilesAndTellsTheOpenerOnce) {
    makeThreeGroups();
    open();
    const std::vector<std::string> all = paths();
    for (const std::string& p : all)
        ASSERT_TRUE(exists(p)) << p;
    // Gamma is unticked and stays.
    clickTick(5);
    ASSERT_EQ(controller->selectDeletePath().size(), 5u);
    const Ref<AMRelatedFilesGroupList> openersList = list;

    runRoad();

    EXPECT_EQ(recorder->calls, 1);
    for (const std::string& p : all)
        EXPECT_EQ(exists(p), p.find("Gamma") != std::string::npos) << p;
    EXPECT_EQ(controller->deleteCount(), 5);
    EXPECT_EQ(controller->totalSize(), 2000000u + 1500 + 500000 + 3250000 + 10000);
    // The opener's own list object was emptied, and the dialog shows nothing any more.
    EXPECT_TRUE(openersList->empty());
    EXPECT_TRUE(controller->selectDeletePath().empty());
    EXPECT_EQ(outline->numberOfRows(), 0);
    auto dialog = controller->uninstallPWC();
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->window()->isVisible());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(app->modalWindow(), nullptr);
    EXPECT_NE(
        dialog->messageLabel()->stringValue().find(AMPublicUtilities::convertVolSpace(5761500)),
        std::string::npos);
    EXPECT_EQ(escalation.prompts(), 0u);
}

TEST_F(ReviewUninstall, AFileListedTwiceIsRemovedAndCountedOnceWithoutAPrompt) {
    makeGroups({{{"Solo", "Applications/Solo.app", "1.00 MB"},
                 {"com.solo.plist", "Library/Preferences/com.solo.plist", "2.00 KB"}}});
    // A second search of the same bundle found the same file again.
    auto again = AMAppItem::make();
    again->setName("com.solo.plist");
    again->setPath(records(0)[1]->path());
    again->setEntryRecord(records(0)[1]->entryRecord());
    again->setSize("2.00 KB");
    (*list)[0]->records().push_back(again);
    open();
    ASSERT_EQ(controller->selectDeletePath().size(), 3u);

    runRoad();

    EXPECT_EQ(recorder->calls, 1);
    EXPECT_FALSE(exists(files / "Library/Preferences/com.solo.plist"));
    EXPECT_FALSE(exists(files / "Applications/Solo.app"));
    EXPECT_EQ(controller->deleteCount(), 3);
    // Both records were reported removed, but the file's space was freed once.
    EXPECT_EQ(controller->totalSize(), 1000000u + 2000);
    EXPECT_EQ(controller->failCount(), 0);
    EXPECT_NE(controller->uninstallPWC()->messageLabel()->stringValue().find(
                  "You have successfully removed"),
              std::string::npos);
    // Nothing asked for rights for a path that was already gone.
    EXPECT_EQ(escalation.prompts(), 0u);
}

TEST_F(ReviewUninstall, ItemsThatStayOnDiskAreCountedInTheEndMessageAndFreeNothing) {
    makeGroups({{{"Alpha", "Applications/Alpha.app", "2.00 MB"},
                 {"com.alpha", "Library/Caches/com.alpha", "500.00 KB"}},
                {{"Beta", "Applications/Beta.app", "1.00 MB"},
                 {"com.beta.plist", "Library/Preferences/com.beta.plist", "4.00 KB"}}});
    // Neither the user nor the administrator may remove these: Beta's bundle and its
    // preferences stay whatever road the removal takes.
    fixtures::ImmutableFile lockedBundle(files / "Applications/Beta.app/Contents/Info.plist");
    fixtures::ImmutableFile lockedPreferences(files / "Library/Preferences/com.beta.plist");
    if (!lockedBundle.ok() || !lockedPreferences.ok())
        GTEST_SKIP() << "files cannot be made immutable here (needs root and a file system "
                        "that keeps the flag)";
    open();

    runRoad();

    EXPECT_EQ(recorder->calls, 1);
    EXPECT_FALSE(exists(files / "Applications/Alpha.app"));
    EXPECT_FALSE(exists(files / "Library/Caches/com.alpha"));
    EXPECT_TRUE(exists(files / "Applications/Beta.app/Contents/Info.plist"));
    EXPECT_TRUE(exists(files / "Library/Preferences/com.beta.plist"));
    // Failures count as done steps: the bar ran full and the end panel came.
    EXPECT_EQ(controller->deleteCount(), 4);
    EXPECT_EQ(controller->failCount(), 2);
    auto dialog = controller->uninstallPWC();
    ASSERT_TRUE(dialog);
    EXPECT_NEAR(dialog->aProgressView()->progressBar()->frame().size.width, 656, 1e-6);
    EXPECT_FALSE(dialog->endView()->isHidden());
    EXPECT_EQ(controller->totalSize(), 2000000u + 500000);
    EXPECT_EQ(dialog->messageLabel()->stringValue(),
              "2 item(s) could not be removed. Freed up 2.50 MB disk space.");
}

TEST_F(ReviewUninstall, CancelAndTheCloseButtonDeleteNothingAndKeepTheGroups) {
    struct Case {
        const char* name;
        bool cancelButton;  // else the window's close button
    };
    const Case cases[] = {{"Cancel", true}, {"close button", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        makeThreeGroups();
        std::vector<Ref<AMAppItem>> before;
        for (const auto& g : *list)
            before.insert(before.end(), g->records().begin(), g->records().end());
        open();
        const NSPoint point = c.cancelButton
                                  ? middleOf(*controller->cancelButton())
                                  : middleOf(*window->standardWindowButton(NSWindowCloseButton));
        runReviewModally([&] { pt::postClick(*window, point); });
        EXPECT_EQ(response, NSModalResponseStop);
        EXPECT_FALSE(window->isVisible());
        // Wait past the half second in which a deletion would start.
        pt::runMainLoopUntil([] { return false; }, 0.8);
        EXPECT_EQ(controller->uninstallPWC(), nullptr);
        EXPECT_EQ(controller->deleteExecutor(), nullptr);
        for (const std::string& p : paths())
            EXPECT_TRUE(exists(p)) << p;
        std::vector<Ref<AMAppItem>> after;
        for (const auto& g : *list)
            after.insert(after.end(), g->records().begin(), g->records().end());
        EXPECT_EQ(after, before);
        EXPECT_EQ(controller->selectDeletePath().size(), before.size());
        EXPECT_EQ(recorder->calls, 0);
        window->orderOut();
        controller.reset();
    }
}

TEST_F(ReviewUninstall, NothingTickedStartsNothing) {
    makeThreeGroups();
    open();
    for (long row : {0L, 4L, 5L})
        clickTick(row);
    ASSERT_TRUE(controller->selectDeletePath().empty());
    controller->doRemove();  // returns at once: no modal dialog runs
    EXPECT_EQ(controller->deleteExecutor(), nullptr);
    EXPECT_EQ(controller->uninstallPWC(), nullptr);
    EXPECT_EQ(controller->allSelectCount(), 0);
    for (const std::string& p : paths())
        EXPECT_TRUE(exists(p)) << p;
    // A report without a prepared uninstall has nowhere to go and divides by nothing.
    fromWorker([&] { controller->deleteRelatedFile(records(0)[0]); });
    EXPECT_EQ(controller->deleteCount(), 1);
}

TEST_F(ReviewUninstall, AReportAfterTheDialogIsGoneTouchesNothing) {
    makeGroups({{{"Solo", "Applications/Solo.app", "1.00 MB"}}});
    open();
    runRoad();
    Ref<AsMDeleteExecutor> executor = controller->deleteExecutor();
    ASSERT_TRUE(executor);
    EXPECT_EQ(executor->delegate().get(),
              static_cast<AsMDeleteExecutorDelegate*>(controller.get()));
    std::weak_ptr<AMRelatedFilesWindowController> weak = controller;
    controller.reset();
    pt::drainQueues();
    ASSERT_TRUE(weak.expired());
    EXPECT_EQ(executor->delegate(), nullptr);

    // The executor outlives the dialog: its report finds no delegate and goes nowhere.
    auto late = AMAppItem::make();
    late->setPath(files.write("late.txt", "x"));
    late->setEntryRecord(platform::recordEntryAtPath(late->path()));
    late->setSize("1.00 KB");
    bool removed = false;
    fromWorker([&] { removed = executor->removeTrahFile(late); });
    EXPECT_TRUE(removed);
    EXPECT_FALSE(exists(late->path()));
}

}  // namespace
