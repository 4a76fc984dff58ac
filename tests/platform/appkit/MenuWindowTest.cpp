// Catches pop-up menus that fire the wrong item, fire twice or while still open, stay open after
// a choice or Escape, close on the release of the press that opened them, let the keyboard land
// on disabled items or separators, lose their submenus, or draw the highlight nowhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/appkit/KeyEquivalent.h"
#include "platform/appkit/MainMenuPresenter.h"
#include "platform/appkit/MenuClasses.h"
#include "platform/appkit/MenuTracker.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSMenu.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/WindowBackend.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/foundation/Clock.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/testing/WindowTesting.h"

namespace pt = platform::testing;
namespace key = platform::keycode;

namespace {

std::vector<std::string> gFired;

bool anyMenuWindowVisible() {
    const auto& all = NSWindow::windows();
    return std::any_of(all.begin(), all.end(), [](NSWindow* w) {
        return w->isVisible() && w->level() == NSPopUpMenuWindowLevel;
    });
}

class MWTarget : public NSObject, public NSMenuItemValidation {
  public:
    void open(const Ref<NSObject>&) { note("open"); }
    void quit(const Ref<NSObject>&) { note("quit"); }
    void deep(const Ref<NSObject>&) { note("deep"); }
    void locked(const Ref<NSObject>&) { note("locked"); }
    bool validateMenuItem(NSMenuItem* item) override { return item->action() != SEL("locked:"); }

  private:
    // An action that runs while a menu window still shows is a fault of its own.
    static void note(const char* what) {
        gFired.push_back(std::string(what) + (anyMenuWindowVisible() ? " (menu still open)" : ""));
    }
};

double now() {
    return Clock::shared()->now();
}

/// Events that no window claims carry screen coordinates, as during a pointer grab.
Ref<NSEvent> mouseAt(NSEventType type, NSPoint screen) {
    return NSEvent::mouseEventWithType(type, screen, 0, now(), nullptr);
}

void postMouseAt(NSEventType type, NSPoint screen) {
    WindowBackend::shared().postEvent(mouseAt(type, screen));
}

Ref<NSEvent> keyWithCode(unsigned short code) {
    return NSEvent::keyEventWithType(NSEventTypeKeyDown, NSZeroPoint, 0, now(), nullptr, "", "",
                                     false, code);
}

void postKeys(std::initializer_list<unsigned short> codes) {
    for (unsigned short code : codes)
        WindowBackend::shared().postEvent(keyWithCode(code));
}

NSPoint centre(NSRect r) {
    return NSMakePoint(NSMidX(r), NSMidY(r));
}

/// Items: Open (0), Locked (1, refused by its target), a separator (2), More (3, a submenu with
/// Deep), Quit (4).
class MenuWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        registerAppKitMenuClasses();
        ClassRegistry::shared()
            .registerClass<MWTarget, NSObject>("MWTarget")
            .action("open:", &MWTarget::open)
            .action("quit:", &MWTarget::quit)
            .action("deep:", &MWTarget::deep)
            .action("locked:", &MWTarget::locked);
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
        gFired.clear();
        target = std::make_shared<MWTarget>();
        menu = NSMenu::make("Test");
        add(menu, "Open", "open:", "o");
        add(menu, "Locked", "locked:", "");
        menu->addItem(NSMenuItem::separatorItem());
        submenu = NSMenu::make("More");
        add(submenu, "Deep", "deep:", "");
        menu->addItemWithTitle("More", SEL(), "")->setSubmenu(submenu);
        add(menu, "Quit", "quit:", "q");
        parent = NSWindow::make(NSMakeRect(100, 300, 400, 300));
        parent->makeKeyAndOrderFront();
    }
    void TearDown() override {
        pt::pumpEvents();
        parent->orderOut();
        NSApplication::resetSharedApplicationForTesting();
    }
    void add(const Ref<NSMenu>& m, const char* title, const char* action, const char* keyEq) {
        m->addItemWithTitle(title, SEL(action), keyEq)->setTarget(target);
    }
    /// Runs `block` from the main queue once the pop-up's loop waits for events.
    static void whenOpen(std::function<void(MenuTracker&)> block) {
        dispatch_async(dispatch_get_main_queue(), [block] {
            MenuTracker* tracker = MenuTracker::current();
            ASSERT_NE(tracker, nullptr);
            block(*tracker);
        });
    }
    /// Runs `block` from the main queue once `ready` holds (the events posted before have been
    /// handled by then); gives up after a few turns.
    static void once(std::function<bool(MenuTracker&)> ready,
                     std::function<void(MenuTracker&)> block, int turns = 20) {
        dispatch_async(dispatch_get_main_queue(), [ready, block, turns] {
            MenuTracker* tracker = MenuTracker::current();
            ASSERT_NE(tracker, nullptr);
            if (ready(*tracker))
                block(*tracker);
            else if (turns > 0)
                once(ready, block, turns - 1);
            else
                ADD_FAILURE() << "the menu never got ready";
        });
    }
    static NSPoint itemCentre(const MenuTracker& tracker, std::size_t level, long index) {
        return centre(tracker.windowAtLevel(level)->screenRectOfItemAtIndex(index));
    }
    static long highlighted(const MenuTracker& tracker, std::size_t level) {
        return tracker.windowAtLevel(level)->menuView()->highlightedIndex();
    }

    Ref<NSApplication> app;
    Ref<MWTarget> target;
    Ref<NSMenu> menu, submenu;
    Ref<NSWindow> parent;
};

