// Catches faults of the settings and version services: a version integer without the
// zero-padded minor part, packed answers read as plain ones, null pointers written through,
// a failed write that loses the settings, alpha divided like the colour components, and a
// reachability probe that asks another server than the update description's.
#include "services/TCPublicUtilities.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <thread>

#include "platform/coreservices/Gestalt.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/graphics/NSParagraphStyle.h"
#include "platform/testing/LogCapture.h"
#include "platform/testing/LoopbackServer.h"
#include "services/SettingsFile.h"
#include "services/getColor.h"
#include "support/FileFixtures.h"
#include "support/ScopedResources.h"

namespace {

using fixtures::ScopedEnv;
using fixtures::TempDir;

// Gestalt answers of a given OS version, or a failing selector.
struct FakeGestalt {
    SInt32 sysv = 0x1099, major = 10, minor = 15, bugFix = 0;
    OSType failing = 0;
    OSErr operator()(OSType selector, SInt32* out) const {
        if (selector == failing) return -5551;
        if (selector == gestaltSystemVersion)
            *out = sysv;
        else if (selector == gestaltSystemVersionMajor)
            *out = major;
        else if (selector == gestaltSystemVersionMinor)
            *out = minor;
        else if (selector == gestaltSystemVersionBugFix)
            *out = bugFix;
        else
            return -5551;
        return noErr;
    }
};

class GestaltGuard {
  public:
    explicit GestaltGuard(FakeGestalt fake) { platform::setGestaltHandlerForTesting(fake); }
    ~GestaltGuard() { platform::setGestaltHandlerForTesting(nullptr); }
};

TEST(TCPublicUtilitiesVersion, OneIntegerWithPaddedMinor) {
    struct Case {
        SInt32 major, minor;
        int expected;
    };
    const Case cases[] = {{10, 9, 1009}, {10, 10, 1010}, {10, 15, 1015},
                          {11, 0, 1100}, {12, 0, 1200},  {12, 3, 1203}};
    for (const Case& c : cases) {
        FakeGestalt fake;
        fake.major = c.major, fake.minor = c.minor;
        GestaltGuard guard(fake);
        EXPECT_EQ(TCPublicUtilities::getSystemVersion(), c.expected) << c.major << "." << c.minor;
    }
}

TEST(TCPublicUtilitiesVersion, LayerAnswersItsOwnVersion) {
    EXPECT_EQ(TCPublicUtilities::getSystemVersion(), 1015);
}

TEST(TCPublicUtilitiesVersion, PackedAnswerBelowTenFour) {
    FakeGestalt fake;
    fake.sysv = 0x1039;
    fake.failing = gestaltSystemVersionMajor;  // must not be asked
    GestaltGuard guard(fake);
    std::uint32_t major = 0, minor = 0, bugFix = 0;
    TCPublicUtilities::getSystemVersionMajor(&major, &minor, &bugFix);
    EXPECT_EQ(major, 10u);
    EXPECT_EQ(minor, 3u);
    EXPECT_EQ(bugFix, 9u);
    TCPublicUtilities::getSystemVersionMajor(nullptr, &minor, nullptr);  // null parts skipped
    EXPECT_EQ(minor, 3u);
}

TEST(TCPublicUtilitiesVersion, FromTenFourOnTheThreeSelectors) {
    FakeGestalt fake;
    fake.sysv = 0x1040, fake.major = 10, fake.minor = 4, fake.bugFix = 11;
    GestaltGuard guard(fake);
    std::uint32_t major = 0, minor = 0, bugFix = 0;
    TCPublicUtilities::getSystemVersionMajor(&major, &minor, &bugFix);
    EXPECT_EQ(major, 10u);
    EXPECT_EQ(minor, 4u);
    EXPECT_EQ(bugFix, 11u);
    TCPublicUtilities::getSystemVersionMajor(nullptr, nullptr, nullptr);
}

TEST(TCPublicUtilitiesVersion, FailedCallLogsAndAnswersTenZero) {
    for (OSType failing :
         {gestaltSystemVersion, gestaltSystemVersionMinor, gestaltSystemVersionBugFix}) {
        FakeGestalt fake;
        fake.failing = failing;
        GestaltGuard guard(fake);
        platform::LogCapture log;
        std::uint32_t major = 1, minor = 1, bugFix = 1;
        TCPublicUtilities::getSystemVersionMajor(&major, &minor, &bugFix);
        EXPECT_EQ(major, 10u);
        EXPECT_EQ(minor, 0u);
        EXPECT_EQ(bugFix, 0u);
        EXPECT_EQ(log.lines(), std::vector<std::string>{"Unable to obtain system version: -5551"});
        EXPECT_EQ(TCPublicUtilities::getSystemVersion(), 1000);
    }
}

TEST(GetColor, ComponentsOver255AlphaUnscaled) {
    auto white = getColor(255, 255, 255, 0.5f);
    EXPECT_DOUBLE_EQ(white->redComponent(), 1.0);
    EXPECT_DOUBLE_EQ(white->alphaComponent(), 0.5);
    auto green = getColor(49, 190, 106, 1);
    EXPECT_DOUBLE_EQ(green->greenComponent(), 190.0 / 255.0);
    EXPECT_DOUBLE_EQ(green->blueComponent(), 106.0 / 255.0);
}

// A resources folder of the test's own with a settings file.
class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        settings_ =
            dir_.write("resources/StringMessage.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>VersionCheck</key><string>120</string>
  <key>en</key><dict><key>IniURL</key><string>http://en.example/</string></dict>
  <key>fr</key><dict><key>IniURL</key><string>http://fr.example/</string></dict>
  <key>de</key><dict><key>IniURL</key><string></string></dict>
  <key>en-US</key><dict><key>IniURL</key><string>http://us.example/</string></dict>
</dict></plist>)");
    }
    TempDir dir_;
    fixtures::ScopedResources resources_{dir_ / "resources"};
    ScopedEnv home_{"HOME", dir_.mkdir("home")};
    std::string settings_;
};

