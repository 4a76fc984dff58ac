// Catches menus that answer the wrong key (Shift or Option ignored, Caps Lock blocking), fire
// disabled or hidden items, miss items in submenus or the responder chain, keep stale back
// pointers or build loops of submenus, and interface files whose menus load wrongly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/appkit/KeyEquivalent.h"
#include "platform/appkit/MenuClasses.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSMenu.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/NibLoader.h"
#include "platform/testing/LogCapture.h"

namespace {

std::vector<std::string> gLog;
NSObject* gLastSender = nullptr;

class MTTarget : public NSObject, public NSMenuItemValidation {
  public:
    void quit(const Ref<NSObject>& sender) { note("quit", sender); }
    void undo(const Ref<NSObject>& sender) { note("undo", sender); }
    void redo(const Ref<NSObject>& sender) { note("redo", sender); }
    void find(const Ref<NSObject>& sender) { note("find", sender); }
    void help(const Ref<NSObject>& sender) { note("help", sender); }
    void locked(const Ref<NSObject>& sender) { note("locked", sender); }
    bool validateMenuItem(NSMenuItem* item) override { return item->tag() != 99; }

  private:
    static void note(const char* what, const Ref<NSObject>& sender) {
        gLog.push_back(what);
        gLastSender = sender.get();
    }
};

/// The first responder of the key window: it answers copy: when no item names a target.
class MTResponderView : public NSView {
  public:
    bool acceptsFirstResponder() override { return true; }
    void copy(const Ref<NSObject>& sender) {
        gLog.push_back("copy");
        gLastSender = sender.get();
    }
};

void registerTestClasses() {
    registerAppKitMenuClasses();
    auto& registry = ClassRegistry::shared();
    registry.registerClass<MTTarget, NSObject>("MTTarget")
        .action("quit:", &MTTarget::quit)
        .action("undo:", &MTTarget::undo)
        .action("redo:", &MTTarget::redo)
        .action("find:", &MTTarget::find)
        .action("help:", &MTTarget::help)
        .action("locked:", &MTTarget::locked);
    registry.registerClass<MTResponderView, NSView>("MTResponderView")
        .action("copy:", &MTResponderView::copy);
}

Ref<NSEvent> keyDown(const std::string& chars, NSEventModifierFlags flags) {
    return NSEvent::keyEventWithType(NSEventTypeKeyDown, NSZeroPoint, flags, 0, nullptr, chars,
                                     chars, false, 0);
}

constexpr NSEventModifierFlags kCmd = NSEventModifierFlagCommand;
constexpr NSEventModifierFlags kShift = NSEventModifierFlagShift;
constexpr NSEventModifierFlags kOpt = NSEventModifierFlagOption;
constexpr NSEventModifierFlags kCaps = NSEventModifierFlagCapsLock;

Ref<NSMenuItem> addItem(const Ref<NSMenu>& menu, const char* title, const char* action,
                        const char* key, const Ref<NSObject>& target,
                        NSEventModifierFlags mask = kCmd) {
    auto item = menu->addItemWithTitle(title, action ? SEL(action) : SEL(), key);
    item->setKeyEquivalentModifierMask(mask);
    if (target) item->setTarget(target);
    return item;
}

/// A main menu like the application's: application, edit and help menus, with a submenu
/// inside the help menu.
class Menus : public ::testing::Test {
  protected:
    void SetUp() override {
        registerTestClasses();
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
        gLog.clear();
        gLastSender = nullptr;
        target = std::make_shared<MTTarget>();

        mainMenu = NSMenu::make("Main");
        auto appMenu = NSMenu::make("Uninstaller");
        quit = addItem(appMenu, "Quit Uninstaller", "quit:", "q", target);
        addItem(appMenu, "Hidden", "quit:", "h", target)->setHidden(true);
        addItem(appMenu, "Locked", "locked:", "l", target)->setTag(99);
        addItem(appMenu, "Nobody", "nobodyAnswers:", "n", nullptr);
        auto editMenu = NSMenu::make("Edit");
        addItem(editMenu, "Undo", "undo:", "z", target);
        addItem(editMenu, "Redo", "redo:", "Z", target);
        addItem(editMenu, "Copy", "copy:", "c", nullptr);
        auto helpMenu = NSMenu::make("Help");
        addItem(helpMenu, "Help", "help:", "?", target);
        auto searchMenu = NSMenu::make("Search");
        find = addItem(searchMenu, "Find", "find:", "f", target, kCmd | kOpt);
        helpMenu->addItemWithTitle("Search", SEL(), "")->setSubmenu(searchMenu);
        for (auto& sub : {appMenu, editMenu, helpMenu})
            mainMenu->addItemWithTitle(sub->title(), SEL(), "")->setSubmenu(sub);
        app->setMainMenu(mainMenu);

        window = NSWindow::make(NSMakeRect(100, 100, 200, 100));
        view = std::make_shared<MTResponderView>();
        view->initWithFrame(NSMakeRect(0, 0, 200, 100));
        window->contentView()->addSubview(view);
        window->makeKeyAndOrderFront();
        window->makeFirstResponder(view.get());
    }
    void TearDown() override {
        window->orderOut();
        NSApplication::resetSharedApplicationForTesting();
    }

