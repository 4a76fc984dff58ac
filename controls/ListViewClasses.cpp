#include "controls/ListViewClasses.h"

#include "controls/CustemOutlineView.h"
#include "controls/CustomHeaderCell.h"
#include "controls/CustomTableView.h"
#include "controls/EUCustomOutlineView.h"
#include "controls/MyNewOutlineView.h"
#include "controls/PopCustomHeaderCell.h"
#include "platform/appkit/ListClasses.h"

void registerListViewClasses() {
    registerAppKitListClasses();
    CustomHeaderCell::registerClass();
    PopCustomHeaderCell::registerClass();
    CustomTableView::registerClass();
    CustemOutlineView::registerClass();
    MyNewOutlineView::registerClass();
    EUCustomOutlineView::registerClass();
}
