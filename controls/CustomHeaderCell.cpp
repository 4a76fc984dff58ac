#include "controls/CustomHeaderCell.h"

#include "platform/foundation/ClassRegistry.h"
#include "services/getColor.h"

Ref<NSCell> CustomHeaderCell::clone() const {
    return std::shared_ptr<CustomHeaderCell>(new CustomHeaderCell(*this));
}

Ref<NSColor> CustomHeaderCell::headerFillColor() const {
    return getColor(50, 54, 57, 1.0);
}

void CustomHeaderCell::registerClass() {
    ClassRegistry::shared().registerClass<CustomHeaderCell, NSTableHeaderCell>("CustomHeaderCell");
}
