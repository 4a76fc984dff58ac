#pragma once
// The application delegate: dresses the main window, builds the sidebar, switches between the
// three screen containers (making each screen's controller on first use) and answers the menu.

#include <string>
#include <vector>

#include "appsManager/AMMainViewController.h"
#include "platform/appkit/NSApplication.h"

class LeftTypeButton;
class NSImage;
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
    void checkUpdateAction(NSObject* sender);
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

    Ref<AMMainViewController> amMainVC_;
    Ref<ZRLanguagesViewController> languagesViewController_;
    Ref<OtherAppViewController> otherAppWC_;
    Ref<TCPreferenceWindowController> aboutWC_;
    Ref<LeftTypeButton> uApplication_, uwidgets_, upreferencePanes_, uPlugins_, rLanguages_,
        selectToolBox_;
    std::vector<Ref<LeftTypeButton>> allTypeArr_;
    NSTextField* titleLabel_ = nullptr;
    NSView* titleBarView_ = nullptr;
    WeakRef<NewView> typeView_;
    WeakRef<NSView> uninstallView_;
    WeakRef<TCImageWindow> window_;
    WeakRef<NSView> contentBox_;
    WeakRef<NSView> otherApp_;
    int app_type_ = 0;
    WeakRef<NSTextField> boldTextLabel_, regularTextLabel_, lightTextLabel_;
};
