#include "appsManager/AppsManagerClasses.h"

#include "appsManager/AMAppItem.h"

void registerAppsManagerClasses() {
    AMAppItem::registerClass();
}
