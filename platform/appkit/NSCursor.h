#pragma once
// Mouse cursors: the standard shapes the window system draws, the current cursor and a stack
// of cursors for code that shows one for a while and then puts the previous one back.

#include "platform/appkit/WindowBackend.h"
#include "platform/foundation/Ref.h"

class NSCursor {
  private:
    struct Key {};

  public:
    /// The standard arrow.
    static Ref<NSCursor> arrowCursor();
    /// The pointing hand shown over links.
    static Ref<NSCursor> pointingHandCursor();
    /// The I-beam shown over editable text.
    static Ref<NSCursor> IBeamCursor();
    /// The horizontal resize arrows.
    static Ref<NSCursor> resizeLeftRightCursor();
    /// The vertical resize arrows.
    static Ref<NSCursor> resizeUpDownCursor();
    /// The crosshair.
    static Ref<NSCursor> crosshairCursor();

    /// The cursor last made current (the arrow until another was set).
    static Ref<NSCursor> currentCursor();
    /// Makes the cursor below the top of the stack current again and removes the top; does
    /// nothing when nothing was pushed.
    static void pop();

    NSCursor(Key, WindowBackend::Cursor shape) : shape_(shape) {}

    /// Makes this cursor current (shown while the pointer is over the application's windows).
    void set();
    /// Remembers the current cursor on the stack and makes this one current.
    void push();
    /// The window system's shape behind this cursor.
    WindowBackend::Cursor shape() const { return shape_; }

  private:
    static Ref<NSCursor> standard(WindowBackend::Cursor shape);

    WindowBackend::Cursor shape_;
};
