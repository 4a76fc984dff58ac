#pragma once
// The user's defaults: a property-list file per application, with the platform's fallbacks.

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/PlistValue.h"
#include "platform/foundation/Ref.h"

/// User defaults persisted in `$HOME/Library/Preferences/<domain>.plist` (read when the
/// object is made, written through on every change). A key is answered from that file first,
/// then from the platform's languages ("AppleLanguages", from the environment), then from
/// `registerDefaults`. Every method may be called from any thread.
class NSUserDefaults {
  public:
    /// The process-wide instance, made on first use for the current persistent domain.
    static Ref<NSUserDefaults> standardUserDefaults();
    /// For tests: forgets the process-wide instance and the domain name, so that the next
    /// `standardUserDefaults()` reads $HOME, the environment and the file afresh.
    static void resetStandardUserDefaults();
    /// Names the persistent domain (the application's bundle identifier), which the
    /// application sets at start; "uninstaller" when never set. An existing process-wide
    /// instance switches to the new domain's file.
    static void setPersistentDomainName(std::string name);
    static std::string persistentDomainName();

    /// Defaults of the domain `domain`, stored in `preferencesFolder`/`domain`.plist.
    NSUserDefaults(std::string domain, std::string preferencesFolder);

    /// The value, or nil; a copy (values are cheap to copy).
    std::optional<PlistValue> objectForKey(std::string_view key) const;
    /// A string as is, a number in decimal (as the platform answers); else nil.
    std::optional<std::string> stringForKey(std::string_view key) const;
    /// The value only when it is an array.
    std::optional<PlistValue> arrayForKey(std::string_view key) const;
    /// The value only when it is a dictionary.
    std::optional<PlistValue> dictionaryForKey(std::string_view key) const;
    /// Array of strings; nil unless the value is an array whose elements are all strings.
    std::optional<std::vector<std::string>> stringArrayForKey(std::string_view key) const;
    /// `boolValue` of a number or string; NO when absent or of another kind.
    bool boolForKey(std::string_view key) const;
    /// `integerValue` of a number or string; 0 when absent or of another kind.
    long long integerForKey(std::string_view key) const;
    double doubleForKey(std::string_view key) const;

    /// Sets the value and writes the file.
    void setObject(PlistValue value, std::string_view key);
    void setBool(bool value, std::string_view key) { setObject(PlistValue(value), key); }
    void setInteger(long long value, std::string_view key) { setObject(PlistValue(value), key); }
    void setDouble(double value, std::string_view key) { setObject(PlistValue(value), key); }
    void removeObjectForKey(std::string_view key);
    /// Fallback values, answered when neither the file nor the platform has the key.
    void registerDefaults(const PlistValue& dictionary);

    /// Writes the file atomically (creating the Preferences folder when missing); false when
    /// that fails, in which case the old file is untouched.
    bool synchronize();

    /// The file that backs these defaults.
    std::string path() const;
    /// Every key answered and its value, the file winning over the fallbacks.
    PlistValue dictionaryRepresentation() const;

    /// The platform's "AppleLanguages" from the environment: LANGUAGE (colon-separated, every
    /// non-empty entry), else LC_ALL, else LANG, else LC_MESSAGES; codeset and modifier
    /// dropped and "_" made "-" ("fr_FR.UTF-8" gives "fr-FR"); "C", "POSIX" or nothing
    /// gives "en".
    static std::vector<std::string> languagesFromEnvironment();

  private:
    std::optional<PlistValue> lookup(std::string_view key) const;  // mutex held
    bool writeLocked();                                            // mutex held
    void switchDomain(std::string domain);

    mutable std::mutex mutex_;
    std::string domain_;
    std::string folder_;
    PlistValue persistent_;  // the file's dictionary
    PlistValue registered_;  // registerDefaults
};
