#include "services/SettingsFile.h"

#include <mutex>

#include "platform/foundation/NSBundle.h"
#include "platform/foundation/PropertyList.h"

namespace {

/// The file as last read or written, for the resources folder it was found in.
struct Kept {
    std::mutex mutex;
    bool loaded = false;
    std::string resources;
    std::optional<std::string> path;
    std::optional<PlistValue> dictionary;  // nil: missing or malformed
};

Kept& kept() {
    static Kept* instance = new Kept;  // settings may be read at exit
    return *instance;
}

std::string resourcesFolder() {
    auto bundle = NSBundle::mainBundle();
    return bundle ? bundle->resourcePath() : std::string();
}

/// Loads the file unless the kept copy belongs to the current resources folder. Mutex held.
void ensureLoaded(Kept& k) {
    std::string resources = resourcesFolder();
    if (k.loaded && k.resources == resources) return;
    k.loaded = true;
    k.resources = std::move(resources);
    k.path = SettingsFile::path();
    k.dictionary = k.path ? NSDictionaryFromFile(*k.path) : std::nullopt;
}

}  // namespace

std::optional<std::string> SettingsFile::path() {
    auto bundle = NSBundle::mainBundle();
    if (!bundle) return std::nullopt;
    return bundle->pathForResource("StringMessage", "plist");
}

std::optional<PlistValue> SettingsFile::load() {
    Kept& k = kept();
    std::lock_guard lock(k.mutex);
    ensureLoaded(k);
    return k.dictionary;
}

std::optional<std::string> SettingsFile::stringForKey(const std::string& key) {
    Kept& k = kept();
    std::lock_guard lock(k.mutex);
    ensureLoaded(k);
    if (!k.dictionary) return std::nullopt;
    return k.dictionary->stringForKey(key);
}

void SettingsFile::setValue(const PlistValue& value, const std::string& key) {
    Kept& k = kept();
    std::lock_guard lock(k.mutex);
    ensureLoaded(k);
    if (!k.path || !k.dictionary) return;
    PlistValue updated = *k.dictionary;
    updated.setObject(value, key);
    if (PropertyList::writeFileAtomically(updated, *k.path)) k.dictionary = std::move(updated);
}

void SettingsFile::forget() {
    Kept& k = kept();
    std::lock_guard lock(k.mutex);
    k.loaded = false;
    k.path.reset();
    k.dictionary.reset();
}
