#include "platform/appkit/NSResponder.h"

#define PASS_ON(method)                                    \
    void NSResponder::method(NSEvent& event) {             \
        if (nextResponder_) nextResponder_->method(event); \
    }

PASS_ON(mouseDown)
PASS_ON(mouseUp)
PASS_ON(mouseDragged)
PASS_ON(mouseMoved)
PASS_ON(mouseEntered)
PASS_ON(mouseExited)
PASS_ON(rightMouseDown)
PASS_ON(rightMouseUp)
PASS_ON(rightMouseDragged)
PASS_ON(scrollWheel)
PASS_ON(keyDown)
PASS_ON(keyUp)
PASS_ON(flagsChanged)

#undef PASS_ON
