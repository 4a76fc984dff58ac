// Catches a sort pop-up that starts with the wrong marks, reports the wrong (key, direction)
// pair or forgets the other half of it, loses clicks on an entry's label, sends to a delegate
// that does not answer, reports the pointer entering or leaving twice (or on moves between its
// entries), or draws a chosen or plain entry wrongly.
#include "appsManager/SortViewController.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "appsManager/ProgressAndSortClasses.h"
#include "appsManager/SortViewControllerDelegate.h"
#include "controls/ControlsClasses.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSImage.h"
#include "platform/testing/RunLoopPump.h"
#include "platform/testing/WindowTesting.h"
#include "support/FileFixtures.h"
#include "support/RealResources.h"
#include "support/ScopedResources.h"
#include "windows/PopWindow/PopWindowClasses.h"
#include "windows/WindowsClasses.h"

namespace pt = platform::testing;

namespace {

using Pixel = NSGraphicsContext::Pixel;

/// Records every report, in order: "enter", "exit" or "sort T U".
class SortRecorder : public NSObject, public SortViewControllerDelegate {
  public:
    void mouseEixtView(bool exited) override { reports.push_back(exited ? "exit" : "enter"); }
    void sortActionBy(std::int32_t type, std::int32_t upDown) override {
        reports.push_back("sort " + std::to_string(type) + " " + std::to_string(upDown));
    }
    std::vector<std::string> reports;
};

class KeyableWindow : public NSWindow {
  public:
    bool canBecomeKeyWindow() const override { return true; }
};

constexpr NSPoint kOrigin{40, 30};  // of the pop-up's view in the window

class SortPopUp : public ::testing::Test {
  protected:
    void SetUp() override {
        registerPlatformClasses();
        registerControlsClasses();
        registerWindowsClasses();
        registerPopWindowClasses();
        registerProgressAndSortClasses();
        dir.write("StringMessage.plist", fixtures::kLabelFontSettings);
        resources = std::make_unique<fixtures::ScopedResources>(dir.path());
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
        makePopUp();
    }
    /// A fresh controller whose view is shown in a fresh window, with a fresh recorder.
    void makePopUp() {
        if (window) window->orderOut();
        window = std::make_shared<KeyableWindow>();
        window->initWithContentRect(NSMakeRect(100, 100, 220, 180), NSWindowStyleMaskBorderless,
                                    NSBackingStoreBuffered, false);
        window->setBackgroundColor(NSColor::blackColor());
        controller = SortViewController::make();
        recorder = std::make_shared<SortRecorder>();
        controller->setDelegate(recorder);
        NSView* view = controller->view();
        ASSERT_NE(view, nullptr);
        view->setFrameOrigin(kOrigin);
        window->contentView()->addSubview(controller->viewRef());
        window->makeKeyAndOrderFront();
        pt::pumpEvents();
    }
    void TearDown() override {
        pt::pumpEvents();
        window->orderOut();
        NSApplication::resetSharedApplicationForTesting();
    }

    std::vector<SortButton*> entries() const {
        return {controller->nameButton().get(), controller->sizeButton().get(),
                controller->ascButton().get(), controller->desButton().get()};
    }
    /// A point of `entry` in window coordinates, `dx` points from its left edge, mid-height.
    NSPoint in(SortButton* entry, double dx = 30) const {
        NSRect r = entry->convertRectToView(entry->bounds(), nullptr);
        return NSMakePoint(r.origin.x + dx, NSMidY(r));
    }
    void click(NSPoint p) {
        pt::postClick(*window, p);
        pt::pumpEvents();
    }
    void moveTo(NSPoint p) {
        pt::postMouse(*window, NSEventTypeMouseMoved, p);
        pt::pumpEvents();
    }
    /// The choices reported so far (the clicks also move the pointer in and out).
    std::vector<std::string> sortReports() const {
        std::vector<std::string> sorts;
        for (const std::string& report : recorder->reports)
            if (report.rfind("sort", 0) == 0) sorts.push_back(report);
        return sorts;
    }
    std::vector<bool> marks() const {
        std::vector<bool> out;
        for (SortButton* e : entries())
            out.push_back(e->isSelect());
        return out;
    }
    Pixel pixel(double x, double y) {
        auto surface = pt::renderWindow(*window);
        if (!surface) return {};
        return surface->pixelAt(int(x), surface->pixelsHigh() - 1 - int(y));
    }
    /// The brightest channel minimum over a rectangle of window coordinates: how close to
    /// white the whitest pixel there is.
    int whitest(NSRect r) {
        auto surface = pt::renderWindow(*window);
        int best = 0;
        for (int x = int(r.origin.x); x < int(NSMaxX(r)); ++x)
            for (int y = int(r.origin.y); y < int(NSMaxY(r)); ++y) {
                Pixel p = surface->pixelAt(x, surface->pixelsHigh() - 1 - y);
                best = std::max(best, int(std::min({p.r, p.g, p.b})));
            }
        return best;
    }

