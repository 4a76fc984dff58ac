#include "appsManager/SortViewController.h"

#include "appsManager/SortViewControllerDelegate.h"
#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/NSWindowController.h"

namespace {

void setUp(const Ref<SortButton>& button, const char* text, long tag, bool chosen,
           const Ref<NSObject>& delegate) {
    if (!button) return;
    button->setButtonString(text);
    button->setDelegate(delegate);
    button->setTag(tag);
    button->setSelectStart(chosen);
}

void mark(const Ref<SortButton>& chosen, const Ref<SortButton>& other) {
    if (chosen) chosen->setSelectStart(true);
    if (other) other->setSelectStart(false);
}

}  // namespace

void SortViewController::awakeFromNib() {
    NSViewController::awakeFromNib();
    type_ = 1;
    updown_ = 1;
    Ref<NSObject> me = self();
    setUp(nameButton_, "Name", 0, true, me);
    setUp(sizeButton_, "Size", 1, false, me);
    setUp(ascButton_, "Ascending", 2, true, me);
    setUp(desButton_, "Descending", 3, false, me);
    if (NSView* v = view()) {
        auto owner = std::static_pointer_cast<NSResponder>(me);
        v->addTrackingArea(NSTrackingArea::make(
            v->bounds(),
            NSTrackingMouseEnteredAndExited | NSTrackingMouseMoved | NSTrackingActiveAlways,
            owner));
    }
}

bool SortViewController::isOwnTrackingEvent(const NSEvent& event) const {
    Ref<NSTrackingArea> area = event.trackingArea();
    if (!area) return true;
    Ref<NSResponder> owner = area->owner();
    return (owner ? owner.get() : area->rawOwner()) == this;
}

void SortViewController::reportPointer(bool exited) {
    Ref<NSObject> keep = delegate_.lock();
    if (auto* answering = dynamic_cast<SortViewControllerDelegate*>(keep.get()))
        answering->mouseEixtView(exited);
}

void SortViewController::mouseEntered(NSEvent& event) {
    if (isOwnTrackingEvent(event)) reportPointer(false);
}

void SortViewController::mouseExited(NSEvent& event) {
    if (isOwnTrackingEvent(event)) reportPointer(true);
}

void SortViewController::selectButtonWithTag(std::int32_t tag) {
    switch (tag) {
        case 0:
            type_ = 1;
            mark(nameButton_, sizeButton_);
            break;
        case 1:
            type_ = 2;
            mark(sizeButton_, nameButton_);
            break;
        case 2:
            updown_ = 1;
            mark(ascButton_, desButton_);
            break;
        default:
            updown_ = 2;
            mark(desButton_, ascButton_);
            break;
    }
    Ref<NSObject> keep = delegate_.lock();
    if (auto* answering = dynamic_cast<SortViewControllerDelegate*>(keep.get()))
        answering->sortActionBy(type_, updown_);
}

Ref<NSObject> SortViewController::superDelegate() const {
    std::lock_guard lock(superDelegateMutex_);
    return superDelegate_;
}

void SortViewController::setSuperDelegate(const Ref<NSObject>& object) {
    std::lock_guard lock(superDelegateMutex_);
    superDelegate_ = object;
}

void SortViewController::closeWindow() {
    Ref<NSObject> target = superDelegate();
    if (auto* window = dynamic_cast<NSWindow*>(target.get()))
        window->close();
    else if (auto* controller = dynamic_cast<NSWindowController*>(target.get()))
        controller->close();
    else if (target && target->respondsToSelector(SEL("close")))
        target->performSelector(SEL("close"));
}

void SortViewController::registerClass() {
    ClassRegistry::shared()
        .registerClass<SortViewController, NSViewController>("SortViewController")
        .outlet("nameButton", &SortViewController::setNameButton)
        .outlet("sizeButton", &SortViewController::setSizeButton)
        .outlet("ascButton", &SortViewController::setAscButton)
        .outlet("desButton", &SortViewController::setDesButton)
        .outlet("delegate", &SortViewController::setDelegate)
        .outlet("superDelegate", &SortViewController::setSuperDelegate)
        .method("closeWindow", &SortViewController::closeWindow);
}
