#include "platform/appkit/NSApplication.h"

#include <algorithm>
#include <cstdlib>

#include "platform/appkit/MainMenuPresenter.h"
#include "platform/appkit/NSMenu.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/NibLoader.h"
#include "platform/appkit/WindowBackend.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSThread.h"

NSApplication* NSApp = nullptr;

const NSNotificationName NSApplicationWillFinishLaunchingNotification =
    "NSApplicationWillFinishLaunchingNotification";
const NSNotificationName NSApplicationDidFinishLaunchingNotification =
    "NSApplicationDidFinishLaunchingNotification";
const NSNotificationName NSApplicationDidBecomeActiveNotification =
    "NSApplicationDidBecomeActiveNotification";
const NSNotificationName NSApplicationDidResignActiveNotification =
    "NSApplicationDidResignActiveNotification";
const NSNotificationName NSApplicationWillTerminateNotification =
    "NSApplicationWillTerminateNotification";

namespace {

Ref<NSApplication>& sharedSlot() {
    static Ref<NSApplication> app;
    return app;
}

std::function<void(int)>& exitHandler() {
    static std::function<void(int)> handler;
    return handler;
}

bool isMouseEvent(NSEventType type) {
    switch (type) {
        case NSEventTypeLeftMouseDown:
        case NSEventTypeLeftMouseUp:
        case NSEventTypeRightMouseDown:
        case NSEventTypeRightMouseUp:
        case NSEventTypeLeftMouseDragged:
        case NSEventTypeRightMouseDragged:
        case NSEventTypeScrollWheel:
            return true;
        default:
            return false;
    }
}

bool isKeyEvent(NSEventType type) {
    return type == NSEventTypeKeyDown || type == NSEventTypeKeyUp ||
           type == NSEventTypeFlagsChanged;
}

}  // namespace

// --- Shared application --------------------------------------------------------------------

Ref<NSApplication> NSApplication::sharedApplication() {
    auto& app = sharedSlot();
    if (!app) setSharedApplication(std::make_shared<NSApplication>());
    return app;
}

void NSApplication::setSharedApplication(const Ref<NSApplication>& app) {
    sharedSlot() = app;
    NSApp = app.get();
}

void NSApplication::resetSharedApplicationForTesting() {
    sharedSlot().reset();
    NSApp = nullptr;
}

NSApplication::NSApplication() = default;

NSApplication::~NSApplication() {
    if (NSApp == this) NSApp = nullptr;
}

NSApplicationDelegate* NSApplication::delegate() const {
    return delegate_.lock().get();
}

void NSApplication::setDelegate(const Ref<NSObject>& delegate) {
    delegateObject_ = delegate;
    delegate_ = std::dynamic_pointer_cast<NSApplicationDelegate>(delegate);
}

void NSApplication::setDelegate(const std::shared_ptr<NSApplicationDelegate>& delegate) {
    delegate_ = delegate;
    delegateObject_ = std::dynamic_pointer_cast<NSObject>(delegate);
}

void NSApplication::retainTopLevelObjects(std::vector<Ref<NSObject>> objects) {
    for (auto& object : objects)
        topLevelObjects_.push_back(std::move(object));
}

// --- Launching and the main loop ------------------------------------------------------------

void NSApplication::finishLaunching() {
    launched_ = true;
    auto& center = NSNotificationCenter::defaultCenter();
    NSNotification will(NSApplicationWillFinishLaunchingNotification, self());
    if (auto d = delegate_.lock()) d->applicationWillFinishLaunching(will);
    center.postNotification(will);
    activateIgnoringOtherApps(true);
    NSNotification did(NSApplicationDidFinishLaunchingNotification, self());
    if (auto d = delegate_.lock()) d->applicationDidFinishLaunching(did);
    center.postNotification(did);
}

void NSApplication::run() {
    Ref<NSObject> keepAlive = self();
    running_ = true;
    stopRequested_ = false;
    // Launching finishes inside the loop, so a delegate may stop it from there.
    if (!launched_) finishLaunching();
    while (running_ && !stopRequested_) {
        Ref<NSEvent> event = nextEventMatchingMask(NSEventMaskAny, NSDate::distantFuture(),
                                                   NSDefaultRunLoopMode, true);
        if (event) sendEvent(*event);
    }
}

void NSApplication::stop(NSObject*) {
    if (!sessions_.empty()) {
        stopModal();
        return;
    }
    running_ = false;
    stopRequested_ = true;
    // An empty block ends the loop's current wait.
    NSRunLoop::mainRunLoop().enqueueBlock([] {});
}

// --- Events ---------------------------------------------------------------------------------

void NSApplication::pullBackendEvents() {
    auto& backend = WindowBackend::shared();
    while (Ref<NSEvent> event = backend.nextEvent())
        queue_.push_back(std::move(event));
}

