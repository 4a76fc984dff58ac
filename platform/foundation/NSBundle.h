#pragma once
// Bundles: the application's own resources (the main bundle) and macOS-style bundle folders
// such as Foo.app, with their Info.plist and localisation (".lproj") folders.

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/PlistValue.h"
#include "platform/foundation/Ref.h"

/// A bundle folder. A folder with a "Contents" subfolder has the macOS layout
/// (Contents/Info.plist, Contents/Resources, Contents/MacOS); any other folder, and always the
/// main bundle, is flat: Info.plist and the resources directly inside it.
class NSBundle {
  public:
    /// The bundle at `path`; nullptr when `path` is not an existing folder.
    static Ref<NSBundle> bundleWithPath(const std::string& path);
    /// bundleWithPath for `path`, which names the entry `name` of the folder open as `folder`
    /// (a descriptor): the same bundle, its Info.plist read at once through names relative to
    /// that folder, so that neither the long path nor the file is looked up again.
    static Ref<NSBundle> bundleAtEntry(int folder, const std::string& name,
                                       const std::string& path);
    /// The application's resources folder: $UNINSTALLER_RESOURCES when set, else "resources"
    /// beside the executable (the executable's symbolic links resolved, not the folder's),
    /// else "../resources", else "../share/uninstaller/resources" from there. Found once and
    /// kept; never nullptr (the first candidate is used when none exists).
    static Ref<NSBundle> mainBundle();
    /// For tests: makes `path` the main bundle; nullopt forgets it, so that the next
    /// `mainBundle()` searches again (e.g. after changing UNINSTALLER_RESOURCES).
    static void setMainBundleForTesting(std::optional<std::string> path);

    const std::string& bundlePath() const { return path_; }
    /// Whether the bundle is flat: no "Contents" folder, Info.plist directly inside it.
    bool isFlat() const { return flat_; }
    /// Where resources live: Contents/Resources, or the bundle folder itself when flat.
    std::string resourcePath() const;
    /// The folder that holds Info.plist: Contents, or the bundle folder itself when flat.
    std::string contentsPath() const;

    /// An existing resource named `name` with extension `type` (empty: `name` is the whole
    /// file name), looked up in the resource folder, then in the .lproj folders of the
    /// preferred languages ("AppleLanguages": "fr-FR", then "fr_FR", then "fr"), then in
    /// en.lproj, English.lproj and Base.lproj. Nil when none exists.
    std::optional<std::string> pathForResource(std::string_view name, std::string_view type) const;
    /// As above, inside the subfolder `directory` of each of those folders.
    std::optional<std::string> pathForResource(std::string_view name, std::string_view type,
                                               std::string_view directory) const;

    /// The text for `key` in the string table `table` ("Localizable" when empty) of the
    /// preferred localisation. This platform ships no string tables yet, so the answer is
    /// `value`, or `key` itself when `value` is empty, as for a key the tables lack.
    std::string localizedStringForKey(const std::string& key, const std::string& value,
                                      const std::string& table) const;

    /// Largest Info.plist that is read. Real ones are far smaller; a huge one would take
    /// seconds to parse, so it reads as missing.
    static constexpr std::size_t kMaxInfoPlistBytes = 4u * 1024 * 1024;
    /// The Info.plist file at `file` as a dictionary: nil when it is missing, malformed, not a
    /// dictionary or larger than kMaxInfoPlistBytes. Every Info.plist is read through here.
    static std::optional<PlistValue> infoDictionaryAtPath(const std::string& file);
    /// infoDictionaryAtPath of `file` taken relative to the folder open as `folder`.
    static std::optional<PlistValue> infoDictionaryAt(int folder, const std::string& file);

    /// Info.plist as a dictionary, read once (infoDictionaryAtPath); empty when missing,
    /// malformed, too large or not a dictionary.
    const PlistValue& infoDictionary() const;
    /// A value of Info.plist; nullptr when absent. Valid as long as the bundle lives.
    const PlistValue* objectForInfoDictionaryKey(std::string_view key) const;
    /// CFBundleIdentifier when it is a string.
    std::optional<std::string> bundleIdentifier() const;
    /// Names (without ".lproj") of the .lproj folders in the resource folder, sorted.
    std::vector<std::string> localizations() const;
    /// Contents/MacOS/<CFBundleExecutable> when that file exists (for the main bundle: the
    /// running executable); else nil.
    std::optional<std::string> executablePath() const;

    /// Use bundleWithPath / mainBundle.
    NSBundle(std::string path, bool flat, bool isMain);

  private:
    std::string path_;
    bool flat_;
    bool main_;
    mutable std::once_flag infoOnce_;
    mutable PlistValue info_;
};
