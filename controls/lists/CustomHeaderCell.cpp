#include "controls/lists/CustomHeaderCell.h"

#include "platform/foundation/ClassRegistry.h"
#include "services/Palette.h"

Ref<NSCell> CustomHeaderCell::clone() const {
    return std::shared_ptr<CustomHeaderCell>(new CustomHeaderCell(*this));
}

Ref<NSColor> CustomHeaderCell::headerFillColor() const {
    return Palette::headerGrey();
}

void CustomHeaderCell::registerClass() {
    ClassRegistry::shared().registerClass<CustomHeaderCell, NSTableHeaderCell>("CustomHeaderCell");
}
