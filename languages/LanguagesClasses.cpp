#include "languages/LanguagesClasses.h"

#include "languages/ZRLanguagesViewController.h"

void registerLanguagesClasses() {
    ZRLanguagesViewController::registerClass();
}