TEST_F(MenuWindows, AClickSendsTheActionOnceAfterTheMenuClosed) {
    whenOpen([](MenuTracker& tracker) {
        NSPoint quit = itemCentre(tracker, 0, 4);
        postMouseAt(NSEventTypeMouseMoved, quit);
        postMouseAt(NSEventTypeLeftMouseDown, quit);
        postMouseAt(NSEventTypeLeftMouseUp, quit);
    });
    EXPECT_TRUE(menu->popUpMenuPositioningItem(nullptr, NSMakePoint(150, 550), nullptr));
    EXPECT_EQ(gFired, std::vector<std::string>{"quit"});
    EXPECT_FALSE(anyMenuWindowVisible());
    EXPECT_EQ(MenuTracker::current(), nullptr);
}

TEST_F(MenuWindows, EscapeAndClicksOutsideDismissWithoutAction) {
    struct Case {
        const char* name;
        std::function<void(MenuTracker&)> input;
    };
    const Case cases[] = {
        {"escape", [](MenuTracker&) { postKeys({key::kEscape}); }},
        {"click outside",
         [](MenuTracker& tracker) {
             NSRect frame = tracker.windowAtLevel(0)->frame();
             postMouseAt(NSEventTypeLeftMouseDown, NSMakePoint(NSMaxX(frame) + 40, NSMidY(frame)));
             postMouseAt(NSEventTypeLeftMouseUp, NSMakePoint(NSMaxX(frame) + 40, NSMidY(frame)));
         }},
        {"click on a disabled item, then escape",
         [](MenuTracker& tracker) {
             NSPoint locked = itemCentre(tracker, 0, 1);
             postMouseAt(NSEventTypeLeftMouseDown, locked);
             postMouseAt(NSEventTypeLeftMouseUp, locked);
             postKeys({key::kEscape});
         }},
    };
    for (const Case& c : cases) {
        gFired.clear();
        whenOpen(c.input);
        EXPECT_FALSE(menu->popUpMenuPositioningItem(nullptr, NSMakePoint(150, 550), nullptr))
            << c.name;
        EXPECT_TRUE(gFired.empty()) << c.name;
        EXPECT_FALSE(anyMenuWindowVisible()) << c.name;
        pt::pumpEvents();  // the release of a dismissing click goes to the windows
    }
}

