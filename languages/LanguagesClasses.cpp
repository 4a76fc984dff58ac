#include "languages/LanguagesClasses.h"

#include "languages/RemoveLagEndWindowController.h"
#include "languages/ShowRemoveLagWindowController.h"
#include "languages/ZRLanguagesViewController.h"
#include "services/Palette.h"

void registerLanguagesClasses() {
    RemoveLagEndWindowController::registerClass();
    ShowRemoveLagWindowController::registerClass();
    ZRLanguagesViewController::registerClass();
    Palette::registerInterfaceColors();
}
