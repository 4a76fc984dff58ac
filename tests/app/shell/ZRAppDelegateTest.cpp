// Catches a start-up that records the fonts too late or dresses the window wrongly, screen
// switching that shows the wrong container or entry or makes a controller twice, and a close
// button that does not end the process with status 0 while background work runs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

#include "appsManager/AMMainViewController.h"
#include "controls/sidebar/LeftTypeButton.h"
#include "controls/sidebar/NewView.h"
#include "languages/ZRLanguagesViewController.h"
#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NibLoader.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/testing/WindowTesting.h"
#include "services/TCPublicUtilities.h"
#include "shell/ApplicationClasses.h"
#include "shell/MyNSApplication.h"
#include "shell/ZRAppDelegate.h"
#include "support/FileFixtures.h"
#include "support/RealResources.h"
#include "support/ScopedResources.h"
#include "windows/TCImageWindow.h"

namespace pt = platform::testing;
namespace fs = std::filesystem;

namespace {

class AppDelegate : public ::testing::Test {
  protected:
    void SetUp() override {
        registerApplicationClasses();
        // The real interface files and images; a copy of the settings file, which start-up
        // writes the fonts into.
        fixtures::linkRealInterfaceFilesAndImages(dir.path());
        for (const char* file : {"StringMessage.plist", "Info.plist"})
            fs::copy_file(fs::path(UNINSTALLER_RESOURCES_DIR) / file, dir / file);
        resources = std::make_unique<fixtures::ScopedResources>(dir.path());
        NSApplication::resetSharedApplicationForTesting();
        app = std::make_shared<MyNSApplication>();
        NSApplication::setSharedApplication(app);
    }
    void TearDown() override { NSApplication::resetSharedApplicationForTesting(); }

    // Loads the main interface file as NSApplicationMain does, without running the loop.
    ZRAppDelegate* launch() {
        NibLoadResult result = NibLoader::load("MainMenu", app);
        EXPECT_TRUE(result.ok()) << result.error;
        app->retainTopLevelObjects(result.topLevelObjects);
        delegate = dynamic_cast<ZRAppDelegate*>(app->delegate());
        fontsAtAwake = TCPublicUtilities::getLightFontName();
        app->finishLaunching();
        return delegate;
    }
    LeftTypeButton* entry(int tag) { return delegate->allTypeArr().at(tag).get(); }
    int selectedEntry() {
        int selected = -1, count = 0;
        for (int tag = 0; tag < 6; ++tag)
            if (entry(tag)->isSelect()) selected = tag, ++count;
        return count == 1 ? selected : -2;
    }
    NSView* visibleContainer() {
        NSView* visible = nullptr;
        for (NSView* c : {delegate->uninstallView(), delegate->contentBox(), delegate->otherApp()})
            if (!c->isHidden()) visible = visible ? nullptr : c;
        return visible;
    }

    fixtures::TempDir dir;
    std::unique_ptr<fixtures::ScopedResources> resources;
    Ref<MyNSApplication> app;
    ZRAppDelegate* delegate = nullptr;
    std::optional<std::string> fontsAtAwake;
};

TEST_F(AppDelegate, StartUpRecordsTheFontsAndDressesTheWindow) {
    ASSERT_TRUE(launch());
    // The fonts were written when the file was loaded, before launching finished.
    EXPECT_EQ(fontsAtAwake, "DejaVuSans-ExtraLight");
    EXPECT_EQ(TCPublicUtilities::getBoldFontName(), "DejaVuSans-Bold");
    EXPECT_EQ(TCPublicUtilities::getRegularFontName(), "DejaVuSans");

    TCImageWindow* window = delegate->window();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isMovableByWindowBackground());
    EXPECT_FALSE(window->isOpaque());
    EXPECT_EQ(window->backgroundColor()->alphaComponent(), 0);
    EXPECT_EQ(window->titleBarHeight(), 32);
    NSView* bar = delegate->titleBarView();
    ASSERT_TRUE(bar);
    ASSERT_FALSE(bar->subviews().empty());
    EXPECT_EQ(bar->subviews().back()->frame(), NSMakeRect(0, 0, 1040, 32));
    NSButton* close = window->standardWindowButton(NSWindowCloseButton);
    ASSERT_TRUE(close);
    EXPECT_EQ(close->frame().origin.x, 12);
    const double barY = window->frameView()->frame().size.height - 32;
    EXPECT_EQ(close->frame().origin.y, std::round(barY + 16 - close->frame().size.height / 2));
    EXPECT_EQ(close->action(), SEL("closeWindow:"));
    EXPECT_EQ(close->target().lock().get(), delegate);

