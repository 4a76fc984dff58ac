#include "appsManager/ProgressAndSortClasses.h"

#include "appsManager/EUProgressView.h"
#include "appsManager/NSProgressBar.h"
#include "appsManager/SortButton.h"
#include "appsManager/SortViewController.h"
#include "appsManager/UninstallProgressWindowController.h"

void registerProgressAndSortClasses() {
    NSProgressBar::registerClass();
    EUProgressView::registerClass();
    UninstallProgressWindowController::registerClass();
    SortButton::registerClass();
    SortViewController::registerClass();
}
