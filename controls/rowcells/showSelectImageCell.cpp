#include "controls/rowcells/showSelectImageCell.h"

void showSelectImageCell::registerClass() {
    ClassRegistry::shared().registerClass<showSelectImageCell, NSTextFieldCell>(
        "showSelectImageCell");
}
