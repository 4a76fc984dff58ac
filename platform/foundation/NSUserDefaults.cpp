#include "platform/foundation/NSUserDefaults.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>

#include "platform/foundation/NSPathUtilities.h"
#include "platform/foundation/PropertyList.h"

namespace {

constexpr const char* kDefaultDomain = "uninstaller";
constexpr const char* kAppleLanguages = "AppleLanguages";

std::mutex& sharedMutex() {
    static std::mutex m;
    return m;
}
Ref<NSUserDefaults>& sharedInstance() {
    static Ref<NSUserDefaults> instance;
    return instance;
}
std::optional<std::string>& sharedDomain() {
    static std::optional<std::string> domain;
    return domain;
}

std::string preferencesFolder() {
    std::string home = NSHomeDirectory();
    while (home.size() > 1 && home.back() == '/')
        home.pop_back();
    return (home == "/" ? "" : home) + "/Library/Preferences";
}

/// Creates `path` and its missing parents (mode 0700, as the platform's Library folders).
bool makeFolders(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(path.substr(0, slash)))
        return false;
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

/// "fr_FR.UTF-8" -> "fr-FR"; "C" and "POSIX" -> "en"; "" stays "".
std::string platformLanguage(std::string_view locale) {
    const std::size_t cut = locale.find_first_of(".@");
    std::string s(locale.substr(0, cut));
    if (s == "C" || s == "POSIX") return "en";
    for (char& c : s)
        if (c == '_') c = '-';
    return s;
}

std::string numberString(const PlistValue& v) {
    if (v.isBoolean()) return v.boolValue() ? "1" : "0";
    if (v.isUnsignedInteger()) return std::to_string(v.unsignedIntegerValue());
    if (v.isInteger()) return std::to_string(v.integerValue());
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v.doubleValue());
    return std::string(buf, res.ptr);
}

}  // namespace

// --- The process-wide instance ------------------------------------------------------------------

Ref<NSUserDefaults> NSUserDefaults::standardUserDefaults() {
    std::lock_guard lock(sharedMutex());
    Ref<NSUserDefaults>& instance = sharedInstance();
    if (!instance) {
        instance = std::make_shared<NSUserDefaults>(sharedDomain().value_or(kDefaultDomain),
                                                    preferencesFolder());
    }
    return instance;
}

void NSUserDefaults::resetStandardUserDefaults() {
    std::lock_guard lock(sharedMutex());
    sharedInstance().reset();
    sharedDomain().reset();
}

void NSUserDefaults::setPersistentDomainName(std::string name) {
    Ref<NSUserDefaults> instance;
    {
        std::lock_guard lock(sharedMutex());
        sharedDomain() = name;
        instance = sharedInstance();
    }
    if (instance) instance->switchDomain(std::move(name));
}

std::string NSUserDefaults::persistentDomainName() {
    std::lock_guard lock(sharedMutex());
    return sharedDomain().value_or(kDefaultDomain);
}

// --- One domain ------------------------------------------------------------------------------

NSUserDefaults::NSUserDefaults(std::string domain, std::string folder)
    : domain_(std::move(domain)), folder_(std::move(folder)) {
    if (auto file = NSDictionaryFromFile(path())) persistent_ = std::move(*file);
}

void NSUserDefaults::switchDomain(std::string domain) {
    std::lock_guard lock(mutex_);
    if (domain == domain_) return;
    domain_ = std::move(domain);
    auto file = NSDictionaryFromFile(folder_ + "/" + domain_ + ".plist");
    persistent_ = file ? std::move(*file) : PlistValue::dictionary();
}

std::string NSUserDefaults::path() const {
    std::lock_guard lock(mutex_);
    return folder_ + "/" + domain_ + ".plist";
}

std::optional<PlistValue> NSUserDefaults::lookup(std::string_view key) const {
    if (const PlistValue* v = persistent_.objectForKey(key)) return *v;
    if (key == kAppleLanguages) {
        PlistValue languages = PlistValue::array();
        for (const std::string& l : languagesFromEnvironment())
            languages.addObject(PlistValue(l));
        return languages;
    }
    if (const PlistValue* v = registered_.objectForKey(key)) return *v;
    return std::nullopt;
}

