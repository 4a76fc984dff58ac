#include "platform/appkit/NSWindow.h"

// The close, minimise and zoom buttons of titled windows.

void NSWindow::createStandardButtons() {}

void NSWindow::layoutStandardButtons() {}
