#include "controls/kit/KBButton/KBButtonClasses.h"

#include "controls/kit/KBButton/AllCustemButton.h"
#include "controls/kit/KBButton/AllCustemButtonCell.h"
#include "controls/kit/KBButton/KBButton.h"
#include "controls/kit/KBButton/KBButtonCell.h"

void registerKBButtonClasses() {
    KBButtonCell::registerClass();
    KBButton::registerClass();
    AllCustemButtonCell::registerClass();
    AllCustemButton::registerClass();
}