Ref<NSEvent> NSApplication::takeMatching(NSEventMask mask, bool dequeue) {
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
        if (!(mask & NSEventMaskFromType((*it)->type()))) continue;
        Ref<NSEvent> event = *it;
        if (dequeue) {
            queue_.erase(it);
            if (event->type() == NSEventTypeLeftMouseDown)
                event->mouseUpsBefore_ = long(leftMouseUps_);
            else if (event->type() == NSEventTypeLeftMouseUp)
                ++leftMouseUps_;
        }
        return event;
    }
    return nullptr;
}

bool NSApplication::leftMouseReleasedSince(const NSEvent& mouseDown) const {
    if (mouseDown.type() != NSEventTypeLeftMouseDown || mouseDown.mouseUpsBefore_ < 0) return false;
    return leftMouseUps_ > static_cast<unsigned long>(mouseDown.mouseUpsBefore_);
}

bool NSApplication::innermostSessionStopped() const {
    return !sessions_.empty() && sessions_.back().stopped;
}

Ref<NSEvent> NSApplication::nextEventMatchingMask(NSEventMask mask, const NSDate& expiration,
                                                  const NSRunLoopMode& mode, bool dequeue) {
    auto& loop = NSRunLoop::mainRunLoop();
    auto clock = Clock::shared();
    const double timeout = expiration.timeIntervalSinceNow();
    const bool unlimited = timeout > 1e9;
    const double end = clock->now() + timeout;
    const std::size_t depth = sessions_.size();
    const unsigned long mouseUpsAtStart = leftMouseUps_;
    auto interrupted = [&] {
        // A stopped modal session, or a stopped main loop, ends the wait of its own loop.
        if (depth > 0 && sessions_.size() >= depth && sessions_[depth - 1].stopped) return true;
        return depth == 0 && stopRequested_ && mode == NSDefaultRunLoopMode;
    };
    for (;;) {
        // A loop run from this wait (a dialog opened by a block) took a mouse-up: a press
        // being tracked here has been released, and its own release will not come. Later
        // events stay queued.
        if ((mask & NSEventMaskLeftMouseUp) && leftMouseUps_ != mouseUpsAtStart) return nullptr;
        pullBackendEvents();
        if (Ref<NSEvent> event = takeMatching(mask, dequeue)) return event;
        if (interrupted()) return nullptr;
        updateWindows();
        double remaining = unlimited ? -1 : std::max(0.0, end - clock->now());
        // Timers do not end the wait: what they change is drawn before the loop sleeps.
        struct DrawBeforeWaiting {
            NSRunLoop& loop;
            NSRunLoop::BeforeWaiting previous;
            ~DrawBeforeWaiting() { loop.setBeforeWaiting(std::move(previous)); }
        } draw{loop, loop.setBeforeWaiting([this] { updateWindows(); })};
        loop.runMode(mode, remaining);
        if (!unlimited && clock->now() >= end) {
            pullBackendEvents();
            return takeMatching(mask, dequeue);
        }
    }
}

void NSApplication::postEvent(const Ref<NSEvent>& event, bool atStart) {
    if (!event) return;
    if (atStart)
        queue_.push_front(event);
    else
        queue_.push_back(event);
    NSRunLoop::mainRunLoop().wake();
}

void NSApplication::discardEventsMatchingMask(NSEventMask mask, const NSEvent* beforeEvent) {
    pullBackendEvents();
    double limit = beforeEvent ? beforeEvent->timestamp() : 1e300;
    std::erase_if(queue_, [&](const Ref<NSEvent>& e) {
        return (mask & NSEventMaskFromType(e->type())) && e.get() != beforeEvent &&
               e->timestamp() <= limit;
    });
}

void NSApplication::sendEvent(NSEvent& event) {
    Ref<NSEvent> previous = currentEvent_;
    // Keep the event alive while it is handled, as the platform does for currentEvent.
    struct Restore {
        Ref<NSEvent>& slot;
        Ref<NSEvent> value;
        ~Restore() { slot = std::move(value); }
    } restore{currentEvent_, previous};
    currentEvent_ = std::shared_ptr<NSEvent>(std::shared_ptr<NSEvent>(), &event);
    dispatchEvent(event);
}

void NSApplication::dispatchEvent(NSEvent& event) {
    NSEventType type = event.type();
    NSWindow* window = event.window();
    if (isKeyEvent(type)) {
        // Keys go to the key window, whatever window the system reported.
        NSWindow* key = keyWindow();
        if (key) window = key;
        if (window && isWindowBlockedByModal(window)) return;
        if (type == NSEventTypeKeyDown) {
            NSEventModifierFlags flags =
                event.modifierFlags() & NSDeviceIndependentModifierFlagsMask;
            if (flags & NSEventModifierFlagCommand) {
                if (window && window->performKeyEquivalent(event)) return;
                if (mainMenu_ && mainMenu_->performKeyEquivalent(event)) return;
            } else if (event.keyCode() == 109 /* F10 */ && window && mainMenu_) {
                showMainMenu(window, window->mouseLocationOutsideOfEventStream());
                return;
            }
        }
        if (window) window->sendEvent(event);
        return;
    }
    if (!window) return;
    if (isMouseEvent(type) && isWindowBlockedByModal(window)) return;
    window->sendEvent(event);
}

