#include "platform/appkit/MenuTracker.h"

#include <cmath>

#include "platform/appkit/KeyEquivalent.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSScreen.h"
#include "platform/appkit/theme/MenuTheme.h"
#include "platform/foundation/NSDate.h"

namespace {

MenuTracker* gCurrent = nullptr;

// Cascades deeper than this are a mistake in the menus; they stop opening.
constexpr std::size_t kMaxLevels = 16;
// The input an open menu takes; other events stay queued for the application.
constexpr NSEventMask kTrackedEvents =
    NSEventMaskLeftMouseDown | NSEventMaskLeftMouseUp | NSEventMaskRightMouseDown |
    NSEventMaskRightMouseUp | NSEventMaskMouseMoved | NSEventMaskLeftMouseDragged |
    NSEventMaskRightMouseDragged | NSEventMaskKeyDown | NSEventMaskKeyUp | NSEventMaskFlagsChanged |
    NSEventMaskScrollWheel;
// How far the pointer moves before a release of the opening press may choose an item.
constexpr double kDragThreshold = 3;

// The platform's private-use characters of the arrow keys, in UTF-8.
const std::string kUpArrow = "\xEF\x9C\x80";
const std::string kDownArrow = "\xEF\x9C\x81";
const std::string kLeftArrow = "\xEF\x9C\x82";
const std::string kRightArrow = "\xEF\x9C\x83";

}  // namespace

MenuTracker::MenuTracker(const Ref<NSMenu>& menu, NSMenuItem* positioningItem, NSPoint location,
                         bool openedByPress)
    : armed_(!openedByPress), openedAt_(location) {
    if (!menu) return;
    menu->update();
    auto window = MenuWindow::make(menu, location);
    if (!window->hasRows()) return;
    long index = positioningItem ? menu->indexOfItem(positioningItem) : -1;
    NSRect row = window->menuView()->rectOfItemAtIndex(index);
    if (!NSIsEmptyRect(row)) window->moveTopLeftTo({location.x, location.y + NSMidY(row)});
    window->orderFront(nullptr);
    levels_.push_back(window);
    if (window->menuView()->isSelectable(index)) window->menuView()->setHighlightedIndex(index);
}

MenuTracker::~MenuTracker() {
    if (gCurrent == this) gCurrent = nullptr;
    closeAll();
}

MenuTracker* MenuTracker::current() {
    return gCurrent;
}

MenuWindow* MenuTracker::windowAtLevel(std::size_t level) const {
    return level < levels_.size() ? levels_[level].get() : nullptr;
}

Ref<NSMenuItem> MenuTracker::track() {
    if (levels_.empty() || !NSApp) {
        finish(nullptr);
        closeAll();
        return nullptr;
    }
    Ref<NSObject> keepApp = NSApp->self();
    MenuTracker* previous = gCurrent;
    gCurrent = this;
    while (!done_) {
        Ref<NSEvent> event = NSApp->nextEventMatchingMask(kTrackedEvents, NSDate::distantFuture(),
                                                          NSEventTrackingRunLoopMode, true);
        if (!event) {
            // The loop was ended under the menu (a modal session stopped).
            finish(nullptr);
            break;
        }
        handleEvent(*event);
    }
    gCurrent = previous;
    closeAll();
    return chosen_;
}

bool MenuTracker::handleEvent(NSEvent& event) {
    if (done_ || levels_.empty()) return false;
    switch (event.type()) {
        case NSEventTypeLeftMouseDown:
        case NSEventTypeRightMouseDown:
            mouseDown(screenLocation(event));
            break;
        case NSEventTypeLeftMouseUp:
        case NSEventTypeRightMouseUp:
            mouseUp(screenLocation(event));
            break;
        case NSEventTypeMouseMoved:
        case NSEventTypeLeftMouseDragged:
        case NSEventTypeRightMouseDragged:
            pointerMoved(screenLocation(event));
            break;
        case NSEventTypeKeyDown:
            keyDown(event);
            break;
        default:
            break;  // key-ups, modifiers and the wheel do nothing while a menu is open
    }
    return !done_;
}

NSPoint MenuTracker::screenLocation(const NSEvent& event) const {
    NSWindow* window = event.window();
    return window ? window->convertBaseToScreen(event.locationInWindow())
                  : event.locationInWindow();
}

MenuTracker::Hit MenuTracker::hitAt(NSPoint point) const {
    for (long level = static_cast<long>(levels_.size()) - 1; level >= 0; --level) {
        const MenuWindow& window = *levels_[static_cast<std::size_t>(level)];
        if (window.containsScreenPoint(point))
            return {level, window.indexOfItemAtScreenPoint(point)};
    }
    return {};
}

// --- Highlight and cascade ------------------------------------------------------------------

void MenuTracker::highlight(long level, long index) {
    MenuView* view = levels_[static_cast<std::size_t>(level)]->menuView();
    bool submenuOpen = static_cast<long>(levels_.size()) > level + 1;
    if (view->highlightedIndex() == index && submenuOpen) return;
    closeLevelsAbove(level);
    view->setHighlightedIndex(index);
    Ref<NSMenuItem> item = view->menu()->itemAtIndex(index);
    if (item && item->hasSubmenu() && item->isEnabled()) openSubmenu(level, index);
}

