// Catches scroll views that lay out content or scrollers wrongly (with or without scrollers,
// overlay style, borders, autohiding), scroll past either end, let knobs drift from the
// document, drag or page by the wrong amount, keep a replaced width hook, draw the whole
// document, redraw while idle, or miss their notifications and interface-file properties.
#include "platform/appkit/NSScrollView.h"
#include "platform/appkit/PlatformClasses.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/appkit/NSScrollViewHeaderSource.h"
#include "platform/appkit/NibLoader.h"
#include "platform/appkit/ScrollClasses.h"
#include "support/ControlTestSupport.h"

using namespace controltest;

namespace {

/// A document that records the rectangles it is asked to draw.
class RecordingDocument : public NSView {
  public:
    static Ref<RecordingDocument> make(NSSize size, bool flipped) {
        auto doc = std::make_shared<RecordingDocument>();
        doc->initWithFrame(NSMakeRect(0, 0, size.width, size.height));
        doc->flipped = flipped;
        return doc;
    }
    bool isFlipped() const override { return flipped; }
    void drawRect(NSRect dirtyRect) override { asked.push_back(dirtyRect); }
    bool flipped = true;
    std::vector<NSRect> asked;
};

/// A document with a header above it, as a table has.
class HeaderedDocument : public NSView, public NSScrollViewHeaderSource {
  public:
    bool isFlipped() const override { return true; }
    NSView* scrollViewHeaderView() const override { return header.get(); }
    Ref<NSView> header;
};

/// An application-style scroller: records every reported value with the part being tracked,
/// and what it is asked to draw.
class RecordingScroller : public NSScroller {
  public:
    void setFloatValue(float value) override {
        NSScroller::setFloatValue(value);
        reports.push_back({value, hitPart()});
    }
    void drawKnob() override {
        ++knobDraws;
        NSScroller::drawKnob();
    }
    void drawKnobSlotInRect(NSRect, bool) override { ++slotDraws; }
    struct Report {
        float value;
        NSScrollerPart part;
    };
    std::vector<Report> reports;
    int knobDraws = 0, slotDraws = 0;
};

/// Lays out as if scrollers had no width, as an overlay scroll view of the application does.
class ZeroWidthScrollView : public NSScrollView {
  public:
    void tile() override {
        NSScroller::WidthHook previous =
            NSScroller::setScrollerWidthHook([this](NSControlSize, NSScrollerStyle) {
                ++hookCalls;
                return std::optional<double>(0.0);
            });
        NSScrollView::tile();
        NSScroller::setScrollerWidthHook(std::move(previous));
        if (verticalScroller()) {
            double sw = NSScroller::scrollerWidthForControlSize(verticalScroller()->controlSize(),
                                                                scrollerStyle());
            verticalScroller()->setFrame(
                NSMakeRect(bounds().size.width - sw, 0, sw, bounds().size.height));
        }
    }
    int hookCalls = 0;
};

class ScrollViews : public ::testing::Test {
  protected:
    void SetUp() override {
        registerPlatformClasses();
        registerAppKitScrollClasses();
        ActionRecorder::registerClass();
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
        window = std::make_shared<KeyableWindow>();
        window->initWithContentRect(NSMakeRect(0, 0, 200, 100), NSWindowStyleMaskBorderless,
                                    NSBackingStoreBuffered, false);
        window->makeKeyAndOrderFront();
        recorder = std::make_shared<ActionRecorder>();
    }
    void TearDown() override {
        NSScroller::setScrollerWidthHook(nullptr);
        pt::pumpEvents();
        window->orderOut();
        NSApplication::resetSharedApplicationForTesting();
    }
    /// A 200x100 scroll view filling the window, with a vertical scroller and a document.
    Ref<NSScrollView> scrollView(NSSize docSize, bool flipped = true) {
        auto view = NSScrollView::make(NSMakeRect(0, 0, 200, 100));
        view->setHasVerticalScroller(true);
        doc = RecordingDocument::make(docSize, flipped);
        view->setDocumentView(doc);
        window->contentView()->addSubview(view);
        return view;
    }
    void perform(const std::vector<std::pair<NSEventType, NSPoint>>& events) {
        for (const auto& [type, point] : events)
            pt::postMouse(*window, type, point);
        pt::pumpEvents();
    }

