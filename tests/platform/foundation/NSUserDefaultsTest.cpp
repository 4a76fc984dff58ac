// Catches user defaults that lose a setting between runs, write outside the user's
// Preferences folder, damage the file when a write fails, or answer the platform's languages
// differently from the environment.
#include "platform/foundation/NSUserDefaults.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/foundation/PropertyList.h"
#include "support/FileFixtures.h"

namespace {

using fixtures::ScopedEnv;
using fixtures::TempDir;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

/// A fresh HOME and a fresh process-wide instance for each test; the locale variables unset.
class NSUserDefaultsTest : public ::testing::Test {
  protected:
    void SetUp() override { NSUserDefaults::resetStandardUserDefaults(); }
    void TearDown() override { NSUserDefaults::resetStandardUserDefaults(); }

    std::string prefs(const std::string& domain = "uninstaller") const {
        return home_ / ("Library/Preferences/" + domain + ".plist");
    }

    TempDir home_;
    ScopedEnv homeEnv_{"HOME", home_.path()};
    ScopedEnv language_{"LANGUAGE", std::nullopt};
    ScopedEnv lcAll_{"LC_ALL", std::nullopt};
    ScopedEnv lang_{"LANG", std::nullopt};
    ScopedEnv lcMessages_{"LC_MESSAGES", std::nullopt};
};

TEST_F(NSUserDefaultsTest, SettingsPersistAcrossInstances) {
    NSUserDefaults::setPersistentDomainName("com.example.uninstaller");
    auto d = NSUserDefaults::standardUserDefaults();
    EXPECT_EQ(d.get(), NSUserDefaults::standardUserDefaults().get());
    EXPECT_EQ(d->path(), prefs("com.example.uninstaller"));
    d->setBool(true, "Participate");
    d->setInteger(120, "VersionCheck");
    d->setObject("hello", "Greeting");
    PlistValue list = PlistValue::array();
    list.addObject("a");
    d->setObject(list, "List");

    struct stat st {};
    ASSERT_EQ(stat(prefs("com.example.uninstaller").c_str(), &st), 0) << "written through";

    NSUserDefaults::resetStandardUserDefaults();
    NSUserDefaults::setPersistentDomainName("com.example.uninstaller");
    auto again = NSUserDefaults::standardUserDefaults();
    EXPECT_NE(again.get(), d.get());
    EXPECT_TRUE(again->boolForKey("Participate"));
    EXPECT_EQ(again->integerForKey("VersionCheck"), 120);
    EXPECT_EQ(again->stringForKey("Greeting"), std::optional<std::string>("hello"));
    EXPECT_EQ(again->stringForKey("VersionCheck"), std::optional<std::string>("120"));
    EXPECT_EQ(again->arrayForKey("List"), list);
    EXPECT_EQ(again->arrayForKey("Greeting"), std::nullopt);
    EXPECT_EQ(again->stringArrayForKey("List"), (std::vector<std::string>{"a"}));

    again->removeObjectForKey("Greeting");
    NSUserDefaults::resetStandardUserDefaults();
    NSUserDefaults::setPersistentDomainName("com.example.uninstaller");
    EXPECT_FALSE(NSUserDefaults::standardUserDefaults()->objectForKey("Greeting").has_value());
}

TEST_F(NSUserDefaultsTest, DefaultDomainAndDomainSwitch) {
    EXPECT_EQ(NSUserDefaults::persistentDomainName(), "uninstaller");
    auto d = NSUserDefaults::standardUserDefaults();
    EXPECT_EQ(d->path(), prefs());
    d->setBool(true, "Flag");
    NSUserDefaults::setPersistentDomainName("other.domain");
    EXPECT_EQ(d->path(), prefs("other.domain"));
    EXPECT_FALSE(d->boolForKey("Flag")) << "the other domain's file has no Flag";
    NSUserDefaults::setPersistentDomainName("uninstaller");
    EXPECT_TRUE(d->boolForKey("Flag"));
}

TEST_F(NSUserDefaultsTest, ReadsAFileWrittenByThePlatform) {
    std::filesystem::create_directories(home_ / "Library/Preferences");
    PlistValue file;
    file.setObject(true, "AppleMiniaturizeOnDoubleClick");
    PlistValue langs = PlistValue::array();
    langs.addObject("zh-Hans");
    file.setObject(langs, "AppleLanguages");
    ASSERT_TRUE(PropertyList::writeFileAtomically(file, prefs()));

    ScopedEnv lang("LANG", "fr_FR.UTF-8");
    auto d = NSUserDefaults::standardUserDefaults();
    EXPECT_TRUE(d->boolForKey("AppleMiniaturizeOnDoubleClick"));
    auto o = d->objectForKey("AppleMiniaturizeOnDoubleClick");
    ASSERT_TRUE(o.has_value());
    EXPECT_TRUE(o->boolValue());
    EXPECT_EQ(d->stringArrayForKey("AppleLanguages"), (std::vector<std::string>{"zh-Hans"}))
        << "the file wins over the environment";
}

TEST_F(NSUserDefaultsTest, MiniaturizeOnDoubleClickComesFromTheFileOnly) {
    auto d = NSUserDefaults::standardUserDefaults();
    EXPECT_FALSE(d->objectForKey("AppleMiniaturizeOnDoubleClick").has_value());
    EXPECT_FALSE(d->boolForKey("AppleMiniaturizeOnDoubleClick"));
}

TEST_F(NSUserDefaultsTest, AppleLanguagesFromTheEnvironment) {
    struct Case {
        std::optional<std::string> language, lcAll, lang, lcMessages;
        std::vector<std::string> expected;
    } cases[] = {
        {std::nullopt, std::nullopt, std::nullopt, std::nullopt, {"en"}},
        {std::nullopt, std::nullopt, "fr_FR.UTF-8", std::nullopt, {"fr-FR"}},
        {std::nullopt, std::nullopt, "C", std::nullopt, {"en"}},
        {std::nullopt, std::nullopt, "C.UTF-8", std::nullopt, {"en"}},
        {std::nullopt, std::nullopt, "POSIX", std::nullopt, {"en"}},
        {std::nullopt, std::nullopt, "de", std::nullopt, {"de"}},
        {std::nullopt, std::nullopt, "sr_RS@latin", std::nullopt, {"sr-RS"}},
        {std::nullopt, std::nullopt, "zh_CN.GB2312", std::nullopt, {"zh-CN"}},
        {std::nullopt, "ja_JP.UTF-8", "fr_FR.UTF-8", std::nullopt, {"ja-JP"}},
        {std::nullopt, "", "fr_FR.UTF-8", std::nullopt, {"fr-FR"}},
        {std::nullopt, std::nullopt, std::nullopt, "it_IT.UTF-8", {"it-IT"}},
        {"de:fr", std::nullopt, "en_US.UTF-8", std::nullopt, {"de", "fr"}},
        {":pt_BR:", std::nullopt, "en_US.UTF-8", std::nullopt, {"pt-BR"}},
        {"", std::nullopt, "es_ES.UTF-8", std::nullopt, {"es-ES"}},
        {":", std::nullopt, "es_ES.UTF-8", std::nullopt, {"es-ES"}},
    };
    for (const auto& c : cases) {
        ScopedEnv a("LANGUAGE", c.language), b("LC_ALL", c.lcAll), l("LANG", c.lang),
            m("LC_MESSAGES", c.lcMessages);
        NSUserDefaults::resetStandardUserDefaults();
        auto d = NSUserDefaults::standardUserDefaults();
        const std::string label = c.language.value_or("-") + " / " + c.lcAll.value_or("-") + " / " +
                                  c.lang.value_or("-") + " / " + c.lcMessages.value_or("-");
        EXPECT_EQ(d->stringArrayForKey("AppleLanguages"), c.expected) << label;
        EXPECT_EQ(NSUserDefaults::languagesFromEnvironment(), c.expected) << label;
    }
}

TEST_F(NSUserDefaultsTest, RegisteredDefaultsAreFallbacks) {
    auto d = NSUserDefaults::standardUserDefaults();
    PlistValue fallbacks;
    fallbacks.setObject(5, "Count");
    fallbacks.setObject("from registration", "Name");
    d->registerDefaults(fallbacks);
    EXPECT_EQ(d->integerForKey("Count"), 5);
    d->setInteger(9, "Count");
    EXPECT_EQ(d->integerForKey("Count"), 9);
    d->removeObjectForKey("Count");
    EXPECT_EQ(d->integerForKey("Count"), 5);
    EXPECT_EQ(d->stringForKey("Name"), std::optional<std::string>("from registration"));
    EXPECT_EQ(d->integerForKey("Missing"), 0);
    EXPECT_FALSE(d->boolForKey("Missing"));
    EXPECT_EQ(d->stringForKey("Missing"), std::nullopt);

    NSUserDefaults::resetStandardUserDefaults();
    EXPECT_FALSE(NSUserDefaults::standardUserDefaults()->objectForKey("Name").has_value())
        << "registrations are not persisted";
}

TEST_F(NSUserDefaultsTest, BoolAndIntegerReadStringsAndNumbers) {
    auto d = NSUserDefaults::standardUserDefaults();
    d->setObject("YES", "s1");
    d->setObject("120", "s2");
    d->setObject(2.9, "r");
    d->setObject(PlistValue::array(), "a");
    EXPECT_TRUE(d->boolForKey("s1"));
    EXPECT_EQ(d->integerForKey("s2"), 120);
    EXPECT_EQ(d->integerForKey("r"), 2);
    EXPECT_TRUE(d->boolForKey("r"));
    EXPECT_FALSE(d->boolForKey("a"));
    EXPECT_EQ(d->integerForKey("a"), 0);
    EXPECT_EQ(d->stringForKey("a"), std::nullopt);
}

TEST_F(NSUserDefaultsTest, SynchronizeFailsWithoutLosingTheOldFile) {
    auto d = NSUserDefaults::standardUserDefaults();
    d->setObject("kept", "Key");
    ASSERT_TRUE(d->synchronize());
    const std::string before = readAll(prefs());
    ASSERT_FALSE(before.empty());

    const std::string folder = home_ / "Library/Preferences";
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    auto result = fixtures::runUnprivileged([&] {
        d->setObject("changed", "Key");
        return d->synchronize() ? 1 : 0;
    });
    chmod(folder.c_str(), 0755);
    if (!result) GTEST_SKIP() << "could not drop privileges";
    EXPECT_EQ(*result, 0);
    EXPECT_EQ(readAll(prefs()), before);
}

TEST_F(NSUserDefaultsTest, MakesThePreferencesFolder) {
    auto d = NSUserDefaults::standardUserDefaults();
    EXPECT_TRUE(d->synchronize());
    struct stat st {};
    ASSERT_EQ(stat((home_ / "Library/Preferences").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_TRUE(NSDictionaryFromFile(prefs()).has_value());
}

TEST_F(NSUserDefaultsTest, ManyThreadsAtOnce) {
    auto d = NSUserDefaults::standardUserDefaults();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([d, t] {
            for (int i = 0; i < 25; ++i) {
                d->setInteger(i, "k" + std::to_string(t));
                (void)d->objectForKey("AppleLanguages");
                (void)d->integerForKey("k" + std::to_string((t + 1) % 4));
            }
        });
    }
    for (auto& th : threads)
        th.join();
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(d->integerForKey("k" + std::to_string(t)), 24);
    auto file = NSDictionaryFromFile(prefs());
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->count(), 4u);
}

}  // namespace