void MenuTracker::openSubmenu(long level, long index) {
    if (levels_.size() >= kMaxLevels) return;
    const MenuWindow& parent = *levels_[static_cast<std::size_t>(level)];
    Ref<NSMenuItem> item = parent.menu()->itemAtIndex(index);
    if (!item || !item->submenu()) return;
    const Ref<NSMenu>& submenu = item->submenu();
    submenu->update();
    NSRect row = parent.screenRectOfItemAtIndex(index);
    // The first row of the submenu lines up with the row that opens it.
    NSPoint topLeft{NSMaxX(parent.frame()) - 2,
                    NSMaxY(row) + platform::theme::kMenuVerticalPadding};
    auto window = MenuWindow::make(submenu, topLeft);
    if (!window->hasRows()) return;
    NSRect screen = NSScreen::mainScreen()->visibleFrame();
    if (topLeft.x + window->frame().size.width > NSMaxX(screen)) {
        topLeft.x = NSMinX(parent.frame()) - window->frame().size.width + 2;
        window->moveTopLeftTo(topLeft);
    }
    window->orderFront(nullptr);
    levels_.push_back(window);
}

void MenuTracker::closeLevelsAbove(long level) {
    while (static_cast<long>(levels_.size()) > level + 1) {
        levels_.back()->orderOut(nullptr);
        levels_.pop_back();
    }
}

void MenuTracker::closeAll() {
    closeLevelsAbove(-1);
}

// --- Mouse ----------------------------------------------------------------------------------

void MenuTracker::pointerMoved(NSPoint point) {
    if (!armed_ && std::hypot(point.x - openedAt_.x, point.y - openedAt_.y) > kDragThreshold)
        armed_ = true;
    Hit hit = hitAt(point);
    if (hit.level < 0) {
        // Off the menus: the deepest menu lets its highlight go (the others keep theirs, which
        // mark the way to the open submenus).
        levels_.back()->menuView()->setHighlightedIndex(-1);
        return;
    }
    MenuView* view = levels_[static_cast<std::size_t>(hit.level)]->menuView();
    if (!view->isSelectable(hit.index)) {
        closeLevelsAbove(hit.level);
        view->setHighlightedIndex(-1);
        return;
    }
    highlight(hit.level, hit.index);
}

void MenuTracker::mouseDown(NSPoint point) {
    Hit hit = hitAt(point);
    if (hit.level < 0) {
        finish(nullptr);
        return;
    }
    armed_ = true;
    pointerMoved(point);
}

void MenuTracker::mouseUp(NSPoint point) {
    if (!armed_) return;  // the release of the press that opened the menu: it stays open
    Hit hit = hitAt(point);
    if (hit.level < 0) {
        finish(nullptr);
        return;
    }
    choose(hit.level, hit.index);
}

void MenuTracker::choose(long level, long index) {
    MenuView* view = levels_[static_cast<std::size_t>(level)]->menuView();
    Ref<NSMenuItem> item = view->menu()->itemAtIndex(index);
    if (!item || !view->isSelectable(index) || item->hasSubmenu()) return;
    finish(item);
}

void MenuTracker::finish(Ref<NSMenuItem> chosen) {
    chosen_ = std::move(chosen);
    done_ = true;
}

// --- Keys -----------------------------------------------------------------------------------

void MenuTracker::keyDown(const NSEvent& event) {
    namespace key = platform::keycode;
    const unsigned short code = event.keyCode();
    const std::string& chars = event.charactersIgnoringModifiers();
    const long deepest = static_cast<long>(levels_.size()) - 1;
    MenuView* view = levels_.back()->menuView();
    const long current = view->highlightedIndex();
    auto openAndEnter = [&] {
        Ref<NSMenuItem> item = view->menu()->itemAtIndex(current);
        if (!item || !item->hasSubmenu() || !item->isEnabled()) return;
        openSubmenu(deepest, current);
        if (static_cast<long>(levels_.size()) == deepest + 2) {
            MenuView* sub = levels_.back()->menuView();
            sub->setHighlightedIndex(sub->nextSelectable(-1, 1));
        }
    };
    if (code == key::kEscape || chars == "\x1b") {
        finish(nullptr);
    } else if (code == key::kDownArrow || chars == kDownArrow) {
        long next = view->nextSelectable(current, 1);
        if (next >= 0) view->setHighlightedIndex(next);
    } else if (code == key::kUpArrow || chars == kUpArrow) {
        long next = view->nextSelectable(current, -1);
        if (next >= 0) view->setHighlightedIndex(next);
    } else if (code == key::kRightArrow || chars == kRightArrow) {
        openAndEnter();
    } else if (code == key::kLeftArrow || chars == kLeftArrow) {
        if (deepest > 0) closeLevelsAbove(deepest - 1);
    } else if (code == key::kReturn || code == key::kKeypadEnter || chars == "\r" ||
               chars == "\x03") {
        if (current < 0) return;
        Ref<NSMenuItem> item = view->menu()->itemAtIndex(current);
        if (item && item->hasSubmenu())
            openAndEnter();
        else
            choose(deepest, current);
    }
}
