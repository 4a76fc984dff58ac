#pragma once
// The application object: the event loop, modal sessions, the responder chain for actions,
// the main menu with its key equivalents, activation and termination.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSResponder.h"
#include "platform/foundation/NSDate.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/NSRunLoop.h"

class NSApplication;
class NSMenu;
class NSWindow;

/// The shared application (nullptr until sharedApplication() or NSApplicationMain made it).
extern NSApplication* NSApp;

using NSEventMask = unsigned long long;
inline constexpr NSEventMask NSEventMaskFromType(NSEventType type) {
    return 1ull << type;
}
inline constexpr NSEventMask NSEventMaskLeftMouseDown = 1ull << NSEventTypeLeftMouseDown;
inline constexpr NSEventMask NSEventMaskLeftMouseUp = 1ull << NSEventTypeLeftMouseUp;
inline constexpr NSEventMask NSEventMaskRightMouseDown = 1ull << NSEventTypeRightMouseDown;
inline constexpr NSEventMask NSEventMaskRightMouseUp = 1ull << NSEventTypeRightMouseUp;
inline constexpr NSEventMask NSEventMaskMouseMoved = 1ull << NSEventTypeMouseMoved;
inline constexpr NSEventMask NSEventMaskLeftMouseDragged = 1ull << NSEventTypeLeftMouseDragged;
inline constexpr NSEventMask NSEventMaskRightMouseDragged = 1ull << NSEventTypeRightMouseDragged;
inline constexpr NSEventMask NSEventMaskMouseEntered = 1ull << NSEventTypeMouseEntered;
inline constexpr NSEventMask NSEventMaskMouseExited = 1ull << NSEventTypeMouseExited;
inline constexpr NSEventMask NSEventMaskKeyDown = 1ull << NSEventTypeKeyDown;
inline constexpr NSEventMask NSEventMaskKeyUp = 1ull << NSEventTypeKeyUp;
inline constexpr NSEventMask NSEventMaskFlagsChanged = 1ull << NSEventTypeFlagsChanged;
inline constexpr NSEventMask NSEventMaskApplicationDefined = 1ull << NSEventTypeApplicationDefined;
inline constexpr NSEventMask NSEventMaskScrollWheel = 1ull << NSEventTypeScrollWheel;
inline constexpr NSEventMask NSEventMaskAny = ~0ull;
inline constexpr NSEventMask NSLeftMouseDownMask = NSEventMaskLeftMouseDown;
inline constexpr NSEventMask NSLeftMouseUpMask = NSEventMaskLeftMouseUp;
inline constexpr NSEventMask NSLeftMouseDraggedMask = NSEventMaskLeftMouseDragged;
inline constexpr NSEventMask NSAnyEventMask = NSEventMaskAny;

using NSModalResponse = long;
inline constexpr NSModalResponse NSModalResponseStop = -1000;
inline constexpr NSModalResponse NSModalResponseAbort = -1001;
inline constexpr NSModalResponse NSModalResponseContinue = -1002;
inline constexpr NSModalResponse NSRunStoppedResponse = NSModalResponseStop;
inline constexpr NSModalResponse NSRunAbortedResponse = NSModalResponseAbort;

enum NSApplicationTerminateReply : unsigned long {
    NSTerminateCancel = 0,
    NSTerminateNow = 1,
    NSTerminateLater = 2,
};

extern const NSNotificationName NSApplicationWillFinishLaunchingNotification;
extern const NSNotificationName NSApplicationDidFinishLaunchingNotification;
extern const NSNotificationName NSApplicationDidBecomeActiveNotification;
extern const NSNotificationName NSApplicationDidResignActiveNotification;
extern const NSNotificationName NSApplicationWillTerminateNotification;

