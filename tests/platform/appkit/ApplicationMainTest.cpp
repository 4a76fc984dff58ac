// Catches a start-up that ignores the principal class or the main interface file of
// Info.plist, connects the delegate late, or keeps running after stop.
#include <gtest/gtest.h>

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/testing/LogCapture.h"
#include "tests/support/FileFixtures.h"
#include "tests/support/ScopedResources.h"

namespace {

std::vector<std::string> gSteps;

class MainTestApplication : public NSApplication {
  public:
    void finishLaunching() override {
        gSteps.push_back("app:finishLaunching");
        NSApplication::finishLaunching();
    }
};

class MainTestDelegate : public NSObject, public NSApplicationDelegate {
  public:
    void awakeFromNib() override {
        gSteps.push_back(NSApp && NSApp->delegate() == this ? "delegate:awake(connected)"
                                                            : "delegate:awake");
    }
    void applicationDidFinishLaunching(const NSNotification&) override {
        gSteps.push_back("delegate:didFinishLaunching");
        NSApp->stop(nullptr);
    }
};

class ApplicationMain : public ::testing::Test {
  protected:
    void SetUp() override {
        registerPlatformClasses();
        ClassRegistry::shared().registerClass<MainTestApplication, NSApplication>(
            "MainTestApplication");
        ClassRegistry::shared().registerClass<MainTestDelegate, NSObject>("MainTestDelegate");
        NSApplication::resetSharedApplicationForTesting();
        gSteps.clear();
        dir.mkdir("ui");
    }
    void TearDown() override { NSApplication::resetSharedApplicationForTesting(); }
    void writeInfo(const std::string& principal, const std::string& nib) {
        dir.write("Info.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
<key>NSPrincipalClass</key><string>)" +
                                    principal + R"(</string>
<key>NSMainNibFile</key><string>)" + nib +
                                    R"(</string>
</dict></plist>)");
    }
    fixtures::TempDir dir;
};

TEST_F(ApplicationMain, MakesThePrincipalClassLoadsTheMainFileAndRuns) {
    writeInfo("MainTestApplication", "Main");
    dir.write("ui/Main.ui", R"(<interface owner="MainTestApplication">
  <MainTestDelegate outlet="delegate"/>
</interface>)");
    fixtures::ScopedResources resources(dir.path());
    char arg0[] = "uninstaller";
    char* argv[] = {arg0, nullptr};
    EXPECT_EQ(NSApplicationMain(1, argv), 0);
    ASSERT_NE(NSApp, nullptr);
    EXPECT_NE(dynamic_cast<MainTestApplication*>(NSApp), nullptr);
    EXPECT_EQ(gSteps, (std::vector<std::string>{"delegate:awake(connected)", "app:finishLaunching",
                                                "delegate:didFinishLaunching"}));
}

TEST_F(ApplicationMain, ABrokenMainFileEndsWithAnErrorNamingIt) {
    writeInfo("NoSuchApplicationClass", "Main");
    dir.write("ui/Main.ui", "<interface><Unknown/></interface>");
    fixtures::ScopedResources resources(dir.path());
    platform::LogCapture log;
    char arg0[] = "uninstaller";
    char* argv[] = {arg0, nullptr};
    EXPECT_EQ(NSApplicationMain(1, argv), 1);
    bool named = false;
    for (const auto& line : log.lines())
        named = named || line.find("Main.ui:1") != std::string::npos;
    EXPECT_TRUE(named);
    EXPECT_TRUE(gSteps.empty());
}

}  // namespace
