#pragma once
// Locales by identifier: the names of languages and regions in a locale's own language, and
// the canonical form of a language identifier. Backed by the system's Unicode library.

#include <string>

#include "platform/foundation/NSString.h"

/// The key under which `displayNameForKey` names a whole locale identifier ("de", "pt_BR",
/// "zh-Hans"): language, then script and region in brackets.
extern const std::string NSLocaleIdentifier;
/// The key under which `displayNameForKey` names the language part of an identifier only.
extern const std::string NSLocaleLanguageCode;

class NSLocale {
  public:
    /// A locale for an identifier such as "en_GB"; any text is accepted, as on the platform.
    static NSLocale localeWithLocaleIdentifier(const std::string& identifier);

    const std::string& localeIdentifier() const { return identifier_; }

    /// The name, in this locale's language, of `value` read as `key` (NSLocaleIdentifier or
    /// NSLocaleLanguageCode): "German" for "de" in en_GB. Nil for a language the library does
    /// not know ("Base", "xx"), for an empty value and for any other key. The old English
    /// localisation names ("German", "Japanese", ...) stand for their codes.
    NSStringOpt displayNameForKey(const std::string& key, const std::string& value) const;

    /// The identifier in its canonical BCP 47 form: "zh-Hans" for "zh_Hans", "pt-BR" for
    /// "pt_BR", "de" for "German", "he" for "iw". Unknown but well-formed text comes back
    /// lower-cased ("base"); nil for an empty string or one the library cannot parse.
    static NSStringOpt canonicalLanguageIdentifierFromString(const std::string& string);

  private:
    explicit NSLocale(std::string identifier) : identifier_(std::move(identifier)) {}
    std::string identifier_;
};
