#pragma once
// Size text of the uninstaller: byte counts written in decimal units ("12.35 MB") and read
// back with the same single-precision rules, and the size of a file or folder tree.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/coreservices/FSRef.h"
#include "platform/foundation/NSString.h"

class AMPublicUtilities {
  public:
    AMPublicUtilities() = delete;

    /// "%0.2f KB" up to 999999 bytes, "%0.2f MB" up to 999999999, "%0.2f GB" above.
    static std::string convertVolSpace(std::uint64_t bytes);
    /// The number part of convertVolSpace, without the unit.
    static std::string getSizeNoB(std::uint64_t bytes);
    /// The byte count of a size text ("KB", "MB", "GB", "TB"); anything else gives 0.
    static std::uint64_t volSpaceFromString(const NSStringOpt& text);
    /// The logical size of every regular file at or below the reference; 0 for none.
    static std::uint64_t sizeOfFileRef(const FSRef* ref);

    // The folders the catalogue walks for each kind of item, built afresh on every call; user
    // folders come before local ones, with the tilde expanded. Folders need not exist.
    /// The Applications folders of the user, local and network domains, then the local
    /// Developer Applications folder.
    static std::vector<std::string> applicationPaths();
    /// The plug-in subfolders of the user's, then the local Library folder, then the Input
    /// Methods folders of both.
    static std::vector<std::string> pluginPaths();
    /// The PreferencePanes folders of the user and local domains.
    static std::vector<std::string> preferencePanePaths();
    /// "Widgets" in the user's, then the local Library folder; the list is logged as "---%@".
    static std::vector<std::string> widgetPaths();
};
