#include "shell/ApplicationClasses.h"

#include "appsManager/AppsManagerClasses.h"
#include "controls/SidebarClasses.h"
#include "languages/LanguagesClasses.h"
#include "platform/foundation/NSObject.h"
#include "shell/MyNSApplication.h"
#include "shell/OtherAppViewController.h"

void registerApplicationClasses() {
    registerPlatformClasses();
    MyNSApplication::registerClass();
    OtherAppViewController::registerClass();
    registerAppsManagerClasses();
    registerLanguagesClasses();
    registerSidebarClasses();
}
