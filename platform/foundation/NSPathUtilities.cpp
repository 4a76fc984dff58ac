#include "platform/foundation/NSPathUtilities.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <initializer_list>

#include "platform/foundation/NSString.h"

namespace {

enum Domain { User, Local, Network, System, DomainCount };

constexpr NSSearchPathDomainMask kDomainMasks[DomainCount] = {
    NSUserDomainMask, NSLocalDomainMask, NSNetworkDomainMask, NSSystemDomainMask};

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// The folders of `directory` inside one domain, relative to the domain's base.
std::vector<const char*> relativeFolders(NSSearchPathDirectory directory, Domain domain) {
    auto in = [domain](std::initializer_list<Domain> domains) {
        for (Domain d : domains)
            if (d == domain) return true;
        return false;
    };
    switch (directory) {
        case NSApplicationDirectory:
            return {"Applications"};
        case NSDemoApplicationDirectory:
            return {"Applications/Demos"};
        case NSAdminApplicationDirectory:
            return {"Applications/Utilities"};
        case NSDeveloperApplicationDirectory:
            return {"Developer/Applications"};
        case NSLibraryDirectory:
            return {"Library"};
        case NSUserDirectory:
            if (in({Local, Network})) return {"Users"};
            return {};
        case NSDocumentationDirectory:
            return {"Library/Documentation"};
        case NSCoreServiceDirectory:
            if (in({System})) return {"Library/CoreServices"};
            return {};
        case NSCachesDirectory:
            if (in({User, Local, System})) return {"Library/Caches"};
            return {};
        case NSApplicationSupportDirectory:
            if (in({User, Local, Network})) return {"Library/Application Support"};
            return {};
        case NSInputMethodsDirectory:
            return {"Library/Input Methods"};
        case NSPreferencePanesDirectory:
            if (in({User, Local, System})) return {"Library/PreferencePanes"};
            return {};
        case NSAllApplicationsDirectory:
            if (in({System})) return {"Applications", "Applications/Utilities"};
            return {"Applications", "Applications/Utilities", "Developer/Applications",
                    "Applications/Demos"};
        case NSAllLibrariesDirectory:
            if (in({System})) return {"Library"};
            return {"Library", "Developer"};
        case NSDocumentDirectory:
            if (in({User})) return {"Documents"};
            return {};
        case NSDesktopDirectory:
            if (in({User})) return {"Desktop"};
            return {};
        case NSDownloadsDirectory:
            if (in({User})) return {"Downloads"};
            return {};
        case NSMoviesDirectory:
            if (in({User})) return {"Movies"};
            return {};
        case NSMusicDirectory:
            if (in({User})) return {"Music"};
            return {};
        case NSPicturesDirectory:
            if (in({User})) return {"Pictures"};
            return {};
        case NSTrashDirectory:
            if (in({User})) return {".Trash"};
            return {};
    }
    return {};
}

}  // namespace

std::vector<std::string> NSSearchPathForDirectoriesInDomains(NSSearchPathDirectory directory,
                                                             NSSearchPathDomainMask domainMask,
                                                             bool expandTilde) {
    std::vector<std::string> paths;
    const std::string root = platformVolumeRoot();
    for (int d = User; d < DomainCount; ++d) {
        if (!(domainMask & kDomainMasks[d])) continue;
        const auto folders = relativeFolders(directory, static_cast<Domain>(d));
        if (folders.empty()) continue;
        std::string base;
        switch (d) {
            case User:
                base = expandTilde ? NSHomeDirectory() : std::string("~");
                break;
            case Local:
                base = root;
                break;
            case Network:
                base = ns::stringByAppendingPathComponent(root, "Network");
                break;
            default:
                base = ns::stringByAppendingPathComponent(root, "System");
                break;
        }
        for (const char* folder : folders)
            paths.push_back(ns::stringByAppendingPathComponent(base, folder));
    }
    return paths;
}

std::string NSHomeDirectory() {
    std::string home = environment("HOME");
    if (!home.empty()) return home;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && *found->pw_dir)
        return found->pw_dir;
    return "/";
}

std::string NSTemporaryDirectory() {
    std::string tmp = environment("TMPDIR");
    if (tmp.empty()) tmp = "/tmp";
    if (tmp.back() != '/') tmp.push_back('/');
    return tmp;
}

std::string platformVolumeRoot() {
    std::string root = environment("UNINSTALLER_ROOT");
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    return root.empty() ? std::string("/") : root;
}

std::string platformVolumePath(const std::string& relative) {
    return ns::stringByAppendingPathComponent(platformVolumeRoot(), relative);
}
