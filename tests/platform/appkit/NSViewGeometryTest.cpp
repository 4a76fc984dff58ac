// Catches views that convert points with the wrong flip or bounds offset, share a resize wrongly
// among flexible margins, or hit hidden or covered views.
#include <gtest/gtest.h>

#include <string>

#include "platform/appkit/NSView.h"

namespace {

class FlipView : public NSView {
  public:
    static Ref<FlipView> make(NSRect frame, bool flipped) {
        auto view = std::make_shared<FlipView>();
        view->initWithFrame(frame);
        view->flipped_ = flipped;
        return view;
    }
    bool isFlipped() const override { return flipped_; }

  private:
    bool flipped_ = false;
};

struct ConversionCase {
    const char* name;
    bool outerFlipped, innerFlipped;
    NSPoint outerBoundsOrigin;
    NSPoint expectedInWindow;  // of the inner view's point (1, 2)
};

class ViewConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(ViewConversion, MapsThroughEveryAncestorAndBack) {
    const auto& c = GetParam();
    // The root stands for a content view: its superview is the window.
    auto root = NSView::make(NSMakeRect(0, 0, 200, 100));
    auto outer = FlipView::make(NSMakeRect(10, 20, 100, 50), c.outerFlipped);
    auto inner = FlipView::make(NSMakeRect(5, 5, 20, 10), c.innerFlipped);
    root->addSubview(outer);
    outer->addSubview(inner);
    outer->setBoundsOrigin(c.outerBoundsOrigin);

    NSPoint inWindow = inner->convertPointToView(NSMakePoint(1, 2), nullptr);
    EXPECT_EQ(inWindow, c.expectedInWindow);
    EXPECT_EQ(inner->convertPoint(inWindow, nullptr), NSMakePoint(1, 2));
    EXPECT_EQ(root->convertPoint(NSMakePoint(1, 2), inner.get()), c.expectedInWindow);
    EXPECT_EQ(inner->convertPoint(c.expectedInWindow, root.get()), NSMakePoint(1, 2));

