// Catches SDL input at the wrong window or position (SDL counts y from the top), keys that follow
// SDL's focus instead of the key window, lost or doubled text, and wrong drag, scroll or exit
// events.
#include <gtest/gtest.h>

#include <SDL2/SDL_events.h>

#include <map>
#include <vector>

#include "platform/appkit/NSWindow.h"
#include "platform/backend/HeadlessBackend.h"
#include "platform/backend/sdl/SdlEventTranslator.h"

namespace {

using platform::sdl::SdlEventTranslator;

class FakeHost final : public SdlEventTranslator::Host {
  public:
    std::map<std::uint32_t, NSWindow*> windows;
    std::vector<Ref<NSEvent>> events;
    std::vector<std::uint32_t> closes;

    NSWindow* ownerOfSdlWindow(std::uint32_t id) override {
        auto it = windows.find(id);
        return it == windows.end() ? nullptr : it->second;
    }
    double heightOfSdlWindow(std::uint32_t id) override {
        NSWindow* w = ownerOfSdlWindow(id);
        return w ? w->frame().size.height : 0;
    }
    void enqueue(Ref<NSEvent> event) override { events.push_back(std::move(event)); }
    void closeRequested(std::uint32_t id) override { closes.push_back(id); }
};

class SdlEventTranslatorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WindowBackend::setShared(std::make_shared<HeadlessBackend>());
        // Without a title bar the frame is the content: heights of 100 and 120.
        first = NSWindow::make(NSMakeRect(0, 0, 200, 100), NSWindowStyleMaskResizable);
        second = NSWindow::make(NSMakeRect(300, 0, 200, 120), NSWindowStyleMaskResizable);
        host.windows = {{1, first.get()}, {2, second.get()}};
    }
    void TearDown() override {
        first.reset();
        second.reset();
        WindowBackend::setShared(nullptr);
    }

    static SDL_Event button(Uint32 type, Uint32 window, Uint8 which, int x, int y, Uint8 clicks) {
        SDL_Event e{};
        e.type = type;
        e.button.windowID = window;
        e.button.button = which;
        e.button.x = x;
        e.button.y = y;
        e.button.clicks = clicks;
        return e;
    }
    static SDL_Event motion(Uint32 window, int x, int y, Uint32 state) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = window;
        e.motion.x = x;
        e.motion.y = y;
        e.motion.state = state;
        return e;
    }
    static SDL_Event key(Uint32 type, Uint32 window, SDL_Keycode sym, Uint16 mod) {
        SDL_Event e{};
        e.type = type;
        e.key.windowID = window;
        e.key.keysym.sym = sym;
        e.key.keysym.mod = mod;
        return e;
    }
    static SDL_Event text(Uint32 window, const char* utf8) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        e.text.windowID = window;
        SDL_strlcpy(e.text.text, utf8, sizeof e.text.text);
        return e;
    }
    static SDL_Event windowEvent(Uint32 window, Uint8 what) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = window;
        e.window.event = what;
        return e;
    }
    void feed(std::initializer_list<SDL_Event> events) {
        for (const auto& e : events)
            translator.translate(e);
        translator.flush();
    }

    FakeHost host;
    SdlEventTranslator translator{host};
    Ref<NSWindow> first, second;
};

TEST_F(SdlEventTranslatorTest, ButtonsLandInTheirWindowWithTheYAxisUp) {
    feed({button(SDL_MOUSEBUTTONDOWN, 2, SDL_BUTTON_LEFT, 10, 20, 2),
          button(SDL_MOUSEBUTTONUP, 2, SDL_BUTTON_LEFT, 10, 20, 2),
          button(SDL_MOUSEBUTTONDOWN, 1, SDL_BUTTON_RIGHT, 0, 99, 1),
          button(SDL_MOUSEBUTTONDOWN, 1, SDL_BUTTON_MIDDLE, 5, 5, 1),
          button(SDL_MOUSEBUTTONDOWN, 7, SDL_BUTTON_LEFT, 5, 5, 1)});
    ASSERT_EQ(host.events.size(), 3u) << "middle button and unknown windows are dropped";
    EXPECT_EQ(host.events[0]->type(), NSEventTypeLeftMouseDown);
    EXPECT_EQ(host.events[0]->window(), second.get());
    EXPECT_EQ(host.events[0]->locationInWindow(), NSMakePoint(10, 100));
    EXPECT_EQ(host.events[0]->clickCount(), 2);
    EXPECT_EQ(host.events[1]->type(), NSEventTypeLeftMouseUp);
    EXPECT_EQ(host.events[2]->type(), NSEventTypeRightMouseDown);
    EXPECT_EQ(host.events[2]->window(), first.get());
    EXPECT_EQ(host.events[2]->locationInWindow(), NSMakePoint(0, 1));
}

