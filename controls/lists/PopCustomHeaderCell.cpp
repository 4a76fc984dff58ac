#include "controls/lists/PopCustomHeaderCell.h"

#include "platform/foundation/ClassRegistry.h"
#include "services/Palette.h"

Ref<NSCell> PopCustomHeaderCell::clone() const {
    return std::shared_ptr<PopCustomHeaderCell>(new PopCustomHeaderCell(*this));
}

Ref<NSColor> PopCustomHeaderCell::headerFillColor() const {
    return Palette::popUpHeaderGrey();
}

void PopCustomHeaderCell::registerClass() {
    ClassRegistry::shared().registerClass<PopCustomHeaderCell, NSTableHeaderCell>(
        "PopCustomHeaderCell");
}
