#pragma once
// The application delegate: dresses the main window, builds the sidebar, switches between the
// three screen containers (making each screen's controller on first use) and answers the menu.

#include <string>
#include <vector>

#include "appsManager/AMMainViewController.h"
#include "platform/appkit/NSApplication.h"

class EUCheckUpdateWindowController;
class LeftTypeButton;
class NSImage;
class NSImageView;
class NSTextField;
class NSView;
class NewView;
class OtherAppViewController;
class TCPreferenceWindowController;
class TCImageWindow;
class ZRLanguagesViewController;

class ZRAppDelegate : public NSObject,
                      public NSApplicationDelegate,
                      public AMMainViewControllerDelegate {
  public:
    void awakeFromNib() override;
    void applicationDidFinishLaunching(const NSNotification& notification) override;
    /// Dresses the main window and builds the sidebar; a second call rebuilds them in place.
    void runRootWindow();

    /// A sidebar entry, made by the caller's rules: frame, icons, title and action.
    static Ref<LeftTypeButton> leftButtonWithNormalImage(const Ref<NSImage>& normal,
                                                         const Ref<NSImage>& hover,
                                                         const std::string& title, NSRect rect,
                                                         SEL action);

    // Screen actions; the sidebar sends its tag as a decimal string.
    void selectUninstallView(const std::string& sender);
    void selectSmailView(const std::string& sender);
    void selectOtherAppView(const std::string& sender);
    void changeTopBarViewWith(int type);
    /// Ends the process at once with status 0.
    void closeWindow(NSObject* sender);

    // Menu actions.
    void showAboutWindow(NSObject* sender);
    void aboutMenuItemClick(NSObject* sender);
    /// The manual update check: the update dialog, made on first use and kept, so that a
    /// second check shows the first one's result at once.
    void checkUpdateAction(NSObject* sender);
    /// The automatic update check, at most once per installation: shows the dialog only when
    /// the update description has a newer build and the network answers. It waits for the
    /// network on the calling thread (the main thread), for several seconds at worst.
    void checkUpdata();
    void showHelpWindow(NSObject* sender);
    void userGuideMenuAction(NSObject* sender);
    void showCleanerPage(NSObject* sender);
    void showDiskLensPage(NSObject* sender);
    void showDuplicatesPage(NSObject* sender);
    void showPhotoSweeperPage(NSObject* sender);
    void showBatteryPage(NSObject* sender);
    void showMarrowgleamPage(NSObject* sender);
    /// Puts a title label into the title bar (not part of the start-up).
    void addTitle();

    // Outlets (not retained).
    NewView* typeView() const;
    NSView* uninstallView() const;
    TCImageWindow* window() const;
    NSView* contentBox() const;
    NSView* otherApp() const;
    NSTextField* boldTextLabel() const;
    NSTextField* regularTextLabel() const;
    NSTextField* lightTextLabel() const;

    // State, for the owner's checks.
    const std::vector<Ref<LeftTypeButton>>& allTypeArr() const { return allTypeArr_; }
    int appType() const { return app_type_; }
    AMMainViewController* amMainVC() const { return amMainVC_.get(); }
    ZRLanguagesViewController* languagesViewController() const {
        return languagesViewController_.get();
    }
    OtherAppViewController* otherAppWC() const { return otherAppWC_.get(); }
    /// The update dialog; nullptr before the first check that showed it.
    EUCheckUpdateWindowController* checkUpdateWindow() const { return checkUpdateWindow_.get(); }
    /// The last About window opened; nullptr before the first.
    TCPreferenceWindowController* aboutWC() const { return aboutWC_.get(); }
    NSView* titleBarView() const { return titleBarView_; }
    NSTextField* titleLabel() const { return titleLabel_; }

    /// The addresses the menu opens.
    static const char* const kSupportPage;
    static const char* const kUserGuidePage;

    /// Replaces the process exit of closeWindow: (tests).
    static void setExitForTesting(void (*exitFunction)(int));

    static void registerClass();

  private:
    void markSelected(LeftTypeButton* entry);
    void showContainer(NSView* visible);
    void openPage(const char* url);
    void runUpdateDialog(bool aboveOthers);

    Ref<EUCheckUpdateWindowController> checkUpdateWindow_;
    Ref<AMMainViewController> amMainVC_;
    Ref<ZRLanguagesViewController> languagesViewController_;
    Ref<OtherAppViewController> otherAppWC_;
    Ref<TCPreferenceWindowController> aboutWC_;
    Ref<LeftTypeButton> uApplication_, uwidgets_, upreferencePanes_, uPlugins_, rLanguages_,
        selectToolBox_;
    std::vector<Ref<LeftTypeButton>> allTypeArr_;
    NSTextField* titleLabel_ = nullptr;
    NSView* titleBarView_ = nullptr;
    WeakRef<NSImageView> titleBarImage_;
    WeakRef<NewView> typeView_;
    WeakRef<NSView> uninstallView_;
    WeakRef<TCImageWindow> window_;
    WeakRef<NSView> contentBox_;
    WeakRef<NSView> otherApp_;
    int app_type_ = 0;
    WeakRef<NSTextField> boldTextLabel_, regularTextLabel_, lightTextLabel_;
};
