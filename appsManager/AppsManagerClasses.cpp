#include "appsManager/AppsManagerClasses.h"

#include "appsManager/AMAppItem.h"
#include "appsManager/AMMainViewController.h"
#include "appsManager/RelatedAppFilesScanner.h"

void registerAppsManagerClasses() {
    AMAppItem::registerClass();
    AMMainViewController::registerClass();
}
