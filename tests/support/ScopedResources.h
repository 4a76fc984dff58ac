#pragma once
// Makes a folder the application's resources (the main bundle) for the life of a scope.

#include <string>

#include "platform/foundation/NSBundle.h"
#include "support/FileFixtures.h"

namespace fixtures {

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
