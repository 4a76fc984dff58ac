#pragma once
// Window controllers: own a window, loaded from an interface file on first access.

#include <optional>
#include <string>

#include "platform/appkit/NSResponder.h"

class NSWindow;

class NSWindowController : public NSResponder {
  public:
    /// Remembers the interface file to load the window from; nothing is loaded yet.
    virtual void initWithWindowNibName(std::string nibName);
    /// Takes a window made in code.
    virtual void initWithWindow(const Ref<NSWindow>& window);
    const std::string& windowNibName() const { return nibName_; }

    /// The window, loading the interface file first when needed (its "window" outlet sets it);
    /// windowWillLoad and windowDidLoad surround the loading.
    NSWindow* window();
    Ref<NSWindow> windowRef();
    void setWindow(const Ref<NSWindow>& window);
    bool isWindowLoaded() const { return window_ != nullptr; }
    virtual void windowWillLoad() {}
    virtual void windowDidLoad() {}
    /// Loads the interface file with the controller as owner.
    virtual void loadWindow();

    /// Brings the window to the front and makes it key.
    virtual void showWindow(NSObject* sender);
    /// Closes the window.
    virtual void close();

    static void registerClass();

  private:
    std::string nibName_;
    Ref<NSWindow> window_;
    bool loading_ = false;
};
