// The Languages screen: the two trees in the outline, ticks, select-all, the view segment,
// sorting and the sort pop-up.

#include <algorithm>
#include <string>
#include <vector>

#include "app/languages/LanguagesScreenFixture.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphics.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSImage.h"
#include "platform/testing/ManualClock.h"
#include "windows/PopWindow/StatusAttachedWindow.h"

using namespace languagestest;

namespace {

TEST_F(LanguagesScreen, ShowsTheLanguageTreeOnceTheScanHasEnded) {
    threeApplications();
    openScreen();
    EXPECT_TRUE(screen->segment()->isEnabled());
    EXPECT_FALSE(screen->outlineScrollView()->isHidden());
    EXPECT_TRUE(screen->loadProImageView()->isHidden());
    EXPECT_EQ(screen->segment()->selectedSegment(), 0);
    // The view segment is the drawing kit's dark segmented cell, with both segments.
    ASSERT_TRUE(screen->segment()->cell());
    EXPECT_EQ(screen->segment()->cell()->className(), "SNRHUDSegmentedCell");
    EXPECT_EQ(screen->segment()->segmentCount(), 2);
    EXPECT_EQ(screen->segment()->labelForSegment(1), "Applications");
    EXPECT_EQ(header("Name"), "           Languages(Total:3)");
    EXPECT_EQ(header("Count"), "Applications");
    EXPECT_EQ(outline().numberOfRows(), 3);
    EXPECT_EQ(outline().selectedRow(), 0);
    EXPECT_EQ(screen->selectTreeNode(), outline().itemAtRow(0));

    ASSERT_TRUE(screen->removeButton());
    EXPECT_EQ(screen->removeButton()->frame(), NSMakeRect(642, 566, 138, 36));
    EXPECT_FALSE(screen->removeButton()->isEnabled());
    EXPECT_EQ(screen->removeButton()->superview(), screen->view());
    EXPECT_TRUE(screen->selectAllBut()->isEnabled());

    // Rows: a group shows its count and total; its leaves no count.
    Ref<ZRTreeNode> german = top("German");
    NSTableColumn* size = outline().tableColumnWithIdentifier("Size");
    NSTableColumn* count = outline().tableColumnWithIdentifier("Count");
    auto text = [&](NSTableColumn* column, const Ref<ZRTreeNode>& node) {
        return std::any_cast<std::string>(
            screen->objectValueForTableColumn(&outline(), column, node));
    };
    EXPECT_EQ(text(count, german), "3");
    EXPECT_EQ(text(size, german), "306.00 KB");
    outline().expandItem(german);
    EXPECT_EQ(outline().numberOfRows(), 6);
    EXPECT_EQ(text(count, childOf(german, "beta.app")), "");
    EXPECT_EQ(text(size, childOf(german, "beta.app")), "300.00 KB");
    german->setSize("");
    EXPECT_EQ(text(size, german), "1.00 KB") << "an empty total shows the first child's size";
    EXPECT_FALSE(screen->child(&outline(), 3, german));
    EXPECT_FALSE(screen->child(&outline(), 3, nullptr));
    EXPECT_FALSE(screen->child(&outline(), 0, childOf(german, "beta.app")));

    // The segment switches to the by-application tree and back.
    showTree(1);
    EXPECT_EQ(header("Name"), "           Applications(Total:3)");
    EXPECT_EQ(header("Count"), "Languages");
    EXPECT_EQ(outline().numberOfRows(), 3);
    EXPECT_EQ(text(count, top("beta.app")), "2");
    showTree(0);
    EXPECT_EQ(header("Name"), "           Languages(Total:3)");
}

TEST_F(LanguagesScreen, ClicksOnTheViewSegmentSwitchTheTree) {
    threeApplications();
    openScreen();
    window->makeKeyAndOrderFront();
    // The segment spans x 16..276 and y 576..606 of the window.
    pt::postClick(*window, NSMakePoint(230, 591));
    pt::pumpEvents();
    EXPECT_EQ(screen->segment()->selectedSegment(), 1);
    EXPECT_EQ(header("Name"), "           Applications(Total:3)");
    pt::postClick(*window, NSMakePoint(60, 591));
    pt::pumpEvents();
    EXPECT_EQ(screen->segment()->selectedSegment(), 0);
    EXPECT_EQ(header("Name"), "           Languages(Total:3)");
}

TEST_F(LanguagesScreen, AnEmptyVolumeShowsAnEmptyTree) {
    openScreen();
    EXPECT_EQ(header("Name"), "           Languages(Total:0)");
    EXPECT_EQ(outline().numberOfRows(), 0);
    EXPECT_FALSE(screen->selectTreeNode());
    screen->selectAllButtonAction(nullptr);
    EXPECT_FALSE(screen->removeButton()->isEnabled()) << "nothing to remove";
}

TEST_F(LanguagesScreen, TicksFollowClicksOnGroupsAndLeaves) {
    threeApplications();
    openScreen();
    Ref<ZRTreeNode> german = top("German");
    Ref<ZRTreeNode> alpha = childOf(german, "Alpha.app");
    Ref<ZRTreeNode> beta = childOf(german, "beta.app");
    Ref<ZRTreeNode> gamma = childOf(german, "Gamma.app");
    auto states = [&] {
        return std::vector<int>{german->selectState(), alpha->selectState(), beta->selectState(),
                                gamma->selectState()};
    };
    struct Step {
        Ref<ZRTreeNode> clicked;
        std::vector<int> states;  // group, then its three leaves
        bool removable;
    } steps[] = {
        {alpha, {2, 1, 0, 0}, true},    // one of three: half-ticked
        {german, {1, 1, 1, 1}, true},   // a half-ticked group ticks everything
        {german, {0, 0, 0, 0}, false},  // and again unticks everything
        {beta, {2, 0, 1, 0}, true},
        {alpha, {2, 1, 1, 0}, true},
        {gamma, {1, 1, 1, 1}, true},  // the last one: the group is ticked
        {alpha, {2, 0, 1, 1}, true},  // unticking one of several
        {beta, {2, 0, 0, 1}, true},
        {gamma, {0, 0, 0, 0}, false},  // unticking the last ticked one
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.clicked->title() + " " + std::to_string(&s - steps));
        clickTick(s.clicked);
        EXPECT_EQ(states(), s.states);
        EXPECT_EQ(screen->removeButton()->isEnabled(), s.removable);
    }
    // The other tree keeps its own ticks.
    clickTick(german);
    showTree(1);
    for (const auto& node : screen->shownRootList())
        EXPECT_EQ(node->selectState(), 0);
    EXPECT_FALSE(screen->removeButton()->isEnabled()) << "follows the tree shown";
}

