#include "windows/ImageWindowClasses.h"

#include "windows/QVTitlebarContainer.h"
#include "windows/QVTitlebarView.h"
#include "windows/TCImageWindow.h"

void registerImageWindowClasses() {
    TCImageWindow::registerClass();
    QVTitlebarContainer::registerClass();
    QVTitlebarView::registerClass();
}