    ASSERT_EQ(delegate->allTypeArr().size(), 6u);
    const char* titles[] = {"Applications", "Plugins",   "PreferencesPanes",
                            "Widgets",      "Languages", "Tool Box"};
    for (int tag = 0; tag < 6; ++tag) {
        EXPECT_EQ(entry(tag)->frame(), NSMakeRect(10, 535 - 56 * tag, 220, 46));
        EXPECT_EQ(entry(tag)->titleStr(), titles[tag]);
        EXPECT_EQ(entry(tag)->superview(), delegate->typeView());
    }
    EXPECT_EQ(selectedEntry(), 0);
    EXPECT_EQ(visibleContainer(), delegate->uninstallView());
    ASSERT_TRUE(delegate->amMainVC());
    EXPECT_EQ(delegate->amMainVC()->titleLabel()->stringValue(), "Applications");
    EXPECT_TRUE(window->isVisible());
}

TEST_F(AppDelegate, ScreenSwitchingFollowsTheTable) {
    ASSERT_TRUE(launch());
    AMMainViewController* uninstaller = delegate->amMainVC();
    struct Step {
        const char* action;
        const char* sender;
        int selected;
        int container;  // 0 uninstaller, 1 languages, 2 tool box
        int type;
        const char* headline;
    };
    const Step steps[] = {
        {"selectUninstallView:", "1", 1, 0, 1, "Plugins"},
        {"selectSmailView:", "", 4, 1, 4, "multi-language"},
        {"selectUninstallView:", "1", 1, 0, 1, "Plugins"},  // the same controller again
        {"selectOtherAppView:", "", 5, 2, 5, " "},
        {"selectSmailView:", "", 4, 1, 4, "multi-language"},  // no second scan
        {"selectUninstallView:", "3", 3, 0, 3, "Widgets"},
        {"selectUninstallView:", "3", 3, 0, 3, "Widgets"},  // clicking the selected entry again
    };
    for (const Step& s : steps) {
        delegate->performSelector(SEL(s.action), std::string(s.sender));
        NSView* containers[] = {delegate->uninstallView(), delegate->contentBox(),
                                delegate->otherApp()};
        EXPECT_EQ(selectedEntry(), s.selected) << s.action << s.sender;
        EXPECT_EQ(visibleContainer(), containers[s.container]) << s.action << s.sender;
        EXPECT_EQ(delegate->appType(), s.type) << s.action << s.sender;
        EXPECT_EQ(uninstaller->titleLabel()->stringValue(), s.headline) << s.action << s.sender;
    }
    EXPECT_EQ(delegate->amMainVC(), uninstaller);
    ASSERT_TRUE(delegate->languagesViewController());
    EXPECT_EQ(delegate->languagesViewController()->scanCount(), 1);
    EXPECT_TRUE(delegate->otherAppWC());
}

TEST_F(AppDelegate, ClickingAnEntrySwitchesTheScreen) {
    ASSERT_TRUE(launch());
    TCImageWindow* window = delegate->window();
    for (int tag : {2, 5, 0}) {
        NSRect frame = entry(tag)->frame();
        NSPoint inWindow = entry(tag)->superview()->convertPointToView(
            NSMakePoint(NSMidX(frame), NSMidY(frame)), nullptr);
        pt::postClick(*window, inWindow);
        pt::pumpEvents();
        EXPECT_EQ(selectedEntry(), tag);
    }
}

TEST_F(AppDelegate, CloseButtonEndsTheProcessWithStatusZeroDuringBackgroundWork) {
    auto status = fixtures::runInChild([this] {
        ZRAppDelegate* d = launch();
        if (!d) return 3;
        std::atomic<bool> started{false};
        dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), [&] {
            started = true;
            for (;;)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        });
        while (!started)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        NSButton* close = d->window()->standardWindowButton(NSWindowCloseButton);
        NSPoint centre = close->superview()->convertPointToView(
            NSMakePoint(NSMidX(close->frame()), NSMidY(close->frame())), nullptr);
        pt::postClick(*d->window(), centre);
        pt::pumpEvents();
        return 4;  // not reached when the button ends the process
    });
    ASSERT_TRUE(status);
    EXPECT_EQ(*status, 0);
}

}  // namespace