    // A rectangle comes back with a positive size whatever the flips.
    NSRect rect = inner->convertRectToView(NSMakeRect(1, 2, 4, 3), nullptr);
    EXPECT_EQ(rect.size, NSMakeSize(4, 3));
    EXPECT_EQ(inner->convertRect(rect, nullptr), NSMakeRect(1, 2, 4, 3));
}

INSTANTIATE_TEST_SUITE_P(
    Flips, ViewConversion,
    ::testing::Values(ConversionCase{"Unflipped", false, false, {0, 0}, {16, 27}},
                      ConversionCase{"OuterFlipped", true, false, {0, 0}, {16, 57}},
                      ConversionCase{"BothFlipped", true, true, {0, 0}, {16, 63}},
                      ConversionCase{"InnerFlipped", false, true, {0, 0}, {16, 33}},
                      ConversionCase{"ScrolledFlipped", true, true, {3, 10}, {13, 73}},
                      ConversionCase{"ScrolledUnflipped", false, false, {3, 10}, {13, 17}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ViewConversionSiblings, ConvertsBetweenViewsOfDifferentBranches) {
    auto root = NSView::make(NSMakeRect(0, 0, 200, 100));
    auto left = FlipView::make(NSMakeRect(0, 0, 100, 100), true);
    auto right = NSView::make(NSMakeRect(100, 0, 100, 100));
    root->addSubview(left);
    root->addSubview(right);
    // The top-left corner of the flipped view is the top-left corner of its unflipped sibling,
    // shifted 100 points left.
    EXPECT_EQ(right->convertPoint(NSMakePoint(0, 0), left.get()), NSMakePoint(-100, 100));
}

struct ResizeCase {
    const char* name;
    NSAutoresizingMaskOptions mask;
    NSRect start;
    NSRect expected;
};

class ViewAutoresizing : public ::testing::TestWithParam<ResizeCase> {};

TEST_P(ViewAutoresizing, SharesTheChangeAmongFlexibleParts) {
    const auto& c = GetParam();
    auto parent = NSView::make(NSMakeRect(0, 0, 100, 100));
    auto child = NSView::make(c.start);
    child->setAutoresizingMask(c.mask);
    parent->addSubview(child);
    parent->setFrameSize(NSMakeSize(200, 150));
    NSRect got = child->frame();
    EXPECT_NEAR(got.origin.x, c.expected.origin.x, 1e-9);
    EXPECT_NEAR(got.origin.y, c.expected.origin.y, 1e-9);
    EXPECT_NEAR(got.size.width, c.expected.size.width, 1e-9);
    EXPECT_NEAR(got.size.height, c.expected.size.height, 1e-9);
    EXPECT_EQ(child->bounds().size, got.size);
}

// The child starts at x 20 (width 40, right margin 40) and y 20 (height 40, top margin 40);
// the parent grows by 100 x 50.
constexpr NSRect kStart{{20, 20}, {40, 40}};
INSTANTIATE_TEST_SUITE_P(
    Masks, ViewAutoresizing,
    ::testing::Values(ResizeCase{"NotSizable", NSViewNotSizable, kStart, kStart},
                      ResizeCase{"WidthSizable", NSViewWidthSizable, kStart, {{20, 20}, {140, 40}}},
                      ResizeCase{"MinXMargin", NSViewMinXMargin, kStart, {{120, 20}, {40, 40}}},
                      ResizeCase{"MaxXMargin", NSViewMaxXMargin, kStart, kStart},
                      ResizeCase{"BothXMargins",
                                 NSViewMinXMargin | NSViewMaxXMargin,
                                 kStart,
                                 {{20 + 100.0 * 20 / 60, 20}, {40, 40}}},
                      ResizeCase{"WidthAndMinX",
                                 NSViewWidthSizable | NSViewMinXMargin,
                                 kStart,
                                 {{20 + 100.0 * 20 / 60, 20}, {40 + 100.0 * 40 / 60, 40}}},
                      ResizeCase{"AllX",
                                 NSViewMinXMargin | NSViewWidthSizable | NSViewMaxXMargin,
                                 kStart,
                                 {{40, 20}, {80, 40}}},
                      ResizeCase{"HeightAndTop",
                                 NSViewHeightSizable | NSViewMaxYMargin,
                                 kStart,
                                 {{20, 20}, {40, 65}}},
                      ResizeCase{"MinYMargin", NSViewMinYMargin, kStart, {{20, 70}, {40, 40}}},
                      ResizeCase{"FillsBoth",
                                 NSViewWidthSizable | NSViewHeightSizable,
                                 {{0, 0}, {100, 100}},
                                 {{0, 0}, {200, 150}}},
                      // Flexible parts that are all zero long share the change evenly.
                      ResizeCase{"ZeroPartsEvenly",
                                 NSViewMinXMargin | NSViewWidthSizable,
                                 {{0, 0}, {0, 100}},
                                 {{50, 0}, {50, 100}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ViewAutoresizingSwitch, OffKeepsSubviewsAndNestedViewsFollow) {
    auto parent = NSView::make(NSMakeRect(0, 0, 100, 100));
    auto middle = NSView::make(NSMakeRect(0, 0, 100, 100));
    auto leaf = NSView::make(NSMakeRect(10, 10, 80, 80));
    middle->setAutoresizingMask(NSViewWidthSizable | NSViewHeightSizable);
    leaf->setAutoresizingMask(NSViewWidthSizable);
    parent->addSubview(middle);
    middle->addSubview(leaf);
    parent->setFrameSize(NSMakeSize(150, 100));
    EXPECT_EQ(leaf->frame(), NSMakeRect(10, 10, 130, 80));

    parent->setAutoresizesSubviews(false);
    parent->setFrameSize(NSMakeSize(300, 100));
    EXPECT_EQ(middle->frame(), NSMakeRect(0, 0, 150, 100));
}

struct HitCase {
    const char* name;
    NSPoint point;  // in the root's superview coordinates
    const char* expected;
};

class ViewHitTest : public ::testing::TestWithParam<HitCase> {
  protected:
    void SetUp() override {
        root = named(NSView::make(NSMakeRect(0, 0, 300, 100)), "root", 1);
        back = named(NSView::make(NSMakeRect(0, 0, 100, 100)), "back", 2);
        front = named(NSView::make(NSMakeRect(50, 0, 100, 100)), "front", 3);
        // A flipped box whose child sits at its top edge.
        box = named(FlipView::make(NSMakeRect(200, 0, 100, 100), true), "box", 4);
        top = named(NSView::make(NSMakeRect(0, 0, 100, 20)), "top", 5);
        shroud = named(NSView::make(NSMakeRect(160, 0, 30, 100)), "shroud", 6);
        inShroud = named(NSView::make(NSMakeRect(0, 0, 30, 100)), "inShroud", 7);
        root->addSubview(back);
        root->addSubview(front);
        root->addSubview(box);
        box->addSubview(top);
        root->addSubview(shroud);
        shroud->addSubview(inShroud);
        shroud->setHidden(true);
    }
    static Ref<NSView> named(Ref<NSView> view, const char*, long tag) {
        view->setTag(tag);
        return view;
    }
    std::string nameOf(NSView* view) const {
        for (auto& [v, name] :
             std::initializer_list<std::pair<NSView*, const char*>>{{root.get(), "root"},
                                                                    {back.get(), "back"},
                                                                    {front.get(), "front"},
                                                                    {box.get(), "box"},
                                                                    {top.get(), "top"},
                                                                    {shroud.get(), "shroud"},
                                                                    {inShroud.get(), "inShroud"}})
            if (v == view) return name;
        return view ? "?" : "none";
    }
    Ref<NSView> root, back, front, box, top, shroud, inShroud;
};

TEST_P(ViewHitTest, FindsTheTopmostVisibleView) {
    EXPECT_EQ(nameOf(root->hitTest(GetParam().point)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Points, ViewHitTest,
    ::testing::Values(HitCase{"BackOnly", {25, 50}, "back"},
                      HitCase{"OverlapTakesLaterSibling", {75, 50}, "front"},
                      HitCase{"GapShowsParent", {155, 50}, "root"},
                      HitCase{"HiddenViewAndChildrenAreSkipped", {170, 50}, "root"},
                      HitCase{"FlippedChildAtTop", {250, 95}, "top"},
                      HitCase{"FlippedParentBelowChild", {250, 50}, "box"},
                      HitCase{"Outside", {350, 50}, "none"},
                      // Unflipped superviews count the top edge in and the bottom edge out.
                      HitCase{"BottomEdgeExcluded", {25, 0}, "none"},
                      HitCase{"TopEdgeIncluded", {25, 100}, "back"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ViewHitTest, HidingAndOrderingChangeTheAnswer) {
    front->setHidden(true);
    EXPECT_EQ(nameOf(root->hitTest(NSMakePoint(75, 50))), "back");
    front->setHidden(false);
    // Moving the back view above the front one.
    root->addSubview(back, NSWindowAbove, front.get());
    EXPECT_EQ(nameOf(root->hitTest(NSMakePoint(75, 50))), "back");
    root->addSubview(back, NSWindowBelow, nullptr);
    EXPECT_EQ(root->subviews().front(), back);
    EXPECT_EQ(nameOf(root->hitTest(NSMakePoint(75, 50))), "front");
    EXPECT_EQ(root->viewWithTag(7), inShroud.get());
    EXPECT_TRUE(inShroud->isHiddenOrHasHiddenAncestor());
}

TEST(ViewTree, RemovalClearsBackPointersAndMoveReparents) {
    auto a = NSView::make(NSMakeRect(0, 0, 10, 10));
    auto b = NSView::make(NSMakeRect(0, 0, 10, 10));
    auto child = NSView::make(NSMakeRect(0, 0, 5, 5));
    a->addSubview(child);
    EXPECT_EQ(child->superview(), a.get());
    EXPECT_EQ(child->nextResponder(), a.get());
    b->addSubview(child);
    EXPECT_TRUE(a->subviews().empty());
    EXPECT_EQ(child->superview(), b.get());
    child->removeFromSuperview();
    EXPECT_EQ(child->superview(), nullptr);
    EXPECT_EQ(child->nextResponder(), nullptr);
    EXPECT_TRUE(b->subviews().empty());
}

TEST(ViewTree, FreedSuperviewLeavesNoDanglingPointer) {
    auto child = NSView::make(NSMakeRect(0, 0, 5, 5));
    {
        auto parent = NSView::make(NSMakeRect(0, 0, 10, 10));
        parent->addSubview(child);
    }
    EXPECT_EQ(child->superview(), nullptr);
}

NSComparisonResult tagsAscending(NSView* a, NSView* b, void* context) {
    ++*static_cast<int*>(context);
    if (a->tag() == b->tag()) return NSOrderedSame;
    return a->tag() < b->tag() ? NSOrderedAscending : NSOrderedDescending;
}

TEST(ViewTree, SortingSubviewsOrdersByTheFunctionAndKeepsEqualViewsInPlace) {
    auto parent = NSView::make(NSMakeRect(0, 0, 10, 10));
    const long tags[] = {2, 1, 2, 0, 1};
    std::vector<NSView*> views;
    for (long tag : tags) {
        auto v = NSView::make(NSMakeRect(0, 0, 1, 1));
        v->setTag(tag);
        views.push_back(v.get());
        parent->addSubview(v);
    }
    int calls = 0;
    parent->sortSubviewsUsingFunction(&tagsAscending, &calls);
    EXPECT_GT(calls, 0);
    std::vector<NSView*> order;
    for (const auto& v : parent->subviews())
        order.push_back(v.get());
    EXPECT_EQ(order, (std::vector<NSView*>{views[3], views[1], views[4], views[0], views[2]}));
    for (const auto& v : parent->subviews())
        EXPECT_EQ(v->superview(), parent.get());
    parent->sortSubviewsUsingFunction(nullptr, nullptr);  // no function: nothing moves
    EXPECT_EQ(parent->subviews().front().get(), views[3]);
}

}  // namespace
