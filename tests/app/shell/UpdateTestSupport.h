#pragma once
// What the update check tests share: a loopback server holding the update description and
// the home page, a settings file that points "IniURL" at it, and the dialog's panes.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSWindow.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/testing/LoopbackServer.h"
#include "platform/testing/RunLoopPump.h"
#include "services/SettingsFile.h"
#include "services/TCPublicUtilities.h"
#include "shell/ApplicationClasses.h"
#include "shell/EUCheckUpdateWindowController.h"
#include "support/FileFixtures.h"
#include "support/RealResources.h"
#include "support/ScopedResources.h"

namespace update_testing {

namespace pt = platform::testing;

/// A property list of `body` (the top-level element).
inline std::string plist(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\">" + body + "</plist>";
}

/// An update description: "VersionCheck" and "Version" as XML values (empty leaves the key
/// out), then the feature entries as key and XML value.
inline std::string description(const std::string& build, const std::string& version,
                               const std::vector<std::pair<std::string, std::string>>& lines = {}) {
    std::string dict = "<dict>";
    if (!build.empty()) dict += "<key>VersionCheck</key>" + build;
    if (!version.empty()) dict += "<key>Version</key>" + version;
    for (const auto& [key, value] : lines)
        dict += "<key>" + key + "</key>" + value;
    return plist(dict + "</dict>");
}

inline std::string str(const std::string& text) {
    return "<string>" + text + "</string>";
}
inline std::string integer(long long n) {
    return "<integer>" + std::to_string(n) + "</integer>";
}

enum class Pane { None, Checking, NoNetwork, NoUpdate, Update };

/// The one pane of `dialog` that is visible; None when there is none or more than one.
inline Pane shownPane(const EUCheckUpdateWindowController& dialog) {
    const std::pair<NSView*, Pane> panes[] = {
        {dialog.checkProgressView().get(), Pane::Checking},
        {dialog.noNetworkView().get(), Pane::NoNetwork},
        {dialog.noUpdateView().get(), Pane::NoUpdate},
        {dialog.haveUpdateView().get(), Pane::Update},
    };
    Pane shown = Pane::None;
    for (const auto& [view, pane] : panes) {
        if (!view || view->isHidden()) continue;
        if (shown != Pane::None) return Pane::None;
        shown = pane;
    }
    return shown;
}

inline bool hasResult(const EUCheckUpdateWindowController& dialog) {
    const Pane pane = shownPane(dialog);
    return pane == Pane::NoNetwork || pane == Pane::NoUpdate || pane == Pane::Update;
}

/// The loopback server and the settings file that points "IniURL" at its /update.plist, in a
/// resources folder of the real interface files and images; HOME is a temporary folder.
class UpdateFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        registerApplicationClasses();
        ASSERT_TRUE(server.ok());
        server.serve("/", "home");
        writeSettings(server.url("/update.plist"), integer(100));
        resources = std::make_unique<fixtures::ScopedResources>(dir.path());
        NSUserDefaults::resetStandardUserDefaults();
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
    }
    void TearDown() override {
        pt::drainQueues();
        for (NSWindow* w : NSWindow::windows())
            if (w->isVisible()) w->orderOut();
        TCPublicUtilities::setHomePageURL("");
        NSApplication::resetSharedApplicationForTesting();
        NSUserDefaults::resetStandardUserDefaults();
    }

    /// The settings file: "IniURL" in the "en" table and the local "VersionCheck" (an XML
    /// value; empty leaves it out), plus `extra` entries.
    void writeSettings(const std::string& iniURL, const std::string& local,
                       const std::string& extra = "") {
        std::string dict = "<dict><key>en</key><dict><key>IniURL</key>" + str(iniURL) + "</dict>";
        if (!local.empty()) dict += "<key>VersionCheck</key>" + local;
        dir.write("StringMessage.plist", plist(dict + extra + "</dict>"));
        SettingsFile::forget();  // a test may write it again in the same folder
    }

    /// A new dialog whose window is loaded (which starts its check), after its result is shown.
    Ref<EUCheckUpdateWindowController> checked(double seconds = 10) {
        auto dialog = EUCheckUpdateWindowController::make();
        EXPECT_TRUE(dialog->window());
        EXPECT_TRUE(pt::runMainLoopUntil([&] { return hasResult(*dialog); }, seconds));
        return dialog;
    }

    /// Images are cached by name with their path, so the folder outlives every test.
    const fixtures::TempDir& dir = fixtures::sharedRealResources();
    fixtures::TempDir home;
    fixtures::ScopedEnv homeEnv{"HOME", home.mkdir("home")};
    fixtures::ScopedEnv language{"LANGUAGE", "en"};
    fixtures::ScopedEnv all{"LC_ALL", std::nullopt};
    platform::testing::LoopbackServer server;
    std::unique_ptr<fixtures::ScopedResources> resources;
    Ref<NSApplication> app;
};

}  // namespace update_testing
