#include "controls/sidebar/TopImageCell.h"

void TopImageCell::registerClass() {
    ClassRegistry::shared().registerClass<TopImageCell, NSImageCell>("TopImageCell");
}
