#include <cmath>

#include "platform/appkit/NSWindow.h"
#include "platform/appkit/NSWindowFrameView.h"
#include "platform/appkit/theme/StandardWindowButton.h"
#include "platform/appkit/theme/WindowTheme.h"

// The close, minimise and zoom buttons of titled windows: made once, placed at the platform's
// positions whenever the frame changes; a window style without the ability disables them.

void NSWindow::createStandardButtons() {
    if (!(styleMask_ & NSWindowStyleMaskTitled)) return;
    static const char* const actions[] = {"performClose:", "performMiniaturize:", "performZoom:"};
    for (int kind = 0; kind < 3; ++kind) {
        auto button = StandardWindowButton::make(kind);
        button->setTarget(weak_from_this());
        button->setAction(SEL(actions[kind]));
        frameView_->addSubview(button);
        standardButtons_.push_back(button);
    }
    layoutStandardButtons();
}

void NSWindow::layoutStandardButtons() {
    if (standardButtons_.empty()) return;
    using namespace platform::theme;
    const double y = frame_.size.height - kTitleBarHeight +
                     std::round((kTitleBarHeight - kWindowButtonSize) / 2);
    const NSWindowStyleMask needs[] = {NSWindowStyleMaskClosable, NSWindowStyleMaskMiniaturizable,
                                       NSWindowStyleMaskResizable};
    double x = kWindowButtonLeftMargin;
    for (std::size_t i = 0; i < standardButtons_.size(); ++i) {
        auto& button = standardButtons_[i];
        button->setFrameOrigin(NSMakePoint(x, y));
        // Zoom also works for windows that are not resizable by the user's drag.
        button->setEnabled(i == 2 || (styleMask_ & needs[i]));
        x += kWindowButtonSize + kWindowButtonSeparation;
    }
}