// --- Actions --------------------------------------------------------------------------------

NSObject* NSApplication::chainTarget(SEL action, NSWindow* window) const {
    if (!window) return nullptr;
    for (NSResponder* r = window->firstResponder(); r; r = r->nextResponder()) {
        if (r->respondsToSelector(action)) return r;
        if (r == window) break;
    }
    if (window->respondsToSelector(action)) return window;
    if (auto* d = dynamic_cast<NSObject*>(window->delegate()); d && d->respondsToSelector(action))
        return d;
    return nullptr;
}

NSObject* NSApplication::targetForAction(SEL action, NSObject* target, NSObject*) const {
    if (!action) return nullptr;
    if (target) return target->respondsToSelector(action) ? target : nullptr;
    NSWindow* key = keyWindow();
    if (NSObject* found = chainTarget(action, key)) return found;
    NSWindow* main = mainWindow();
    if (main != key)
        if (NSObject* found = chainTarget(action, main)) return found;
    if (respondsToSelector(action)) return const_cast<NSApplication*>(this);
    if (auto d = delegateObject_.lock(); d && d->respondsToSelector(action)) return d.get();
    return nullptr;
}

bool NSApplication::sendAction(SEL action, NSObject* target, NSObject* sender) {
    NSObject* receiver = targetForAction(action, target, sender);
    if (!receiver) return false;
    Ref<NSObject> keep = receiver->weak_from_this().lock();
    SelectorArg arg;
    if (sender) {
        if (auto ref = sender->weak_from_this().lock()) arg = SelectorArg(ref);
    }
    return receiver->performSelector(action, arg);
}

bool NSApplication::tryToPerform(SEL action, NSObject* object) {
    return sendAction(action, nullptr, object);
}

// --- Modal sessions -------------------------------------------------------------------------

NSModalResponse NSApplication::runModalForWindow(NSWindow* window) {
    if (!window) return NSModalResponseAbort;
    Ref<NSObject> keepApp = self();
    ModalSession session;
    session.window = window;
    session.windowRef = window->weak_from_this();
    sessions_.push_back(session);
    const std::size_t depth = sessions_.size();
    window->makeKeyAndOrderFront(nullptr);
    NSModalResponse code = NSModalResponseContinue;
    for (;;) {
        if (sessions_.size() < depth) break;
        ModalSession& mine = sessions_[depth - 1];
        if (mine.stopped) {
            code = mine.code;
            break;
        }
        if (mine.windowRef.expired()) {
            code = NSModalResponseAbort;
            break;
        }
        Ref<NSEvent> event = nextEventMatchingMask(NSEventMaskAny, NSDate::distantFuture(),
                                                   NSModalPanelRunLoopMode, true);
        if (event) sendEvent(*event);
    }
    if (sessions_.size() >= depth) sessions_.resize(depth - 1);
    return code;
}

void NSApplication::endModal(NSModalResponse code) {
    if (sessions_.empty()) return;
    sessions_.back().stopped = true;
    sessions_.back().code = code;
    // A stop from a timer inside the modal loop's wait ends that wait now.
    NSRunLoop::mainRunLoop().enqueueBlock([] {});
}

void NSApplication::stopModal() {
    endModal(NSModalResponseStop);
}

void NSApplication::stopModalWithCode(NSModalResponse code) {
    endModal(code);
}

void NSApplication::abortModal() {
    endModal(NSModalResponseAbort);
}

NSWindow* NSApplication::modalWindow() const {
    for (auto it = sessions_.rbegin(); it != sessions_.rend(); ++it)
        if (!it->stopped && !it->windowRef.expired()) return it->window;
    return nullptr;
}

bool NSApplication::isWindowBlockedByModal(const NSWindow* window) const {
    NSWindow* modal = modalWindow();
    if (!modal || !window) return false;
    for (const NSWindow* w = window; w; w = w->parentWindow())
        if (w == modal) return false;
    // Menus and other windows above the modal level stay usable.
    return window->level() <= modal->level() || !window->isVisible();
}

// --- Windows --------------------------------------------------------------------------------

NSWindow* NSApplication::keyWindow() const {
    return NSWindow::keyWindow();
}

NSWindow* NSApplication::mainWindow() const {
    return NSWindow::mainWindow();
}

std::vector<NSWindow*> NSApplication::windows() const {
    return NSWindow::windows();
}

