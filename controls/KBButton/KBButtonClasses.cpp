#include "controls/KBButton/KBButtonClasses.h"

#include "controls/KBButton/AllCustemButton.h"
#include "controls/KBButton/AllCustemButtonCell.h"
#include "controls/KBButton/KBButton.h"
#include "controls/KBButton/KBButtonCell.h"

void registerKBButtonClasses() {
    KBButtonCell::registerClass();
    KBButton::registerClass();
    AllCustemButtonCell::registerClass();
    AllCustemButton::registerClass();
}
