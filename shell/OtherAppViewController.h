#pragma once
// The controller of the Tool Box screen; its layout comes from its interface file.

#include "platform/appkit/NSViewController.h"

class OtherAppViewController : public NSViewController {
  public:
    static void registerClass();
};