TEST_F(SettingsTest, WritesUpdateTheFileAndTheKeptCopy) {
    EXPECT_EQ(TCPublicUtilities::getBoldFontName(), std::nullopt) << "no key has a default";
    EXPECT_EQ(TCPublicUtilities::getUpDataTimeStr(), std::nullopt);
    TCPublicUtilities::writBoldFont(NSFont::fontWithName("DejaVuSans-Bold", 12));
    TCPublicUtilities::writeUpDataTimeStr("2026-12-10 09:00:00");
    EXPECT_EQ(TCPublicUtilities::getBoldFontName(), "DejaVuSans-Bold");
    EXPECT_EQ(TCPublicUtilities::getUpDataTimeStr(), "2026-12-10 09:00:00");
    EXPECT_NE(fixtures::readFile(settings_).find("http://fr.example/"), std::string::npos)
        << "a write keeps the other keys";

    // The file is read once: a change behind the application's back is not seen until the
    // kept copy is dropped, and a removed file still answers from the kept copy.
    std::string text = fixtures::readFile(settings_);
    text.replace(text.find("2026-12-10 09:00:00"), 19, "2026-12-11 10:00:00");
    dir_.write("resources/StringMessage.plist", text);
    EXPECT_EQ(TCPublicUtilities::getUpDataTimeStr(), "2026-12-10 09:00:00");
    SettingsFile::forget();
    EXPECT_EQ(TCPublicUtilities::getUpDataTimeStr(), "2026-12-11 10:00:00");
    ::unlink(settings_.c_str());
    EXPECT_EQ(TCPublicUtilities::getBoldFontName(), "DejaVuSans-Bold");
}

