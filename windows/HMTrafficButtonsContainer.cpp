#include "windows/HMTrafficButtonsContainer.h"

#include "platform/appkit/NSWindow.h"

const NSNotificationName HMTrafficButtonMouseEnter = "HMTrafficButtonMouseEnter";
const NSNotificationName HMTrafficButtonMouseExit = "HMTrafficButtonMouseExit";

HMTrafficButtonsContainer::~HMTrafficButtonsContainer() {
    NSNotificationCenter::defaultCenter().removeObserver(this);
}

std::string HMTrafficButtonsContainer::idStr() const {
    std::lock_guard lock(idMutex_);
    return idStr_;
}

void HMTrafficButtonsContainer::setIdStr(const std::string& idStr) {
    std::lock_guard lock(idMutex_);
    idStr_ = idStr;
}

void HMTrafficButtonsContainer::setup() {
    setBordered(false);
    if (NSButtonCell* c = cell()) c->setHighlightsBy(NSContentsCellMask);
    const std::string id = idStr();
    inactive_ = NSImage::imageNamed("window-button-all-inactive");
    active_ = NSImage::imageNamed("window-button-" + id + "-active");
    hover_ = NSImage::imageNamed("window-button-" + id + "-hover");
    press_ = NSImage::imageNamed("window-button-" + id + "-press");
    // The cell shows the alternate image while it is highlighted, that is while held down.
    setAlternateImage(press_);
    setActiveState();
    auto& center = NSNotificationCenter::defaultCenter();
    Ref<NSObject> me = self();
    center.removeObserver(this);  // a second setup must not double the observations
    center.addObserver(me, SEL("setActiveState"), NSWindowDidBecomeMainNotification, nullptr);
    center.addObserver(me, SEL("setInactiveState"), NSWindowDidResignMainNotification, nullptr);
    center.addObserver(me, SEL("hoverIn"), HMTrafficButtonMouseEnter, nullptr);
    center.addObserver(me, SEL("hoverOut"), HMTrafficButtonMouseExit, nullptr);
}

void HMTrafficButtonsContainer::setActiveState() {
    activeState_ = true;
    setImage(hoverState_ ? hover_ : active_);
}

void HMTrafficButtonsContainer::setInactiveState() {
    activeState_ = false;
    setImage(inactive_);
}

void HMTrafficButtonsContainer::hoverIn() {
    hoverState_ = true;
    setImage(hover_);
}

void HMTrafficButtonsContainer::hoverOut() {
    hoverState_ = false;
    setImage(activeState_ ? active_ : inactive_);
}

void HMTrafficButtonsContainer::mouseDown(NSEvent& event) {
    const bool hoveredBefore = hoverState_;
    pressedState_ = true;
    hoverState_ = false;
    NSButton::mouseDown(event);
    // The tracking loop takes the release itself, so mouseUp never follows a tracked click:
    // the press ends here. The pointer was over the strip when it went down; if it left
    // meanwhile, the strip's exit at the next movement says so.
    if (pressedState_) {
        pressedState_ = false;
        hoverState_ = hoveredBefore;
    }
}

void HMTrafficButtonsContainer::mouseUp(NSEvent& event) {
    pressedState_ = false;
    hoverState_ = true;
    NSButton::mouseUp(event);
}

void HMTrafficButtonsContainer::registerClass() {
    ClassRegistry::shared()
        .registerClass<HMTrafficButtonsContainer, NSButton>("HMTrafficButtonsContainer")
        .property("idStr", &HMTrafficButtonsContainer::setIdStr)
        .method("setup", &HMTrafficButtonsContainer::setup)
        .method("setActiveState", &HMTrafficButtonsContainer::setActiveState)
        .method("setInactiveState", &HMTrafficButtonsContainer::setInactiveState)
        .method("hoverIn", &HMTrafficButtonsContainer::hoverIn)
        .method("hoverOut", &HMTrafficButtonsContainer::hoverOut);
}