std::optional<PlistValue> NSUserDefaults::objectForKey(std::string_view key) const {
    std::lock_guard lock(mutex_);
    return lookup(key);
}

std::optional<std::string> NSUserDefaults::stringForKey(std::string_view key) const {
    auto v = objectForKey(key);
    if (!v) return std::nullopt;
    if (v->isString()) return v->stringValue();
    if (v->isNumber()) return numberString(*v);
    return std::nullopt;
}

std::optional<PlistValue> NSUserDefaults::arrayForKey(std::string_view key) const {
    auto v = objectForKey(key);
    if (!v || !v->isArray()) return std::nullopt;
    return v;
}

std::optional<PlistValue> NSUserDefaults::dictionaryForKey(std::string_view key) const {
    auto v = objectForKey(key);
    if (!v || !v->isDictionary()) return std::nullopt;
    return v;
}

std::optional<std::vector<std::string>> NSUserDefaults::stringArrayForKey(
    std::string_view key) const {
    auto v = arrayForKey(key);
    if (!v) return std::nullopt;
    std::vector<std::string> out;
    for (const PlistValue& e : *v->arrayValue()) {
        if (!e.isString()) return std::nullopt;
        out.push_back(*e.stringValue());
    }
    return out;
}

bool NSUserDefaults::boolForKey(std::string_view key) const {
    auto v = objectForKey(key);
    return v && (v->isNumber() || v->isString()) && v->boolValue();
}

long long NSUserDefaults::integerForKey(std::string_view key) const {
    auto v = objectForKey(key);
    return v && (v->isNumber() || v->isString()) ? v->integerValue() : 0;
}

double NSUserDefaults::doubleForKey(std::string_view key) const {
    auto v = objectForKey(key);
    return v && (v->isNumber() || v->isString()) ? v->doubleValue() : 0;
}

void NSUserDefaults::setObject(PlistValue value, std::string_view key) {
    std::lock_guard lock(mutex_);
    persistent_.setObject(std::move(value), key);
    writeLocked();
}

void NSUserDefaults::removeObjectForKey(std::string_view key) {
    std::lock_guard lock(mutex_);
    if (!persistent_.objectForKey(key)) return;
    persistent_.removeObjectForKey(key);
    writeLocked();
}

void NSUserDefaults::registerDefaults(const PlistValue& dictionary) {
    if (!dictionary.isDictionary()) return;
    std::lock_guard lock(mutex_);
    for (const auto& [k, v] : *dictionary.dictionaryValue())
        registered_.setObject(v, k);
}

bool NSUserDefaults::synchronize() {
    std::lock_guard lock(mutex_);
    return writeLocked();
}

bool NSUserDefaults::writeLocked() {
    if (!makeFolders(folder_)) return false;
    return PropertyList::writeFileAtomically(persistent_, folder_ + "/" + domain_ + ".plist");
}

PlistValue NSUserDefaults::dictionaryRepresentation() const {
    std::lock_guard lock(mutex_);
    PlistValue all = registered_;
    all.setObject(*lookup(kAppleLanguages), kAppleLanguages);
    for (const auto& [k, v] : *persistent_.dictionaryValue())
        all.setObject(v, k);
    return all;
}

// --- Languages from the environment ---------------------------------------------------------

std::vector<std::string> NSUserDefaults::languagesFromEnvironment() {
    std::vector<std::string> out;
    auto add = [&](std::string_view entry) {
        std::string l = platformLanguage(entry);
        if (l.empty()) return;
        for (const auto& e : out)
            if (e == l) return;
        out.push_back(std::move(l));
    };
    if (const char* language = std::getenv("LANGUAGE")) {
        std::string_view list(language);
        std::size_t start = 0;
        while (start <= list.size()) {
            std::size_t colon = list.find(':', start);
            if (colon == std::string_view::npos) colon = list.size();
            add(list.substr(start, colon - start));
            start = colon + 1;
        }
        if (!out.empty()) return out;
    }
    for (const char* name : {"LC_ALL", "LANG", "LC_MESSAGES"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            add(value);
            if (!out.empty()) return out;
        }
    }
    return {"en"};
}
