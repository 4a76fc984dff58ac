#include "platform/foundation/NSLocale.h"

#include <unicode/uloc.h>
#include <unicode/ustring.h>

#include <array>
#include <string_view>
#include <utility>

const std::string NSLocaleIdentifier = "NSLocaleIdentifier";
const std::string NSLocaleLanguageCode = "NSLocaleLanguageCode";

namespace {

// Bundles written before language codes named their folders after the language in English.
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kLegacyNames{{
    {"English", "en"},
    {"French", "fr"},
    {"German", "de"},
    {"Italian", "it"},
    {"Japanese", "ja"},
    {"Spanish", "es"},
    {"Dutch", "nl"},
}};

std::string legacyToCode(const std::string& value) {
    for (const auto& [name, code] : kLegacyNames)
        if (value == name) return std::string(code);
    return value;
}

/// ICU's form of an identifier ("zh_Hans", "pt_BR"); empty when it cannot be had.
std::string icuLocaleId(const std::string& value) {
    if (value.empty() || value.size() > 100) return {};
    UErrorCode status = U_ZERO_ERROR;
    char out[ULOC_FULLNAME_CAPACITY];
    const int32_t length = uloc_canonicalize(value.c_str(), out, sizeof out, &status);
    if (U_FAILURE(status) || status == U_STRING_NOT_TERMINATED_WARNING || length <= 0) return {};
    return std::string(out, static_cast<std::size_t>(length));
}

std::string toUtf8(const UChar* text, int32_t length) {
    UErrorCode status = U_ZERO_ERROR;
    int32_t needed = 0;
    u_strToUTF8(nullptr, 0, &needed, text, length, &status);
    std::string out(static_cast<std::size_t>(needed), '\0');
    status = U_ZERO_ERROR;
    u_strToUTF8(out.data(), needed, nullptr, text, length, &status);
    return U_FAILURE(status) ? std::string() : out;
}

}  // namespace

NSLocale NSLocale::localeWithLocaleIdentifier(const std::string& identifier) {
    return NSLocale(identifier);
}

NSStringOpt NSLocale::displayNameForKey(const std::string& key, const std::string& value) const {
    const bool whole = key == NSLocaleIdentifier;
    if (!whole && key != NSLocaleLanguageCode) return std::nullopt;
    const std::string id = icuLocaleId(legacyToCode(value));
    if (id.empty()) return std::nullopt;
    const std::string display = icuLocaleId(identifier_);
    UChar buffer[256];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        whole ? uloc_getDisplayName(id.c_str(), display.c_str(), buffer, 256, &status)
              : uloc_getDisplayLanguage(id.c_str(), display.c_str(), buffer, 256, &status);
    // The library answers an unknown language with its code and a warning that it used the
    // default; that is no name.
    if (U_FAILURE(status) || status == U_USING_DEFAULT_WARNING || length <= 0 || length > 256)
        return std::nullopt;
    std::string name = toUtf8(buffer, length);
    if (name.empty()) return std::nullopt;
    return name;
}

NSStringOpt NSLocale::canonicalLanguageIdentifierFromString(const std::string& string) {
    const std::string id = icuLocaleId(legacyToCode(string));
    if (id.empty()) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    char tag[ULOC_FULLNAME_CAPACITY];
    const int32_t length = uloc_toLanguageTag(id.c_str(), tag, sizeof tag, false, &status);
    if (U_FAILURE(status) || status == U_STRING_NOT_TERMINATED_WARNING || length <= 0)
        return std::nullopt;
    std::string out(tag, static_cast<std::size_t>(length));
    if (out == "und") return std::nullopt;
    return out;
}
