#include "controls/PopCustomHeaderCell.h"

#include "platform/foundation/ClassRegistry.h"
#include "services/getColor.h"

Ref<NSCell> PopCustomHeaderCell::clone() const {
    return std::shared_ptr<PopCustomHeaderCell>(new PopCustomHeaderCell(*this));
}

Ref<NSColor> PopCustomHeaderCell::headerFillColor() const {
    return getColor(39, 40, 43, 1.0);
}

void PopCustomHeaderCell::registerClass() {
    ClassRegistry::shared().registerClass<PopCustomHeaderCell, NSTableHeaderCell>(
        "PopCustomHeaderCell");
}
