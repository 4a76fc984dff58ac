// Catches window-button strips whose hover lights only their own buttons, whose buttons miss a
// main-window change or keep a pressed flag after the click, whose close skips the delegate or
// tells it after the window is gone, and whose minimise and zoom buttons do not reach the
// window.
#include "windows/TabBarView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/controls/ButtonTestWindow.h"
#include "platform/appkit/NSScreen.h"
#include "platform/appkit/NibLoader.h"
#include "platform/backend/HeadlessBackend.h"

using namespace buttontest;

namespace {

/// The headless backend with a task bar: windows can be minimised.
class MinimisingBackend final : public WindowBackend {
  public:
    NSRect mainScreenFrame() const override { return inner_.mainScreenFrame(); }
    WindowId createWindow(NSWindow* owner, NSRect frame) override {
        return inner_.createWindow(owner, frame);
    }
    void destroyWindow(WindowId w) override { inner_.destroyWindow(w); }
    void setWindowFrame(WindowId w, NSRect frame) override { inner_.setWindowFrame(w, frame); }
    void setWindowVisible(WindowId w, bool visible) override {
        inner_.setWindowVisible(w, visible);
    }
    Ref<NSGraphicsContext> beginFrame(WindowId w) override { return inner_.beginFrame(w); }
    void presentFrame(WindowId w) override { inner_.presentFrame(w); }
    void postEvent(Ref<NSEvent> event) override { inner_.postEvent(std::move(event)); }
    Ref<NSEvent> nextEvent() override { return inner_.nextEvent(); }
    std::shared_ptr<RunLoopWaiter> runLoopWaiter() override { return inner_.runLoopWaiter(); }
    bool miniaturizeWindow(WindowId w) override {
        minimised.push_back(w);
        return true;
    }
    std::vector<WindowId> minimised;

  private:
    HeadlessBackend inner_;
};

/// A delegate that answers closeWindowAction and notes whether the window was still open.
class ClosingDelegate : public NSObject, public TabBarVDelegate {
  public:
    void closeWindowAction() override { seenOpen.push_back(window && window->isVisible()); }
    NSWindow* window = nullptr;
    std::vector<bool> seenOpen;
};

class Strips : public ButtonWindow {
  protected:
    void SetUp() override {
        backend = std::make_shared<MinimisingBackend>();
        WindowBackend::setShared(backend);
        ButtonWindow::SetUp();
        // The application's own window-button images.
        resources.reset();
        resources = std::make_unique<fixtures::ScopedResources>(UNINSTALLER_RESOURCES_DIR);
        strip = makeStrip(*window);
        other = makeWindow(NSMakeRect(300, 0, 200, 100));
        otherStrip = makeStrip(*other);
        other->orderFront();
    }
    void TearDown() override {
        other->orderOut();
        ButtonWindow::TearDown();
        strip.reset();
        otherStrip.reset();
        other.reset();
        window.reset();
        WindowBackend::setShared(nullptr);
    }
    static Ref<TabBarView> makeStrip(NSWindow& in) {
        auto s = TabBarView::make(NSMakeRect(10, 70, 60, 16));
        s->awakeFromNib();
        in.contentView()->addSubview(s);
        return s;
    }
    /// The images the six buttons show, a letter each (h hover, a active, i inactive),
    /// this window's strip first.
    std::string shown() const {
        std::string letters;
        for (const TabBarView* s : {strip.get(), otherStrip.get()}) {
            for (HMTrafficButtonsContainer* b :
                 {s->closeButton(), s->minButton(), s->zoomButton()}) {
                auto image = b->image();
                letters += image && image == b->hover()      ? 'h'
                           : image && image == b->active()   ? 'a'
                           : image && image == b->inactive() ? 'i'
                                                             : '?';
            }
        }
        return letters;
    }

