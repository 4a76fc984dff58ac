// Catches views that miss or misorder their move hooks, keep a window pointer after leaving it,
// and windows that keep a freed delegate.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/appkit/NSView.h"
#include "platform/appkit/NSWindow.h"

namespace {

using Log = std::vector<std::string>;

class HookView : public NSView {
  public:
    static Ref<HookView> make(std::string name, Log& log) {
        auto view = std::make_shared<HookView>();
        view->initWithFrame(NSMakeRect(0, 0, 10, 10));
        view->name_ = std::move(name);
        view->log_ = &log;
        return view;
    }
    void viewWillMoveToWindow(NSWindow* w) override { note(w ? "willWindow" : "willNoWindow"); }
    void viewDidMoveToWindow() override { note(window() ? "didWindow" : "didNoWindow"); }
    void viewWillMoveToSuperview(NSView* s) override { note(s ? "willSuper" : "willNoSuper"); }
    void viewDidMoveToSuperview() override { note(superview() ? "didSuper" : "didNoSuper"); }

  private:
    void note(const char* what) { log_->push_back(name_ + ":" + what); }
    std::string name_;
    Log* log_ = nullptr;
};

TEST(ViewWindowHooks, AddingAndRemovingReachTheWholeSubtreeInOrder) {
    Log log;
    auto window = NSWindow::make(NSMakeRect(0, 0, 50, 50));
    auto parent = HookView::make("parent", log);
    auto child = HookView::make("child", log);
    parent->addSubview(child);
    EXPECT_EQ(log, (Log{"child:willSuper", "child:didSuper"}));
    log.clear();

    window->contentView()->addSubview(parent);
    EXPECT_EQ(log, (Log{"parent:willSuper", "parent:willWindow", "child:willWindow",
                        "child:didWindow", "parent:didWindow", "parent:didSuper"}));
    EXPECT_EQ(child->window(), window.get());
    log.clear();

    parent->removeFromSuperview();
    EXPECT_EQ(log, (Log{"parent:willNoSuper", "parent:willNoWindow", "child:willNoWindow",
                        "child:didNoWindow", "parent:didNoWindow", "parent:didNoSuper"}));
    EXPECT_EQ(child->window(), nullptr);
}

TEST(ViewWindowHooks, FreedWindowAndDelegateLeaveNothingDangling) {
    struct Delegate : NSWindowDelegate {
        int closes = 0;
        void windowWillClose(NSWindow*) override { ++closes; }
    };
    auto view = NSView::make(NSMakeRect(0, 0, 5, 5));
    auto delegate = std::make_shared<Delegate>();
    {
        auto window = NSWindow::make(NSMakeRect(0, 0, 50, 50));
        window->contentView()->addSubview(view);
        window->setDelegate(delegate);
        window->makeKeyAndOrderFront();
        window->close();
        EXPECT_EQ(delegate->closes, 1);
        delegate.reset();
        EXPECT_EQ(window->delegate(), nullptr);  // not retained
        window->close();                         // and no longer called
    }
    EXPECT_EQ(view->window(), nullptr);
    EXPECT_EQ(NSWindow::keyWindow(), nullptr);
}

}  // namespace