TEST_F(MenuWindows, KeysSkipWhatCannotBeChosenAndReturnFires) {
    struct Case {
        const char* name;
        std::vector<unsigned short> keys;
        const char* fired;
    };
    const Case cases[] = {
        {"first item", {key::kDownArrow, key::kReturn}, "open"},
        {"over Locked and the separator",
         {key::kDownArrow, key::kDownArrow, key::kDownArrow, key::kKeypadEnter},
         "quit"},
        {"up from nothing wraps to the last", {key::kUpArrow, key::kReturn}, "quit"},
        {"down wraps to the first", {key::kUpArrow, key::kDownArrow, key::kReturn}, "open"},
        {"into the submenu",
         {key::kUpArrow, key::kUpArrow, key::kRightArrow, key::kReturn},
         "deep"},
        {"Return on a submenu's item enters it",
         {key::kUpArrow, key::kUpArrow, key::kReturn, key::kReturn},
         "deep"},
        {"out of the submenu again",
         {key::kUpArrow, key::kUpArrow, key::kRightArrow, key::kLeftArrow, key::kDownArrow,
          key::kReturn},
         "quit"},
    };
    for (const Case& c : cases) {
        gFired.clear();
        std::vector<unsigned short> keys = c.keys;
        whenOpen([keys](MenuTracker&) {
            for (unsigned short code : keys)
                WindowBackend::shared().postEvent(keyWithCode(code));
        });
        EXPECT_TRUE(menu->popUpMenuPositioningItem(nullptr, NSMakePoint(150, 550), nullptr))
            << c.name;
        EXPECT_EQ(gFired, std::vector<std::string>{c.fired}) << c.name;
    }
}

TEST_F(MenuWindows, TheReleaseOfTheOpeningPressDoesNotChoose) {
    NSPoint at{150, 550};
    MenuTracker tracker(menu, menu->itemAtIndex(0).get(), at, true);
    ASSERT_TRUE(tracker.isShowing());
    // The positioning item sits under the pointer, highlighted.
    EXPECT_TRUE(NSPointInRect(at, tracker.windowAtLevel(0)->screenRectOfItemAtIndex(0)));
    EXPECT_EQ(highlighted(tracker, 0), 0);
    EXPECT_TRUE(tracker.handleEvent(*mouseAt(NSEventTypeRightMouseUp, at)));
    EXPECT_FALSE(tracker.isDone());

    // Press, drag onto Quit and release there: chosen.
    MenuTracker dragged(menu, menu->itemAtIndex(0).get(), at, true);
    NSPoint quit = itemCentre(dragged, 0, 4);
    dragged.handleEvent(*mouseAt(NSEventTypeRightMouseDragged, quit));
    EXPECT_EQ(highlighted(dragged, 0), 4);
    EXPECT_FALSE(dragged.handleEvent(*mouseAt(NSEventTypeRightMouseUp, quit)));
    ASSERT_TRUE(dragged.chosenItem());
    EXPECT_EQ(dragged.chosenItem()->title(), "Quit");

    // Dragging off the menu and releasing there dismisses it.
    MenuTracker away(menu, nullptr, at, true);
    NSPoint outside{NSMaxX(away.windowAtLevel(0)->frame()) + 50, at.y};
    away.handleEvent(*mouseAt(NSEventTypeRightMouseDragged, outside));
    EXPECT_FALSE(away.handleEvent(*mouseAt(NSEventTypeRightMouseUp, outside)));
    EXPECT_EQ(away.chosenItem(), nullptr);
    EXPECT_TRUE(gFired.empty());  // trackers choose; only pop-ups send
}

