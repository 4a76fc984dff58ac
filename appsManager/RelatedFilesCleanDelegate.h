#pragma once
// What the review dialog tells the screen that opened it.

class RelatedFilesCleanDelegate {
  public:
    virtual ~RelatedFilesCleanDelegate() = default;
    /// The user confirmed the end of an uninstall; sent once, on the main thread.
    virtual void completeCleanRelatedFiles() = 0;
};
