#include "services/EULinkUrl.h"

#include "platform/foundation/NSUserDefaults.h"
#include "services/SettingsFile.h"

std::optional<std::string> EULinkUrl::GetUrl(const std::string& name) {
    std::optional<std::string> language;
    if (auto languages = NSUserDefaults::standardUserDefaults()->arrayForKey("AppleLanguages")) {
        if (languages->count() > 0) language = languages->objectAtIndex(0)->stringValue();
    }
    auto settings = SettingsFile::load();
    if (!settings) return std::nullopt;
    std::optional<std::string> fallback;
    if (const PlistValue* en = settings->dictionaryForKey("en")) fallback = en->stringForKey(name);
    if (language) {
        if (const PlistValue* table = settings->dictionaryForKey(*language)) {
            auto link = table->stringForKey(name);
            if (link && !link->empty()) return link;
        }
    }
    return fallback;
}
