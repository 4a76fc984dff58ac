#pragma once
// The settings property list "StringMessage.plist" among the application's resources.
// Nothing is cached: every read loads the file again, every write rewrites it atomically.

#include <optional>
#include <string>

#include "platform/foundation/PlistValue.h"

class SettingsFile {
  public:
    SettingsFile() = delete;

    /// The path of the settings file in the main bundle, or nil when it is missing.
    static std::optional<std::string> path();
    /// The whole top-level dictionary, or nil when the file is missing or malformed.
    static std::optional<PlistValue> load();
    /// The string under `key`, or nil.
    static std::optional<std::string> stringForKey(const std::string& key);
    /// Loads the file, sets `key`, and writes it back atomically; a file that cannot be read
    /// or written keeps its old content, and nothing is reported.
    static void setValue(const PlistValue& value, const std::string& key);
};