TEST_F(SdlEventTranslatorTest, MotionIsMovedOrDraggedAndARunFoldsIntoItsLast) {
    feed({motion(1, 1, 1, 0), motion(1, 2, 2, 0), motion(1, 3, 3, 0),
          button(SDL_MOUSEBUTTONDOWN, 1, SDL_BUTTON_LEFT, 3, 3, 1),
          motion(1, 4, 4, SDL_BUTTON_LMASK), motion(1, 5, 5, SDL_BUTTON_LMASK),
          motion(1, 6, 6, SDL_BUTTON_RMASK), motion(2, 7, 7, SDL_BUTTON_RMASK)});
    std::vector<std::pair<NSEventType, NSPoint>> got;
    for (auto& e : host.events)
        got.emplace_back(e->type(), e->locationInWindow());
    std::vector<std::pair<NSEventType, NSPoint>> expected = {
        {NSEventTypeMouseMoved, {3, 97}},         {NSEventTypeLeftMouseDown, {3, 97}},
        {NSEventTypeLeftMouseDragged, {5, 95}},   {NSEventTypeRightMouseDragged, {6, 94}},
        {NSEventTypeRightMouseDragged, {7, 113}},
    };
    EXPECT_EQ(got, expected);
    EXPECT_EQ(host.events.back()->window(), second.get());
}

TEST_F(SdlEventTranslatorTest, KeysGoToThePlatformKeyWindowWithTheirText) {
    first->makeKeyAndOrderFront();
    ASSERT_TRUE(first->isKeyWindow());
    // SDL says window 2 has the keyboard; the platform's key window is window 1.
    feed({key(SDL_KEYDOWN, 2, SDLK_e, KMOD_NONE), text(2, "\u00E9"),
          key(SDL_KEYUP, 2, SDLK_e, KMOD_NONE), key(SDL_KEYDOWN, 2, SDLK_RETURN, KMOD_NONE)});
    ASSERT_EQ(host.events.size(), 3u) << "the text belongs to its key, not to a key of its own";
    EXPECT_EQ(host.events[0]->type(), NSEventTypeKeyDown);
    EXPECT_EQ(host.events[0]->window(), first.get());
    EXPECT_EQ(host.events[0]->characters(), "\u00E9");
    EXPECT_EQ(host.events[0]->charactersIgnoringModifiers(), "e");
    EXPECT_EQ(host.events[0]->keyCode(), 14);
    EXPECT_EQ(host.events[1]->type(), NSEventTypeKeyUp);
    EXPECT_EQ(host.events[2]->characters(), "\r");
    EXPECT_EQ(host.events[2]->keyCode(), 36);

    // Without a key window, keys follow the window SDL focused.
    first->orderOut();
    ASSERT_EQ(NSWindow::keyWindow(), nullptr);
    host.events.clear();
    feed({windowEvent(2, SDL_WINDOWEVENT_FOCUS_GAINED), key(SDL_KEYDOWN, 1, SDLK_q, KMOD_NONE)});
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_EQ(host.events[0]->window(), second.get());
}

TEST_F(SdlEventTranslatorTest, CommandKeepsItsKeyAndTextAloneStillArrives) {
    first->makeKeyAndOrderFront();
    feed({key(SDL_KEYDOWN, 1, SDLK_LCTRL, KMOD_LCTRL), key(SDL_KEYDOWN, 1, SDLK_c, KMOD_LCTRL),
          text(1, "c"), key(SDL_KEYUP, 1, SDLK_LCTRL, KMOD_NONE), text(1, "\u4F60\u597D")});
    ASSERT_EQ(host.events.size(), 4u);
    EXPECT_EQ(host.events[0]->type(), NSEventTypeFlagsChanged);
    EXPECT_EQ(host.events[0]->modifierFlags(), NSEventModifierFlagCommand);
    EXPECT_EQ(host.events[0]->keyCode(), 55);
    EXPECT_EQ(host.events[1]->type(), NSEventTypeKeyDown);
    EXPECT_EQ(host.events[1]->characters(), "c");
    EXPECT_EQ(host.events[1]->modifierFlags(), NSEventModifierFlagCommand);
    EXPECT_EQ(host.events[2]->type(), NSEventTypeFlagsChanged);
    EXPECT_EQ(host.events[2]->modifierFlags(), 0u);
    // Text from an input method, with no key of its own.
    EXPECT_EQ(host.events[3]->type(), NSEventTypeKeyDown);
    EXPECT_EQ(host.events[3]->characters(), "\u4F60\u597D");
    EXPECT_EQ(host.events[3]->keyCode(), platform::sdl::kUnknownKeyCode);
}

