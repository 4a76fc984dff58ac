// Catches an overlay scroll view that leaves its vertical scroller beside the content instead
// of over it, starts it at the top of the header, narrows the content by the scroller width,
// leaves the scroller-width hook changed after laying out (on re-entry or an exception too),
// draws the content above the scroller, or a scroller whose fade is not postponed by scrolling
// and cancelled by the pointer, that ever ends up less than opaque, or that tracks the pointer
// with the wrong area.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

#include "controls/RFOverlayScrollView/OverlayScrollClasses.h"
#include "controls/RFOverlayScrollView/RFOverlayScrollView.h"
#include "controls/RFOverlayScrollView/RFOverlayScroller.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSOutlineView.h"
#include "platform/appkit/NSTableHeaderView.h"
#include "platform/appkit/NSTableView.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/NibLoader.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/testing/ManualClock.h"
#include "platform/testing/WindowTesting.h"
#include "support/FileFixtures.h"
#include "support/ScopedResources.h"

namespace {

namespace pt = platform::testing;

constexpr double kWidth = 200, kHeight = 150;

/// Counts the fades that actually run.
class CountingScroller : public RFOverlayScroller {
  public:
    void fadeOut() override {
        ++fades;
        RFOverlayScroller::fadeOut();
    }
    int fades = 0;

    static void registerClass() {
        ClassRegistry::shared().registerClass<CountingScroller, RFOverlayScroller>(
            "OverlayTestCountingScroller");
    }
};

/// Lays out once more from inside the platform's layout, or throws from there, when asked.
class ProbingScrollView : public RFOverlayScrollView {
  public:
    void reflectScrolledClipView(NSClipView* clip) override {
        if (throwNext) {
            throwNext = false;
            throw std::runtime_error("layout failed");
        }
        if (reenterNext) {
            reenterNext = false;
            widthSeenInLayout = NSScroller::scrollerWidthForControlSize(NSControlSizeRegular,
                                                                        NSScrollerStyleLegacy);
            tile();
        }
        RFOverlayScrollView::reflectScrolledClipView(clip);
    }
    bool throwNext = false;
    bool reenterNext = false;
    double widthSeenInLayout = -1;
};

double platformWidth(const NSScroller& scroller) {
    return NSScroller::platformScrollerWidth(scroller.controlSize(), scroller.scrollerStyle());
}

class OverlayScroll : public ::testing::Test {
  protected:
    void SetUp() override {
        registerPlatformClasses();
        registerOverlayScrollClasses();
        CountingScroller::registerClass();
        previousHook = NSScroller::setScrollerWidthHook(nullptr);
    }
    void TearDown() override {
        for (const Ref<NSScroller>& s : scrollers)
            NSObject::cancelPreviousPerformRequestsWithTarget(s.get());
        NSScroller::setScrollerWidthHook(std::move(previousHook));
    }

    /// A scroll view of kWidth x kHeight around `document`, with an overlay scroller.
    template <class View = RFOverlayScrollView>
    Ref<View> makeScrollView(const Ref<NSView>& document, Ref<RFOverlayScroller> scroller = {}) {
        auto view = std::make_shared<View>();
        view->initWithFrame(NSMakeRect(0, 0, kWidth, kHeight));
        view->setDocumentView(document);
        if (!scroller) scroller = RFOverlayScroller::make(NSMakeRect(0, 0, 15, 100));
        scrollers.push_back(scroller);
        view->setHasVerticalScroller(true);
        view->setVerticalScroller(scroller);
        return view;
    }
    static Ref<NSTableView> tableWithHeader(double height) {
        auto table = NSTableView::make(NSMakeRect(0, 0, kWidth, 400));
        if (height > 0)
            table->headerView()->setFrameSize(NSMakeSize(kWidth, height));
        else
            table->setHeaderView(nullptr);
        return table;
    }

