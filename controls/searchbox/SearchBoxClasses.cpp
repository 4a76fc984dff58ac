#include "controls/searchbox/SearchBoxClasses.h"

#include "controls/searchbox/NewSearchTextFiled.h"
#include "services/Palette.h"

void registerSearchBoxClasses() {
    NewSearchTextFiled::registerClass();
    Palette::registerInterfaceColors();
}