    /// The resources folder, shared by the whole run: images are cached by name with their
    /// path and decoded when first drawn, so the folder must outlive every test.
    const fixtures::TempDir& dir = fixtures::sharedRealResources();
    std::unique_ptr<fixtures::ScopedResources> resources;
    Ref<NSApplication> app;
    Ref<KeyableWindow> window;
    Ref<SortViewController> controller;
    Ref<SortRecorder> recorder;
};

TEST_F(SortPopUp, StartsWithNameAndAscendingChosenAndReportsNothing) {
    const char* texts[] = {"Name", "Size", "Ascending", "Descending"};
    auto list = entries();
    for (long i = 0; i < 4; ++i) {
        ASSERT_NE(list[i], nullptr);
        ASSERT_NE(list[i]->textField(), nullptr);
        EXPECT_EQ(list[i]->textField()->stringValue(), texts[i]);
        EXPECT_EQ(list[i]->tag(), i);
        EXPECT_EQ(list[i]->delegate().get(), controller.get());
        EXPECT_EQ(list[i]->textField()->frame(), NSMakeRect(16, 1, 80, 16));
        EXPECT_EQ(list[i]->textField()->font()->pointSize(), 12);
        ASSERT_NE(list[i]->selImageV(), nullptr);
        EXPECT_EQ(list[i]->selImageV()->frame(), NSMakeRect(4, 4, 8, 8));
    }
    EXPECT_EQ(marks(), (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(controller->type(), 1);
    EXPECT_EQ(controller->updown(), 1);
    pixel(0, 0);  // drawing reports nothing either
    EXPECT_TRUE(recorder->reports.empty());

    // The pop-up tracks the pointer for the controller over its whole view.
    NSView* view = controller->view();
    ASSERT_EQ(view->trackingAreas().size(), 1u);
    auto area = view->trackingAreas()[0];
    EXPECT_EQ(area->options(), 0x83u);
    EXPECT_EQ(area->owner().get(), controller.get());
    EXPECT_EQ(area->rect(), view->bounds());
    EXPECT_TRUE(area->userInfo().empty());
}

TEST_F(SortPopUp, ClicksReportTheWholeCurrentPairAndMoveTheMarks) {
    enum { Name, Size, Asc, Des };
    struct Case {
        const char* name;
        std::vector<int> clicks;
        std::vector<std::string> reports;
        std::vector<bool> marks;
        int type, updown;
    };
    const Case cases[] = {
        {"size then descending",
         {Size, Des},
         {"sort 2 1", "sort 2 2"},
         {false, true, false, true},
         2,
         2},
        {"descending then name",
         {Des, Name},
         {"sort 1 2", "sort 1 2"},
         {true, false, false, true},
         1,
         2},
        {"same entry twice",
         {Asc, Asc},
         {"sort 1 1", "sort 1 1"},
         {true, false, true, false},
         1,
         1},
        {"there and back",
         {Size, Name, Des, Asc},
         {"sort 2 1", "sort 1 1", "sort 1 2", "sort 1 1"},
         {true, false, true, false},
         1,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        makePopUp();
        for (int entry : c.clicks)
            click(in(entries()[entry]));  // on the label's text
        EXPECT_EQ(sortReports(), c.reports);
        EXPECT_EQ(marks(), c.marks);
        EXPECT_EQ(controller->type(), c.type);
        EXPECT_EQ(controller->updown(), c.updown);
    }
}

TEST_F(SortPopUp, ChoiceIsKeptWhenThePopUpIsShownAgain) {
    click(in(controller->sizeButton().get(), 100));  // beside the label
    click(in(controller->desButton().get()));
    controller->view()->removeFromSuperview();
    pt::pumpEvents();
    window->contentView()->addSubview(controller->viewRef());
    pt::pumpEvents();
    EXPECT_EQ(marks(), (std::vector<bool>{false, true, false, true}));
    click(in(controller->nameButton().get()));
    EXPECT_EQ(sortReports(), (std::vector<std::string>{"sort 2 1", "sort 2 2", "sort 1 2"}));
}

TEST_F(SortPopUp, DelegateThatAnswersNothingHearsNothingWhileTheMarksStillMove) {
    auto silent = std::make_shared<NSObject>();
    for (const Ref<NSObject>& delegate : {silent, Ref<NSObject>()}) {
        controller->setDelegate(delegate);
        moveTo(in(controller->sizeButton().get()));
        click(in(controller->sizeButton().get()));
        click(in(controller->desButton().get()));
        moveTo(NSMakePoint(5, 5));
        EXPECT_EQ(marks(), (std::vector<bool>{false, true, false, true}));
        click(in(controller->nameButton().get()));
        click(in(controller->ascButton().get()));
        EXPECT_EQ(marks(), (std::vector<bool>{true, false, true, false}));
    }
    EXPECT_TRUE(recorder->reports.empty());
}

TEST_F(SortPopUp, PointerEnteringAndLeavingIsReportedOnceEach) {
    // The entries pass their own enter and leave events up the responder chain; with the
    // controller in that chain (its place before the view is put in a superview) they reach
    // it too, and must not count.
    for (bool controllerInChain : {false, true}) {
        SCOPED_TRACE(controllerInChain ? "controller in the chain" : "superview next");
        recorder->reports.clear();
        if (controllerInChain) controller->view()->setNextResponder(controller.get());
        moveTo(NSMakePoint(5, 5));
        auto list = entries();
        moveTo(in(list[0]));                                     // straight onto an entry
        moveTo(in(list[1]));                                     // to the next entry
        moveTo(NSMakePoint(in(list[1]).x, in(list[1]).y - 20));  // the gap between the groups
        moveTo(in(list[3], 80));                                 // the last entry
        moveTo(NSMakePoint(in(list[3]).x, kOrigin.y + 1));       // inside, below the entries
        moveTo(NSMakePoint(210, 170));                           // out
        moveTo(NSMakePoint(kOrigin.x + 60, kOrigin.y + 103));    // into the top margin
        moveTo(NSMakePoint(5, 5));                               // out again
        EXPECT_EQ(recorder->reports, (std::vector<std::string>{"enter", "exit", "enter", "exit"}));
    }
}

TEST_F(SortPopUp, ChosenEntryIsFilledGreenWithAWhiteLabelAndTheCheckMark) {
    window->setBackgroundColor(NSColor::colorWithDeviceRed(60 / 255.0, 64 / 255.0, 67 / 255.0, 1));
    auto near = [](Pixel p, int r, int g, int b) {
        return std::abs(p.r - r) <= 4 && std::abs(p.g - g) <= 4 && std::abs(p.b - b) <= 4;
    };
    SortButton* chosen = controller->nameButton().get();
    SortButton* plain = controller->sizeButton().get();
    NSRect chosenRect = chosen->convertRectToView(chosen->bounds(), nullptr);
    NSRect plainRect = plain->convertRectToView(plain->bounds(), nullptr);

    // Right of the label: fill colour or the background behind a plain entry.
    Pixel fill = pixel(NSMaxX(chosenRect) - 4, NSMidY(chosenRect));
    EXPECT_TRUE(near(fill, 36, 166, 106))
        << int(fill.r) << " " << int(fill.g) << " " << int(fill.b);
    Pixel behind = pixel(NSMaxX(plainRect) - 4, NSMidY(plainRect));
    EXPECT_TRUE(near(behind, 60, 64, 67)) << int(behind.r) << " " << int(behind.g);

    // The label: white on the chosen entry, dimmed (alpha 0.7) on the plain one.
    auto label = [](NSRect entry) {
        return NSMakeRect(entry.origin.x + 16, entry.origin.y + 1, 80, 16);
    };
    EXPECT_GE(whitest(label(chosenRect)), 235);
    EXPECT_LT(whitest(label(plainRect)), 215);
    EXPECT_GT(whitest(label(plainRect)), 150);
    EXPECT_DOUBLE_EQ(chosen->textField()->textColor()->alphaComponent(), 1.0);
    EXPECT_NEAR(plain->textField()->textColor()->alphaComponent(), 0.7, 1e-6);

    // The check mark only on the chosen entry.
    auto mark = [](NSRect entry) {
        return NSMakeRect(entry.origin.x + 4, entry.origin.y + 4, 8, 8);
    };
    ASSERT_TRUE(chosen->selImageV()->image());
    EXPECT_EQ(chosen->selImageV()->image()->name(), "ic_sel");
    EXPECT_FALSE(plain->selImageV()->image());
    EXPECT_GE(whitest(mark(chosenRect)), 235);
    EXPECT_LT(whitest(mark(plainRect)), 80);

    // A click moves the look with the mark.
    click(in(plain));
    Pixel now = pixel(NSMaxX(plainRect) - 4, NSMidY(plainRect));
    EXPECT_TRUE(near(now, 36, 166, 106)) << int(now.r) << " " << int(now.g) << " " << int(now.b);
    Pixel was = pixel(NSMaxX(chosenRect) - 4, NSMidY(chosenRect));
    EXPECT_TRUE(near(was, 60, 64, 67)) << int(was.r) << " " << int(was.g) << " " << int(was.b);
}

TEST_F(SortPopUp, CloseWindowClosesTheSuperDelegateWhenThereIsOne) {
    controller->closeWindow();  // nothing to close
    EXPECT_TRUE(window->isVisible());
    controller->setSuperDelegate(window);
    controller->closeWindow();
    EXPECT_FALSE(window->isVisible());
}

TEST(SortButtonTag, ReadsAsThirtyTwoBitsWhicheverWayItIsSet) {
    auto button = SortButton::make(NSMakeRect(0, 0, 100, 20));
    button->setTag(3);
    EXPECT_EQ(button->tag(), 3);
    NSView& asView = *button;
    asView.setTag(0x100000002L);
    EXPECT_EQ(asView.tag(), 2);
    EXPECT_EQ(button->tag(), 2);
}

}  // namespace
