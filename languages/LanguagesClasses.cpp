#include "languages/LanguagesClasses.h"

#include "languages/RemoveLagEndWindowController.h"
#include "languages/ShowRemoveLagWindowController.h"
#include "languages/ZRLanguagesViewController.h"

void registerLanguagesClasses() {
    RemoveLagEndWindowController::registerClass();
    ShowRemoveLagWindowController::registerClass();
    ZRLanguagesViewController::registerClass();
}