TEST_F(MenuWindows, SubmenusCascadeFromTheirItem) {
    MenuTracker tracker(menu, nullptr, NSMakePoint(150, 550), false);
    tracker.handleEvent(*mouseAt(NSEventTypeMouseMoved, itemCentre(tracker, 0, 3)));
    ASSERT_EQ(tracker.levelCount(), 2u);
    MenuWindow* top = tracker.windowAtLevel(0);
    MenuWindow* sub = tracker.windowAtLevel(1);
    Ref<NSObject> keepSub = sub->self();  // to see it hidden once the tracker lets it go
    EXPECT_EQ(sub->menu(), submenu.get());
    EXPECT_NEAR(NSMinX(sub->frame()), NSMaxX(top->frame()), 4);  // to the right
    NSRect moreRow = top->screenRectOfItemAtIndex(3);
    EXPECT_NEAR(NSMaxY(sub->screenRectOfItemAtIndex(0)), NSMaxY(moreRow), 1);  // rows line up
    EXPECT_TRUE(sub->isVisible());
    EXPECT_EQ(sub->level(), NSPopUpMenuWindowLevel);

    // Over the submenu the parent keeps the way highlighted; off both, the submenu lets go.
    tracker.handleEvent(*mouseAt(NSEventTypeMouseMoved, itemCentre(tracker, 1, 0)));
    EXPECT_EQ(highlighted(tracker, 1), 0);
    EXPECT_EQ(highlighted(tracker, 0), 3);
    tracker.handleEvent(*mouseAt(NSEventTypeMouseMoved,
                                 NSMakePoint(NSMaxX(sub->frame()) + 30, NSMidY(sub->frame()))));
    EXPECT_EQ(tracker.levelCount(), 2u);
    EXPECT_EQ(highlighted(tracker, 1), -1);

    // Another item of the parent closes it.
    tracker.handleEvent(*mouseAt(NSEventTypeMouseMoved, itemCentre(tracker, 0, 0)));
    EXPECT_EQ(tracker.levelCount(), 1u);
    EXPECT_FALSE(sub->isVisible());

    // A click in the submenu chooses its item.
    tracker.handleEvent(*mouseAt(NSEventTypeMouseMoved, itemCentre(tracker, 0, 3)));
    NSPoint deep = itemCentre(tracker, 1, 0);
    tracker.handleEvent(*mouseAt(NSEventTypeLeftMouseDown, deep));
    EXPECT_FALSE(tracker.handleEvent(*mouseAt(NSEventTypeLeftMouseUp, deep)));
    ASSERT_TRUE(tracker.chosenItem());
    EXPECT_EQ(tracker.chosenItem()->title(), "Deep");
}

TEST_F(MenuWindows, MenusStayOnTheScreen) {
    NSRect screen = WindowBackend::shared().mainScreenVisibleFrame();
    {
        MenuTracker tracker(menu, nullptr, NSMakePoint(NSMaxX(screen) - 10, NSMinY(screen) + 10),
                            false);
        MenuWindow* top = tracker.windowAtLevel(0);
        EXPECT_LE(NSMaxX(top->frame()), NSMaxX(screen));
        EXPECT_GE(NSMinY(top->frame()), NSMinY(screen));
        // No room on the right: the submenu opens to the left.
        tracker.handleEvent(*mouseAt(NSEventTypeMouseMoved, itemCentre(tracker, 0, 3)));
        ASSERT_EQ(tracker.levelCount(), 2u);
        EXPECT_LE(NSMaxX(tracker.windowAtLevel(1)->frame()), NSMinX(top->frame()) + 4);
    }
    EXPECT_FALSE(anyMenuWindowVisible());  // a tracker that goes away closes its windows

    // A menu with nothing visible shows no window and chooses nothing.
    auto empty = NSMenu::make("Empty");
    empty->addItemWithTitle("Gone", SEL("open:"), "")->setHidden(true);
    EXPECT_FALSE(empty->popUpMenuPositioningItem(nullptr, NSMakePoint(100, 100), nullptr));
    EXPECT_FALSE(anyMenuWindowVisible());
}

