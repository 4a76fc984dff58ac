#pragma once
// What the application uninstaller's delete executor reports, on its background thread.

#include "appsManager/AMAppItem.h"

class AsMDeleteExecutorDelegate {
  public:
    virtual ~AsMDeleteExecutorDelegate() = default;
    /// `entry` was removed.
    virtual void deleteRelatedFile(const Ref<AMAppItem>& entry) = 0;
    /// The removal of `entry` failed.
    virtual void deleteRelatedFileFail(const Ref<AMAppItem>& entry) = 0;
};
