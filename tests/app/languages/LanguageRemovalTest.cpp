// The removal road of the Languages screen: what the Remove button and a row's trash button
// offer, how the folder reports shrink both trees (and only for folders really removed) and
// drive the end dialog, which must not claim success for folders that stayed.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/languages/LanguagesScreenFixture.h"
#include "appsManager/AMPublicUtilities.h"
#include "appsManager/EUProgressView.h"
#include "controls/buttons/TextImageButton.h"
#include "languages/RemoveLagEndWindowController.h"
#include "languages/ShowRemoveLagWindowController.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/security/Authorization.h"
#include "support/ImmutableFile.h"

using namespace languagestest;

namespace {

class LanguageRemoval : public LanguagesScreen {
  protected:
    /// Runs `inside` from the main queue while `start` runs a modal dialog; a loop that is
    /// never stopped is aborted after a while.
    void withModal(const std::function<void()>& start, const std::function<void()>& inside) {
        auto finished = std::make_shared<bool>(false);
        dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 10 * NSEC_PER_SEC),
                       dispatch_get_main_queue(), [finished, app = app] {
                           if (!*finished) app->abortModal();
                       });
        dispatch_async(dispatch_get_main_queue(), inside);
        start();
        *finished = true;
    }
    /// Presses OK on the end dialog once its end panel shows (`afterOneTurn`: a main-queue turn
    /// later, so that the sentence that follows the panel is there), then runs the loop until
    /// the dialog is gone and two folders were handled; answers whether the end panel showed.
    bool pressOkOnTheEndPanel(bool afterOneTurn) {
        bool endShown = false;
        auto poll = std::make_shared<std::function<void()>>();
        std::weak_ptr<std::function<void()>> weak = poll;
        *poll = [this, weak, afterOneTurn, &endShown] {
            auto end = screen->removeLagWC();
            if (end && end->isWindowLoaded() && !end->endView()->isHidden() &&
                app->modalWindow() == end->window()) {
                endShown = true;
                if (afterOneTurn)
                    dispatch_async(dispatch_get_main_queue(),
                                   [end] { end->okButtonAction(nullptr); });
                else
                    end->okButtonAction(nullptr);
                return;
            }
            dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 20 * NSEC_PER_MSEC),
                           dispatch_get_main_queue(), [weak] {
                               if (auto p = weak.lock(); p && *p) (*p)();
                           });
        };
        dispatch_async(dispatch_get_main_queue(), *poll);
        EXPECT_TRUE(pt::runMainLoopUntil([&] {
            return screen->removeLagWC() && !screen->removeLagWC()->window()->isVisible() &&
                   screen->deleteSelectCount() == 2;
        }));
        *poll = nullptr;
        return endShown;
    }
    /// The folders the confirmation dialog was opened with, by entry: "<title>: <leaf>...".
    std::vector<std::string> offered() const {
        std::vector<std::string> out;
        for (const auto& entry : screen->showRemoveLagWC()->allRelaltedFiles()) {
            std::string line = entry->title() + ":";
            for (const auto& leaf : entry->leaves())
                line += " " + leaf->title();
            out.push_back(line);
        }
        return out;
    }
    /// The percentage the end dialog's bar shows.
    double barPercent() const {
        Ref<EUProgressView> bar = screen->removeLagWC()->aProgressView();
        return bar->progressBar()->frame().size.width * 100 / bar->frame().size.width;
    }
};

