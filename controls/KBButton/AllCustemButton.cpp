#include "controls/KBButton/AllCustemButton.h"

#include "controls/KBButton/NibCellClass.h"

Ref<NSCell> AllCustemButton::makeCell() const {
    return AllCustemButtonCell::make();
}

void AllCustemButton::initWithCoder(NibCoder& coder, const std::function<void()>& decode) {
    decodeWithOwnCellClass(*this, NSButton::makeCell().get(), makeCell().get(), coder, decode);
}

void AllCustemButton::registerClass() {
    ClassRegistry::shared().registerClass<AllCustemButton, NSButton>("AllCustemButton");
}
