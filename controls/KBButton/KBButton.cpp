#include "controls/KBButton/KBButton.h"

#include "controls/KBButton/NibCellClass.h"

Ref<NSCell> KBButton::makeCell() const {
    return KBButtonCell::make();
}

void KBButton::setKBButtonType(std::int32_t type) {
    if (auto* kb = dynamic_cast<KBButtonCell*>(NSControl::cell())) kb->setKBButtonType(type);
}

void KBButton::initWithCoder(NibCoder& coder, const std::function<void()>& decode) {
    decodeWithOwnCellClass(*this, NSButton::makeCell().get(), makeCell().get(), coder, decode);
}

void KBButton::registerClass() {
    ClassRegistry::shared()
        .registerClass<KBButton, NSButton>("KBButton")
        .property("kbButtonType", &KBButton::setKBButtonType);
}