TEST_F(LanguagesScreen, SelectAllTicksUnlessEverythingIsTicked) {
    threeApplications();
    openScreen();
    auto allAt = [&](int state) {
        for (const auto& node : screen->shownRootList()) {
            if (node->selectState() != state) return false;
            for (const auto& child : node->children())
                if (std::static_pointer_cast<ZRTreeNode>(child)->selectState() != state)
                    return false;
        }
        return true;
    };
    clickTick(childOf(top("French"), "Alpha.app"));  // only a half-ticked group
    screen->selectAllButtonAction(nullptr);
    EXPECT_TRUE(allAt(1));
    EXPECT_TRUE(screen->removeButton()->isEnabled());
    screen->selectAllButtonAction(nullptr);
    EXPECT_TRUE(allAt(0));
    EXPECT_FALSE(screen->removeButton()->isEnabled());
    screen->selectAllButtonAction(nullptr);
    showTree(1);
    EXPECT_TRUE(allAt(0)) << "only the shown tree changes";
}

TEST_F(LanguagesScreen, SortingReordersTheTopOfTheShownTreeOnly) {
    threeApplications();
    openScreen();
    showTree(1);
    const std::vector<std::string> languageOrder = [&] {
        std::vector<std::string> out;
        for (const auto& node : screen->languageApps())
            out.push_back(node->title());
        return out;
    }();
    const std::vector<std::string> betaChildren = [&] {
        std::vector<std::string> out;
        for (const auto& child : top("beta.app")->children())
            out.push_back(child->title());
        return out;
    }();
    struct Case {
        int type, upDown;
        std::vector<std::string> order;
    } cases[] = {
        {2, 1, {"Gamma.app", "Alpha.app", "beta.app"}},  // 5.10 KB, 21.00 KB, 300.01 KB
        {2, 2, {"beta.app", "Alpha.app", "Gamma.app"}},
        {1, 1, {"Alpha.app", "Gamma.app", "beta.app"}},  // case-sensitive: capitals first
        {1, 2, {"beta.app", "Gamma.app", "Alpha.app"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.upDown));
        screen->sortByType(c.type, c.upDown);
        EXPECT_EQ(topTitles(), c.order);
        EXPECT_EQ(std::dynamic_pointer_cast<ZRTreeNode>(outline().itemAtRow(0))->title(),
                  c.order.front());
    }
    std::vector<std::string> children;
    for (const auto& child : top("beta.app")->children())
        children.push_back(child->title());
    EXPECT_EQ(children, betaChildren);
    std::vector<std::string> languages;
    for (const auto& node : screen->languageApps())
        languages.push_back(node->title());
    EXPECT_EQ(languages, languageOrder);
}

