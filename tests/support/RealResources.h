#pragma once
// Links the application's real interface files and images into a test's own resources folder,
// so that a settings file written by the test can sit beside them.

#include <filesystem>

namespace fixtures {

inline void linkRealInterfaceFilesAndImages(const std::filesystem::path& folder) {
    const std::filesystem::path real(UNINSTALLER_RESOURCES_DIR);
    std::filesystem::create_directory_symlink(real / "ui", folder / "ui");
    std::filesystem::create_directory_symlink(real / "images", folder / "images");
}

}  // namespace fixtures