    NSScroller::WidthHook previousHook;
    std::vector<Ref<NSScroller>> scrollers;
};

TEST_F(OverlayScroll, TheScrollerLiesOverTheRightEdgeBelowTheHeader) {
    struct Case {
        const char* name;
        Ref<NSView> document;
        long offset;
    };
    auto outline = NSOutlineView::make(NSMakeRect(0, 0, kWidth, 400));
    outline->headerView()->setFrameSize(NSMakeSize(kWidth, 23));
    const Case cases[] = {
        {"a header 41 high", tableWithHeader(41), 41},
        {"a header height is truncated", tableWithHeader(41.7), 41},
        {"no header", tableWithHeader(0), 0},
        {"an outline view's header", outline, 23},
        {"no table at all", NSView::make(NSMakeRect(0, 0, kWidth, 400)), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto view = makeScrollView(c.document);
        ASSERT_EQ(view->tableHeaderOffsetFromSuperview(), c.offset);
        view->setHeaderOffset(view->tableHeaderOffsetFromSuperview());
        view->tile();
        const NSScroller& scroller = *view->verticalScroller();
        const double sw = platformWidth(scroller);
        ASSERT_GT(sw, 0);
        EXPECT_EQ(scroller.frame(),
                  NSMakeRect(kWidth - sw, double(c.offset), sw, kHeight - double(c.offset)));
        // The content keeps the full width; the scroller covers its rightmost sw points.
        const NSRect clip = view->contentView()->frame();
        EXPECT_EQ(clip.size.width, kWidth);
        EXPECT_EQ(NSMaxX(clip), NSMaxX(scroller.frame()));
    }
}

TEST_F(OverlayScroll, SettingTheOffsetWaitsForTheNextLayout) {
    auto view = makeScrollView(tableWithHeader(0));
    view->setHeaderOffset(30);
    EXPECT_EQ(view->verticalScroller()->frame().origin.y, 0);
    view->tile();
    EXPECT_EQ(view->verticalScroller()->frame().origin.y, 30);
    // An offset beyond the view's height leaves an empty scroller, never a negative one.
    view->setHeaderOffset(400);
    view->tile();
    EXPECT_EQ(view->verticalScroller()->frame().size.height, 0);
}

TEST_F(OverlayScroll, LayoutPutsTheWidthHookBack) {
    // A hook of another part of the program that answers 7 for every scroller.
    NSScroller::setScrollerWidthHook(
        [](NSControlSize, NSScrollerStyle) -> std::optional<double> { return 7.0; });
    auto width = [] {
        return NSScroller::scrollerWidthForControlSize(NSControlSizeRegular, NSScrollerStyleLegacy);
    };
    auto view = makeScrollView<ProbingScrollView>(tableWithHeader(0));

    view->tile();
    EXPECT_EQ(width(), 7.0);
    EXPECT_EQ(view->contentView()->frame().size.width, kWidth);    // laid out with width 0
    EXPECT_EQ(view->verticalScroller()->frame().size.width, 7.0);  // measured after restoring

    view->reenterNext = true;
    view->tile();
    EXPECT_EQ(view->widthSeenInLayout, 0.0);  // the platform lays out with no scroller width
    EXPECT_EQ(width(), 7.0);
    EXPECT_EQ(view->verticalScroller()->frame(), NSMakeRect(kWidth - 7, 0, 7, kHeight));

    view->throwNext = true;
    EXPECT_THROW(view->tile(), std::runtime_error);
    EXPECT_EQ(width(), 7.0);
}

TEST_F(OverlayScroll, OverlayScrollersAreDrawnAboveTheirSiblings) {
    auto view = makeScrollView(tableWithHeader(41));
    auto later = NSView::make(NSMakeRect(0, 0, 10, 10));
    view->addSubview(later);  // added after the scroller, so above it
    view->tile();
    ASSERT_FALSE(view->subviews().empty());
    EXPECT_EQ(view->subviews().back(), view->verticalScroller());
    EXPECT_EQ(view->subviews()[view->subviews().size() - 2], later);  // others keep their order

    struct Case {
        const char* name;
        Ref<NSView> first, second;
        NSComparisonResult expected;
    };
    auto overlay = RFOverlayScroller::make(NSMakeRect(0, 0, 15, 100));
    auto subclass = std::make_shared<CountingScroller>();
    auto plain = NSScroller::make(NSMakeRect(0, 0, 15, 100));
    auto other = NSView::make();
    const Case cases[] = {
        {"overlay scroller first", overlay, other, NSOrderedDescending},
        {"overlay scroller second", other, overlay, NSOrderedAscending},
        {"a subclass counts", subclass, other, NSOrderedDescending},
        {"two overlay scrollers", overlay, subclass, NSOrderedDescending},
        {"a platform scroller does not", plain, other, NSOrderedSame},
        {"two other views", other, plain, NSOrderedSame},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RFOverlayScrollView::scrollerAboveSiblingViewsComparator(c.first.get(),
                                                                           c.second.get(), nullptr),
                  c.expected);
    }
}

TEST_F(OverlayScroll, OnlyTheClassItselfIsCompatibleWithOverlayScrollers) {
    EXPECT_TRUE(RFOverlayScroller::make()->isCompatibleWithOverlayScrollers());
    EXPECT_FALSE(std::make_shared<CountingScroller>()->isCompatibleWithOverlayScrollers());
    EXPECT_EQ(RFOverlayScroller::zeroWidth(), 0.0);
}

TEST_F(OverlayScroll, TheScrollerTracksItsSetUpBoundsAndDrawsNoTrack) {
    auto scroller = RFOverlayScroller::make(NSMakeRect(0, 0, 15, 100));
    ASSERT_EQ(scroller->trackingAreas().size(), 1u);
    const Ref<NSTrackingArea>& area = scroller->trackingAreas()[0];
    EXPECT_EQ(area, scroller->overlayTrackingArea());
    EXPECT_EQ(area->options(), 0x43u);
    EXPECT_EQ(area->rect(), NSMakeRect(0, 0, 15, 100));
    EXPECT_EQ(area->owner().get(), scroller.get());
    EXPECT_TRUE(area->userInfo().empty());
    scroller->commonInitializer();  // set up again: still one area
    EXPECT_EQ(scroller->trackingAreas().size(), 1u);
}

TEST_F(OverlayScroll, AnInterfaceFileGivesTheHeaderOffset) {
    fixtures::TempDir dir;
    dir.mkdir("resources/ui");
    dir.write("resources/ui/OverlayProbe.ui", R"(<?xml version="1.0" encoding="UTF-8"?>
<interface>
  <RFOverlayScrollView frame="0 0 200 150" hasVerticalScroller="YES">
    <NSTableView frame="0 0 200 400" headerHeight="41"/>
    <RFOverlayScroller frame="0 0 15 100"/>
  </RFOverlayScrollView>
</interface>)");
    fixtures::ScopedResources resources(dir / "resources");
    NibLoadResult loaded = NibLoader::load("OverlayProbe", nullptr);
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    ASSERT_EQ(loaded.topLevelObjects.size(), 1u);
    auto view = std::dynamic_pointer_cast<RFOverlayScrollView>(loaded.topLevelObjects[0]);
    ASSERT_TRUE(view);
    auto scroller = std::dynamic_pointer_cast<RFOverlayScroller>(view->verticalScroller());
    ASSERT_TRUE(scroller);
    scrollers.push_back(scroller);
    EXPECT_TRUE(view->wantsLayer());
    EXPECT_EQ(view->headerOffset(), 41);
    const double sw = platformWidth(*scroller);
    EXPECT_EQ(scroller->frame(), NSMakeRect(kWidth - sw, 41, sw, kHeight - 41));
    EXPECT_EQ(view->subviews().back(), view->verticalScroller());
    EXPECT_EQ(scroller->trackingAreas().size(), 1u);
}

// --- Fading, through a window on the headless backend ----------------------------------------

class OverlayFade : public OverlayScroll {
  protected:
    void SetUp() override {
        OverlayScroll::SetUp();
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
        scroller = std::make_shared<CountingScroller>();
        scroller->initWithFrame(NSMakeRect(0, 0, 15, 100));
        view = makeScrollView(tableWithHeader(0), scroller);
        window = NSWindow::make(NSMakeRect(0, 0, kWidth, kHeight));
        window->contentView()->addSubview(view);
        window->makeKeyAndOrderFront();
        // Outside the scroller to begin with.
        pt::postMouse(*window, NSEventTypeMouseMoved, NSMakePoint(20, 75));
        pt::pumpEvents();
        // Start from a scroller with nothing pending and a lowered alpha.
        NSObject::cancelPreviousPerformRequestsWithTarget(scroller.get());
        scroller->fades = 0;
        scroller->setAlphaValue(0.4);
    }
    void TearDown() override {
        window->orderOut();
        OverlayScroll::TearDown();
        NSApplication::resetSharedApplicationForTesting();
    }
    /// Moves the clock on by `seconds` in frames, turning the run loop.
    void wait(double seconds) {
        for (double t = 0; t < seconds - 1e-9; t += 0.05) {
            clock->advance(0.05);
            pt::pumpEvents();
        }
    }
    /// A point of the window inside the scroller (and its set-up tracking area).
    NSPoint overScroller() const {
        return scroller->convertPointToView(NSMakePoint(scroller->bounds().size.width / 2, 50),
                                            nullptr);
    }
    void pointerTo(NSPoint p) {
        pt::postMouse(*window, NSEventTypeMouseMoved, p);
        pt::pumpEvents();
    }

