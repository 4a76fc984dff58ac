#pragma once
// What a MStatusAttachedWindow tells its delegate. Both messages are optional: a delegate
// adopts MStatusAttachedWindowDelegate, and answers a message by adopting the small class
// that declares it as well; the window sends only the messages its delegate answers.

class MStatusAttachedWindowDelegate {
  public:
    virtual ~MStatusAttachedWindowDelegate() = default;
};

/// Answers mouseInWindow:.
class MStatusAttachedWindowMouseDelegate : public virtual MStatusAttachedWindowDelegate {
  public:
    /// true when the mouse enters the window's content view, false when it leaves it.
    virtual void mouseInWindow(bool inside) = 0;
};

/// Answers isHiddenWindow.
class MStatusAttachedWindowHidingDelegate : public virtual MStatusAttachedWindowDelegate {
  public:
    /// The window has stopped being the key window.
    virtual void isHiddenWindow() = 0;
};
