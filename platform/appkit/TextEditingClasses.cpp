#include "platform/appkit/TextEditingClasses.h"

#include "platform/appkit/ControlClasses.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSTextView.h"
#include "platform/foundation/ClassRegistry.h"

void registerAppKitTextEditingClasses() {
    registerAppKitControlClasses();
    NSTextView::registerClass();
    ClassRegistry::shared()
        .registerClass<NSTextField, NSControl>("NSTextField")
        .action("selectText:", &NSTextField::selectText)
        .outlet("delegate", &NSTextField::setNibDelegate);
}