TEST_F(SdlEventTranslatorTest, WheelSignsFollowThePlatform) {
    SDL_Event away{};
    away.type = SDL_MOUSEWHEEL;
    away.wheel.windowID = 1;
    away.wheel.preciseY = 1;
    away.wheel.preciseX = 2;
    away.wheel.mouseX = 10;
    away.wheel.mouseY = 30;
    SDL_Event flipped = away;
    flipped.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    feed({away, flipped});
    ASSERT_EQ(host.events.size(), 2u);
    EXPECT_EQ(host.events[0]->type(), NSEventTypeScrollWheel);
    EXPECT_EQ(host.events[0]->deltaY(), 1);
    EXPECT_EQ(host.events[0]->deltaX(), -2);
    EXPECT_EQ(host.events[0]->locationInWindow(), NSMakePoint(10, 70));
    EXPECT_EQ(host.events[1]->deltaY(), -1);
    EXPECT_EQ(host.events[1]->deltaX(), 2);
}

TEST_F(SdlEventTranslatorTest, WindowEventsRedrawLeaveAndClose) {
    second->orderFront();
    second->displayIfNeeded();
    ASSERT_FALSE(second->viewsNeedDisplay());
    EXPECT_TRUE(translator.translate(windowEvent(2, SDL_WINDOWEVENT_EXPOSED)));
    EXPECT_TRUE(second->viewsNeedDisplay());
    EXPECT_TRUE(host.events.empty());

    feed({windowEvent(2, SDL_WINDOWEVENT_LEAVE), windowEvent(1, SDL_WINDOWEVENT_CLOSE),
          windowEvent(9, SDL_WINDOWEVENT_EXPOSED)});
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_EQ(host.events[0]->type(), NSEventTypeMouseMoved);
    EXPECT_EQ(host.events[0]->window(), second.get());
    EXPECT_LT(host.events[0]->locationInWindow().x, -1000);
    EXPECT_EQ(host.closes, std::vector<std::uint32_t>{1});
}

// A pop-up that closes itself from a mouse-down is hidden before the release comes. The
// release never comes, and SDL then drops the next press (it still counts the button down):
// only that press's release arrives, in the other window.
TEST_F(SdlEventTranslatorTest, AWindowHiddenUnderAPressDoesNotCostTheNextClick) {
    feed({button(SDL_MOUSEBUTTONDOWN, 2, SDL_BUTTON_LEFT, 10, 20, 1),
          windowEvent(2, SDL_WINDOWEVENT_HIDDEN),
          button(SDL_MOUSEBUTTONUP, 1, SDL_BUTTON_LEFT, 30, 40, 1)});
    struct Expected {
        NSEventType type;
        NSWindow* window;
        NSPoint location;
    } expected[] = {
        {NSEventTypeLeftMouseDown, second.get(), NSMakePoint(10, 100)},
        {NSEventTypeLeftMouseUp, second.get(), NSMakePoint(10, 100)},  // where it was pressed
        {NSEventTypeLeftMouseDown, first.get(), NSMakePoint(30, 60)},  // the dropped press
        {NSEventTypeLeftMouseUp, first.get(), NSMakePoint(30, 60)},
    };
    ASSERT_EQ(host.events.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(host.events[i]->type(), expected[i].type) << "event " << i;
        EXPECT_EQ(host.events[i]->window(), expected[i].window) << "event " << i;
        EXPECT_EQ(host.events[i]->locationInWindow(), expected[i].location) << "event " << i;
    }

    // A window hidden with no button held, and a click in one window, add nothing.
    host.events.clear();
    feed({windowEvent(1, SDL_WINDOWEVENT_HIDDEN),
          button(SDL_MOUSEBUTTONDOWN, 1, SDL_BUTTON_RIGHT, 5, 5, 1),
          button(SDL_MOUSEBUTTONUP, 1, SDL_BUTTON_RIGHT, 5, 5, 1)});
    ASSERT_EQ(host.events.size(), 2u);
    EXPECT_EQ(host.events[0]->type(), NSEventTypeRightMouseDown);
    EXPECT_EQ(host.events[1]->type(), NSEventTypeRightMouseUp);
}

}  // namespace
