#include "appsManager/AppsManagerClasses.h"

#include "appsManager/AMAppItem.h"
#include "appsManager/AMAppsViewController.h"
#include "appsManager/AMDisclosureArrowCell.h"
#include "appsManager/AMMainViewController.h"
#include "appsManager/AMRelatedFilesGroup.h"
#include "appsManager/AMRelatedFilesWindowController.h"
#include "appsManager/ProgressAndSortClasses.h"
#include "appsManager/RelatedAppFilesScanner.h"
#include "services/Palette.h"

void registerAppsManagerClasses() {
    AMAppItem::registerClass();
    AMMainViewController::registerClass();
    AMAppsViewController::registerClass();
    AMRelatedFilesGroup::registerClass();
    AMDisclosureArrowCell::registerClass();
    AMRelatedFilesWindowController::registerClass();
    registerProgressAndSortClasses();
    Palette::registerInterfaceColors();
}
