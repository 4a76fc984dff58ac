#include "platform/foundation/NSObject.h"

void registerPlatformClasses() {
    NSObject::registerClass();
}
