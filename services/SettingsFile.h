#pragma once
// The settings property list "StringMessage.plist" among the application's resources. Only the
// application writes it, so it is read from disk once (per resources folder) and kept: reads
// answer from the kept copy, and a write updates the kept copy after rewriting the file
// atomically. Safe to use from any thread.

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
    /// Sets `key` and writes the file back atomically; a file that cannot be read or written
    /// keeps its old content (and the kept copy with it), and nothing is reported.
    static void setValue(const PlistValue& value, const std::string& key);
    /// Drops the kept copy, so that the next read loads the file again (for a file replaced
    /// behind the application's back, as tests do).
    static void forget();
};
