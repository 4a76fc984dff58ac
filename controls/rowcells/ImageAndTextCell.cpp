#include "controls/rowcells/ImageAndTextCell.h"

void ImageAndTextCell::registerClass() {
    ClassRegistry::shared().registerClass<ImageAndTextCell, NSTextFieldCell>("ImageAndTextCell");
}
