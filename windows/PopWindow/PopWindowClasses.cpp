#include "windows/PopWindow/PopWindowClasses.h"

#include "windows/PopWindow/AttachedWindowBase.h"
#include "windows/PopWindow/MStatusAttachedWindow.h"
#include "windows/PopWindow/PopBaseWindow.h"
#include "windows/PopWindow/PopBgView.h"
#include "windows/PopWindow/PopWindowBgView.h"
#include "windows/PopWindow/StatusAttachedWindow.h"

void registerPopWindowClasses() {
    PopBaseWindow::registerClass();
    AttachedWindowBase::registerClass();
    StatusAttachedWindow::registerClass();
    MStatusAttachedWindow::registerClass();
    PopWindowBgView::registerClass();
    PopBgView::registerClass();
}
