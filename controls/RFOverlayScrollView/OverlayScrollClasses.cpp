#include "controls/RFOverlayScrollView/OverlayScrollClasses.h"

#include "controls/RFOverlayScrollView/RFOverlayScrollView.h"
#include "controls/RFOverlayScrollView/RFOverlayScroller.h"

void registerOverlayScrollClasses() {
    RFOverlayScroller::registerClass();
    RFOverlayScrollView::registerClass();
}
