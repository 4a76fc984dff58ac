#include "controls/SidebarClasses.h"

#include "controls/LeftTypeButton.h"
#include "controls/LetfBgView.h"
#include "controls/NewView.h"
#include "controls/SubBgView.h"
#include "controls/TopImageCell.h"
#include "controls/TopImageView.h"

void registerSidebarClasses() {
    LeftTypeButton::registerClass();
    NewView::registerClass();
    LetfBgView::registerClass();
    SubBgView::registerClass();
    TopImageCell::registerClass();
    TopImageView::registerClass();
}
