#include "windows/TCWindowButton.h"

#include "platform/appkit/NSWindow.h"

namespace {

NSNotificationCenter& center() {
    return NSNotificationCenter::defaultCenter();
}

const NSNotificationName* const kWindowNotifications[] = {
    &NSWindowDidBecomeKeyNotification,
    &NSWindowDidResignKeyNotification,
    &NSWindowWillEnterFullScreenNotification,
    &NSWindowWillExitFullScreenNotification,
};

}  // namespace

Ref<TCWindowButton> TCWindowButton::windowButtonWithSize(
    NSSize size, const std::optional<std::string>& groupIdentifier) {
    auto button = std::make_shared<TCWindowButton>();
    button->initWithSize(size, groupIdentifier);
    return button;
}

TCWindowButton::~TCWindowButton() {
    center().removeObserver(this);
}

void TCWindowButton::initWithSize(NSSize size, const std::optional<std::string>& groupIdentifier) {
    initWithFrame(NSMakeRect(0, 0, size.width, size.height));
    groupIdentifier_ = groupIdentifier;
    setButtonType(NSButtonTypeMomentaryChange);
    setBordered(false);
    setTitle("");
    if (NSButtonCell* c = cell()) {
        c->setHighlightsBy(NSContentsCellMask);
        c->setImageDimsWhenDisabled(false);
    }
    observeGroup();
}

void TCWindowButton::observeGroup() {
    if (observedGroup_)
        center().removeObserver(this, TCWindowButtonGroupDidUpdateRolloverStateNotification,
                                observedGroup_);
    Ref<TCWindowButtonGroup> g = group();
    observedGroup_ = g.get();
    center().addObserver(self(), SEL("windowButtonGroupDidUpdateRolloverStateNotification:"),
                         TCWindowButtonGroupDidUpdateRolloverStateNotification, g.get());
}

void TCWindowButton::setGroupIdentifier(const std::optional<std::string>& identifier) {
    groupIdentifier_ = identifier;
    // A button that counted its captures in one group but listened to another would never
    // roll over.
    if (observedGroup_) observeGroup();
}

Ref<TCWindowButtonGroup> TCWindowButton::group() const {
    return TCWindowButtonGroup::groupWithIdentifier(groupIdentifier_);
}

void TCWindowButton::setEnabled(bool enabled) {
    NSButton::setEnabled(enabled);
    // By the window's key state too: an enabled button of a background window shows the
    // not-key image, not the key window's.
    updateImage();
}

void TCWindowButton::updateRollOverImage() {
    if (group()->shouldDisplayRollOver() && isEnabled())
        setImage(rolloverImage_);
    else
        updateImage();
}

void TCWindowButton::updateImage() {
    if (isEnabled())
        updateActiveImage();
    else
        setImage(inactiveImage_);
}

void TCWindowButton::updateActiveImage() {
    NSWindow* w = window();
    setImage(w && w->isKeyWindow() ? activeImage_ : activeNotKeyWindowImage_);
}

void TCWindowButton::mouseEntered(NSEvent& event) {
    NSButton::mouseEntered(event);
    group()->didCaptureMousePointer();
    updateRollOverImage();
}

void TCWindowButton::mouseExited(NSEvent& event) {
    NSButton::mouseExited(event);
    group()->didReleaseMousePointer();
    updateRollOverImage();
}

void TCWindowButton::updateTrackingAreas() {
    NSButton::updateTrackingAreas();
    if (mouseTrackingArea_) removeTrackingArea(mouseTrackingArea_);
    auto owner = std::static_pointer_cast<NSResponder>(weak_from_this().lock());
    mouseTrackingArea_ =
        NSTrackingArea::make(NSInsetRect(bounds(), -4, -4),
                             NSTrackingMouseEnteredAndExited | NSTrackingActiveAlways, owner);
    if (!owner) mouseTrackingArea_->setRawOwner(this);
    addTrackingArea(mouseTrackingArea_);
}

void TCWindowButton::viewWillMoveToWindow(NSWindow* newWindow) {
    NSButton::viewWillMoveToWindow(newWindow);
    if (NSWindow* old = window()) {
        for (const NSNotificationName* name : kWindowNotifications)
            center().removeObserver(this, *name, old);
    }
    if (!newWindow) return;
    Ref<NSObject> me = self();
    center().addObserver(me, SEL("windowDidChangeFocus:"), NSWindowDidBecomeKeyNotification,
                         newWindow);
    center().addObserver(me, SEL("windowDidChangeFocus:"), NSWindowDidResignKeyNotification,
                         newWindow);
    center().addObserver(me, SEL("windowWillEnterFullScreen:"),
                         NSWindowWillEnterFullScreenNotification, newWindow);
    center().addObserver(me, SEL("windowWillExitFullScreen:"),
                         NSWindowWillExitFullScreenNotification, newWindow);
}

void TCWindowButton::viewDidMoveToWindow() {
    NSButton::viewDidMoveToWindow();
    if (window()) updateImage();
}

void TCWindowButton::viewDidEndLiveResize() {
    group()->resetMouseCaptures();
}

void TCWindowButton::windowButtonGroupDidUpdateRolloverStateNotification(
    const Ref<NSNotification>&) {
    updateRollOverImage();
}

void TCWindowButton::windowDidChangeFocus(const Ref<NSNotification>&) {
    updateImage();
}

void TCWindowButton::windowWillEnterFullScreen(const Ref<NSNotification>&) {
    group()->resetMouseCaptures();
    setHidden(true);
}

void TCWindowButton::windowWillExitFullScreen(const Ref<NSNotification>&) {
    group()->resetMouseCaptures();
    setHidden(false);
}

void TCWindowButton::registerClass() {
    ClassRegistry::shared()
        .registerClass<TCWindowButton, NSButton>("TCWindowButton")
        .method("windowButtonGroupDidUpdateRolloverStateNotification:",
                &TCWindowButton::windowButtonGroupDidUpdateRolloverStateNotification)
        .method("windowDidChangeFocus:", &TCWindowButton::windowDidChangeFocus)
        .method("windowWillEnterFullScreen:", &TCWindowButton::windowWillEnterFullScreen)
        .method("windowWillExitFullScreen:", &TCWindowButton::windowWillExitFullScreen);
}
