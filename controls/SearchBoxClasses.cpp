#include "controls/SearchBoxClasses.h"

#include "controls/NewSearchTextFiled.h"
#include "services/Palette.h"

void registerSearchBoxClasses() {
    NewSearchTextFiled::registerClass();
    Palette::registerInterfaceColors();
}
