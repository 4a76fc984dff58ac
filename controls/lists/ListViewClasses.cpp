#include "controls/lists/ListViewClasses.h"

#include "controls/lists/CustemOutlineView.h"
#include "controls/lists/CustomHeaderCell.h"
#include "controls/lists/CustomTableView.h"
#include "controls/lists/EUCustomOutlineView.h"
#include "controls/lists/MyNewOutlineView.h"
#include "controls/lists/PopCustomHeaderCell.h"
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
