#include "platform/foundation/NSLocale.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NameCase {
    const char* value;
    NSStringOpt identifierName;  // under NSLocaleIdentifier
    NSStringOpt languageName;    // under NSLocaleLanguageCode
};

TEST(NSLocale, NamesIdentifiersInBritishEnglish) {
    const NSLocale gb = NSLocale::localeWithLocaleIdentifier("en_GB");
    EXPECT_EQ(gb.localeIdentifier(), "en_GB");
    const NameCase cases[] = {
        {"en", "English", "English"},
        {"de", "German", "German"},
        {"en_GB", "English (United Kingdom)", "English"},
        {"pt-BR", "Portuguese (Brazil)", "Portuguese"},
        {"zh-Hans", "Chinese (Simplified)", "Chinese"},
        {"zh_Hant", "Chinese (Traditional)", "Chinese"},
        {"German", "German", "German"},  // an old folder name stands for its code
        {"English", "English", "English"},
        {"Base", std::nullopt, std::nullopt},
        {"xx", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(gb.displayNameForKey(NSLocaleIdentifier, c.value), c.identifierName);
        EXPECT_EQ(gb.displayNameForKey(NSLocaleLanguageCode, c.value), c.languageName);
    }
    EXPECT_EQ(gb.displayNameForKey("NSLocaleCurrencyCode", "de"), std::nullopt);
}

TEST(NSLocale, NamesInTheLocalesOwnLanguage) {
    EXPECT_EQ(
        NSLocale::localeWithLocaleIdentifier("de").displayNameForKey(NSLocaleIdentifier, "fr"),
        "Französisch");
}

TEST(NSLocale, CanonicalLanguageIdentifiers) {
    const std::pair<const char*, NSStringOpt> cases[] = {
        {"zh_Hans", "zh-Hans"}, {"zh-Hans", "zh-Hans"}, {"pt_BR", "pt-BR"},
        {"de", "de"},           {"German", "de"},       {"Japanese", "ja"},
        {"iw", "he"},           {"Base", "base"},       {"", std::nullopt},
    };
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE(value);
        EXPECT_EQ(NSLocale::canonicalLanguageIdentifierFromString(value), expected);
    }
}

}  // namespace
