#include "controls/SearchBoxClasses.h"

#include "controls/NewSearchTextFiled.h"

void registerSearchBoxClasses() {
    NewSearchTextFiled::registerClass();
}
