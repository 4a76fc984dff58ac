#pragma once
// The controller of the Languages screen. Until the language lists arrive it shows an empty
// screen and counts its scans, so that navigation works from end to end.

#include "platform/appkit/NSViewController.h"

class NSWindow;

class ZRLanguagesViewController : public NSViewController {
  public:
    void setMainWindow(NSWindow* window) { mainWindow_ = window; }
    NSWindow* mainWindow() const { return mainWindow_; }
    /// Starts the language scan (once per process, on the screen's first showing).
    void loadData() { ++scans_; }
    int scanCount() const { return scans_; }

    static void registerClass();

  private:
    NSWindow* mainWindow_ = nullptr;
    int scans_ = 0;
};
