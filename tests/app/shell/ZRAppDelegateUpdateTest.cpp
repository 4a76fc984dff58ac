// Catches a manual update check that fetches again the second time instead of showing the first
// result, an automatic check that runs twice per installation, shows its dialog without a newer
// build or without network, forgets its time stamp or "Participate", or leaves the main window
// with a second sidebar after its dialog closes; and a start-up that sends it.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <regex>

#include "app/shell/UpdateTestSupport.h"
#include "controls/sidebar/LeftTypeButton.h"
#include "controls/sidebar/NewView.h"
#include "platform/appkit/NibLoader.h"
#include "platform/dispatch/Dispatch.h"
#include "shell/MyNSApplication.h"
#include "shell/ZRAppDelegate.h"
#include "windows/TCImageWindow.h"

namespace {

using namespace update_testing;

/// What the dialog showed when it was seen from inside its modal loop.
struct Sighting {
    int turns = 0;  // polls until a result was on screen
    Pane pane = Pane::None;
    NSWindowLevel level = 0;
    NSObject* delegate = nullptr;
};

class UpdateChecks : public UpdateFixture {
  protected:
    /// Runs `check` while the main queue polls every 20 ms for the update dialog's modal
    /// loop; once the dialog shows a result it is noted and closed with its Close button.
    /// nil when no dialog showed.
    std::optional<Sighting> watching(ZRAppDelegate& delegate, const std::function<void()>& check) {
        auto state = std::make_shared<std::optional<Sighting>>();
        auto done = std::make_shared<bool>(false);
        auto turns = std::make_shared<int>(0);
        auto poll = std::make_shared<std::function<void()>>();
        ZRAppDelegate* d = &delegate;
        NSApplication* application = app.get();
        *poll = [=] {
            if (*done) return;
            ++*turns;
            EUCheckUpdateWindowController* dialog = d->checkUpdateWindow();
            if (dialog && application->modalWindow() == dialog->window() && hasResult(*dialog)) {
                *state = Sighting{*turns, shownPane(*dialog), dialog->window()->level(),
                                  dialog->delegate().get()};
                dialog->closeWindowAction(nullptr);
                return;
            }
            if (*turns > 500) {  // ten seconds: give up on a dialog that never decides
                application->abortModal();
                return;
            }
            dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 20 * NSEC_PER_MSEC),
                           dispatch_get_main_queue(), [poll] { (*poll)(); });
        };
        dispatch_async(dispatch_get_main_queue(), [poll] { (*poll)(); });
        check();
        *done = true;
        pt::drainQueues();
        *poll = nullptr;  // breaks the cycle through the captured pointer
        return *state;
    }
    std::size_t requestsFor(const std::string& path) {
        std::size_t n = 0;
        for (const std::string& head : server.requests())
            if (head.rfind("GET " + path + " ", 0) == 0) ++n;
        return n;
    }
};

TEST_F(UpdateChecks, SecondManualCheckShowsTheFirstResultWithoutFetching) {
    server.serve("/update.plist", description(integer(120), str("5.7"), {{"1", str("a")}}));
    auto delegate = std::make_shared<ZRAppDelegate>();
    auto first = watching(*delegate, [&] { delegate->checkUpdateAction(nullptr); });
    ASSERT_TRUE(first);
    EXPECT_EQ(first->pane, Pane::Update);
    EXPECT_EQ(first->delegate, nullptr) << "the manual check sets no delegate";
    EUCheckUpdateWindowController* dialog = delegate->checkUpdateWindow();
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->window()->isVisible());
    const auto requests = server.requests().size();
    EXPECT_EQ(requests, 2u) << "one probe, one fetch";

    server.serve("/update.plist", description(integer(100), str("1.0")));
    auto second = watching(*delegate, [&] { delegate->checkUpdateAction(nullptr); });
    ASSERT_TRUE(second);
    EXPECT_EQ(second->pane, Pane::Update) << "the first result, not a new one";
    EXPECT_EQ(second->turns, 1) << "at once";
    EXPECT_EQ(delegate->checkUpdateWindow(), dialog) << "the same dialog";
    EXPECT_EQ(server.requests().size(), requests) << "no new fetch";
}

