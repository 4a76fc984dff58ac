#pragma once
// Makes a folder the application's resources (the main bundle) for the life of a scope.

#include <string>

#include "platform/foundation/NSBundle.h"
#include "support/FileFixtures.h"

namespace fixtures {

/// A StringMessage.plist naming the label fonts: a serif face stands in for the light one, so
/// that text drawn in the two differs.
inline constexpr const char* kLabelFontSettings = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>FontLight</key><string>DejaVuSerif</string>
  <key>FontRegular</key><string>DejaVuSans</string>
</dict></plist>)";

class ScopedResources {
  public:
    explicit ScopedResources(const std::string& folder) : env_("UNINSTALLER_RESOURCES", folder) {
        NSBundle::setMainBundleForTesting(std::nullopt);
    }
    ~ScopedResources() { NSBundle::setMainBundleForTesting(std::nullopt); }
    ScopedResources(const ScopedResources&) = delete;
    ScopedResources& operator=(const ScopedResources&) = delete;

  private:
    ScopedEnv env_;
};

}  // namespace fixtures
