#include "shell/OtherAppViewController.h"

void OtherAppViewController::registerClass() {
    ClassRegistry::shared().registerClass<OtherAppViewController, NSViewController>(
        "OtherAppViewController");
}