TEST_F(LanguagesScreen, SortPopUpClosesUntouchedOnLeavingAndOnAChoice) {
    threeApplications();
    openScreen();
    ManualClock::Installed clock;
    auto turn = [&](double seconds) {
        clock->advance(seconds);
        pt::pumpEvents();
    };
    screen->sortButtonAction();
    StatusAttachedWindow* popUp = screen->sortAttachedWindow();
    ASSERT_TRUE(popUp);
    EXPECT_EQ(window->childWindows().size(), 1u);
    turn(1.9);
    EXPECT_EQ(screen->sortAttachedWindow(), popUp);
    turn(0.2);
    EXPECT_FALSE(screen->sortAttachedWindow());
    EXPECT_TRUE(window->childWindows().empty());

    screen->sortButtonAction();
    screen->mouseEixtView(false);
    turn(3);
    EXPECT_TRUE(screen->sortAttachedWindow()) << "closed while the pointer was inside";
    screen->mouseEixtView(true);
    EXPECT_FALSE(screen->sortAttachedWindow());

    screen->sortButtonAction();
    screen->mouseEixtView(false);
    screen->sortActionBy(2, 2);
    EXPECT_FALSE(screen->sortAttachedWindow());
    EXPECT_EQ(topTitles().front(), "German") << "the largest language group first";
}

/// The pixel at `point` (x from the left, y from the top) of `image` drawn at its own size.
NSGraphicsContext::Pixel pixelOf(NSImage& image, NSPoint point) {
    const NSSize size = image.size();
    auto context = NSGraphicsContext::contextWithBitmap(static_cast<int>(size.width),
                                                        static_cast<int>(size.height), false);
    auto previous = NSGraphicsContext::currentContext();
    NSGraphicsContext::setCurrentContext(context);
    image.drawInRect(NSRect{{0, 0}, size});
    NSGraphicsContext::setCurrentContext(previous);
    return context->pixelAt(static_cast<int>(point.x), static_cast<int>(point.y));
}

TEST(LanguagesImage, ResizeDrawsTheCentredPartWithTheTargetsProportions) {
    // Three vertical stripes, red, green, blue: a square taken from the middle is green.
    auto source = NSImage::initWithSize(NSMakeSize(30, 10));
    source->lockFocus();
    const Ref<NSColor> colours[] = {NSColor::colorWithCalibratedRed(1, 0, 0, 1),
                                    NSColor::colorWithCalibratedRed(0, 1, 0, 1),
                                    NSColor::colorWithCalibratedRed(0, 0, 1, 1)};
    for (int i = 0; i < 3; ++i) {
        colours[i]->setFill();
        NSRectFill(NSMakeRect(10 * i, 0, 10, 10));
    }
    source->unlockFocus();
    struct Case {
        NSSize size;
        NSPoint probe;
        int r, g, b;
    } cases[] = {
        {NSMakeSize(10, 10), NSMakePoint(1, 5), 0, 255, 0},  // the middle square
        {NSMakeSize(10, 10), NSMakePoint(9, 5), 0, 255, 0},
        {NSMakeSize(60, 20), NSMakePoint(2, 10), 255, 0, 0},  // same proportions: all of it
        {NSMakeSize(60, 20), NSMakePoint(58, 10), 0, 0, 255},
        {NSMakeSize(30, 5), NSMakePoint(1, 2), 255, 0, 0},  // wider: full width
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.size.width) + "x" + std::to_string(c.size.height));
        Ref<NSImage> resized = ZRLanguagesViewController::resizeImage(source, c.size);
        ASSERT_TRUE(resized);
        EXPECT_EQ(resized->size(), c.size);
        const auto pixel = pixelOf(*resized, c.probe);
        EXPECT_NEAR(pixel.r, c.r, 8);
        EXPECT_NEAR(pixel.g, c.g, 8);
        EXPECT_NEAR(pixel.b, c.b, 8);
    }
}

}  // namespace
