// Catches link look-ups that ignore the preferred language, treat an empty link as valid,
// normalise "en-US" to "en", or fail without a fallback table.
#include "services/EULinkUrl.h"

#include <gtest/gtest.h>

#include "platform/foundation/NSUserDefaults.h"
#include "support/FileFixtures.h"
#include "support/ScopedResources.h"

namespace {

using fixtures::ScopedEnv;
using fixtures::TempDir;

const char* kSettings = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>en</key><dict><key>IniURL</key><string>http://en.example/</string></dict>
  <key>fr</key><dict><key>IniURL</key><string>http://fr.example/</string></dict>
  <key>de</key><dict><key>IniURL</key><string></string></dict>
  <key>es</key><dict><key>Other</key><string>x</string></dict>
  <key>en-US</key><dict><key>IniURL</key><string>http://us.example/</string></dict>
</dict></plist>)";

const char* kWithoutEnglish = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>fr</key><dict><key>IniURL</key><string>http://fr.example/</string></dict>
</dict></plist>)";

TEST(EULinkUrl, PreferredLanguageThenEnglish) {
    struct Case {
        const char* settings;
        const char* language;  // LANGUAGE; nullptr: nothing set
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {kSettings, "fr", "http://fr.example/"},
        {kSettings, "de", "http://en.example/"},     // empty value
        {kSettings, "es", "http://en.example/"},     // no such key
        {kSettings, "it", "http://en.example/"},     // no table
        {kSettings, "en_US", "http://us.example/"},  // looked up exactly
        {kSettings, "pt_BR", "http://en.example/"},
        {kSettings, nullptr, "http://en.example/"},
        {kWithoutEnglish, "fr", "http://fr.example/"},
        {kWithoutEnglish, "it", std::nullopt},
    };
    for (const Case& c : cases) {
        TempDir dir;
        dir.write("resources/StringMessage.plist", c.settings);
        fixtures::ScopedResources resources(dir / "resources");
        ScopedEnv home("HOME", dir.mkdir("home"));
        ScopedEnv language("LANGUAGE",
                           c.language ? std::optional<std::string>(c.language) : std::nullopt);
        ScopedEnv all("LC_ALL", std::nullopt), lang("LANG", std::nullopt),
            messages("LC_MESSAGES", std::nullopt);
        NSUserDefaults::resetStandardUserDefaults();
        EXPECT_EQ(EULinkUrl::GetUrl("IniURL"), c.expected) << (c.language ? c.language : "(none)");
    }
    NSUserDefaults::resetStandardUserDefaults();
}

TEST(EULinkUrl, MissingSettingsGiveNil) {
    TempDir dir;
    dir.mkdir("resources");
    fixtures::ScopedResources resources(dir / "resources");
    EXPECT_EQ(EULinkUrl::GetUrl("IniURL"), std::nullopt);
}

}  // namespace