    Ref<NSApplication> app;
    Ref<MTTarget> target;
    Ref<NSMenu> mainMenu;
    Ref<NSMenuItem> quit, find;
    Ref<NSWindow> window;
    Ref<MTResponderView> view;
};

TEST_F(Menus, KeyEquivalentsReachTheMatchingEnabledItem) {
    struct Case {
        const char* chars;
        NSEventModifierFlags flags;
        const char* fired;  // nullptr: nothing fires and the menu answers false
    };
    const Case cases[] = {
        {"q", kCmd, "quit"},
        {"Q", kCmd | kCaps, "quit"},           // Caps Lock does not block
        {"q", kOpt, nullptr},                  // Option is not Command
        {"q", kCmd | kOpt, nullptr},           // an extra modifier does not match
        {"q", 0, nullptr},                     // a plain key is typing
        {"z", kCmd, "undo"},                   //
        {"Z", kCmd | kShift, "redo"},          // an upper-case key equivalent implies Shift
        {"z", kCmd | kShift, "redo"},          // whatever case the keyboard reports
        {"Z", kCmd | kShift | kCaps, "redo"},  //
        {"f", kCmd | kOpt, "find"},            // two submenus down
        {"f", kCmd, nullptr},                  //
        {"?", kCmd | kShift, "help"},          // a symbol typed with Shift
        {"?", kCmd, "help"},                   //
        {"h", kCmd, nullptr},                  // hidden items do not answer
        {"l", kCmd, nullptr},                  // the target refuses the item (validation)
        {"n", kCmd, nullptr},                  // no object answers the action
        {"c", kCmd, "copy"},                   // no target: the responder chain
    };
    for (const Case& c : cases) {
        gLog.clear();
        gLastSender = nullptr;
        auto event = keyDown(c.chars, c.flags);
        bool handled = mainMenu->performKeyEquivalent(*event);
        std::string label = std::string(c.chars) + " flags " + std::to_string(c.flags);
        EXPECT_EQ(handled, c.fired != nullptr) << label;
        if (c.fired) {
            EXPECT_EQ(gLog, std::vector<std::string>{c.fired}) << label;
            EXPECT_NE(gLastSender, nullptr) << label;
        } else {
            EXPECT_TRUE(gLog.empty()) << label;
        }
    }
}

TEST_F(Menus, TheItemIsTheSenderAndKeyUpsAreIgnored) {
    EXPECT_TRUE(mainMenu->performKeyEquivalent(*keyDown("q", kCmd)));
    EXPECT_EQ(gLastSender, quit.get());
    gLog.clear();
    auto up = NSEvent::keyEventWithType(NSEventTypeKeyUp, NSZeroPoint, kCmd, 0, nullptr, "q", "q",
                                        false, 0);
    EXPECT_FALSE(mainMenu->performKeyEquivalent(*up));
    EXPECT_TRUE(gLog.empty());
}

TEST_F(Menus, ExplicitlyDisabledItemsDoNotFireWhenNotAutoenabling) {
    NSMenu* appMenu = quit->menu();
    appMenu->setAutoenablesItems(false);
    quit->setEnabled(false);
    EXPECT_FALSE(mainMenu->performKeyEquivalent(*keyDown("q", kCmd)));
    EXPECT_TRUE(gLog.empty());
    quit->setEnabled(true);
    EXPECT_TRUE(mainMenu->performKeyEquivalent(*keyDown("q", kCmd)));
    EXPECT_EQ(gLog, std::vector<std::string>{"quit"});
}

TEST_F(Menus, KeyEquivalentsFollowTheFirstResponder) {
    // Without a first responder that answers copy:, the item is disabled and the key unused.
    window->makeFirstResponder(nullptr);
    EXPECT_FALSE(mainMenu->performKeyEquivalent(*keyDown("c", kCmd)));
    window->makeFirstResponder(view.get());
    EXPECT_TRUE(mainMenu->performKeyEquivalent(*keyDown("c", kCmd)));
    EXPECT_EQ(gLog, std::vector<std::string>{"copy"});
}

TEST_F(Menus, UpdateEnablesItemsByWhoAnswers) {
    NSMenu* appMenu = quit->menu();
    auto bare = appMenu->addItemWithTitle("No action", SEL(), "");
    auto separator = NSMenuItem::separatorItem();
    appMenu->addItem(separator);
    appMenu->update();
    EXPECT_TRUE(quit->isEnabled());
    EXPECT_FALSE(appMenu->itemWithTitle("Locked")->isEnabled());  // validateMenuItem said no
    EXPECT_FALSE(appMenu->itemWithTitle("Nobody")->isEnabled());
    EXPECT_FALSE(bare->isEnabled());
    EXPECT_FALSE(separator->isEnabled());
    mainMenu->update();
    for (const auto& item : mainMenu->itemArray())
        EXPECT_TRUE(item->isEnabled()) << item->title();  // submenu items

    // A freed target leaves the item to the responder chain, where nobody answers quit:.
    target.reset();
    appMenu->update();
    EXPECT_FALSE(quit->isEnabled());

    // Without autoenabling, the items keep what they were given.
    appMenu->setAutoenablesItems(false);
    appMenu->itemWithTitle("Nobody")->setEnabled(true);
    appMenu->update();
    EXPECT_TRUE(appMenu->itemWithTitle("Nobody")->isEnabled());
}

TEST(MenuStructure, ItemsBelongToOneMenuAtATime) {
    auto a = NSMenu::make("A"), b = NSMenu::make("B");
    auto one = a->addItemWithTitle("One", SEL(), "");
    auto two = a->addItemWithTitle("Two", SEL(), "");
    two->setTag(7);
    EXPECT_EQ(one->menu(), a.get());
    EXPECT_EQ(a->indexOfItem(two.get()), 1);
    EXPECT_EQ(a->itemWithTag(7), two);
    EXPECT_EQ(a->itemWithTitle("One"), one);
    EXPECT_EQ(a->itemWithTitle("Three"), nullptr);

    b->addItem(one);  // moves
    EXPECT_EQ(one->menu(), b.get());
    EXPECT_EQ(a->numberOfItems(), 1);
    EXPECT_EQ(a->indexOfItem(one.get()), -1);

    b->insertItem(two, 0);
    b->addItem(two);  // adding again moves it to the end instead of listing it twice
    EXPECT_EQ(b->numberOfItems(), 2);
    EXPECT_EQ(b->indexOfItem(two.get()), 1);

    b->removeItem(one.get());
    EXPECT_EQ(one->menu(), nullptr);
    b.reset();  // the menu goes away: its items forget it
    EXPECT_EQ(two->menu(), nullptr);
}

TEST(MenuStructure, SubmenusCannotFormLoops) {
    platform::LogCapture log;
    auto top = NSMenu::make("Top"), middle = NSMenu::make("Middle");
    auto toMiddle = top->addItemWithTitle("Middle", SEL(), "");
    toMiddle->setSubmenu(middle);
    EXPECT_EQ(middle->supermenu(), top.get());
    EXPECT_EQ(middle->parentItem(), toMiddle.get());

    auto back = middle->addItemWithTitle("Back", SEL(), "");
    back->setSubmenu(top);  // top is an ancestor of middle
    EXPECT_EQ(back->submenu(), nullptr);
    back->setSubmenu(middle);  // a menu opening from its own item
    EXPECT_EQ(back->submenu(), nullptr);

    auto loose = NSMenuItem::make("Loose");
    loose->setSubmenu(top);
    middle->addItem(loose);  // the loop would close on insertion
    EXPECT_EQ(loose->menu(), nullptr);
    EXPECT_EQ(middle->numberOfItems(), 1);

    // A submenu attached elsewhere leaves its old item.
    auto other = top->addItemWithTitle("Other", SEL(), "");
    other->setSubmenu(middle);
    EXPECT_EQ(toMiddle->submenu(), nullptr);
    EXPECT_EQ(middle->parentItem(), other.get());
    EXPECT_FALSE(log.lines().empty());

    // Key-equivalent searches end even for a deep chain.
    auto event = keyDown("x", kCmd);
    EXPECT_EQ(top->itemForKeyEquivalent(*event), nullptr);
}

TEST(KeyEquivalentText, LabelsUseThisDesktopsKeyNames) {
    struct Case {
        const char* key;
        NSEventModifierFlags mask;
        const char* label;
    };
    const Case cases[] = {
        {"q", kCmd, "Ctrl+Q"},
        {"Z", kCmd, "Ctrl+Shift+Z"},
        {"z", kCmd | kShift, "Ctrl+Shift+Z"},
        {"\r", kOpt, "Alt+Return"},
        {"w", kCmd | NSEventModifierFlagControl, "Ctrl+Super+W"},
        {",", kCmd, "Ctrl+,"},
        {"\x1b", 0, "Esc"},
        {"\xEF\x9C\x8D", kCmd, "Ctrl+F10"},
        {"", kCmd, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::keyEquivalentLabel(c.key, c.mask), c.label) << c.label;
}

TEST(KeyEquivalentText, InterfaceFileFormsParse) {
    EXPECT_EQ(platform::parseKeyEquivalent("q"), "q");
    EXPECT_EQ(platform::parseKeyEquivalent("return"), "\r");
    EXPECT_EQ(platform::parseKeyEquivalent("Escape"), "\x1b");
    EXPECT_EQ(platform::parseKeyEquivalent("F10"), "\xEF\x9C\x8D");
    EXPECT_EQ(platform::parseKeyEquivalent("\xC3\xA9"), "\xC3\xA9");  // one character, two bytes
    EXPECT_EQ(platform::parseKeyEquivalent("qq"), std::nullopt);
    EXPECT_EQ(platform::parseModifierMask("command|shift"), kCmd | kShift);
    EXPECT_EQ(platform::parseModifierMask(" option + command "), kCmd | kOpt);
    EXPECT_EQ(platform::parseModifierMask("1048576"), kCmd);
    EXPECT_EQ(platform::parseModifierMask("0x120000"), kCmd | kShift);
    EXPECT_EQ(platform::parseModifierMask(""), 0ul);
    EXPECT_EQ(platform::parseModifierMask("commnd"), std::nullopt);
    EXPECT_EQ(platform::parseModifierMask("12abc"), std::nullopt);
}

class MTOwner : public MTTarget {
  public:
    void setMenu(const Ref<NSMenu>& m) { menu = m; }
    Ref<NSMenu> menu;
};

TEST(MenuInterfaceFile, MenusNestAndConnect) {
    registerTestClasses();
    ClassRegistry::shared().registerClass<MTOwner, MTTarget>("MTOwner").outlet("menu",
                                                                               &MTOwner::setMenu);
    auto owner = std::make_shared<MTOwner>();
    const char* xml = R"(<interface owner="MTOwner">
      <NSMenu title="Main" outlet="menu">
        <NSMenuItem title="Uninstaller">
          <NSMenu title="Uninstaller">
            <NSMenuItem title="Quit" keyEquivalent="q" target="owner" action="quit:" tag="3"/>
            <NSMenuItem separator="YES"/>
            <NSMenuItem title="Redo" keyEquivalent="Z" action="redo:" target="owner"
                        keyEquivalentModifierMask="command|option" state="1" enabled="NO"/>
          </NSMenu>
        </NSMenuItem>
        <NSMenuItem>
          <NSMenu title="Help" autoenablesItems="NO">
            <NSMenuItem title="Open" keyEquivalent="Return" action="open:" hidden="YES"/>
          </NSMenu>
        </NSMenuItem>
      </NSMenu>
    </interface>)";
    NibLoadResult result = NibLoader::loadData(xml, "Menu.ui", owner);
    ASSERT_TRUE(result) << result.error;
    ASSERT_TRUE(owner->menu);
    NSMenu& main = *owner->menu;
    ASSERT_EQ(main.numberOfItems(), 2);
    auto appMenu = main.itemAtIndex(0)->submenu();
    ASSERT_TRUE(appMenu);
    EXPECT_EQ(appMenu->supermenu(), &main);
    ASSERT_EQ(appMenu->numberOfItems(), 3);
    auto quitItem = appMenu->itemAtIndex(0);
    EXPECT_EQ(quitItem->keyEquivalent(), "q");
    EXPECT_EQ(quitItem->keyEquivalentModifierMask(), kCmd);
    EXPECT_EQ(quitItem->tag(), 3);
    EXPECT_EQ(quitItem->target(), owner);
    EXPECT_EQ(quitItem->action(), SEL("quit:"));
    EXPECT_TRUE(appMenu->itemAtIndex(1)->isSeparatorItem());
    auto redoItem = appMenu->itemAtIndex(2);
    EXPECT_EQ(redoItem->keyEquivalentModifierMask(), kCmd | kOpt);
    EXPECT_EQ(redoItem->state(), 1);
    EXPECT_FALSE(redoItem->isEnabled());
    // An item without a title takes its submenu's.
    EXPECT_EQ(main.itemAtIndex(1)->title(), "Help");
    auto helpMenu = main.itemAtIndex(1)->submenu();
    EXPECT_FALSE(helpMenu->autoenablesItems());
    EXPECT_EQ(helpMenu->itemAtIndex(0)->keyEquivalent(), "\r");
    EXPECT_TRUE(helpMenu->itemAtIndex(0)->isHidden());
    EXPECT_EQ(helpMenu->itemAtIndex(0)->target(), nullptr);

    NibLoadResult bad = NibLoader::loadData(
        R"(<interface><NSMenuItem title="X" keyEquivalentModifierMask="commnd"/></interface>)",
        "Bad.ui", nullptr);
    EXPECT_FALSE(bad);
    EXPECT_NE(bad.error.find("Bad.ui:1"), std::string::npos) << bad.error;
}

}  // namespace
