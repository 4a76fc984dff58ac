#include "appsManager/AMPublicUtilities.h"

#include <cmath>
#include <cstdlib>

#include "platform/coreservices/TreeSize.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSPathUtilities.h"

namespace {

enum class Unit { KB, MB, GB };

// The quotient shown for `bytes` and its unit. The unit is chosen on the exact count and the
// quotient is a single-precision division, so counts just below a bound show "1000.00".
float scaled(std::uint64_t bytes, Unit& unit) {
    unit = Unit::KB;
    if (bytes == 0) return 0.0f;
    const float value = static_cast<float>(bytes);
    if (bytes <= 999999ull) return value / 1000.0f;
    if (bytes > 999999999ull) {
        unit = Unit::GB;
        return value / 1000000000.0f;
    }
    unit = Unit::MB;
    return value / 1000000.0f;
}

}  // namespace

std::string AMPublicUtilities::convertVolSpace(std::uint64_t bytes) {
    Unit unit;
    const double shown = scaled(bytes, unit);
    switch (unit) {
        case Unit::KB:
            return ns::stringWithFormat("%0.2f KB", shown);
        case Unit::MB:
            return ns::stringWithFormat("%0.2f MB", shown);
        case Unit::GB:
            return ns::stringWithFormat("%0.2f GB", shown);
    }
    return {};
}

std::string AMPublicUtilities::getSizeNoB(std::uint64_t bytes) {
    Unit unit;
    const double shown = scaled(bytes, unit);
    return ns::stringWithFormat("%0.2f", shown);
}

std::uint64_t AMPublicUtilities::volSpaceFromString(const NSStringOpt& text) {
    if (!text || text->empty()) return 0;
    const std::string& s = *text;
    const std::string number = s.size() >= 2 ? s.substr(0, s.size() - 2) : std::string();
    float value = ns::floatValue(number);
    if (ns::hasSuffix(s, "KB")) {
        if (value > 0) value *= 1000.0f;
    } else if (ns::hasSuffix(s, "MB")) {
        value *= 1000000.0f;
    } else if (ns::hasSuffix(s, "GB")) {
        value *= 1000000000.0f;
    } else if (ns::hasSuffix(s, "TB")) {
        value *= 999999995904.0f;  // the single-precision value nearest to 10^12
    } else {
        return 0;
    }
    // A negative, overflowing or non-numeric product has no byte count: clamp instead of
    // converting it (which C++ leaves undefined).
    if (!(value > 0)) return 0;
    if (value >= 18446744073709551616.0f) return UINT64_MAX;
    return static_cast<std::uint64_t>(value);
}

std::uint64_t AMPublicUtilities::sizeOfFileRef(const FSRef* ref) {
    if (!ref || ref->isZero()) return 0;
    return treeLogicalSize(ref->path);
}

namespace {

constexpr NSSearchPathDomainMask kUserThenLocal = NSUserDomainMask | NSLocalDomainMask;

void append(std::vector<std::string>& to, const std::vector<std::string>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

// `sub` inside each Library folder of the user and local domains, user first.
std::vector<std::string> inLibraries(const std::vector<const char*>& subfolders) {
    std::vector<std::string> paths;
    for (const std::string& library :
         NSSearchPathForDirectoriesInDomains(NSLibraryDirectory, kUserThenLocal, true))
        for (const char* sub : subfolders)
            paths.push_back(ns::stringByAppendingPathComponent(library, sub));
    return paths;
}

// The platform's description of a list of paths: one quoted path a line, in parentheses.
std::string describePaths(const std::vector<std::string>& paths) {
    std::string text = "(";
    for (std::size_t i = 0; i < paths.size(); ++i)
        text += (i ? ",\n    \"" : "\n    \"") + paths[i] + "\"";
    return text + "\n)";
}

}  // namespace

std::vector<std::string> AMPublicUtilities::applicationPaths() {
    std::vector<std::string> paths = NSSearchPathForDirectoriesInDomains(
        NSApplicationDirectory, kUserThenLocal | NSNetworkDomainMask, true);
    append(paths, NSSearchPathForDirectoriesInDomains(NSDeveloperApplicationDirectory,
                                                      NSLocalDomainMask, true));
    return paths;
}

std::vector<std::string> AMPublicUtilities::pluginPaths() {
    std::vector<std::string> paths = inLibraries(
        {"Address Book Plug-Ins", "Contextual Menu Items", "Dictionaries", "iTunes", "Spotlight",
         "Screen Savers", "QuickLook", "QuickTime", "Internet Plug-Ins", "Safari"});
    append(paths,
           NSSearchPathForDirectoriesInDomains(NSInputMethodsDirectory, kUserThenLocal, true));
    return paths;
}

std::vector<std::string> AMPublicUtilities::preferencePanePaths() {
    return NSSearchPathForDirectoriesInDomains(NSPreferencePanesDirectory, kUserThenLocal, true);
}

std::vector<std::string> AMPublicUtilities::widgetPaths() {
    std::vector<std::string> paths = inLibraries({"Widgets"});
    NSLog("---%@", describePaths(paths));
    return paths;
}
