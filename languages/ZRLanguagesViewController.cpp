#include "languages/ZRLanguagesViewController.h"

void ZRLanguagesViewController::registerClass() {
    ClassRegistry::shared().registerClass<ZRLanguagesViewController, NSViewController>(
        "ZRLanguagesViewController");
}
