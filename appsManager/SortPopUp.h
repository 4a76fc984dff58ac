#pragma once
// The sort pop-up of a list screen: the sort choices in an attached window over the screen's
// main window. It opens on the sort button, closes two seconds later unless the pointer went
// into it, closes when the pointer leaves it, and closes after a choice. The owning screen
// answers "isHiddenWindow" (the delayed close) by calling hideIfAway.

#include "platform/appkit/NSWindow.h"
#include "platform/foundation/NSObject.h"

class SortViewController;
class StatusAttachedWindow;

class SortPopUp {
  public:
    /// Closes a pop-up still open, as a closing screen must.
    ~SortPopUp();

    /// Opens the pop-up as a child of `parent` (replacing an open one), its choices told to
    /// `delegate`, and asks `owner` for "isHiddenWindow" two seconds later; a close timer of a
    /// replaced pop-up is cancelled. Nothing shows without a parent.
    void open(NSWindow* parent, NSObject& owner, const Ref<NSObject>& delegate);
    /// Closes and forgets the pop-up.
    void drop();
    /// The delayed close: closes the pop-up unless the pointer is inside it.
    void hideIfAway();
    /// The pointer left the pop-up (`exited`) or came into it.
    void pointerExited(bool exited);
    /// A choice was made: the pop-up closes.
    void choiceMade();

    /// Whether the pop-up may close (the pointer is not inside it).
    bool isPopSortWin() const { return isPopSortWin_; }
    /// The choices (nullptr before the first opening).
    SortViewController* sortVC() const { return sortVC_.get(); }
    /// The open pop-up, or nullptr.
    StatusAttachedWindow* window() const { return window_.get(); }

  private:
    Ref<SortViewController> sortVC_;
    Ref<StatusAttachedWindow> window_;
    NSWindow* parent_ = nullptr;
    bool isPopSortWin_ = false;
};
