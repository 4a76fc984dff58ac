#include "shell/ApplicationClasses.h"

#include "appsManager/AppsManagerClasses.h"
#include "controls/ControlsClasses.h"
#include "controls/sidebar/SidebarClasses.h"
#include "languages/LanguagesClasses.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/foundation/NSObject.h"
#include "services/Palette.h"
#include "shell/AboutVersionBgView.h"
#include "shell/EUCheckUpdateWindowController.h"
#include "shell/MyNSApplication.h"
#include "shell/OtherAppViewController.h"
#include "shell/TCPreferenceWindowController.h"
#include "shell/ToolBoxBgView.h"
#include "shell/ZRAppDelegate.h"
#include "windows/ImageWindowClasses.h"
#include "windows/WindowsClasses.h"

void registerApplicationClasses() {
    registerPlatformClasses();
    Palette::registerInterfaceColors();
    MyNSApplication::registerClass();
    ZRAppDelegate::registerClass();
    OtherAppViewController::registerClass();
    TCPreferenceWindowController::registerClass();
    EUCheckUpdateWindowController::registerClass();
    AboutVersionBgView::registerClass();
    ToolBoxBgView::registerClass();
    registerAppsManagerClasses();
    registerLanguagesClasses();
    registerSidebarClasses();
    registerControlsClasses();
    registerWindowsClasses();
    registerImageWindowClasses();
}