TEST_F(SettingsTest, ReadersOnAnotherThreadSeeWholeWrites) {
    // The update dialog reads on its own thread while the main thread writes.
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!done) {
            auto value = TCPublicUtilities::getUpDataTimeStr();
            if (value && value->size() != 19) ++torn;
            if (SettingsFile::stringForKey("VersionCheck") != "120") ++torn;
        }
    });
    for (int i = 0; i < 200; ++i)
        TCPublicUtilities::writeUpDataTimeStr("2026-12-10 09:00:" + std::to_string(10 + i % 50));
    done = true;
    reader.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(TCPublicUtilities::getUpDataTimeStr(), "2026-12-10 09:00:59");
    SettingsFile::forget();
    EXPECT_EQ(TCPublicUtilities::getUpDataTimeStr(), "2026-12-10 09:00:59")
        << "the last write reached the file";
}

TEST_F(SettingsTest, MissingOrMalformedFileReadsNilAndWritesNothing) {
    dir_.write("resources/StringMessage.plist", "<plist><dict><key>x</key>");
    EXPECT_EQ(TCPublicUtilities::getLightFontName(), std::nullopt);
    TCPublicUtilities::writeUpDataTimeStr("2026-01-01 00:00:00");
    EXPECT_EQ(fixtures::readFile(settings_), "<plist><dict><key>x</key>")
        << "a broken file is not overwritten";
    ::unlink(settings_.c_str());
    TCPublicUtilities::writeUpDataTimeStr("2026-01-01 00:00:00");
    EXPECT_EQ(TCPublicUtilities::getUpDataTimeStr(), std::nullopt);
    struct stat st;
    EXPECT_NE(::stat(settings_.c_str(), &st), 0) << "no settings file is created";
}

TEST_F(SettingsTest, UnwritableFolderKeepsTheOldValue) {
    TCPublicUtilities::writeUpDataTimeStr("old");
    const std::string before = fixtures::readFile(settings_);
    ::chmod((dir_ / "resources").c_str(), 0555);
    // An application folder the user may not write: the write silently does nothing.
    auto status = fixtures::runUnprivileged([] {
        TCPublicUtilities::writeUpDataTimeStr("new");
        return TCPublicUtilities::getUpDataTimeStr() == "old" ? 0 : 1;
    });
    ::chmod((dir_ / "resources").c_str(), 0755);
    ASSERT_TRUE(status) << "could not drop privileges";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(TCPublicUtilities::getUpDataTimeStr(), "old");
    EXPECT_EQ(fixtures::readFile(settings_), before);
}

TEST(TCPublicUtilitiesText, CentredLightText) {
    auto text = TCPublicUtilities::setAddItunesBackup("Backup", 13);
    EXPECT_EQ(text->string(), "Backup");
    NSRange range;
    auto attributes = text->attributesAtIndex(0, &range);
    EXPECT_EQ(range, NSMakeRange(0, 6));
    auto color = std::any_cast<Ref<NSColor>>(attributes.at(NSForegroundColorAttributeName));
    EXPECT_DOUBLE_EQ(color->redComponent(), 237.0 / 255.0);
    auto style = std::any_cast<Ref<NSParagraphStyle>>(attributes.at(NSParagraphStyleAttributeName));
    EXPECT_EQ(style->alignment(), NSCenterTextAlignment);
    auto font = std::any_cast<Ref<NSFont>>(attributes.at(NSFontAttributeName));
    EXPECT_DOUBLE_EQ(font->pointSize(), 13);
}

}  // namespace

