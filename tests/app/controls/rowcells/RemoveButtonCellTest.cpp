// Catches a trash cell that misplaces its icon or click area, reports clicks outside the icon
// or before the clicked row is selected, lets a double click through (on one list or across
// two), stays dead for good when the perform that lowers its latch never runs, shows the wrong
// icon for the selected row or while the mouse is held, or gives copies icon cells of their own.
#include "controls/rowcells/RemoveButtonCell.h"

#include <gtest/gtest.h>

#include "app/controls/rowcells/RowCellTestWindow.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/testing/ManualClock.h"

using namespace rowcelltest;

namespace {

TEST(RemoveButtonCellGeometry, PlacesTheTrashIconAndItsClickArea) {
    struct Case {
        NSRect frame;
        bool withImageCell;
        NSRect icon, area;
    };
    const Case cases[] = {
        {NSMakeRect(0, 96, 80, 48), true, NSMakeRect(27, 107, 26, 26), NSMakeRect(27, 106, 26, 26)},
        {NSMakeRect(300, 0, 80, 47), true, NSMakeRect(327, 11, 26, 26),
         NSMakeRect(327, 10, 26, 26)},
        {NSMakeRect(300, 0, 80, 20), true, NSMakeRect(327, -3, 26, 26),
         NSMakeRect(327, 10, 26, 26)},
        {NSMakeRect(0, 96, 80, 48), false, NSZeroRect, NSMakeRect(27, 106, 26, 26)},
    };
    for (const Case& c : cases) {
        auto cell = RemoveButtonCell::make();
        if (c.withImageCell) cell->setSelectImageCell(NSImageCell::make());
        EXPECT_EQ(cell->selectImageRectForBounds(c.frame), c.icon);
        EXPECT_EQ(RemoveButtonCell::clickAreaForBounds(c.frame), c.area);
    }
}

class TrashClicks : public RowCellWindow {
  public:
    void SetUp() override {
        RowCellWindow::SetUp();
        owner = std::make_shared<ListOwner>();
        prototype = RemoveButtonCell::make();
        prototype->setBordered(false);
        table = addList(NSMakeRect(0, 0, 300, 200), prototype, owner);
    }
    /// Clicks (dx, dy) from the top-left of `row`'s cell in `list`.
    void clickTrash(NSTableView& list, long row, double dx = 40, double dy = 20) {
        click(pointInCell(list, row, dx, dy));
    }
    /// Runs one turn of the main run loop, so that due delayed performs fire.
    void turn() { NSRunLoop::mainRunLoop().runMode(NSDefaultRunLoopMode, 0); }

    ManualClock::Installed clock;
    Ref<ListOwner> owner;
    Ref<RemoveButtonCell> prototype;
    Ref<NSTableView> table;
};

TEST_F(TrashClicks, OnlyTheIconAreaAnswersAfterTheRowIsSelected) {
    struct Case {
        const char* name;
        double dx, dy;
        bool inside;
    };
    const Case cases[] = {
        {"top-left of the area", 27, 10, true},  {"middle of the icon", 40, 24, true},
        {"last point inside", 52.5, 35.5, true}, {"left of the area", 26, 20, false},
        {"right edge", 53, 20, false},           {"above the area", 40, 9, false},
        {"lower edge", 40, 36, false},
    };
    long row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        row = (row + 1) % 4;
        owner->clicks.clear();
        clickTrash(*table, row, c.dx, c.dy);
        EXPECT_EQ(table->selectedRow(), row);
        if (c.inside) {
            ASSERT_EQ(owner->clicks.size(), 1u);
            EXPECT_EQ(owner->clicks[0].selectedRow, row);
            EXPECT_GT(RemoveButtonCell::clickLatch(), 0);
        } else {
            EXPECT_TRUE(owner->clicks.empty());
            EXPECT_EQ(RemoveButtonCell::clickLatch(), 0);
        }
        clock->advance(1.5);
        turn();
        EXPECT_EQ(RemoveButtonCell::clickLatch(), 0);
    }
}

TEST_F(TrashClicks, AcceptsOneClickASecondAcrossEveryList) {
    auto otherOwner = std::make_shared<ListOwner>();
    auto otherCell = RemoveButtonCell::make();
    otherCell->setBordered(false);
    auto other = addList(NSMakeRect(350, 0, 300, 200), otherCell, otherOwner);
    struct Step {
        const char* name;
        double after;  // seconds since the previous step
        bool onOther;
        bool accepted;
    };
    const Step steps[] = {
        {"first click", 0, false, true},
        {"half a second later, same list", 0.5, false, false},
        {"then on the other list", 0.3, true, false},
        {"just over a second after the first", 0.25, true, true},
        {"0.9 seconds later", 0.9, false, false},
        {"a second after that one", 0.1, false, true},
    };
    size_t heard = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        clock->advance(s.after);
        turn();
        clickTrash(s.onOther ? *other : *table, 1);
        const size_t now = owner->clicks.size() + otherOwner->clicks.size();
        EXPECT_EQ(now - heard, s.accepted ? 1u : 0u);
        heard = now;
    }
    EXPECT_EQ(otherOwner->clicks.size(), 1u);
}

TEST_F(TrashClicks, ADelegateThatDoesNotAnswerHearsNothingButTheClickStillCounts) {
    struct NotAnOwner : public NSObject, public NSTableViewDataSource {
        long numberOfRowsInTableView(NSTableView*) override { return 2; }
    };
    auto plain = std::make_shared<NotAnOwner>();
    prototype->setDelegate(plain);
    table->setDelegate(nullptr);
    table->setDataSource(plain);
    auto event = NSEvent::mouseEventWithType(NSEventTypeLeftMouseDown,
                                             pointInCell(*table, 0, 40, 20), 0, 0, window.get());
    EXPECT_EQ(prototype->hitTestForEvent(*event, table->frameOfCellAtColumn(0, 0), table.get()),
              NSCellHitTrackableArea);
    EXPECT_GT(RemoveButtonCell::clickLatch(), 0);
    EXPECT_EQ(prototype->hitTestForEvent(*event, table->frameOfCellAtColumn(0, 0), table.get()),
              NSCellHitNone);
}

