#pragma once
// Standard folders: the home and temporary folders, the volume root, and the platform's search
// paths (NSSearchPathForDirectoriesInDomains). The user domain is $HOME; the local, network and
// system domains live on the volume root, "/" unless UNINSTALLER_ROOT names another folder (a
// mounted volume, the demo volume, a test fixture). The environment is read at every call.

#include <string>
#include <vector>

/// The standard folders, with the platform's values.
enum NSSearchPathDirectory : unsigned long {
    NSApplicationDirectory = 1,           ///< Applications
    NSDemoApplicationDirectory = 2,       ///< Applications/Demos
    NSDeveloperApplicationDirectory = 3,  ///< Developer/Applications
    NSAdminApplicationDirectory = 4,      ///< Applications/Utilities
    NSLibraryDirectory = 5,               ///< Library
    NSUserDirectory = 7,                  ///< Users (local and network domains)
    NSDocumentationDirectory = 8,         ///< Library/Documentation
    NSDocumentDirectory = 9,              ///< ~/Documents
    NSCoreServiceDirectory = 10,          ///< System/Library/CoreServices
    NSDesktopDirectory = 12,              ///< ~/Desktop
    NSCachesDirectory = 13,               ///< Library/Caches
    NSApplicationSupportDirectory = 14,   ///< Library/Application Support
    NSDownloadsDirectory = 15,            ///< ~/Downloads
    NSInputMethodsDirectory = 16,         ///< Library/Input Methods
    NSMoviesDirectory = 17,               ///< ~/Movies
    NSMusicDirectory = 18,                ///< ~/Music
    NSPicturesDirectory = 19,             ///< ~/Pictures
    NSPreferencePanesDirectory = 22,      ///< Library/PreferencePanes
    NSAllApplicationsDirectory = 100,     ///< every applications folder of each domain
    NSAllLibrariesDirectory = 101,        ///< every library folder of each domain
    NSTrashDirectory = 102,               ///< ~/.Trash
};

/// A set of domains, OR-ed from the constants below.
using NSSearchPathDomainMask = unsigned long;
enum : NSSearchPathDomainMask {
    NSUserDomainMask = 1,     ///< $HOME
    NSLocalDomainMask = 2,    ///< <root>
    NSNetworkDomainMask = 4,  ///< <root>/Network
    NSSystemDomainMask = 8,   ///< <root>/System
    NSAllDomainsMask = 0x0ffff,
};

/// The folders for `directory` in the domains of `domainMask`, in the order user, local,
/// network, system; user paths start with "~" unless `expandTilde`. Folders need not exist.
std::vector<std::string> NSSearchPathForDirectoriesInDomains(NSSearchPathDirectory directory,
                                                             NSSearchPathDomainMask domainMask,
                                                             bool expandTilde);

/// $HOME when set and not empty, else the home folder of the user's passwd entry, else "/".
std::string NSHomeDirectory();

/// $TMPDIR when set and not empty, else "/tmp"; always with a trailing slash, as the platform.
std::string NSTemporaryDirectory();

/// The volume root that the local, network and system domains (and the application's own
/// fixed folders, e.g. <root>/Applications) are resolved against: $UNINSTALLER_ROOT without
/// trailing slashes when set and not empty, else "/". Join with ns::stringByAppendingPathComponent
/// (or platformVolumePath) so that the root "/" gives "/Applications", not "//Applications".
std::string platformVolumeRoot();

/// `relative` (e.g. "Applications", "Library/Caches") resolved on the volume root.
std::string platformVolumePath(const std::string& relative);