namespace {

using platform::testing::LoopbackServer;

// Points the probe at an address for the life of a scope.
class ProbeTarget {
  public:
    explicit ProbeTarget(const std::string& url) { TCPublicUtilities::setHomePageURL(url); }
    ~ProbeTarget() { TCPublicUtilities::setHomePageURL(""); }
};

TEST(TCPublicUtilitiesProbe, AnswersYesOnlyWhenDataCameBack) {
    LoopbackServer server;
    ASSERT_TRUE(server.ok());
    {
        ProbeTarget target(server.url("/ok"));
        EXPECT_TRUE(TCPublicUtilities::isCanBeUseNetWork());
    }
    {
        ProbeTarget target(server.url("/empty"));
        EXPECT_TRUE(TCPublicUtilities::isCanBeUseNetWork()) << "an empty body still counts";
    }
    {
        ProbeTarget target(server.url("/missing"));
        EXPECT_FALSE(TCPublicUtilities::isCanBeUseNetWork());
    }
    const auto requests = server.requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_NE(requests[0].find("no-cache"), std::string::npos)
        << "the probe ignores local cache data";
}

TEST(TCPublicUtilitiesProbe, RefusedPortIsNoAtOnce) {
    ProbeTarget target(
        "http://127.0.0.1:" + std::to_string(platform::testing::refusedLoopbackPort()) + "/");
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(TCPublicUtilities::isCanBeUseNetWork());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

TEST(TCPublicUtilitiesProbe, SilentServerTimesOutAfterFiveSeconds) {
    LoopbackServer server(/*silent=*/true);
    ASSERT_TRUE(server.ok());
    ProbeTarget target(server.url("/"));
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(TCPublicUtilities::isCanBeUseNetWork());
    double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(waited, 4.5);
    EXPECT_LT(waited, 8.0);
}

// The settings file of a temporary resources folder whose "en" table holds `iniURL`.
class UpdateLinkSettings {
  public:
    explicit UpdateLinkSettings(const std::optional<std::string>& iniURL) {
        std::string table = iniURL ? "<key>IniURL</key><string>" + *iniURL + "</string>" : "";
        dir_.write("resources/StringMessage.plist",
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
                   "<key>en</key><dict>" +
                       table + "</dict></dict></plist>");
        resources_ = std::make_unique<fixtures::ScopedResources>(dir_ / "resources");
        NSUserDefaults::resetStandardUserDefaults();
    }
    ~UpdateLinkSettings() { NSUserDefaults::resetStandardUserDefaults(); }

  private:
    TempDir dir_;
    ScopedEnv home_{"HOME", dir_.mkdir("home")};
    ScopedEnv language_{"LANGUAGE", "en"};
    ScopedEnv all_{"LC_ALL", std::nullopt};
    std::unique_ptr<fixtures::ScopedResources> resources_;
};

TEST(TCPublicUtilitiesProbe, AddressIsTheRootOfTheUpdateServer) {
    struct Case {
        std::optional<std::string> iniURL;
        const char* expected;
    };
    const Case cases[] = {
        {"http://updates.example/app/update.plist", "http://updates.example/"},
        {"https://updates.example:8443/u.plist?x=1", "https://updates.example:8443/"},
        {"HTTP://127.0.0.1:81/a/b/c", "http://127.0.0.1:81/"},
        {"http://[::1]:8080/u.plist", "http://[::1]:8080/"},
        {"http://user@updates.example/u.plist", "http://updates.example/"},
        // Nothing usable: the maker's home page.
        {"ftp://updates.example/u.plist", "http://www.uninstaller.example/"},
        {"not a link", "http://www.uninstaller.example/"},
        {std::nullopt, "http://www.uninstaller.example/"},
    };
    for (const Case& c : cases) {
        UpdateLinkSettings settings(c.iniURL);
        EXPECT_EQ(TCPublicUtilities::homePageURL(), c.expected) << c.iniURL.value_or("(none)");
    }
    UpdateLinkSettings settings("http://updates.example/u.plist");
    ProbeTarget target("http://probe.example/");
    EXPECT_EQ(TCPublicUtilities::homePageURL(), "http://probe.example/") << "a set address wins";
}

TEST(TCPublicUtilitiesProbe, AsksTheUpdateServerItself) {
    LoopbackServer server;
    ASSERT_TRUE(server.ok());
    server.serve("/", "home");
    UpdateLinkSettings settings(server.url("/update/uninstaller.plist"));
    EXPECT_TRUE(TCPublicUtilities::isCanBeUseNetWork());
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].rfind("GET / HTTP/1.1", 0), 0u) << requests[0];
}

}  // namespace
