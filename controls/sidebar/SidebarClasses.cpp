#include "controls/sidebar/SidebarClasses.h"

#include "controls/sidebar/LeftTypeButton.h"
#include "controls/sidebar/LetfBgView.h"
#include "controls/sidebar/NewView.h"
#include "controls/sidebar/SubBgView.h"
#include "controls/sidebar/TopImageCell.h"
#include "controls/sidebar/TopImageView.h"

void registerSidebarClasses() {
    LeftTypeButton::registerClass();
    NewView::registerClass();
    LetfBgView::registerClass();
    SubBgView::registerClass();
    TopImageCell::registerClass();
    TopImageView::registerClass();
}
