#include "controls/ControlsClasses.h"

#include "controls/EUHandButton.h"
#include "controls/KBButton/KBButtonClasses.h"
#include "controls/ListViewClasses.h"
#include "controls/RFOverlayScrollView/OverlayScrollClasses.h"
#include "controls/RowCellClasses.h"
#include "controls/SNRHUDSegmentedCell.h"
#include "controls/SearchBoxClasses.h"
#include "controls/TCImageButton.h"
#include "controls/TCTextLine.h"
#include "controls/TextImageButton.h"

void registerControlsClasses() {
    TextImageButton::registerClass();
    TCImageButton::registerClass();
    EUHandButton::registerClass();
    TCTextLine::registerClass();
    registerRowCellClasses();
    registerListViewClasses();
    registerSearchBoxClasses();
    registerOverlayScrollClasses();
    registerKBButtonClasses();
    SNRHUDSegmentedCell::registerClass();
}