/// What the application tells its delegate; every message is optional.
class NSApplicationDelegate {
  public:
    virtual ~NSApplicationDelegate() = default;
    virtual void applicationWillFinishLaunching(const NSNotification& /*notification*/) {}
    virtual void applicationDidFinishLaunching(const NSNotification& /*notification*/) {}
    virtual void applicationDidBecomeActive(const NSNotification& /*notification*/) {}
    virtual void applicationDidResignActive(const NSNotification& /*notification*/) {}
    virtual NSApplicationTerminateReply applicationShouldTerminate(NSApplication* /*sender*/) {
        return NSTerminateNow;
    }
    virtual void applicationWillTerminate(const NSNotification& /*notification*/) {}
};

class NSApplication : public NSResponder {
  public:
    /// The shared application; made (as a plain NSApplication) on first use.
    static Ref<NSApplication> sharedApplication();
    /// Makes `app` the shared application (NSApplicationMain does it with the principal class).
    static void setSharedApplication(const Ref<NSApplication>& app);
    /// Drops the shared application and every modal session (tests).
    static void resetSharedApplicationForTesting();

    NSApplication();
    ~NSApplication() override;

    // The delegate (not retained) and the objects of the main interface file (retained).
    NSApplicationDelegate* delegate() const;
    void setDelegate(const Ref<NSObject>& delegate);
    void setDelegate(const std::shared_ptr<NSApplicationDelegate>& delegate);
    /// Keeps the top-level objects of the main interface file alive for the process.
    void retainTopLevelObjects(std::vector<Ref<NSObject>> objects);

    // Launching and the main loop.
    /// Posts the launch notifications (will, then did) and activates the application.
    virtual void finishLaunching();
    /// Finishes launching when that has not happened yet, then runs the main event loop until
    /// stop() or terminate().
    virtual void run();
    /// Ends run() after the current event.
    void stop(NSObject* sender = nullptr);
    bool isRunning() const { return running_; }

    // Events.
    /// Delivers one event: Command-key equivalents to the key window and the main menu, every
    /// other event to its window (held back from windows that a modal window blocks).
    virtual void sendEvent(NSEvent& event);
    /// The next event matching `mask`, waiting until `expiration` while the run loop serves
    /// `mode` (timers of that mode, the main queue). Non-matching events stay queued. Returns
    /// nullptr at the deadline, when the innermost modal session was stopped, or when `mask`
    /// asks for left mouse-ups and a loop run during the wait took one.
    Ref<NSEvent> nextEventMatchingMask(NSEventMask mask, const NSDate& expiration,
                                       const NSRunLoopMode& mode, bool dequeue);
    /// Puts `event` at the front (or back) of the queue.
    void postEvent(const Ref<NSEvent>& event, bool atStart);
    /// Removes queued events matching `mask` that came before `event`'s time.
    void discardEventsMatchingMask(NSEventMask mask, const NSEvent* beforeEvent);
    /// The event being handled (nullptr outside event handling).
    NSEvent* currentEvent() const { return currentEvent_.get(); }
    /// Whether a left mouse-up has been taken from the queue since `mouseDown` was. False for
    /// events that never went through the queue. A loop that waits for the release of a press
    /// asks this first: a modal loop run from the press may have taken the mouse-up already.
    bool leftMouseReleasedSince(const NSEvent& mouseDown) const;

    // Actions.
    /// Sends `action` to `target`, or when `target` is nullptr along the responder chain: the
    /// key window's first responder and its next responders, the key window, its delegate,
    /// then the same for the main window when it differs, the application and its delegate.
    /// Returns whether some object took it.
    virtual bool sendAction(SEL action, NSObject* target, NSObject* sender);
    /// The object that sendAction would reach for `action` (nullptr when none answers).
    NSObject* targetForAction(SEL action, NSObject* target = nullptr,
                              NSObject* sender = nullptr) const;
    /// Sends `action` to the first object of the chain that answers it (tryToPerform:with:).
    bool tryToPerform(SEL action, NSObject* object);

