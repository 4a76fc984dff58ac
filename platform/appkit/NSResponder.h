#pragma once
// The responder chain: objects that take events, passing what they do not handle to their
// next responder.

#include "platform/foundation/NSObject.h"

class NSEvent;

class NSResponder : public NSObject {
  public:
    /// The responder that gets the events this one passes on (not retained).
    NSResponder* nextResponder() const { return nextResponder_; }
    void setNextResponder(NSResponder* responder) { nextResponder_ = responder; }

    /// Whether a window may make this object its first responder (false by default).
    virtual bool acceptsFirstResponder() { return false; }
    /// Asked before becoming first responder; true accepts.
    virtual bool becomeFirstResponder() { return true; }
    /// Asked before giving up first-responder status; true agrees.
    virtual bool resignFirstResponder() { return true; }

    // Each default passes the event to the next responder (and drops it at the end).
    virtual void mouseDown(NSEvent& event);
    virtual void mouseUp(NSEvent& event);
    virtual void mouseDragged(NSEvent& event);
    virtual void mouseMoved(NSEvent& event);
    virtual void mouseEntered(NSEvent& event);
    virtual void mouseExited(NSEvent& event);
    virtual void rightMouseDown(NSEvent& event);
    virtual void rightMouseUp(NSEvent& event);
    virtual void rightMouseDragged(NSEvent& event);
    virtual void scrollWheel(NSEvent& event);
    virtual void keyDown(NSEvent& event);
    virtual void keyUp(NSEvent& event);
    virtual void flagsChanged(NSEvent& event);

  private:
    NSResponder* nextResponder_ = nullptr;
};
