#include "controls/ControlsClasses.h"

#include "controls/KBButton/KBButtonClasses.h"
#include "controls/RFOverlayScrollView/OverlayScrollClasses.h"
#include "controls/buttons/EUHandButton.h"
#include "controls/buttons/TCImageButton.h"
#include "controls/buttons/TCTextLine.h"
#include "controls/buttons/TextImageButton.h"
#include "controls/kit/SNRHUDSegmentedCell.h"
#include "controls/lists/ListViewClasses.h"
#include "controls/rowcells/RowCellClasses.h"
#include "controls/searchbox/SearchBoxClasses.h"

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