    // Modal sessions.
    /// Shows `window` and runs a nested loop that delivers input only to it (and its child
    /// windows) until stopModal/abortModal; returns the code.
    NSModalResponse runModalForWindow(NSWindow* window);
    /// Ends the innermost modal loop with NSModalResponseStop at its next turn.
    void stopModal();
    void stopModalWithCode(NSModalResponse code);
    /// Ends the innermost modal loop with NSModalResponseAbort.
    void abortModal();
    /// The window of the innermost modal session, or nullptr.
    NSWindow* modalWindow() const;
    /// Whether input for `window` is held back by a modal session.
    bool isWindowBlockedByModal(const NSWindow* window) const;

    // Windows.
    NSWindow* keyWindow() const;
    NSWindow* mainWindow() const;
    /// The visible and hidden windows of the application.
    std::vector<NSWindow*> windows() const;
    /// Draws every window that is marked dirty.
    void updateWindows();
    /// One entry of the Windows menu list.
    struct WindowsItem {
        NSWindow* window;
        std::string title;
        bool isFilename;
    };
    /// Lists `window` under `title` in the Windows menu (a window already listed gets the new
    /// title; a window excluded from the Windows menu is not listed). There is no menu bar
    /// here: the list is only kept (windowsItems).
    void addWindowsItem(NSWindow* window, const std::string& title, bool isFilename);
    /// The listed windows that still exist, in the order they were first listed.
    std::vector<WindowsItem> windowsItems() const;

    // Activation and termination.
    bool isActive() const { return active_; }
    void activateIgnoringOtherApps(bool flag);
    /// Asks the delegate, then posts NSApplicationWillTerminateNotification and ends the
    /// process with status 0 (through the exit hook in tests).
    virtual void terminate(NSObject* sender);
    /// The answer to a delegate that said NSTerminateLater.
    void replyToApplicationShouldTerminate(bool shouldTerminate);
    /// Replaces std::exit for terminate() (tests); nullptr restores it.
    static void setExitHandlerForTesting(std::function<void(int)> handler);

    // The main menu.
    NSMenu* mainMenu() const { return mainMenu_.get(); }
    void setMainMenu(const Ref<NSMenu>& menu);
    void setMainMenuObject(const Ref<NSObject>& menu);
    /// Opens the main menu as a pop-up at `location` in `window` (there is no global menu bar
    /// on this platform: F10 and a right-click in a title bar open it).
    void showMainMenu(NSWindow* window, NSPoint location);

    // Standard actions the application answers.
    void hide(NSObject* sender);
    void orderFrontStandardAboutPanel(NSObject* sender);

    static void registerClass();

  private:
    struct ModalSession {
        NSWindow* window;
        WeakRef<NSObject> windowRef;
        bool stopped = false;
        NSModalResponse code = NSModalResponseContinue;
    };
    void pullBackendEvents();
    Ref<NSEvent> takeMatching(NSEventMask mask, bool dequeue);
    bool innermostSessionStopped() const;
    void endModal(NSModalResponse code);
    NSObject* chainTarget(SEL action, NSWindow* window) const;
    void dispatchEvent(NSEvent& event);

    WeakRef<NSApplicationDelegate> delegate_;
    WeakRef<NSObject> delegateObject_;
    std::vector<Ref<NSObject>> topLevelObjects_;
    std::deque<Ref<NSEvent>> queue_;
    Ref<NSEvent> currentEvent_;
    std::vector<ModalSession> sessions_;
    Ref<NSMenu> mainMenu_;
    struct ListedWindow {
        WeakRef<NSObject> window;
        NSWindow* identity;
        std::string title;
        bool isFilename;
    };
    std::vector<ListedWindow> windowsItems_;
    bool running_ = false;
    bool stopRequested_ = false;
    bool launched_ = false;
    bool active_ = false;
    bool terminatePending_ = false;
    unsigned long leftMouseUps_ = 0;  ///< left mouse-ups taken from the queue so far
};

/// Reads the principal class and the main interface file from the main bundle's Info.plist,
/// makes the shared application, loads the interface file with it as owner, and runs. The
/// returned status is that of a run ended with stop().
int NSApplicationMain(int argc, char** argv);