TEST_F(UpdateChecks, AutomaticCheckRunsOncePerInstallation) {
    const std::string refused =
        "http://127.0.0.1:" + std::to_string(platform::testing::refusedLoopbackPort()) + "/";
    struct Case {
        const char* name;
        std::optional<std::string> stamp;  // "upDataTimeStr" before; nullopt: missing
        std::string body;
        const char* status;
        const char* probe;  // "" probes the update server itself
        bool shown;
        bool runs;  // stamps, sets Participate and fetches
    };
    const std::string newer = description(integer(120), str("5.7"), {{"1", str("New")}});
    const Case cases[] = {
        {"never ran", std::nullopt, newer, "200 OK", "", true, true},
        {"a blank stamp", " ", newer, "200 OK", "", true, true},
        {"an empty stamp", "", newer, "200 OK", "", true, true},
        {"ran before", "2024-03-01 09:30:00", newer, "200 OK", "", false, false},
        {"equal builds", std::nullopt, description(integer(100), str("1.0")), "200 OK", "", false,
         true},
        {"failed fetch", std::nullopt, newer, "404 Not Found", "", false, true},
        {"hostile build", std::nullopt, description(str("99x"), str("9")), "200 OK", "", false,
         true},
        {"no network", std::nullopt, newer, "200 OK", refused.c_str(), false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeSettings(server.url("/update.plist"), integer(100),
                      c.stamp ? "<key>upDataTimeStr</key>" + str(*c.stamp) : "");
        server.serve("/update.plist", c.body, c.status);
        TCPublicUtilities::setHomePageURL(c.probe);
        NSUserDefaults::resetStandardUserDefaults();
        NSUserDefaults::standardUserDefaults()->removeObjectForKey("Participate");
        const auto before = server.requests().size();
        auto delegate = std::make_shared<ZRAppDelegate>();

        auto sighting = watching(*delegate, [&] { delegate->checkUpdata(); });

        EXPECT_EQ(sighting.has_value(), c.shown);
        if (sighting) {
            EXPECT_EQ(sighting->pane, Pane::Update);
            EXPECT_EQ(sighting->level, NSStatusWindowLevel) << "above normal windows";
            EXPECT_EQ(sighting->delegate, delegate.get());
        }
        const std::optional<std::string> stamp = TCPublicUtilities::getUpDataTimeStr();
        if (c.runs) {
            ASSERT_TRUE(stamp);
            EXPECT_TRUE(std::regex_match(*stamp, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")))
                << *stamp;
            EXPECT_TRUE(NSUserDefaults::standardUserDefaults()->boolForKey("Participate"));
            EXPECT_GE(server.requests().size(), before + 1);
        } else {
            EXPECT_EQ(stamp, c.stamp);
            EXPECT_FALSE(NSUserDefaults::standardUserDefaults()->boolForKey("Participate"));
            EXPECT_EQ(server.requests().size(), before) << "nothing was fetched";
        }
        TCPublicUtilities::setHomePageURL("");
    }
}

TEST_F(UpdateChecks, AutomaticCheckFetchesBeforeItProbesAndStopsAtAnOlderBuild) {
    server.serve("/update.plist", description(integer(90), str("0.9")));
    auto delegate = std::make_shared<ZRAppDelegate>();
    EXPECT_FALSE(watching(*delegate, [&] { delegate->checkUpdata(); }));
    EXPECT_EQ(requestsFor("/update.plist"), 1u);
    EXPECT_EQ(requestsFor("/"), 0u) << "no probe without a newer build";
    // A second call does nothing: the stamp is there now.
    EXPECT_FALSE(watching(*delegate, [&] { delegate->checkUpdata(); }));
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(UpdateChecks, StartUpSendsNoCheckAndTheAutomaticDialogRedressesTheWindowOnce) {
    server.serve("/update.plist", description(integer(120), str("5.7"), {{"1", str("New")}}));
    auto application = std::make_shared<MyNSApplication>();
    NSApplication::setSharedApplication(application);
    app = application;
    NibLoadResult result = NibLoader::load("MainMenu", application);
    ASSERT_TRUE(result.ok()) << result.error;
    application->retainTopLevelObjects(result.topLevelObjects);
    auto* delegate = dynamic_cast<ZRAppDelegate*>(application->delegate());
    ASSERT_TRUE(delegate);
    application->finishLaunching();
    pt::drainQueues();
    EXPECT_TRUE(server.requests().empty()) << "no update check at launch";
    EXPECT_FALSE(TCPublicUtilities::getUpDataTimeStr());
    EXPECT_FALSE(delegate->checkUpdateWindow());
    NSView* bar = delegate->titleBarView();
    ASSERT_TRUE(bar);
    const std::size_t barViews = bar->subviews().size();

    auto sighting = watching(*delegate, [&] { delegate->checkUpdata(); });
    ASSERT_TRUE(sighting);
    EXPECT_EQ(sighting->pane, Pane::Update);
    // Closing performed runRootWindow: the window is dressed again, not twice over.
    ASSERT_EQ(delegate->allTypeArr().size(), 6u);
    std::size_t entries = 0;
    for (const auto& view : delegate->typeView()->subviews())
        if (dynamic_cast<LeftTypeButton*>(view.get())) ++entries;
    EXPECT_EQ(entries, 6u);
    for (int tag = 0; tag < 6; ++tag)
        EXPECT_EQ(delegate->allTypeArr()[tag]->superview(), delegate->typeView());
    EXPECT_TRUE(delegate->allTypeArr()[0]->isSelect());
    EXPECT_EQ(bar->subviews().size(), barViews) << "one title-bar image";
    EXPECT_TRUE(delegate->window()->isVisible());
}

}  // namespace