    std::shared_ptr<MinimisingBackend> backend;
    Ref<TabBarView> strip;
    Ref<KeyableWindow> other;
    Ref<TabBarView> otherStrip;
};

TEST_F(Strips, ThreeButtonsWiredToTheStrip) {
    struct Case {
        HMTrafficButtonsContainer* button;
        NSRect frame;
        const char* id;
        const char* action;
    };
    for (const Case& c :
         {Case{strip->closeButton(), {{0, 2}, {12, 12}}, "close", "clickCloseButton:"},
          Case{strip->minButton(), {{18, 2}, {12, 12}}, "minimize", "clickMinimizeButton:"},
          Case{strip->zoomButton(), {{36, 2}, {12, 12}}, "zoom", "clickZoomButton:"}}) {
        SCOPED_TRACE(c.id);
        ASSERT_TRUE(c.button);
        EXPECT_EQ(c.button->frame(), c.frame);
        EXPECT_EQ(c.button->idStr(), c.id);
        EXPECT_EQ(c.button->action(), SEL(c.action));
        EXPECT_EQ(c.button->target().lock(), strip);
        EXPECT_EQ(c.button->superview(), strip.get());
        EXPECT_FALSE(c.button->isBordered());
        EXPECT_EQ(c.button->focusRingType(), NSFocusRingTypeNone);
        const std::string id = c.id;
        ASSERT_TRUE(c.button->inactive());
        EXPECT_EQ(c.button->inactive()->name(), "window-button-all-inactive");
        ASSERT_TRUE(c.button->active() && c.button->hover() && c.button->press());
        EXPECT_EQ(c.button->active()->name(), "window-button-" + id + "-active");
        EXPECT_EQ(c.button->hover()->name(), "window-button-" + id + "-hover");
        EXPECT_EQ(c.button->press()->name(), "window-button-" + id + "-press");
        // Held down, a traffic button shows its press image.
        EXPECT_EQ(c.button->alternateImage(), c.button->press());
    }
    ASSERT_TRUE(strip->trackingArea());
    EXPECT_EQ(strip->trackingArea()->rect(), strip->bounds());
    EXPECT_EQ(strip->trackingArea()->options(), 0x81u);
    // Awakened again (an interface file after code), it builds nothing more.
    strip->awakeFromNib();
    EXPECT_EQ(strip->subviews().size(), 3u);
}

TEST_F(Strips, HoveringOneStripLightsEveryStrip) {
    window->makeKeyAndOrderFront();
    ASSERT_EQ(shown(), "aaaaaa");
    moveTo(NSMakePoint(50, 72));  // over the strip
    EXPECT_EQ(shown(), "hhhhhh");
    EXPECT_TRUE(otherStrip->zoomButton()->hoverState());
    moveTo(NSMakePoint(150, 20));
    EXPECT_EQ(shown(), "aaaaaa");
    // Drawn as shown: the close button's hover image differs from its active one.
    auto idle = at(16, 78);
    moveTo(NSMakePoint(16, 78));
    EXPECT_NE(at(16, 78), idle);
}

TEST_F(Strips, MainWindowChangesSetEveryButton) {
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* shown;
    };
    auto third = makeWindow(NSMakeRect(600, 0, 100, 100));
    auto enterExit = NSEvent::enterExitEventWithType(NSEventTypeMouseEntered, {0, 0}, 0, 0,
                                                     other.get(), 0, nullptr, nullptr);
    const Step steps[] = {
        {"another window becomes main", [&] { other->makeKeyAndOrderFront(); }, "aaaaaa"},
        {"the last main window goes",
         [&] {
             other->orderOut();
             window->orderOut();
         },
         "iiiiii"},
        // The pointer over a strip of a window that is not shown: as its tracking would say.
        {"hover while inactive", [&] { otherStrip->mouseEntered(*enterExit); }, "hhhhhh"},
        {"leave while inactive", [&] { otherStrip->mouseExited(*enterExit); }, "iiiiii"},
        {"a window without a strip becomes main", [&] { third->makeKeyAndOrderFront(); }, "aaaaaa"},
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(shown(), s.shown) << s.what;
    }
    third->orderOut();
}

TEST_F(Strips, ClickEndsThePressAndKeepsTheHover) {
    window->makeKeyAndOrderFront();
    auto* zoom = strip->zoomButton();
    moveTo(NSMakePoint(52, 78));
    ASSERT_TRUE(zoom->hoverState());
    click(NSMakePoint(52, 78));
    EXPECT_FALSE(zoom->pressedState());
    EXPECT_TRUE(zoom->hoverState());
    EXPECT_EQ(zoom->image(), zoom->hover());
}

TEST_F(Strips, ZoomAndMinimiseReachTheWindow) {
    window->makeKeyAndOrderFront();
    click(NSMakePoint(52, 78));
    EXPECT_TRUE(window->isZoomed());
    EXPECT_EQ(window->frame(), NSScreen::mainScreen()->visibleFrame());
    // The strip stays where it was in the content: (10, 70) from the bottom left.
    NSPoint minimise = strip->convertPointToView(NSMakePoint(24, 8), nullptr);
    click(minimise);
    EXPECT_TRUE(window->isMiniaturized());
    EXPECT_EQ(backend->minimised, (std::vector<WindowBackend::WindowId>{window->backendWindow()}));
}

TEST_F(Strips, CloseTellsAnAnsweringDelegateFirst) {
    struct Case {
        const char* name;
        bool answers;
    };
    for (const Case& c : {Case{"answering delegate", true}, Case{"plain delegate", false},
                          Case{"no delegate", false}}) {
        SCOPED_TRACE(c.name);
        window->makeKeyAndOrderFront();
        auto delegate = std::make_shared<ClosingDelegate>();
        delegate->window = window.get();
        if (c.answers)
            strip->setDelegate(delegate);
        else if (std::string(c.name) == "plain delegate")
            strip->setDelegate(std::make_shared<NSObject>());
        else
            strip->setDelegate(nullptr);
        click(NSMakePoint(16, 78));
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(delegate->seenOpen, c.answers ? std::vector<bool>{true} : std::vector<bool>{});
    }
}

TEST_F(Strips, CloseSurvivesADelegateThatDropsTheStrip) {
    class Dropper : public NSObject, public TabBarVDelegate {
      public:
        void closeWindowAction() override {
            strip->removeFromSuperview();
            *owner = nullptr;
        }
        TabBarView* strip = nullptr;
        Ref<TabBarView>* owner = nullptr;
    };
    window->makeKeyAndOrderFront();
    auto dropper = std::make_shared<Dropper>();
    dropper->strip = strip.get();
    dropper->owner = &strip;
    strip->setDelegate(dropper);
    click(NSMakePoint(16, 78));
    EXPECT_EQ(strip, nullptr);
    EXPECT_TRUE(window->isVisible());  // the strip had left the window before closing it
}

TEST_F(Strips, BuiltFromAnInterfaceFile) {
    auto owner = std::make_shared<ClosingDelegate>();
    auto loaded = NibLoader::loadData(
        R"(<interface><TabBarView id="strip" frame="10 10 60 16" delegate="owner"/></interface>)",
        "Strip.ui", owner);
    ASSERT_TRUE(loaded) << loaded.error;
    auto view = std::dynamic_pointer_cast<TabBarView>(loaded.topLevelObjects.at(0));
    ASSERT_TRUE(view);
    EXPECT_EQ(view->delegate(), owner);
    ASSERT_TRUE(view->zoomButton());
    EXPECT_TRUE(view->respondsToSelector(view->zoomButton()->action()));
    EXPECT_EQ(view->subviews().size(), 3u);
}

}  // namespace
