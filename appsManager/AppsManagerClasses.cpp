#include "appsManager/AppsManagerClasses.h"

#include "appsManager/AMAppItem.h"
#include "appsManager/RelatedAppFilesScanner.h"

void registerAppsManagerClasses() {
    AMAppItem::registerClass();
}
