#include "controls/showSelectImageCell.h"

void showSelectImageCell::registerClass() {
    ClassRegistry::shared().registerClass<showSelectImageCell, NSTextFieldCell>(
        "showSelectImageCell");
}