    ManualClock::Installed clock;
    Ref<NSApplication> app;
    Ref<CountingScroller> scroller;
    Ref<RFOverlayScrollView> view;
    Ref<NSWindow> window;
};

TEST_F(OverlayFade, ScrollingKeepsPostponingTheFade) {
    scroller->setFloatValue(0.2f);
    wait(1.0);
    scroller->setFloatValue(0.4f);
    wait(1.0);
    scroller->setFloatValue(0.6f);
    wait(1.4);
    EXPECT_EQ(scroller->fades, 0);
    wait(0.2);
    EXPECT_EQ(scroller->fades, 1);
    EXPECT_EQ(scroller->floatValue(), 0.6f);
    wait(2.0);
    EXPECT_EQ(scroller->fades, 1);  // one fade per burst of scrolling
    EXPECT_EQ(scroller->alphaValue(), 1.0);
}

TEST_F(OverlayFade, ThePointerCancelsThePendingFade) {
    scroller->setFloatValue(0.5f);
    const std::size_t pending = NSRunLoop::mainRunLoop().pendingPerformRequests();
    pointerTo(overScroller());
    EXPECT_EQ(NSRunLoop::mainRunLoop().pendingPerformRequests(), pending - 1);
    wait(2.0);
    EXPECT_EQ(scroller->fades, 0);
    EXPECT_EQ(scroller->alphaValue(), 1.0);
    // Leaving fades at once; the next scroll arms the delayed fade again.
    pointerTo(NSMakePoint(20, 75));
    EXPECT_EQ(scroller->fades, 1);
    scroller->setFloatValue(0.7f);
    wait(1.6);
    EXPECT_EQ(scroller->fades, 2);
}

TEST_F(OverlayFade, EveryPathEndsFullyOpaque) {
    struct Case {
        const char* name;
        std::function<void()> act;
    };
    const Case cases[] = {
        {"a scroll", [this] { scroller->setFloatValue(0.3f); }},
        {"the pointer entering", [this] { pointerTo(overScroller()); }},
        {"the pointer leaving",
         [this] {
             pointerTo(overScroller());
             scroller->setAlphaValue(0.4);
             pointerTo(NSMakePoint(20, 75));
         }},
        {"the fade itself", [this] { scroller->fadeOut(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pointerTo(NSMakePoint(20, 75));
        wait(0.5);
        scroller->setAlphaValue(0.4);
        c.act();
        wait(0.5);
        EXPECT_EQ(scroller->alphaValue(), 1.0);
    }
    // Moving over the scroller makes it opaque at once, without an animation.
    scroller->setAlphaValue(0.4);
    scroller->mouseMoved(
        *NSEvent::mouseEventWithType(NSEventTypeMouseMoved, overScroller(), 0, 0, window.get(), 1));
    EXPECT_EQ(scroller->alphaValue(), 1.0);
}

}  // namespace
