#include "platform/appkit/NSViewController.h"

#include "platform/appkit/NSView.h"
#include "platform/appkit/NibLoader.h"
#include "platform/foundation/NSLog.h"

void NSViewController::initWithNibName(std::optional<std::string> nibName, const Ref<NSBundle>&) {
    nibName_ = std::move(nibName);
}

NSView* NSViewController::view() {
    return viewRef().get();
}

Ref<NSView> NSViewController::viewRef() {
    if (!view_ && !loading_) {
        loading_ = true;
        loadView();
        loading_ = false;
        if (view_) viewDidLoad();
    }
    return view_;
}

NSViewController::~NSViewController() {
    // The view, kept alive by others, goes back to its superview as its next responder.
    if (view_ && view_->nextResponder() == this) view_->setNextResponder(view_->superview());
}

void NSViewController::setView(const Ref<NSView>& view) {
    if (view_ && view_->nextResponder() == this) view_->setNextResponder(view_->superview());
    view_ = view;
    // The controller sits between its view and the view's superview in the responder chain.
    if (view_ && view_->nextResponder() != this) {
        setNextResponder(view_->superview());
        view_->setNextResponder(this);
    }
}

void NSViewController::loadView() {
    std::string name = nibName_ ? *nibName_ : className();
    NibLoadResult result = NibLoader::load(name, self());
    if (!result) NSLog("%@", result.error);
}

void NSViewController::registerClass() {
    ClassRegistry::shared()
        .registerClass<NSViewController, NSResponder>("NSViewController")
        .outlet("view", &NSViewController::setView)
        .property("title", &NSViewController::setTitle);
}