    Ref<NSApplication> app;
    Ref<NSWindow> window;
    Ref<ActionRecorder> recorder;
    Ref<RecordingDocument> doc;
};

void expectRect(NSRect actual, NSRect expected, const std::string& what) {
    EXPECT_DOUBLE_EQ(actual.origin.x, expected.origin.x) << what;
    EXPECT_DOUBLE_EQ(actual.origin.y, expected.origin.y) << what;
    EXPECT_DOUBLE_EQ(actual.size.width, expected.size.width) << what;
    EXPECT_DOUBLE_EQ(actual.size.height, expected.size.height) << what;
}

TEST_F(ScrollViews, TileLaysOutContentAndScrollers) {
    const NSRect hidden = NSMakeRect(-1, -1, -1, -1);
    struct Case {
        const char* name;
        NSScrollerStyle style;
        bool vertical, horizontal, autohides;
        NSBorderType border;
        NSSize docSize;
        NSRect clip, verticalFrame, horizontalFrame;  // `hidden`: not shown
    };
    const Case cases[] = {
        {"no scrollers",
         NSScrollerStyleLegacy,
         false,
         false,
         false,
         NSNoBorder,
         {300, 300},
         NSMakeRect(0, 0, 200, 100),
         hidden,
         hidden},
        {"vertical beside the content",
         NSScrollerStyleLegacy,
         true,
         false,
         false,
         NSNoBorder,
         {100, 300},
         NSMakeRect(0, 0, 185, 100),
         NSMakeRect(185, 0, 15, 100),
         hidden},
        {"both, legacy",
         NSScrollerStyleLegacy,
         true,
         true,
         false,
         NSNoBorder,
         {300, 300},
         NSMakeRect(0, 0, 185, 85),
         NSMakeRect(185, 0, 15, 85),
         NSMakeRect(0, 85, 185, 15)},
        {"both, overlay: over the content",
         NSScrollerStyleOverlay,
         true,
         true,
         false,
         NSNoBorder,
         {300, 300},
         NSMakeRect(0, 0, 200, 100),
         NSMakeRect(188, 0, 12, 88),
         NSMakeRect(0, 88, 188, 12)},
        {"line border",
         NSScrollerStyleLegacy,
         true,
         false,
         false,
         NSLineBorder,
         {100, 300},
         NSMakeRect(1, 1, 183, 98),
         NSMakeRect(184, 1, 15, 98),
         hidden},
        {"autohidden when the document fits",
         NSScrollerStyleLegacy,
         true,
         true,
         true,
         NSNoBorder,
         {190, 90},
         NSMakeRect(0, 0, 200, 100),
         hidden,
         hidden},
        {"autohide: the vertical one makes the horizontal one needed",
         NSScrollerStyleLegacy,
         true,
         true,
         true,
         NSNoBorder,
         {190, 300},
         NSMakeRect(0, 0, 185, 85),
         NSMakeRect(185, 0, 15, 85),
         NSMakeRect(0, 85, 185, 15)},
        {"autohide: only the vertical one",
         NSScrollerStyleLegacy,
         true,
         true,
         true,
         NSNoBorder,
         {150, 300},
         NSMakeRect(0, 0, 185, 100),
         NSMakeRect(185, 0, 15, 100),
         hidden},
    };
    for (const Case& c : cases) {
        auto view = NSScrollView::make(NSMakeRect(0, 0, 200, 100));
        view->setScrollerStyle(c.style);
        view->setBorderType(c.border);
        view->setAutohidesScrollers(c.autohides);
        view->setHasVerticalScroller(c.vertical);
        view->setHasHorizontalScroller(c.horizontal);
        view->setDocumentView(NSView::make(NSMakeRect(0, 0, c.docSize.width, c.docSize.height)));
        expectRect(view->contentView()->frame(), c.clip, std::string(c.name) + ": clip");
        auto check = [&](const Ref<NSScroller>& s, NSRect expected, const char* which) {
            std::string what = std::string(c.name) + ": " + which;
            if (expected.size.width < 0) {
                EXPECT_TRUE(!s || s->isHidden()) << what;
                return;
            }
            ASSERT_TRUE(s) << what;
            EXPECT_FALSE(s->isHidden()) << what;
            expectRect(s->frame(), expected, what);
        };
        check(view->verticalScroller(), c.verticalFrame, "vertical");
        check(view->horizontalScroller(), c.horizontalFrame, "horizontal");
        // Scrollers are drawn above the content.
        const auto& subs = view->subviews();
        ASSERT_FALSE(subs.empty());
        EXPECT_EQ(subs.front(), view->contentView()) << c.name;
    }
}

TEST_F(ScrollViews, DocumentHeaderStaysOnTopAndFollowsSideways) {
    auto view = NSScrollView::make(NSMakeRect(0, 0, 200, 100));
    view->setHasVerticalScroller(true);
    auto document = std::make_shared<HeaderedDocument>();
    document->initWithFrame(NSMakeRect(0, 0, 400, 300));
    document->header = NSView::make(NSMakeRect(0, 0, 400, 20));
    view->setDocumentView(document);
    ASSERT_TRUE(view->headerClipView());
    EXPECT_EQ(view->headerClipView()->documentView(), document->header);
    expectRect(view->headerClipView()->frame(), NSMakeRect(0, 0, 185, 20), "header");
    expectRect(view->contentView()->frame(), NSMakeRect(0, 20, 185, 80), "clip");
    expectRect(view->verticalScroller()->frame(), NSMakeRect(185, 20, 15, 80), "scroller");
    view->contentView()->scrollToPoint(NSMakePoint(60, 50));
    EXPECT_DOUBLE_EQ(view->headerClipView()->bounds().origin.x, 60);
    EXPECT_DOUBLE_EQ(view->headerClipView()->bounds().origin.y, 0);
    document->header->setFrameSize(NSMakeSize(400, 30));
    expectRect(view->contentView()->frame(), NSMakeRect(0, 30, 185, 70), "taller header");
    view->setDocumentView(NSView::make(NSMakeRect(0, 0, 400, 300)));
    EXPECT_FALSE(view->headerClipView());
    expectRect(view->contentView()->frame(), NSMakeRect(0, 0, 185, 100), "no header");
}

TEST_F(ScrollViews, AutohiddenScrollerFollowsTheDocumentSize) {
    auto view = scrollView({185, 80});
    view->setAutohidesScrollers(true);
    EXPECT_TRUE(view->verticalScroller()->isHidden());
    doc->setFrameSize(NSMakeSize(185, 400));
    EXPECT_FALSE(view->verticalScroller()->isHidden());
    expectRect(view->contentView()->frame(), NSMakeRect(0, 0, 185, 100), "after growing");
    doc->setFrameSize(NSMakeSize(185, 50));
    EXPECT_TRUE(view->verticalScroller()->isHidden());
}

TEST_F(ScrollViews, WheelScrollsAndClampsAtBothEnds) {
    struct Step {
        double deltaY;
        double visibleY;  // documentVisibleRect().origin.y after the step
        double value;
    };
    struct Case {
        const char* name;
        bool flipped;
        double startY;
        std::vector<Step> steps;
    };
    // 400 points of document in a 100-point view; a wheel step is 10 points.
    const Case cases[] = {
        {"flipped document starts at its top (y 0)",
         true,
         0,
         {{-3, 30, 0.1f}, {10, 0, 0}, {-100, 300, 1}, {-1, 300, 1}, {2, 280, 280 / 300.0f}}},
        {"unflipped document starts at its top (highest y)",
         false,
         300,
         {{-3, 270, 0.1f}, {5, 300, 0}, {-100, 0, 1}, {-4, 0, 1}}},
    };
    for (const Case& c : cases) {
        auto view = scrollView({185, 400}, c.flipped);
        EXPECT_DOUBLE_EQ(view->documentVisibleRect().origin.y, c.startY) << c.name;
        EXPECT_DOUBLE_EQ(view->verticalScroller()->doubleValue(), 0) << c.name;
        for (const Step& s : c.steps) {
            pt::postScroll(*window, NSMakePoint(50, 50), 0, s.deltaY);
            pt::pumpEvents();
            EXPECT_DOUBLE_EQ(view->documentVisibleRect().origin.y, s.visibleY)
                << c.name << " after " << s.deltaY;
            EXPECT_NEAR(view->verticalScroller()->doubleValue(), s.value, 1e-6)
                << c.name << " after " << s.deltaY;
        }
        view->removeFromSuperview();
    }
}

TEST_F(ScrollViews, SidewaysWheelScrollsAndClamps) {
    // Positive deltaX moves the content right, showing what lies to the left.
    auto view = scrollView({400, 400});
    const std::pair<double, double> steps[] = {{-2, 20}, {5, 0}, {-100, 215}};
    for (const auto& [deltaX, visibleX] : steps) {
        pt::postScroll(*window, NSMakePoint(50, 50), deltaX, 0);
        pt::pumpEvents();
        EXPECT_DOUBLE_EQ(view->documentVisibleRect().origin.x, visibleX) << deltaX;
        EXPECT_DOUBLE_EQ(view->documentVisibleRect().origin.y, 0) << deltaX;
    }
}

TEST_F(ScrollViews, WheelOverADocumentThatFitsGoesToTheNextResponder) {
    auto outer = NSScrollView::make(NSMakeRect(0, 0, 200, 100));
    auto outerDoc = RecordingDocument::make({200, 400}, true);
    outer->setDocumentView(outerDoc);
    window->contentView()->addSubview(outer);
    auto inner = NSScrollView::make(NSMakeRect(0, 0, 100, 50));
    inner->setDocumentView(NSView::make(NSMakeRect(0, 0, 100, 40)));
    outerDoc->addSubview(inner);
    pt::postScroll(*window, NSMakePoint(20, 80), 0, -2);
    pt::pumpEvents();
    EXPECT_DOUBLE_EQ(outer->documentVisibleRect().origin.y, 20);
}

TEST_F(ScrollViews, KnobFollowsTheDocument) {
    struct Case {
        double docHeight;
        double proportion;
        bool usable;
    };
    const Case cases[] = {{400, 0.25, true}, {200, 0.5, true}, {100, 1, false}, {50, 1, false}};
    auto view = scrollView({185, 400});
    for (const Case& c : cases) {
        doc->setFrameSize(NSMakeSize(185, c.docHeight));
        EXPECT_DOUBLE_EQ(view->verticalScroller()->knobProportion(), c.proportion) << c.docHeight;
        EXPECT_EQ(view->verticalScroller()->isUsable(), c.usable) << c.docHeight;
        EXPECT_EQ(NSIsEmptyRect(view->verticalScroller()->rectForPart(NSScrollerKnob)), !c.usable)
            << c.docHeight;
    }
    // Scrolled to the end, a shorter document keeps the view inside it, still at the end.
    doc->setFrameSize(NSMakeSize(185, 400));
    view->contentView()->scrollToPoint(NSMakePoint(0, 1000));
    EXPECT_DOUBLE_EQ(view->documentVisibleRect().origin.y, 300);
    EXPECT_DOUBLE_EQ(view->verticalScroller()->doubleValue(), 1);
    doc->setFrameSize(NSMakeSize(185, 200));
    EXPECT_DOUBLE_EQ(view->documentVisibleRect().origin.y, 100);
    EXPECT_DOUBLE_EQ(view->verticalScroller()->doubleValue(), 1);
    EXPECT_DOUBLE_EQ(view->verticalScroller()->knobProportion(), 0.5);
}

TEST_F(ScrollViews, KnobDragMovesTheDocumentProportionally) {
    // The scroller is (185, 0, 15, 100) in the flipped scroll view: its top is at base y 100.
    // 400 points of document: knob 25 points long, 75 points of travel for 300 of document.
    struct Case {
        const char* name;
        double dragBy;  // points down
        double visibleY;
    };
    const Case cases[] = {
        {"30 points down", 30, 120}, {"past the bottom", 500, 300}, {"up past the top", -40, 0}};
    for (const Case& c : cases) {
        auto view = scrollView({185, 400});
        auto scroller = std::make_shared<RecordingScroller>();
        scroller->initWithFrame(NSMakeRect(0, 0, 15, 100));
        scroller->setTarget(recorder);
        scroller->setAction(SEL("press:"));
        view->setVerticalScroller(scroller);
        const NSPoint knob{192, 100 - 12.5};
        const NSPoint end{192, knob.y - c.dragBy};
        perform({{NSEventTypeLeftMouseDown, knob},
                 {NSEventTypeLeftMouseDragged, NSMakePoint(192, knob.y - c.dragBy / 2)},
                 {NSEventTypeLeftMouseDragged, end},
                 {NSEventTypeLeftMouseUp, end}});
        EXPECT_DOUBLE_EQ(view->documentVisibleRect().origin.y, c.visibleY) << c.name;
        EXPECT_NEAR(scroller->doubleValue(), c.visibleY / 300, 1e-6) << c.name;
        if (c.visibleY > 0) {
            // Each move was reported while the knob was being tracked, and sent the action.
            ASSERT_FALSE(scroller->reports.empty()) << c.name;
            EXPECT_EQ(scroller->reports.back().part, NSScrollerKnob) << c.name;
            EXPECT_FALSE(recorder->senders.empty()) << c.name;
            EXPECT_EQ(recorder->senders.back(), scroller.get()) << c.name;
        }
        EXPECT_EQ(scroller->hitPart(), NSScrollerNoPart) << c.name;
        recorder->senders.clear();
        view->removeFromSuperview();
    }
}

TEST_F(ScrollViews, ClickInTheSlotPagesKeepingThePageScroll) {
    auto view = scrollView({185, 400});
    // Below the knob (knob spans scroller y 0..25): one page down, 100 - 10 points.
    perform({{NSEventTypeLeftMouseDown, {192, 20}}, {NSEventTypeLeftMouseUp, {192, 20}}});
    EXPECT_DOUBLE_EQ(view->documentVisibleRect().origin.y, 90);
    view->setVerticalPageScroll(0);
    perform({{NSEventTypeLeftMouseDown, {192, 5}}, {NSEventTypeLeftMouseUp, {192, 5}}});
    EXPECT_DOUBLE_EQ(view->documentVisibleRect().origin.y, 190);
    // Above the knob: back up one page.
    perform({{NSEventTypeLeftMouseDown, {192, 99}}, {NSEventTypeLeftMouseUp, {192, 99}}});
    EXPECT_DOUBLE_EQ(view->documentVisibleRect().origin.y, 90);
}

TEST_F(ScrollViews, WidthHookStandsInDuringTileAndIsRestored) {
    // The platform's widths: thinner for smaller sizes and for overlay scrollers.
    for (NSScrollerStyle style : {NSScrollerStyleLegacy, NSScrollerStyleOverlay}) {
        double regular = NSScroller::scrollerWidthForControlSize(NSControlSizeRegular, style);
        double small = NSScroller::scrollerWidthForControlSize(NSControlSizeSmall, style);
        double mini = NSScroller::scrollerWidthForControlSize(NSControlSizeMini, style);
        EXPECT_GT(regular, small);
        EXPECT_GT(small, mini);
        EXPECT_GT(mini, 0);
    }
    // An outer hook that answers only for small scrollers.
    NSScroller::setScrollerWidthHook([](NSControlSize size, NSScrollerStyle) {
        return size == NSControlSizeSmall ? std::optional<double>(20) : std::nullopt;
    });
    EXPECT_DOUBLE_EQ(
        NSScroller::scrollerWidthForControlSize(NSControlSizeSmall, NSScrollerStyleLegacy), 20);
    EXPECT_DOUBLE_EQ(
        NSScroller::scrollerWidthForControlSize(NSControlSizeRegular, NSScrollerStyleLegacy),
        NSScroller::platformScrollerWidth(NSControlSizeRegular, NSScrollerStyleLegacy));

    auto view = std::make_shared<ZeroWidthScrollView>();
    view->initWithFrame(NSMakeRect(0, 0, 200, 100));
    view->setHasVerticalScroller(true);
    view->setDocumentView(NSView::make(NSMakeRect(0, 0, 200, 400)));
    EXPECT_GT(view->hookCalls, 0);
    // Laid out as if the scroller had no width; the scroller then covers the right edge.
    expectRect(view->contentView()->frame(), NSMakeRect(0, 0, 200, 100), "clip");
    expectRect(view->verticalScroller()->frame(), NSMakeRect(185, 0, 15, 100), "scroller");
    // The outer hook is back.
    EXPECT_DOUBLE_EQ(
        NSScroller::scrollerWidthForControlSize(NSControlSizeSmall, NSScrollerStyleLegacy), 20);
}

TEST_F(ScrollViews, ScrollerSubclassDrawsThroughItsOverrides) {
    auto view = scrollView({185, 400});
    auto scroller = std::make_shared<RecordingScroller>();
    scroller->initWithFrame(NSMakeRect(0, 0, 15, 100));
    view->setVerticalScroller(scroller);
    ASSERT_TRUE(pt::renderWindow(*window));
    EXPECT_EQ(scroller->knobDraws, 1);
    EXPECT_EQ(scroller->slotDraws, 1);
    // The default knob is drawn over the slot's column, below the document's dark background.
    scroller = nullptr;
    auto plain = scrollView({185, 400});
    plain->contentView()->setBackgroundColor(NSColor::blackColor());
    auto surface = pt::renderWindow(*window);
    ASSERT_TRUE(surface);
    auto px = [&](int x, int yFromTop) { return surface->pixelAt(x, yFromTop); };
    Pixel knob = px(192, 10), slot = px(192, 60), content = px(50, 50);
    EXPECT_GT(knob.r, slot.r + 40);
    EXPECT_TRUE(near(content, 0, 0, 0, 5));
}

TEST_F(ScrollViews, DrawsOnlyTheVisiblePartOfTheDocument) {
    auto view = scrollView({185, 10000});
    view->contentView()->scrollToPoint(NSMakePoint(0, 5000));
    doc->asked.clear();
    ASSERT_TRUE(pt::renderWindow(*window));
    ASSERT_FALSE(doc->asked.empty());
    const NSRect visible = view->documentVisibleRect();
    expectRect(visible, NSMakeRect(0, 5000, 185, 100), "visible");
    for (const NSRect& r : doc->asked) {
        EXPECT_GE(r.origin.y, visible.origin.y - 1);
        EXPECT_LE(NSMaxY(r), NSMaxY(visible) + 1);
    }
}

TEST_F(ScrollViews, NoRedrawWhileIdle) {
    auto view = scrollView({185, 400});
    pt::pumpEvents();
    const long afterFirst = window->displayCount();
    for (int i = 0; i < 5; ++i)
        pt::pumpEvents();
    EXPECT_EQ(window->displayCount(), afterFirst);
    pt::postScroll(*window, NSMakePoint(50, 50), 0, -1);
    pt::pumpEvents();
    const long afterScroll = window->displayCount();
    EXPECT_GT(afterScroll, afterFirst);
    for (int i = 0; i < 5; ++i)
        pt::pumpEvents();
    EXPECT_EQ(window->displayCount(), afterScroll);
}

TEST_F(ScrollViews, ScrollingPostsBoundsChanges) {
    auto view = scrollView({185, 400});
    NSClipView* clip = view->contentView().get();
    std::vector<NSRect> seen;
    auto token = NSNotificationCenter::defaultCenter().addObserverForName(
        NSViewBoundsDidChangeNotification, clip, [&](const NSNotification& n) {
            EXPECT_EQ(n.object().get(), clip);
            seen.push_back(clip->bounds());
        });
    clip->scrollToPoint(NSMakePoint(0, 50));
    clip->scrollToPoint(NSMakePoint(0, 50));   // no move, no post
    clip->scrollToPoint(NSMakePoint(0, -20));  // clamped to 0
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_DOUBLE_EQ(seen[0].origin.y, 50);
    EXPECT_DOUBLE_EQ(seen[1].origin.y, 0);
    clip->setPostsBoundsChangedNotifications(false);
    clip->scrollToPoint(NSMakePoint(0, 80));
    EXPECT_EQ(seen.size(), 2u);
    NSNotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(ScrollViews, ScrollRectToVisibleMovesTheLeast) {
    struct Case {
        NSRect rect;
        bool moves;
        double visibleY;
    };
    // Starting from visible 100..200 of a 400-point flipped document.
    const Case cases[] = {
        {NSMakeRect(0, 120, 10, 20), false, 100},  // already visible
        {NSMakeRect(0, 250, 10, 20), true, 170},   // below: its bottom edge comes in
        {NSMakeRect(0, 30, 10, 20), true, 30},     // above: its top edge comes in
        {NSMakeRect(0, 50, 10, 300), true, 50},    // taller than the view: its top
        {NSMakeRect(0, 390, 10, 50), true, 300},   // past the end: clamped
    };
    for (const Case& c : cases) {
        auto view = scrollView({185, 400});
        view->contentView()->scrollToPoint(NSMakePoint(0, 100));
        EXPECT_EQ(view->contentView()->scrollRectToVisible(c.rect), c.moves) << c.rect.origin.y;
        EXPECT_DOUBLE_EQ(view->documentVisibleRect().origin.y, c.visibleY) << c.rect.origin.y;
        view->removeFromSuperview();
    }
}

TEST_F(ScrollViews, InterfaceFileSetsPropertiesAndTheDocumentView) {
    auto owner = std::make_shared<ActionRecorder>();
    NibLoadResult result = NibLoader::loadData(
        "<interface owner=\"ControlTestActionRecorder\">\n"
        "  <NSScrollView frame=\"0 0 200 100\" hasVerticalScroller=\"YES\"\n"
        "      hasHorizontalScroller=\"YES\" autohidesScrollers=\"YES\" borderType=\"line\"\n"
        "      drawsBackground=\"NO\" backgroundColor=\"#FF0000\" scrollerStyle=\"overlay\">\n"
        "    <NSView frame=\"0 0 150 500\"/>\n"
        "  </NSScrollView>\n"
        "</interface>\n",
        "Scroll.ui", owner);
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_EQ(result.topLevelObjects.size(), 1u);
    auto view = std::dynamic_pointer_cast<NSScrollView>(result.topLevelObjects[0]);
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->hasVerticalScroller());
    EXPECT_TRUE(view->hasHorizontalScroller());
    EXPECT_TRUE(view->autohidesScrollers());
    EXPECT_EQ(view->borderType(), NSLineBorder);
    EXPECT_FALSE(view->drawsBackground());
    EXPECT_NEAR(view->backgroundColor()->redComponent(), 1, 1e-9);
    EXPECT_EQ(view->scrollerStyle(), NSScrollerStyleOverlay);
    ASSERT_TRUE(view->documentView());
    EXPECT_DOUBLE_EQ(view->documentView()->frame().size.height, 500);
    EXPECT_EQ(view->documentView()->superview(), view->contentView().get());
    EXPECT_FALSE(view->verticalScroller()->isHidden());
    EXPECT_TRUE(view->horizontalScroller()->isHidden());

    NibLoadResult bad = NibLoader::loadData(
        "<interface owner=\"ControlTestActionRecorder\">\n"
        "  <NSScrollView borderType=\"wavy\"/>\n"
        "</interface>\n",
        "Bad.ui", owner);
    EXPECT_FALSE(bad.ok());
    EXPECT_NE(bad.error.find("Bad.ui:2"), std::string::npos) << bad.error;
}

}  // namespace