TEST_F(TrashClicks, TheLatchNeverOutlivesItsSecond) {
    struct Case {
        const char* name;
        std::function<void(TrashClicks&, ManualClock&)> afterClick;
    };
    const Case cases[] = {
        {"the lowering perform is cancelled",
         [](TrashClicks& t, ManualClock& time) {
             NSObject::cancelPreviousPerformRequestsWithTarget(t.owner->clicks.back().cell);
             time.advance(1.0);
             t.turn();
         }},
        {"the run loop never turns", [](TrashClicks&, ManualClock& time) { time.advance(1.0); }},
        {"another clock is installed that reads an earlier time",
         [](TrashClicks&, ManualClock&) { Clock::setShared(std::make_shared<ManualClock>(10.0)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveButtonCell::resetClickLatchForTesting();
        auto time = std::make_shared<ManualClock>(5000.0);
        Clock::setShared(time);
        owner->clicks.clear();
        clickTrash(*table, 1);
        ASSERT_EQ(owner->clicks.size(), 1u);
        c.afterClick(*this, *time);
        clickTrash(*table, 2);
        EXPECT_EQ(owner->clicks.size(), 2u);
    }
}

TEST_F(TrashClicks, ALateLoweringDoesNotCutTheNextClicksSecondShort) {
    clickTrash(*table, 1);
    // The first click's second runs out before its perform gets a turn of the loop.
    clock->advance(1.2);
    clickTrash(*table, 2);
    ASSERT_EQ(owner->clicks.size(), 2u);
    turn();  // the first click's lowering, were it still due, would fire here
    clock->advance(0.5);
    clickTrash(*table, 3);
    EXPECT_EQ(owner->clicks.size(), 2u);
    clock->advance(0.6);
    turn();
    EXPECT_EQ(RemoveButtonCell::clickLatch(), 0);
}

TEST_F(TrashClicks, TheSelectedRowShowsTheHoverIcon) {
    table->selectRowIndexes(NSIndexSet::indexSetWithIndex(1), false);
    struct Case {
        long row;
        const char* image;
    };
    const Case cases[] = {{0, "icon_trash"}, {1, "icon_trash_hover"}, {2, "icon_trash"}};
    auto surface = pt::renderWindow(*window);
    ASSERT_TRUE(surface);
    auto pixel = [&](long row) {
        NSPoint p = pointInCell(*table, row, 27 + 13, 24 + 6);  // the can's body
        return surface->pixelAt(int(p.x), surface->pixelsHigh() - 1 - int(p.y));
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        auto cell =
            std::dynamic_pointer_cast<RemoveButtonCell>(table->preparedCellAtColumn(0, c.row));
        ASSERT_TRUE(cell);
        cell->drawWithFrame(table->frameOfCellAtColumn(0, c.row), table.get());
        EXPECT_EQ(cell->selectImageCell()->image()->name(), c.image);
        EXPECT_EQ(cell->selectImageCell()->image()->size(), NSMakeSize(26, 26));
        // The shipped hover icon is green, the plain one is not.
        Pixel p = pixel(c.row);
        EXPECT_EQ(p.g > p.r + 60, c.row == 1) << int(p.r) << " " << int(p.g) << " " << int(p.b);
    }
}

/// A trash cell that notes the icon shown while the mouse is dragged.
class WatchedTrashCell : public RemoveButtonCell {
  public:
    bool continueTracking(NSPoint last, NSPoint current, NSView* view) override {
        if (selectImageCell() && selectImageCell()->image())
            seen->push_back(selectImageCell()->image()->name());
        return RemoveButtonCell::continueTracking(last, current, view);
    }
    void stopTracking(NSPoint last, NSPoint stop, NSView* view, bool mouseIsUp) override {
        RemoveButtonCell::stopTracking(last, stop, view, mouseIsUp);
        seen->push_back(selectImageCell()->image()->name());
    }
    std::shared_ptr<std::vector<std::string>> seen = std::make_shared<std::vector<std::string>>();

  protected:
    Ref<NSCell> clone() const override { return std::make_shared<WatchedTrashCell>(*this); }
};

TEST_F(TrashClicks, ShowsTheHoverIconWhileTheMouseIsHeldAndCopiesShareTheIconCell) {
    auto watched = std::make_shared<WatchedTrashCell>();
    watched->setBordered(false);
    table->tableColumns()[0]->setDataCell(watched);
    ASSERT_TRUE(pt::renderWindow(*window));  // the first draw makes the icon cell
    ASSERT_TRUE(watched->selectImageCell());
    auto copy = std::dynamic_pointer_cast<RemoveButtonCell>(watched->copy());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->selectImageCell(), watched->selectImageCell());

    const NSPoint p = pointInCell(*table, 2, 40, 20);
    pt::postMouse(*window, NSEventTypeLeftMouseDown, p);
    pt::postMouse(*window, NSEventTypeLeftMouseDragged, NSMakePoint(p.x + 1, p.y));
    pt::postMouse(*window, NSEventTypeLeftMouseUp, NSMakePoint(p.x + 1, p.y));
    pt::pumpEvents();
    ASSERT_EQ(owner->clicks.size(), 1u);
    // Hover while dragged, the plain icon again once released.
    EXPECT_EQ(*watched->seen, (std::vector<std::string>{"icon_trash_hover", "icon_trash"}));
}

}  // namespace
