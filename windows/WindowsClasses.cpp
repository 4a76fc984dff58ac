#include "windows/WindowsClasses.h"

#include "windows/HMTrafficButtonsContainer.h"
#include "windows/PopWindow/PopWindowClasses.h"
#include "windows/TCWindowButton.h"
#include "windows/TCWindowButtonGroup.h"
#include "windows/TabBarView.h"

void registerWindowsClasses() {
    TCWindowButtonGroup::registerClass();
    TCWindowButton::registerClass();
    HMTrafficButtonsContainer::registerClass();
    TabBarView::registerClass();
    registerPopWindowClasses();
}
