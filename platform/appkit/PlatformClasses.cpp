#include "platform/appkit/PlatformClasses.h"

#include "platform/appkit/ControlClasses.h"
#include "platform/appkit/ListClasses.h"
#include "platform/appkit/MenuClasses.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSViewController.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/NSWindowController.h"
#include "platform/appkit/ScrollClasses.h"
#include "platform/appkit/TextEditingClasses.h"
#include "platform/foundation/NSObject.h"

void registerPlatformClasses() {
    NSObject::registerClass();
    NSView::registerClass();
    NSApplication::registerClass();
    NSWindow::registerClass();
    NSViewController::registerClass();
    NSWindowController::registerClass();
    registerAppKitControlClasses();
    registerAppKitMenuClasses();
    registerAppKitScrollClasses();
    registerAppKitListClasses();
    registerAppKitTextEditingClasses();
}