void NSApplication::addWindowsItem(NSWindow* window, const std::string& title, bool isFilename) {
    if (!window || window->isExcludedFromWindowsMenu()) return;
    std::erase_if(windowsItems_, [](const ListedWindow& item) { return item.window.expired(); });
    for (ListedWindow& item : windowsItems_) {
        if (item.identity == window) {
            item.title = title;
            item.isFilename = isFilename;
            return;
        }
    }
    windowsItems_.push_back({window->weak_from_this(), window, title, isFilename});
}

std::vector<NSApplication::WindowsItem> NSApplication::windowsItems() const {
    std::vector<WindowsItem> items;
    for (const ListedWindow& item : windowsItems_)
        if (!item.window.expired()) items.push_back({item.identity, item.title, item.isFilename});
    return items;
}

void NSApplication::updateWindows() {
    for (NSWindow* window : std::vector<NSWindow*>(NSWindow::windows())) {
        auto keep = window->weak_from_this().lock();
        if (keep) window->displayIfNeeded();
    }
}

// --- Activation and termination -------------------------------------------------------------

void NSApplication::activateIgnoringOtherApps(bool) {
    if (active_) return;
    active_ = true;
    NSNotification note(NSApplicationDidBecomeActiveNotification, self());
    if (auto d = delegate_.lock()) d->applicationDidBecomeActive(note);
    NSNotificationCenter::defaultCenter().postNotification(note);
}

void NSApplication::terminate(NSObject*) {
    NSApplicationTerminateReply reply = NSTerminateNow;
    if (auto d = delegate_.lock()) reply = d->applicationShouldTerminate(this);
    if (reply == NSTerminateCancel) return;
    if (reply == NSTerminateLater) {
        terminatePending_ = true;
        return;
    }
    replyToApplicationShouldTerminate(true);
}

void NSApplication::replyToApplicationShouldTerminate(bool shouldTerminate) {
    terminatePending_ = false;
    if (!shouldTerminate) return;
    NSNotification note(NSApplicationWillTerminateNotification, self());
    if (auto d = delegate_.lock()) d->applicationWillTerminate(note);
    NSNotificationCenter::defaultCenter().postNotification(note);
    if (auto& handler = exitHandler())
        handler(0);
    else
        std::exit(0);
}

void NSApplication::setExitHandlerForTesting(std::function<void(int)> handler) {
    exitHandler() = std::move(handler);
}

void NSApplication::setMainMenu(const Ref<NSMenu>& menu) {
    mainMenu_ = menu;
}

void NSApplication::setMainMenuObject(const Ref<NSObject>& menu) {
    setMainMenu(std::dynamic_pointer_cast<NSMenu>(menu));
}

void NSApplication::showMainMenu(NSWindow* window, NSPoint location) {
    if (mainMenu_ && window) platform::showMainMenu(window, location);
}

void NSApplication::hide(NSObject*) {
    for (NSWindow* window : NSWindow::windows())
        if (window->isVisible()) window->miniaturize(nullptr);
}

void NSApplication::orderFrontStandardAboutPanel(NSObject*) {}

void NSApplication::registerClass() {
    ClassRegistry::shared()
        .registerClass<NSApplication, NSResponder>("NSApplication")
        .action("terminate:", &NSApplication::terminate)
        .action("stop:", &NSApplication::stop)
        .action("hide:", &NSApplication::hide)
        .action("orderFrontStandardAboutPanel:", &NSApplication::orderFrontStandardAboutPanel)
        .outlet("delegate", static_cast<void (NSApplication::*)(const Ref<NSObject>&)>(
                                &NSApplication::setDelegate))
        .outlet("mainMenu", &NSApplication::setMainMenuObject);
}

// --- NSApplicationMain ----------------------------------------------------------------------

int NSApplicationMain(int, char**) {
    auto bundle = NSBundle::mainBundle();
    std::string principal = "NSApplication";
    if (const PlistValue* value = bundle->objectForInfoDictionaryKey("NSPrincipalClass");
        value && value->isString())
        principal = *value->stringValue();
    Ref<NSApplication> app =
        std::dynamic_pointer_cast<NSApplication>(ClassRegistry::shared().createInstance(principal));
    if (!app) {
        NSLog("Unable to find the principal class %@; using NSApplication", principal);
        app = std::make_shared<NSApplication>();
    }
    NSApplication::setSharedApplication(app);
    if (const PlistValue* nib = bundle->objectForInfoDictionaryKey("NSMainNibFile");
        nib && nib->isString()) {
        NibLoadResult result = NibLoader::load(*nib->stringValue(), app);
        if (!result) {
            NSLog("%@", result.error);
            return 1;
        }
        app->retainTopLevelObjects(std::move(result.topLevelObjects));
    }
    app->run();
    return 0;
}
