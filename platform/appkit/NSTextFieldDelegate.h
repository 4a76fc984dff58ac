#pragma once
// What a text field tells its delegate while it is edited, and the notifications it posts
// with the field as object. The end-of-editing notification carries the movement that ended
// editing under "NSTextMovement" (a long: 16 Return, 17 Tab, 18 Back-tab, 0 otherwise).

#include "platform/foundation/NSNotificationCenter.h"

/// Posted at the first change of an editing session.
extern const NSNotificationName NSControlTextDidBeginEditingNotification;
/// Posted after every change the user makes.
extern const NSNotificationName NSControlTextDidChangeNotification;
/// Posted when editing ends (Return, Tab, Back-tab, or focus going elsewhere).
extern const NSNotificationName NSControlTextDidEndEditingNotification;

/// A text field's delegate; every message is optional.
class NSTextFieldDelegate {
  public:
    virtual ~NSTextFieldDelegate() = default;
    virtual void controlTextDidBeginEditing(const NSNotification& /*notification*/) {}
    virtual void controlTextDidChange(const NSNotification& /*notification*/) {}
    virtual void controlTextDidEndEditing(const NSNotification& /*notification*/) {}
};
