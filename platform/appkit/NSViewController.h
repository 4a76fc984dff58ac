#pragma once
// View controllers: own a view, loaded from an interface file on first access.

#include <optional>
#include <string>

#include "platform/appkit/NSResponder.h"

class NSBundle;
class NSView;

class NSViewController : public NSResponder {
  public:
    ~NSViewController() override;
    /// Remembers the interface file (without extension) to load the view from; nullopt means
    /// the controller's class name. Nothing is loaded yet.
    virtual void initWithNibName(std::optional<std::string> nibName, const Ref<NSBundle>& bundle);
    const std::optional<std::string>& nibName() const { return nibName_; }

    /// The view, loading it first when needed (the file's "view" outlet sets it).
    NSView* view();
    Ref<NSView> viewRef();
    void setView(const Ref<NSView>& view);
    bool isViewLoaded() const { return view_ != nullptr; }
    /// Loads the interface file with the controller as owner; subclasses may build the view in
    /// code instead. An error is logged and leaves the view unset.
    virtual void loadView();
    /// Called once the view is loaded.
    virtual void viewDidLoad() {}

    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }

    static void registerClass();

  private:
    std::optional<std::string> nibName_;
    Ref<NSView> view_;
    std::string title_;
    bool loading_ = false;
};
