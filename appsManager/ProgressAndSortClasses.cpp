#include "appsManager/ProgressAndSortClasses.h"

#include "appsManager/EUProgressView.h"
#include "appsManager/NSProgressBar.h"
#include "appsManager/SortButton.h"
#include "appsManager/SortViewController.h"
#include "appsManager/UninstallProgressWindowController.h"
#include "services/Palette.h"

void registerProgressAndSortClasses() {
    NSProgressBar::registerClass();
    EUProgressView::registerClass();
    UninstallProgressWindowController::registerClass();
    SortButton::registerClass();
    SortViewController::registerClass();
    Palette::registerInterfaceColors();
}
