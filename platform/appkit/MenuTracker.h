#pragma once
// Tracking an open menu: the cascade of menu windows, the highlight that follows the pointer
// and the arrow keys, and the loop that runs until an item is chosen or the menu is dismissed.
//
// Mouse: a click on an enabled item chooses it, and so does the release after pressing the
// button that opened the menu and dragging onto an item; a press outside the menus, or a
// release outside after such a drag, dismisses them. Hovering a submenu's item opens the
// submenu to the right (to the left when there is no room). Keys: Up and Down move in the
// deepest open menu, Right (or Return on a submenu's item) opens the submenu, Left closes it,
// Return or Enter chooses, Escape dismisses.

#include <vector>

#include "platform/appkit/MenuWindow.h"

class NSEvent;

class MenuTracker {
  public:
    /// Validates `menu` and shows it: its top-left corner at `location` (screen coordinates),
    /// or, when `positioningItem` is one of its items, that item's row centred on `location`
    /// and highlighted. `openedByPress` tells that a mouse button is down, so that its release
    /// can choose an item once the pointer has moved.
    MenuTracker(const Ref<NSMenu>& menu, NSMenuItem* positioningItem, NSPoint location,
                bool openedByPress);
    /// Closes every window that is still open.
    ~MenuTracker();
    MenuTracker(const MenuTracker&) = delete;
    MenuTracker& operator=(const MenuTracker&) = delete;

    /// Whether a window is showing (false for a menu with no visible item).
    bool isShowing() const { return !levels_.empty(); }
    /// Runs the event loop (NSEventTrackingRunLoopMode) until an item is chosen or the menu is
    /// dismissed, then closes the windows. Returns the chosen item; nothing is sent.
    Ref<NSMenuItem> track();
    /// Handles one event; answers false once the menu is done (chosen or dismissed).
    bool handleEvent(NSEvent& event);

    /// The open menu windows, the top menu first.
    std::size_t levelCount() const { return levels_.size(); }
    MenuWindow* windowAtLevel(std::size_t level) const;
    /// The item chosen so far (nullptr while tracking or when dismissed).
    const Ref<NSMenuItem>& chosenItem() const { return chosen_; }
    bool isDone() const { return done_; }

    /// The tracker whose loop is running, or nullptr (tests reach the open windows through it).
    static MenuTracker* current();

  private:
    struct Hit {
        long level = -1;
        long index = -1;
    };
    Hit hitAt(NSPoint screenPoint) const;
    NSPoint screenLocation(const NSEvent& event) const;
    /// Highlights `index` in `level`, closes deeper menus and opens the item's submenu.
    void highlight(long level, long index);
    void openSubmenu(long level, long index);
    void closeLevelsAbove(long level);
    void pointerMoved(NSPoint screenPoint);
    void mouseDown(NSPoint screenPoint);
    void mouseUp(NSPoint screenPoint);
    void keyDown(const NSEvent& event);
    void choose(long level, long index);
    void finish(Ref<NSMenuItem> chosen);
    void closeAll();

    std::vector<Ref<MenuWindow>> levels_;
    Ref<NSMenuItem> chosen_;
    bool done_ = false;
    /// Whether a release may choose: a press happened in a menu, or the pointer moved.
    bool armed_;
    NSPoint openedAt_;
};
