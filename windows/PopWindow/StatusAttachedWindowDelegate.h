#pragma once
// What a StatusAttachedWindow tells its delegate. Both messages are optional: a delegate
// adopts StatusAttachedWindowDelegate, and answers a message by adopting the small class
// that declares it as well; the window sends only the messages its delegate answers.

class StatusAttachedWindowDelegate {
  public:
    virtual ~StatusAttachedWindowDelegate() = default;
};

/// Answers mouseInWindow:.
class StatusAttachedWindowMouseDelegate : public virtual StatusAttachedWindowDelegate {
  public:
    /// true when the mouse enters the window's content view, false when it leaves it.
    virtual void mouseInWindow(bool inside) = 0;
};

/// Answers isHiddenWindow.
class StatusAttachedWindowHidingDelegate : public virtual StatusAttachedWindowDelegate {
  public:
    /// The window has stopped being the key window.
    virtual void isHiddenWindow() = 0;
};
