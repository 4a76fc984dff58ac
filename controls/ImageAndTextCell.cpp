#include "controls/ImageAndTextCell.h"

void ImageAndTextCell::registerClass() {
    ClassRegistry::shared().registerClass<ImageAndTextCell, NSTextFieldCell>("ImageAndTextCell");
}
