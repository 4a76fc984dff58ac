#include "shell/SettingsFile.h"

#include "platform/foundation/NSBundle.h"
#include "platform/foundation/PropertyList.h"

std::optional<std::string> SettingsFile::path() {
    auto bundle = NSBundle::mainBundle();
    if (!bundle) return std::nullopt;
    return bundle->pathForResource("StringMessage", "plist");
}

std::optional<PlistValue> SettingsFile::load() {
    auto p = path();
    if (!p) return std::nullopt;
    return NSDictionaryFromFile(*p);
}

std::optional<std::string> SettingsFile::stringForKey(const std::string& key) {
    auto dict = load();
    if (!dict) return std::nullopt;
    return dict->stringForKey(key);
}

void SettingsFile::setValue(const PlistValue& value, const std::string& key) {
    auto p = path();
    if (!p) return;
    auto dict = NSDictionaryFromFile(*p);
    if (!dict) return;
    dict->setObject(value, key);
    (void)PropertyList::writeFileAtomically(*dict, *p);
}
