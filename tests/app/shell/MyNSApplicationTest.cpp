// Catches edit shortcuts that fire with the wrong modifiers (Option, Shift, Caps Lock), swallow
// keys nobody handles, or skip the menus when no responder takes the action.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/appkit/NSMenu.h"
#include "platform/appkit/NSMenuItem.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/NSWindow.h"
#include "platform/testing/WindowTesting.h"
#include "shell/ApplicationClasses.h"
#include "shell/MyNSApplication.h"

namespace pt = platform::testing;

namespace {

std::vector<std::string> gLog;

class EditableView : public NSView {
  public:
    bool acceptsFirstResponder() override { return true; }
    void cut(NSObject*) { gLog.push_back("cut:"); }
    void paste(NSObject*) { gLog.push_back("paste:"); }
    void undo(NSObject*) { gLog.push_back("undo:"); }
    void redo(NSObject*) { gLog.push_back("redo:"); }
    void selectAll(NSObject*) { gLog.push_back("selectAll:"); }
    void keyDown(NSEvent& e) override { gLog.push_back("key:" + e.characters()); }
};

class MenuTarget : public NSObject {
  public:
    void copyFromMenu(NSObject*) { gLog.push_back("menu:copy"); }
};

class EditShortcuts : public ::testing::Test {
  protected:
    void SetUp() override {
        registerApplicationClasses();
        ClassRegistry::shared()
            .registerClass<EditableView, NSView>("ShortcutTestView")
            .action("cut:", &EditableView::cut)
            .action("paste:", &EditableView::paste)
            .action("undo:", &EditableView::undo)
            .action("redo:", &EditableView::redo)
            .action("selectAll:", &EditableView::selectAll);
        ClassRegistry::shared()
            .registerClass<MenuTarget, NSObject>("ShortcutTestMenuTarget")
            .action("copyFromMenu:", &MenuTarget::copyFromMenu);
        NSApplication::resetSharedApplicationForTesting();
        app = std::make_shared<MyNSApplication>();
        NSApplication::setSharedApplication(app);
        window = NSWindow::make(NSMakeRect(0, 0, 100, 100));
        view = std::make_shared<EditableView>();
        view->initWithFrame(NSMakeRect(0, 0, 100, 100));
        window->contentView()->addSubview(view);
        window->makeKeyAndOrderFront();
        window->makeFirstResponder(view.get());
        // A menu item with Command-C: reached only when no responder copies.
        target = std::make_shared<MenuTarget>();
        auto menu = NSMenu::make("Main");
        auto edit = NSMenu::make("Edit");
        auto item = edit->addItemWithTitle("Copy", SEL("copyFromMenu:"), "c");
        item->setTarget(target);
        auto header = menu->addItemWithTitle("Edit", SEL(), "");
        header->setSubmenu(edit);
        app->setMainMenu(menu);
        gLog.clear();
    }
    void TearDown() override { NSApplication::resetSharedApplicationForTesting(); }

    void press(const std::string& keys, NSEventModifierFlags flags) {
        auto event = NSEvent::keyEventWithType(NSEventTypeKeyDown, NSZeroPoint, flags, 0,
                                               window.get(), keys, keys, false, 0);
        app->sendEvent(*event);
    }

    Ref<MyNSApplication> app;
    Ref<NSWindow> window;
    Ref<EditableView> view;
    Ref<MenuTarget> target;
};

TEST_F(EditShortcuts, CommandKeysBecomeEditActions) {
    const NSEventModifierFlags cmd = NSEventModifierFlagCommand;
    struct Case {
        const char* keys;
        NSEventModifierFlags flags;
        const char* expected;
    };
    const Case cases[] = {
        {"x", cmd, "cut:"},
        {"X", cmd | NSEventModifierFlagCapsLock, "cut:"},  // Caps Lock still cuts
        {"v", cmd, "paste:"},
        {"z", cmd, "undo:"},
        {"a", cmd, "selectAll:"},
        {"Z", cmd | NSEventModifierFlagShift, "redo:"},
        {"x", cmd | NSEventModifierFlagOption, "key:x"},  // passed on untouched
        {"Z", NSEventModifierFlagShift, "key:Z"},         // a capital Z is typed
        {"q", cmd, "key:q"},                              // not a shortcut, not in the menu
        {"c", cmd, "menu:copy"},                          // no responder copies: the menu
    };
    for (const Case& c : cases) {
        gLog.clear();
        press(c.keys, c.flags);
        EXPECT_EQ(gLog, std::vector<std::string>{c.expected}) << c.keys << " " << c.flags;
    }
}

TEST_F(EditShortcuts, ActionTableIgnoresDeviceDependentBits) {
    auto event = NSEvent::keyEventWithType(NSEventTypeKeyDown, NSZeroPoint,
                                           NSEventModifierFlagCommand | 0x108, 0, window.get(), "v",
                                           "v", false, 9);
    EXPECT_EQ(MyNSApplication::editActionForEvent(*event), SEL("paste:"));
    auto up = NSEvent::keyEventWithType(NSEventTypeKeyUp, NSZeroPoint, NSEventModifierFlagCommand,
                                        0, window.get(), "v", "v", false, 9);
    EXPECT_FALSE(MyNSApplication::editActionForEvent(*up));
}

}  // namespace
