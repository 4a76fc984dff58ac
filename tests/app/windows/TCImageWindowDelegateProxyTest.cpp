// Catches a delegate proxy that hands itself out as the window's delegate, loses or
// duplicates delegate messages, lets the client's delegate move sheets into the title bar,
// answers selectors the client's delegate lacks, or aborts (or formats the selector's name)
// when asked for a method that is missing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/windows/ImageWindowTestSupport.h"
#include "platform/testing/LogCapture.h"
#include "windows/TCImageWindowDelegateProxy.h"

namespace imagewindow {
namespace {

/// A client delegate that records what it is told and registers one selector.
class RecordingDelegate : public NSObject, public NSWindowDelegate {
  public:
    bool windowShouldClose(NSWindow*) override {
        log.push_back("shouldClose");
        return allowClose;
    }
    void windowDidResize(NSWindow*) override { log.push_back("didResize"); }
    void windowDidBecomeKey(NSWindow*) override { log.push_back("didBecomeKey"); }
    void windowWillEnterFullScreen(NSWindow*) override { log.push_back("willEnterFullScreen"); }
    NSRect willPositionSheet(NSWindow*, NSWindow*, NSRect rect) override {
        log.push_back("willPositionSheet");
        return rect;
    }
    void noteResize(const SelectorArg&) { log.push_back("noteResize"); }

    static void registerClass() {
        ClassRegistry::shared()
            .registerClass<RecordingDelegate, NSObject>("RecordingDelegate")
            .method("windowDidResize:", &RecordingDelegate::noteResize);
    }

    bool allowClose = false;
    std::vector<std::string> log;
};

class DelegateProxy : public ImageWindowTest {
  protected:
    void SetUp() override {
        ImageWindowTest::SetUp();
        RecordingDelegate::registerClass();
        window = makeStartedWindow();
        delegate = std::make_shared<RecordingDelegate>();
    }
    Ref<TCImageWindow> window;
    std::shared_ptr<RecordingDelegate> delegate;
};

TEST_F(DelegateProxy, TheWindowAnswersTheClientsDelegateAndForwardsToIt) {
    window->setDelegate(delegate);
    EXPECT_EQ(window->delegate(), delegate.get());
    NSWindow& plain = *window;
    EXPECT_EQ(plain.delegate(), delegate.get());  // also through the platform's class
    EXPECT_EQ(window->delegateProxy()->secondaryDelegate(), delegate);

    window->orderFront();
    window->setContentSize(NSMakeSize(420, 300));
    window->makeKeyWindow();
    window->toggleFullScreen(nullptr);
    window->performClose(nullptr);
    EXPECT_EQ(delegate->log,
              (std::vector<std::string>{"didResize", "didBecomeKey", "willEnterFullScreen",
                                        "didResize", "shouldClose"}));
    EXPECT_TRUE(window->isVisible());  // the delegate said no

    // A freed delegate reads as nil, and the window closes as if it had none.
    delegate.reset();
    EXPECT_EQ(window->delegate(), nullptr);
    window->performClose(nullptr);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(DelegateProxy, SheetsOpenAtTheBarsLowerEdge) {
    window->setDelegate(delegate);
    auto* proxy = window->delegateProxy().get();
    const NSRect asked = NSMakeRect(5, 10, 120, 50);
    EXPECT_EQ(proxy->willPositionSheet(window.get(), nullptr, asked),
              NSMakeRect(5, 322 - kBarHeight, 120, 50));
    EXPECT_TRUE(delegate->log.empty());  // the client's delegate is never asked
    window->setTitleBarHeight(40);
    EXPECT_EQ(proxy->willPositionSheet(window.get(), nullptr, asked).origin.y, 322 - 40);

    // A window without the tall bar keeps the rectangle it asked for.
    auto plain = NSWindow::make(NSMakeRect(0, 0, 100, 100));
    EXPECT_EQ(proxy->willPositionSheet(plain.get(), nullptr, asked), asked);
}

TEST_F(DelegateProxy, AnswersSelectorsFromTheClientsDelegate) {
    auto* proxy = window->delegateProxy().get();
    struct Case {
        const char* name;
        bool withDelegate;
        const char* selector;
        bool responds;
    };
    const Case cases[] = {
        {"registered by the delegate", true, "windowDidResize:", true},
        {"not registered", true, "windowDidMove:", false},
        {"sheet position", true, "window:willPositionSheet:usingRect:", true},
        {"nil delegate", false, "windowDidResize:", false},
        {"nil delegate, sheet position", false, "window:willPositionSheet:usingRect:", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window->setDelegate(c.withDelegate ? delegate : nullptr);
        EXPECT_EQ(proxy->respondsToSelector(SEL(c.selector)), c.responds);
    }
    window->setDelegate(delegate);
    EXPECT_TRUE(proxy->isKindOfClass("RecordingDelegate"));
    EXPECT_FALSE(proxy->isKindOfClass("TCImageWindowDelegateProxy"));
    window->setDelegate(nullptr);
    EXPECT_FALSE(proxy->isKindOfClass("NSObject"));
}

TEST_F(DelegateProxy, MessagesByNameReachTheDelegateOrAreDroppedWithALog) {
    window->setDelegate(delegate);
    auto* proxy = window->delegateProxy().get();
    platform::LogCapture capture;

    EXPECT_TRUE(proxy->methodSignatureForSelector(SEL("windowDidResize:")));
    EXPECT_TRUE(proxy->forwardInvocation(SEL("windowDidResize:"), {}));
    EXPECT_EQ(delegate->log, std::vector<std::string>{"noteResize"});
    EXPECT_TRUE(capture.lines().empty());

    EXPECT_FALSE(proxy->forwardInvocation(SEL("windowDidMove:"), {}));
    EXPECT_FALSE(proxy->methodSignatureForSelector(SEL("windowDidMove:")));
    // A selector name that looks like a format is logged as it stands.
    EXPECT_FALSE(proxy->methodSignatureForSelector(SEL("odd%@%d:")));
    auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("TCImageWindow:105"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("The method signature(windowDidMove:) should not be nil becuase of "
                            "the respondsToSelector: check"),
              std::string::npos)
        << lines[0];
    EXPECT_NE(lines[1].find("The method signature(odd%@%d:)"), std::string::npos) << lines[1];
    EXPECT_EQ(delegate->log.size(), 1u);

    window->setDelegate(nullptr);
    EXPECT_FALSE(proxy->forwardInvocation(SEL("windowDidResize:"), {}));
}

}  // namespace
}  // namespace imagewindow
