#pragma once
// The controller of the uninstaller screens. Until the lists arrive it shows the headline of
// the chosen screen, so that navigation works from end to end.

#include <string>

#include "platform/appkit/NSViewController.h"

class NSTextField;
class NSWindow;

/// What the uninstaller screens tell the application delegate.
class AMMainViewControllerDelegate {
  public:
    virtual ~AMMainViewControllerDelegate() = default;
    virtual void refrashEnd() {}
};

class AMMainViewController : public NSViewController {
  public:
    void setMainWindow(NSWindow* window) { mainWindow_ = window; }
    NSWindow* mainWindow() const { return mainWindow_; }
    void setDelegate(const WeakRef<NSObject>& delegate) { delegate_ = delegate; }
    /// Builds the screen's controls (the headline for now).
    void loadAmMainVC();
    /// Shows the list of `kind` (0 applications, 1 plug-ins, 2 preference panes, 3 widgets).
    void selectShowTypes(int kind);
    /// Sets the headline's title and subtitle for sidebar entry `entry`.
    void changeTopBarViewWith(int entry);

    /// The headline texts of sidebar entry `entry` (0 for values outside 1 to 5).
    static std::pair<std::string, std::string> headlineFor(int entry);
    int aSelectType() const { return aSelectType_; }
    NSTextField* titleLabel() const { return titleLabel_; }
    NSTextField* subtitleLabel() const { return subtitleLabel_; }

    static void registerClass();

  private:
    NSWindow* mainWindow_ = nullptr;
    WeakRef<NSObject> delegate_;
    NSTextField* titleLabel_ = nullptr;
    NSTextField* subtitleLabel_ = nullptr;
    int aSelectType_ = 0;
};
