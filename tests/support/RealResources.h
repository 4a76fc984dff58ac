#pragma once
// Links the application's real interface files and images into a test's own resources folder,
// so that a settings file written by the test can sit beside them.

#include <filesystem>

#include "support/FileFixtures.h"

namespace fixtures {

inline void linkRealInterfaceFilesAndImages(const std::filesystem::path& folder) {
    const std::filesystem::path real(UNINSTALLER_RESOURCES_DIR);
    std::filesystem::create_directory_symlink(real / "ui", folder / "ui");
    std::filesystem::create_directory_symlink(real / "images", folder / "images");
}

/// One such folder for the whole test run, made on first use. Images are cached by name with
/// their path and decoded when first drawn, so the folder must outlive every test.
inline const TempDir& sharedRealResources() {
    static const TempDir folder;
    static const bool linked = [] {
        linkRealInterfaceFilesAndImages(folder.path());
        return true;
    }();
    (void)linked;
    return folder;
}

}  // namespace fixtures