TEST_F(MenuWindows, TheHighlightedRowIsDrawnDifferently) {
    MenuTracker tracker(menu, nullptr, NSMakePoint(150, 550), false);
    MenuWindow* window = tracker.windowAtLevel(0);
    MenuView* view = window->menuView();
    EXPECT_EQ(window->level(), NSPopUpMenuWindowLevel);
    auto order = NSWindow::orderedWindows();
    EXPECT_EQ(order.back(), window);  // above the parent

    // Pixel rows count from the top, like the menu view's flipped coordinates.
    auto probe = [&](long index) {
        NSRect row = view->rectOfItemAtIndex(index);
        auto surface = pt::renderWindow(*window);
        EXPECT_TRUE(surface);
        return surface ? surface->pixelAt(8, static_cast<int>(NSMidY(row)))
                       : NSGraphicsContext::Pixel{};
    };
    NSGraphicsContext::Pixel normal = probe(0);
    view->setHighlightedIndex(0);
    NSGraphicsContext::Pixel lit = probe(0);
    EXPECT_NE(lit, normal);
    EXPECT_GT(lit.b, lit.r + 60);  // the blue bar
    EXPECT_EQ(probe(4), normal);   // the other rows keep the panel's colour
    // Disabled text is dimmer than enabled text: compare the brightest pixel of each title.
    auto brightest = [&](long index) {
        NSRect row = view->rectOfItemAtIndex(index);
        auto surface = pt::renderWindow(*window);
        int best = 0;
        for (int y = static_cast<int>(NSMinY(row)); y < static_cast<int>(NSMaxY(row)); ++y)
            for (int x = 22; x < 70; ++x)
                best = std::max(best, static_cast<int>(surface->pixelAt(x, y).g));
        return best;
    };
    view->setHighlightedIndex(-1);
    EXPECT_GT(brightest(4), brightest(1) + 60);
}

TEST_F(MenuWindows, TheMainMenuOpensOverAWindow) {
    auto main = NSMenu::make("Main");
    menu->setTitle("Uninstaller");
    main->addItemWithTitle("", SEL(), "")->setSubmenu(menu);  // titled by its submenu
    auto help = NSMenu::make("Help");
    add(help, "Open Help", "open:", "");
    main->addItemWithTitle("Help", SEL(), "")->setSubmenu(help);
    app->setMainMenu(main);

    // At a right-click in the title bar: the top-left corner of the menu is at the click.
    NSPoint click{60, NSHeight(parent->frame()) - 8};
    whenOpen([&](MenuTracker& tracker) {
        MenuWindow* top = tracker.windowAtLevel(0);
        EXPECT_EQ(top->menu(), main.get());
        NSPoint expected = parent->convertBaseToScreen(click);
        EXPECT_NEAR(NSMinX(top->frame()), expected.x, 0.5);
        EXPECT_NEAR(NSMaxY(top->frame()), expected.y, 0.5);
        // Through the keyboard: the first top-level item, into its menu, down to Quit.
        postKeys({key::kDownArrow, key::kRightArrow, key::kUpArrow, key::kReturn});
    });
    platform::showMainMenu(parent.get(), click);
    EXPECT_EQ(gFired, std::vector<std::string>{"quit"});

    // From F10 with the pointer elsewhere: at the top-left corner of the content.
    gFired.clear();
    whenOpen([&](MenuTracker& tracker) {
        NSRect content = parent->contentRectForFrameRect(parent->frame());
        EXPECT_NEAR(NSMinX(tracker.windowAtLevel(0)->frame()), NSMinX(content), 0.5);
        EXPECT_NEAR(NSMaxY(tracker.windowAtLevel(0)->frame()), NSMaxY(content), 0.5);
        // The pointer cascades: onto Help, then (once its menu is open) onto its item.
        postMouseAt(NSEventTypeMouseMoved, itemCentre(tracker, 0, 1));
        once([](MenuTracker& t) { return t.levelCount() == 2; },
             [](MenuTracker& t) {
                 NSPoint item = itemCentre(t, 1, 0);
                 postMouseAt(NSEventTypeLeftMouseDown, item);
                 postMouseAt(NSEventTypeLeftMouseUp, item);
             });
    });
    platform::showMainMenu(parent.get(), NSMakePoint(-1, -1));
    EXPECT_EQ(gFired, std::vector<std::string>{"open"});

    // No main menu: nothing opens.
    app->setMainMenu(nullptr);
    platform::showMainMenu(parent.get(), click);
    EXPECT_FALSE(anyMenuWindowVisible());
}

}  // namespace