TEST_F(LanguageRemoval, TheButtonsOfferTheTickedFoldersOrTheRowsOwn) {
    threeApplications();
    openScreen();
    struct Case {
        const char* name;
        std::function<void()> prepare;  // ticks and the row whose trash button is pressed
        bool trashButton;
        std::vector<std::string> offered;
    } cases[] = {
        {"unticked group",
         [&] { screen->shouldSelectItem(&outline(), top("French")); },
         true,
         {"French: Alpha.app Gamma.app"}},
        {"group with two of three ticked",
         [&] {
             clickTick(childOf(top("German"), "Alpha.app"));
             clickTick(childOf(top("German"), "Gamma.app"));
             screen->shouldSelectItem(&outline(), top("German"));
         },
         true,
         {"German: Alpha.app Gamma.app"}},
        {"one leaf",
         [&] { screen->shouldSelectItem(&outline(), childOf(top("German"), "beta.app")); },
         true,
         {"German: beta.app"}},
        {"Remove with a ticked group and a half-ticked one",
         [&] {
             clickTick(top("Japanese"));
             clickTick(childOf(top("French"), "Gamma.app"));
         },
         false,
         {"French: Gamma.app", "Japanese: beta.app"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& node : screen->shownRootList()) {
            node->setSelectState(0);
            for (const auto& child : node->children())
                std::static_pointer_cast<ZRTreeNode>(child)->setSelectState(0);
        }
        c.prepare();
        std::vector<std::string> seen;
        withModal(
            [&] {
                c.trashButton ? screen->clickRemoveButtonAction(nullptr)
                              : screen->removeAllSelectLanguage();
            },
            [&] {
                seen = offered();
                screen->showRemoveLagWC()->clickedCancelBtn(nullptr);
            });
        std::sort(seen.begin(), seen.end());
        EXPECT_EQ(seen, c.offered);
        EXPECT_FALSE(screen->showRemoveLagWC()->deleteExecutor()) << "Cancel deletes nothing";
    }
}

TEST_F(LanguageRemoval, ReportsShrinkBothTreesAndDriveTheEndDialog) {
    threeApplications();
    openScreen();
    Ref<ZRTreeNode> japanese = top("Japanese");
    Ref<ZRTreeNode> german = top("German");
    const std::vector<Ref<ZRTreeNode>> folders = {
        childOf(japanese, "beta.app"), childOf(german, "Alpha.app"), childOf(german, "Gamma.app")};
    ZRTreeNode* betaApp = nullptr;
    for (const auto& node : screen->appLanguages())
        if (node->title() == "beta.app") betaApp = node.get();
    ASSERT_TRUE(betaApp);

    std::vector<double> bars;
    bool endShown = false;
    withModal([&] { screen->beginToRemoveSelectLagWithCount(3); },
              [&] {
                  EXPECT_EQ(screen->deleteSelectCount(), 0);
                  // The reports come from the executor's thread; each is handled on the main
                  // queue, and the bar follows one more turn later.
                  for (std::size_t i = 0; i < folders.size(); ++i) {
                      if (i == 2)
                          screen->deleteRelatedFileFail(folders[i]);
                      else
                          screen->deleteRelatedFile(folders[i]);
                      dispatch_async(dispatch_get_main_queue(), [&] {
                          dispatch_async(dispatch_get_main_queue(),
                                         [&] { bars.push_back(barPercent()); });
                      });
                  }
                  dispatch_async(dispatch_get_main_queue(), [&] {
                      dispatch_async(dispatch_get_main_queue(), [&] {
                          dispatch_async(dispatch_get_main_queue(), [&] {
                              endShown = !screen->removeLagWC()->endView()->isHidden();
                              screen->removeLagWC()->okButtonAction(nullptr);
                          });
                      });
                  });
              });
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_NEAR(bars[0], 33, 0.5);
    EXPECT_NEAR(bars[1], 66, 0.5);
    EXPECT_NEAR(bars[2], 100, 0.5);
    EXPECT_TRUE(endShown);
    EXPECT_EQ(screen->deleteSelectCount(), 3);
    EXPECT_EQ(screen->allDeleteSize(), 10u + 1000u) << "a failed folder adds no size";
    EXPECT_EQ(screen->failedSelectCount(), 1);
    EXPECT_EQ(screen->removeLagWC()->messageLabel()->stringValue(),
              "1 language folder(s) could not be removed. Saved 1.01 KB disk space.");

    // The only Japanese folder went: the group is gone, and beta.app is recounted.
    for (const auto& node : screen->languageApps())
        EXPECT_NE(node->title(), "Japanese");
    EXPECT_EQ(german->count(), "2");
    EXPECT_EQ(german->size(), "305.00 KB");
    EXPECT_EQ(betaApp->count(), "1");
    EXPECT_EQ(betaApp->size(), "300.00 KB");
    // The failed folder stays in both trees.
    EXPECT_EQ(childOf(german, "Gamma.app")->path(), folders[2]->path());
    for (const auto& node : screen->appLanguages())
        if (node->title() == "Gamma.app") {
            EXPECT_EQ(node->count(), "2");
            EXPECT_EQ(childOf(node, "German")->path(), folders[2]->path());
        }
    EXPECT_FALSE(screen->selectTreeNode());
    EXPECT_EQ(outline().rowNum(), -1) << "no row keeps the highlight of one that went";

    // Both captions count what is left, the shown one at once.
    EXPECT_EQ(header("Name"), "           Languages(Total:2)");
    showTree(1);
    EXPECT_EQ(header("Name"), "           Applications(Total:3)");
}

TEST_F(LanguageRemoval, TheWholeRoadDeletesTheTickedFoldersOnly) {
    threeApplications();
    openScreen();
    clickTick(top("French"));
    const std::string kept = childOf(top("German"), "Alpha.app")->path();
    std::vector<std::string> removed;
    for (const auto& child : top("French")->children())
        removed.push_back(std::static_pointer_cast<ZRTreeNode>(child)->path());

    withModal([&] { screen->removeAllSelectLanguage(); },
              [&] { screen->showRemoveLagWC()->clickedDeleteBtn(nullptr); });
    // The executor starts half a second later and the end dialog runs modally; OK is pressed
    // once its end panel shows.
    pressOkOnTheEndPanel(false);
    for (const std::string& path : removed)
        EXPECT_FALSE(fs::exists(path)) << path;
    EXPECT_TRUE(fs::exists(kept));
    EXPECT_NE(screen->removeLagWC()->messageLabel()->stringValue().find(
                  "You have successfully removed selected language(s)"),
              std::string::npos);
    EXPECT_EQ(app->modalWindow(), nullptr);
    EXPECT_FALSE(screen->showRemoveLagWC()->window()->isVisible());
    EXPECT_FALSE(screen->removeButton()->isEnabled()) << "nothing ticked is left";
    for (const auto& node : screen->languageApps())
        EXPECT_NE(node->title(), "French");
}

TEST_F(LanguageRemoval, AFolderThatStaysOnDiskStaysInBothTreesAndTheEndDialogSaysSo) {
    threeApplications();
    openScreen();
    Ref<ZRTreeNode> french = top("French");
    const Ref<ZRTreeNode> alphaFrench = childOf(french, "Alpha.app");
    const Ref<ZRTreeNode> gammaFrench = childOf(french, "Gamma.app");
    // Gamma's French folder holds a file nobody may remove; the administrator's road is
    // refused as well.
    fixtures::ImmutableFile locked(gammaFrench->path() + "/Localizable.strings");
    if (!locked.ok())
        GTEST_SKIP() << "files cannot be made immutable here (needs root and a file system "
                        "that keeps the flag)";
    fixtures::TempDir fake;
    const std::string refusing = fake.write("escalate", "#!/bin/sh\nexit 126\n");
    ::chmod(refusing.c_str(), 0755);
    platform::setRunsAsRootForTesting(false);
    platform::setEscalationCommand(refusing);
    clickTick(french);

    withModal([&] { screen->removeAllSelectLanguage(); },
              [&] { screen->showRemoveLagWC()->clickedDeleteBtn(nullptr); });
    // The end dialog runs modally once the executor starts; its end panel must come although
    // a folder failed.
    const bool endShown = pressOkOnTheEndPanel(true);
    platform::setRunsAsRootForTesting(std::nullopt);
    platform::setEscalationCommand(std::nullopt);

    EXPECT_TRUE(endShown);
    EXPECT_FALSE(fs::exists(alphaFrench->path()));
    EXPECT_TRUE(fs::exists(gammaFrench->path()));
    EXPECT_EQ(screen->failedSelectCount(), 1);
    EXPECT_EQ(screen->removeLagWC()->messageLabel()->stringValue(),
              "1 language folder(s) could not be removed. Saved " +
                  AMPublicUtilities::convertVolSpace(
                      AMPublicUtilities::volSpaceFromString(alphaFrench->size())) +
                  " disk space.");
    // French keeps the folder that stayed, and Gamma keeps its French folder.
    french = top("French");
    ASSERT_TRUE(french);
    EXPECT_EQ(french->count(), "1");
    EXPECT_EQ(childOf(french, "Gamma.app")->path(), gammaFrench->path());
    bool gammaSeen = false;
    for (const auto& node : screen->appLanguages()) {
        if (node->title() != "Gamma.app") continue;
        gammaSeen = true;
        EXPECT_EQ(node->count(), "2");
        EXPECT_EQ(childOf(node, "French")->path(), gammaFrench->path());
    }
    EXPECT_TRUE(gammaSeen);
    EXPECT_EQ(app->modalWindow(), nullptr);
}

}  // namespace
