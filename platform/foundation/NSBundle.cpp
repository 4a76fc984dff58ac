#include "platform/foundation/NSBundle.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/PropertyList.h"

namespace {

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string join(std::string_view base, std::string_view component) {
    std::string out(base);
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    if (component.empty()) return out;
    if (out.empty() || out.back() != '/') out += '/';
    out += component;
    return out;
}

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

/// The running executable, its symbolic links resolved; "" when unknown.
std::string executableFile() {
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "";
    return std::string(buf, static_cast<std::size_t>(n));
}

std::string findMainResources() {
    if (const char* env = std::getenv("UNINSTALLER_RESOURCES"); env && *env) return env;
    const std::string exe = executableFile();
    const std::string dir = exe.empty() ? "." : parentOf(exe);
    const std::string up = parentOf(dir);
    const std::string candidates[] = {join(dir, "resources"), join(up, "resources"),
                                      join(up, "share/uninstaller/resources")};
    for (const auto& c : candidates)
        if (isFolder(c)) return c;
    return candidates[0];
}

std::mutex& mainMutex() {
    static std::mutex m;
    return m;
}
Ref<NSBundle>& mainInstance() {
    static Ref<NSBundle> b;
    return b;
}

/// The .lproj folder names to try for the user's languages, in order, without repeats.
std::vector<std::string> localisationFolders() {
    std::vector<std::string> names;
    auto add = [&](std::string n) {
        if (n.empty() || std::find(names.begin(), names.end(), n) != names.end()) return;
        names.push_back(std::move(n));
    };
    std::vector<std::string> languages;
    if (auto l = NSUserDefaults::standardUserDefaults()->stringArrayForKey("AppleLanguages"))
        languages = *l;
    for (const std::string& l : languages) {
        add(l + ".lproj");
        std::string underscored = l;
        std::replace(underscored.begin(), underscored.end(), '-', '_');
        add(underscored + ".lproj");
        const std::size_t dash = l.find_first_of("-_");
        if (dash != std::string::npos) add(l.substr(0, dash) + ".lproj");
    }
    add("en.lproj");
    add("English.lproj");
    add("Base.lproj");
    return names;
}

}  // namespace

NSBundle::NSBundle(std::string path, bool flat, bool isMain)
    : path_(std::move(path)), flat_(flat), main_(isMain) {}

Ref<NSBundle> NSBundle::bundleWithPath(const std::string& path) {
    if (path.empty() || !isFolder(path)) return nullptr;
    std::string p = path;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    const bool flat = !isFolder(join(p, "Contents"));
    return std::make_shared<NSBundle>(p, flat, false);
}

Ref<NSBundle> NSBundle::bundleAtEntry(int folder, const std::string& name,
                                      const std::string& path) {
    if (name.empty() || path.empty()) return nullptr;
    std::string p = path;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    // The usual layout first: an Info.plist read through Contents proves both folders.
    std::optional<PlistValue> info = infoDictionaryAt(folder, name + "/Contents/Info.plist");
    bool flat = false;
    if (!info) {
        struct stat st {};
        if (::fstatat(folder, name.c_str(), &st, 0) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
        const std::string contents = name + "/Contents";
        flat = ::fstatat(folder, contents.c_str(), &st, 0) != 0 || !S_ISDIR(st.st_mode);
        if (flat) info = infoDictionaryAt(folder, name + "/Info.plist");
    }
    auto bundle = std::make_shared<NSBundle>(p, flat, false);
    std::call_once(bundle->infoOnce_,
                   [&] { bundle->info_ = info ? std::move(*info) : PlistValue::dictionary(); });
    return bundle;
}

Ref<NSBundle> NSBundle::mainBundle() {
    std::lock_guard lock(mainMutex());
    Ref<NSBundle>& b = mainInstance();
    if (!b) b = std::make_shared<NSBundle>(findMainResources(), true, true);
    return b;
}

void NSBundle::setMainBundleForTesting(std::optional<std::string> path) {
    std::lock_guard lock(mainMutex());
    mainInstance() = path ? std::make_shared<NSBundle>(*path, true, true) : nullptr;
}

std::string NSBundle::resourcePath() const {
    return flat_ ? path_ : join(path_, "Contents/Resources");
}

std::string NSBundle::contentsPath() const {
    return flat_ ? path_ : join(path_, "Contents");
}

std::optional<std::string> NSBundle::pathForResource(std::string_view name,
                                                     std::string_view type) const {
    return pathForResource(name, type, "");
}

std::optional<std::string> NSBundle::pathForResource(std::string_view name, std::string_view type,
                                                     std::string_view directory) const {
    if (name.empty()) return std::nullopt;
    while (!type.empty() && type.front() == '.')
        type.remove_prefix(1);
    std::string file(name);
    if (!type.empty()) file += "." + std::string(type);
    const std::string resources = resourcePath();
    const std::string direct = join(join(resources, directory), file);
    if (exists(direct)) return direct;
    for (const std::string& lproj : localisationFolders()) {
        const std::string p = join(join(join(resources, lproj), directory), file);
        if (exists(p)) return p;
    }
    return std::nullopt;
}

std::optional<PlistValue> NSBundle::infoDictionaryAtPath(const std::string& file) {
    return infoDictionaryAt(AT_FDCWD, file);
}

std::optional<PlistValue> NSBundle::infoDictionaryAt(int folder, const std::string& file) {
    std::optional<PlistValue> value = PropertyList::readFileAt(folder, file, kMaxInfoPlistBytes);
    if (!value || !value->isDictionary()) return std::nullopt;
    return value;
}

const PlistValue& NSBundle::infoDictionary() const {
    std::call_once(infoOnce_, [this] {
        auto d = infoDictionaryAtPath(join(contentsPath(), "Info.plist"));
        info_ = d ? std::move(*d) : PlistValue::dictionary();
    });
    return info_;
}

const PlistValue* NSBundle::objectForInfoDictionaryKey(std::string_view key) const {
    return infoDictionary().objectForKey(key);
}

std::optional<std::string> NSBundle::bundleIdentifier() const {
    return infoDictionary().stringForKey("CFBundleIdentifier");
}

std::vector<std::string> NSBundle::localizations() const {
    std::vector<std::string> names;
    const std::string resources = resourcePath();
    DIR* d = ::opendir(resources.c_str());
    if (!d) return names;
    while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        constexpr std::string_view ext = ".lproj";
        if (n.size() <= ext.size() || n.compare(n.size() - ext.size(), ext.size(), ext) != 0)
            continue;
        if (!isFolder(join(resources, n))) continue;
        names.push_back(n.substr(0, n.size() - ext.size()));
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> NSBundle::executablePath() const {
    if (main_) {
        std::string exe = executableFile();
        if (!exe.empty()) return exe;
        return std::nullopt;
    }
    auto name = infoDictionary().stringForKey("CFBundleExecutable");
    if (!name || name->empty()) return std::nullopt;
    const std::string p = flat_ ? join(path_, *name) : join(path_, "Contents/MacOS/" + *name);
    if (!isRegularFile(p)) return std::nullopt;
    return p;
}

std::string NSBundle::localizedStringForKey(const std::string& key, const std::string& value,
                                            const std::string&) const {
    return value.empty() ? key : value;
}
