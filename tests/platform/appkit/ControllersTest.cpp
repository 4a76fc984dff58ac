// Catches controllers that load their interface file too early, twice, or without telling
// their subclass, and a missing file that crashes instead of leaving the view unset.
#include <gtest/gtest.h>

#include "platform/appkit/NSView.h"
#include "platform/appkit/NSViewController.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/NSWindowController.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/testing/LogCapture.h"
#include "tests/support/FileFixtures.h"

namespace {

class CountingViewController : public NSViewController {
  public:
    void viewDidLoad() override { ++didLoad; }
    int didLoad = 0;
};

class CountingWindowController : public NSWindowController {
  public:
    void windowWillLoad() override { order += "will;"; }
    void windowDidLoad() override { order += window() ? "did(window);" : "did(nil);"; }
    std::string order;
};

class Controllers : public ::testing::Test {
  protected:
    void SetUp() override {
        registerPlatformClasses();
        ClassRegistry::shared().registerClass<CountingViewController, NSViewController>(
            "CtlTestViewController");
        ClassRegistry::shared().registerClass<CountingWindowController, NSWindowController>(
            "CtlTestWindowController");
    }
    fixtures::TempDir dir;
};

TEST_F(Controllers, ViewLoadsOnFirstAccessOnly) {
    std::string path = dir.write("Panel.ui", R"(<interface owner="CtlTestViewController">
  <NSView outlet="view" frame="0 0 120 80"><NSView tag="7" frame="10 10 20 20"/></NSView>
</interface>)");
    auto vc = std::make_shared<CountingViewController>();
    vc->initWithNibName(path, nullptr);
    EXPECT_FALSE(vc->isViewLoaded());
    NSView* view = vc->view();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->frame(), NSMakeRect(0, 0, 120, 80));
    EXPECT_NE(view->viewWithTag(7), nullptr);
    EXPECT_EQ(vc->view(), view);
    EXPECT_EQ(vc->didLoad, 1);
    EXPECT_EQ(view->nextResponder(), vc.get());
}

// Actions sent up the chain from inside a controller's view must reach the controller, also
// once the view sits in a window; and nothing may point at a controller or superview gone.
TEST_F(Controllers, TheControllerStaysBetweenItsViewAndTheSuperview) {
    auto super = NSView::make(NSMakeRect(0, 0, 200, 200));
    auto view = NSView::make(NSMakeRect(0, 0, 50, 50));
    auto vc = std::make_shared<CountingViewController>();
    vc->setView(view);
    super->addSubview(view);
    EXPECT_EQ(view->nextResponder(), vc.get());
    EXPECT_EQ(vc->nextResponder(), super.get());

    view->removeFromSuperview();
    EXPECT_EQ(view->nextResponder(), vc.get());
    EXPECT_EQ(vc->nextResponder(), nullptr);

    // A view already placed gets its controller in between.
    super->addSubview(view);
    auto second = std::make_shared<CountingViewController>();
    vc->setView(nullptr);
    EXPECT_EQ(view->nextResponder(), super.get());
    second->setView(view);
    EXPECT_EQ(view->nextResponder(), second.get());
    EXPECT_EQ(second->nextResponder(), super.get());

    // The controller goes first: the view falls back to its superview.
    second.reset();
    EXPECT_EQ(view->nextResponder(), super.get());

    // The superview goes first: the controller no longer points at it.
    auto third = std::make_shared<CountingViewController>();
    third->setView(view);
    ASSERT_EQ(third->nextResponder(), super.get());
    super.reset();
    EXPECT_EQ(third->nextResponder(), nullptr);
    EXPECT_EQ(view->nextResponder(), third.get());
}

TEST_F(Controllers, MissingInterfaceFileLeavesTheViewUnset) {
    platform::LogCapture log;
    auto vc = std::make_shared<CountingViewController>();
    vc->initWithNibName(dir / "Nowhere", nullptr);
    EXPECT_EQ(vc->view(), nullptr);
    EXPECT_EQ(vc->didLoad, 0);
    EXPECT_FALSE(log.lines().empty());
}

TEST_F(Controllers, WindowControllerLoadsLazilyAroundItsHooks) {
    std::string path = dir.write("Dialog.ui", R"(<interface owner="CtlTestWindowController">
  <NSWindow outlet="window" contentRect="10 20 200 100" title="Dialog">
    <NSView tag="3" frame="0 0 50 50"/>
  </NSWindow>
</interface>)");
    auto wc = std::make_shared<CountingWindowController>();
    wc->initWithWindowNibName(path);
    EXPECT_FALSE(wc->isWindowLoaded());
    NSWindow* window = wc->window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(wc->order, "will;did(window);");
    EXPECT_EQ(window->title(), "Dialog");
    EXPECT_EQ(window->contentRectForFrameRect(window->frame()), NSMakeRect(10, 20, 200, 100));
    EXPECT_NE(window->contentView()->viewWithTag(3), nullptr);
    wc->showWindow(nullptr);
    EXPECT_TRUE(window->isKeyWindow());
    wc->close();
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
