// Catches tables that misplace rows and cells, ask a cell's hit test before selecting the
// clicked row, track cells that did not ask for it, break the selection rules, draw rows that
// are not visible, keep selected rows that a reload removed, or misread interface files.
#include "platform/appkit/NSTableView.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/appkit/ListClasses.h"
#include "platform/appkit/NSButtonCell.h"
#include "platform/appkit/NSClipView.h"
#include "platform/appkit/NSScrollView.h"
#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/NSTableHeaderCell.h"
#include "platform/appkit/NSTableHeaderView.h"
#include "support/ControlTestSupport.h"

using namespace controltest;

namespace {

using Log = std::vector<std::string>;

/// Data source and delegate of `rows` rows, recording what it is asked.
class Rows : public NSObject, public NSTableViewDataSource, public NSTableViewDelegate {
  public:
    long numberOfRowsInTableView(NSTableView*) override { return rows; }
    std::any objectValueForTableColumn(NSTableView*, NSTableColumn* column, long row) override {
        return std::any(column->identifier() + std::to_string(row));
    }
    std::optional<bool> shouldSelectRow(NSTableView* table, long row) override {
        log->push_back("shouldSelect:" + std::to_string(row) +
                       " selected:" + std::to_string(table->selectedRow()));
        if (refuse.count(row)) return false;
        return answersShouldSelect ? std::optional<bool>(true) : std::nullopt;
    }
    void tableViewSelectionDidChange(const NSNotification&) override { ++changes; }
    void setObjectValue(NSTableView*, const std::any& value, NSTableColumn*, long row) override {
        if (const auto* state = std::any_cast<long>(&value))
            log->push_back("set:" + std::to_string(row) + "=" + std::to_string(*state));
    }

    void setTable(const Ref<NSTableView>& t) { table = t; }
    void press(NSObject*) {}

    long rows = 3;
    Ref<NSTableView> table;
    std::set<long> refuse;
    bool answersShouldSelect = true;
    int changes = 0;
    std::shared_ptr<Log> log = std::make_shared<Log>();
};

/// A check-box cell that records its hit tests and tracking with the table's selection.
class RecordingCell : public NSButtonCell {
  public:
    RecordingCell() { setButtonType(NSButtonTypeSwitch); }
    NSCellHitResult hitTestForEvent(NSEvent& event, NSRect frame, NSView* view) override {
        auto* table = dynamic_cast<NSTableView*>(view);
        log->push_back("hit selected:" + std::to_string(table ? table->selectedRow() : -9) +
                       (isCopy ? " copy" : " original"));
        if (onHit) onHit();
        return trackable ? NSButtonCell::hitTestForEvent(event, frame, view) : NSCellHitContentArea;
    }
    bool trackMouse(NSEvent& event, NSRect frame, NSView* view, bool untilUp) override {
        log->push_back("track");
        return NSButtonCell::trackMouse(event, frame, view, untilUp);
    }
    std::shared_ptr<Log> log;
    bool trackable = true;
    bool isCopy = false;
    std::function<void()> onHit;

  protected:
    RecordingCell(const RecordingCell& other) : NSButtonCell(other) {
        log = other.log;
        trackable = other.trackable;
        onHit = other.onHit;
        isCopy = true;
    }
    Ref<NSCell> clone() const override {
        return std::shared_ptr<RecordingCell>(new RecordingCell(*this));
    }
};

/// A table that counts the rows it draws.
class CountingTable : public NSTableView {
  public:
    void drawRow(long row, NSRect clip) override {
        ++drawn;
        NSTableView::drawRow(row, clip);
    }
    int drawn = 0;
};

class TableViewTest : public ControlWindow {
  protected:
    void SetUp() override {
        ControlWindow::SetUp();
        registerAppKitListClasses();
        source = std::make_shared<Rows>();
        table = NSTableView::make(NSMakeRect(0, 0, 200, 100));
        for (const char* id : {"a", "b"}) {
            auto column = NSTableColumn::make(id);
            column->setWidth(60);
            table->addTableColumn(column);
        }
        table->setDataSource(source);
        table->setDelegate(source);
    }
    /// Clicks the middle of the cell at (column, row).
    void clickCell(long column, long row) {
        NSRect f = table->frameOfCellAtColumn(column, row);
        click(table->convertPointToView(NSMakePoint(NSMidX(f), NSMidY(f)), nullptr));
    }

    Ref<Rows> source;
    Ref<NSTableView> table;
};

TEST_F(TableViewTest, GeometryFollowsRowHeightColumnWidthsAndIntercellSpacing) {
    table->setRowHeight(20);
    table->setIntercellSpacing(NSMakeSize(4, 2));
    table->tableColumns()[0]->setWidth(50);
    struct Case {
        long column, row;
        NSRect cell;
    } cases[] = {
        {0, 0, NSMakeRect(2, 1, 50, 20)},
        {1, 0, NSMakeRect(56, 1, 60, 20)},
        {1, 2, NSMakeRect(56, 45, 60, 20)},
        {0, 3, NSZeroRect},  // past the last row
        {2, 0, NSZeroRect},  // no such column
        {0, -1, NSZeroRect},
    };
    for (const Case& c : cases)
        EXPECT_EQ(table->frameOfCellAtColumn(c.column, c.row), c.cell)
            << "column " << c.column << " row " << c.row;
    EXPECT_EQ(table->rectOfRow(1), NSMakeRect(0, 22, 200, 22));
    EXPECT_EQ(table->rowAtPoint(NSMakePoint(10, 43.9)), 1);
    EXPECT_EQ(table->rowAtPoint(NSMakePoint(10, 66)), -1);
    EXPECT_EQ(table->columnAtPoint(NSMakePoint(55, 5)), 1);
    // A hidden column takes no room: the next one moves to the left edge.
    table->tableColumns()[0]->setHidden(true);
    EXPECT_EQ(table->frameOfCellAtColumn(1, 0), NSMakeRect(2, 1, 60, 20));
    EXPECT_EQ(table->frameOfCellAtColumn(0, 0), NSZeroRect);
}

TEST_F(TableViewTest, MouseDownSelectsBeforeHitTestAndTracksACopyOnlyWhenTrackable) {
    auto cell = std::make_shared<RecordingCell>();
    cell->log = source->log;
    cell->setTarget(recorder);
    cell->setAction(SEL("press:"));
    table->tableColumns()[1]->setDataCell(cell);
    add(table);
    std::vector<long> clickedInAction;
    recorder->onPress = [&](NSObject*) { clickedInAction.push_back(table->clickedRow()); };

    clickCell(1, 2);
    EXPECT_EQ(*source->log,
              (Log{"shouldSelect:2 selected:-1", "hit selected:2 copy", "track", "set:2=1"}));
    EXPECT_EQ(clickedInAction, std::vector<long>{2});
    EXPECT_EQ(table->clickedColumn(), 1);

    // A cell that does not answer trackable is asked but not tracked and sends nothing.
    source->log->clear();
    cell->trackable = false;
    clickCell(1, 0);
    EXPECT_EQ(*source->log, (Log{"shouldSelect:0 selected:2", "hit selected:0 copy"}));
    EXPECT_EQ(clickedInAction.size(), 1u);
}

// A hit test may run a modal loop (a confirmation dialog) that takes the mouse-up. Tracking
// must then end at once: waiting would swallow the next click's release, and everything
// that waits for the default run-loop mode would wait for that click.
TEST_F(TableViewTest, TrackingEndsWhenTheHitTestsLoopTookTheRelease) {
    auto cell = std::make_shared<RecordingCell>();
    cell->log = source->log;
    table->tableColumns()[1]->setDataCell(cell);
    add(table);
    cell->onHit = [&] {
        Ref<NSEvent> up = NSApplication::sharedApplication()->nextEventMatchingMask(
            NSEventMaskLeftMouseUp, NSDate::distantFuture(), NSModalPanelRunLoopMode, true);
        source->log->push_back(up ? "loop took the release" : "no release");
        cell->trackable = false;
        cell->onHit = nullptr;
    };
    // The second click lands on the same cell: a tracking loop still waiting from the first
    // would take its release as its own and toggle the box.
    NSRect f = table->frameOfCellAtColumn(1, 2);
    NSPoint p = table->convertPointToView(NSMakePoint(NSMidX(f), NSMidY(f)), nullptr);
    perform({{NSEventTypeLeftMouseDown, p},
             {NSEventTypeLeftMouseUp, p},
             {NSEventTypeLeftMouseDown, p},
             {NSEventTypeLeftMouseUp, p}});
    EXPECT_EQ(*source->log,
              (Log{"shouldSelect:2 selected:-1", "hit selected:2 copy", "loop took the release",
                   "track", "shouldSelect:2 selected:2", "hit selected:2 copy"}));
}

TEST_F(TableViewTest, DoubleClickSendsTheDoubleActionAndASingleClickTheAction) {
    table->setTarget(recorder);
    table->setAction(SEL("press:"));
    table->setDoubleAction(SEL("press:"));
    add(table);
    NSRect f = table->frameOfCellAtColumn(0, 1);
    NSPoint p = table->convertPointToView(NSMakePoint(NSMidX(f), NSMidY(f)), nullptr);
    pt::postMouse(*window, NSEventTypeLeftMouseDown, p, 0, 2);
    pt::postMouse(*window, NSEventTypeLeftMouseUp, p, 0, 2);
    pt::pumpEvents();
    ASSERT_EQ(recorder->senders.size(), 1u);
    EXPECT_EQ(recorder->senders[0], table.get());
    EXPECT_EQ(table->clickedRow(), 1);
}

TEST_F(TableViewTest, SelectionRules) {
    add(table);
    // A refused row keeps the old selection and posts nothing.
    clickCell(0, 1);
    source->refuse = {2};
    clickCell(0, 2);
    EXPECT_EQ(table->selectedRow(), 1);
    EXPECT_EQ(source->changes, 1);
    // A delegate that does not answer lets every row be selected.
    source->refuse.clear();
    source->answersShouldSelect = false;
    clickCell(0, 2);
    EXPECT_EQ(table->selectedRow(), 2);
    EXPECT_EQ(source->changes, 2);

    // Without empty selection a click below the rows and deselectAll keep the row, but
    // deselectRow still removes it.
    table->setAllowsEmptySelection(false);
    click(table->convertPointToView(NSMakePoint(10, table->rectOfRow(2).origin.y + 30), nullptr));
    table->deselectAll(nullptr);
    table->selectRowIndexes(NSIndexSet(), false);
    EXPECT_EQ(table->selectedRow(), 2);
    table->deselectRow(2);
    EXPECT_EQ(table->selectedRow(), -1);
    EXPECT_EQ(source->changes, 3);

    // Programmatic selection: rows that do not exist are ignored, and a single-selection
    // table keeps only the last row asked for; the delegate is not asked.
    source->log->clear();
    table->selectRowIndexes(NSIndexSet{0, 1, 7}, false);
    EXPECT_EQ(table->selectedRowIndexes(), NSIndexSet{1});
    table->setAllowsMultipleSelection(true);
    table->selectRowIndexes(NSIndexSet{0}, true);
    EXPECT_EQ(table->selectedRowIndexes(), (NSIndexSet{0, 1}));
    EXPECT_TRUE(source->log->empty());
}

TEST_F(TableViewTest, ReloadDropsSelectedRowsThatVanished) {
    source->rows = 10;
    table->reloadData();
    table->setAllowsMultipleSelection(true);
    table->selectRowIndexes(NSIndexSet{2, 8}, false);
    const int before = source->changes;
    source->rows = 5;
    table->reloadData();
    EXPECT_EQ(table->selectedRowIndexes(), NSIndexSet{2});
    EXPECT_EQ(table->selectedRow(), 2);
    EXPECT_EQ(source->changes, before + 1);
    source->rows = 0;
    table->reloadData();
    EXPECT_EQ(table->selectedRow(), -1);
    EXPECT_EQ(table->rectOfRow(0), NSZeroRect);
}

TEST_F(TableViewTest, OnlyVisibleRowsAreDrawn) {
    auto countRows = [&](long rows) {
        source->rows = rows;
        auto counting = std::make_shared<CountingTable>();
        counting->initWithFrame(NSMakeRect(0, 0, 200, 100));
        counting->addTableColumn(NSTableColumn::make("a"));
        counting->setDataSource(source);
        // A short container shows 80 points of the long table.
        auto container = NSView::make(NSMakeRect(0, 10, 200, 80));
        container->addSubview(counting);
        add(container);
        counting->reloadData();
        counting->setFrameOrigin(NSMakePoint(0, 80 - counting->frame().size.height));
        pt::renderWindow(*window);
        container->removeFromSuperview();
        return counting->drawn;
    };
    const int shortList = countRows(100);
    const int longList = countRows(10000);
    EXPECT_GT(shortList, 0);
    EXPECT_LE(longList, 6);  // 80 points of 19-point rows
    EXPECT_EQ(longList, shortList);
}

TEST_F(TableViewTest, InAScrollViewTheHeaderStaysAboveAndOnlyShownRowsDraw) {
    source->rows = 1000;
    auto counting = std::make_shared<CountingTable>();
    counting->initWithFrame(NSMakeRect(0, 0, 100, 10));
    counting->addTableColumn(NSTableColumn::make("a"));
    counting->setDataSource(source);
    auto scroll = NSScrollView::make(NSMakeRect(0, 0, 200, 100));
    scroll->setDocumentView(counting);
    add(scroll);
    counting->reloadData();
    scroll->tile();
    ASSERT_TRUE(scroll->headerClipView());
    EXPECT_EQ(counting->headerView()->superview(), scroll->headerClipView().get());
    const NSSize clip = scroll->contentView()->bounds().size;
    EXPECT_GE(counting->frame().size.width, clip.width);  // the rows fill the clip view
    EXPECT_EQ(counting->frame().size.height, 1000 * counting->rectOfRow(0).size.height);
    scroll->setHasVerticalScroller(true);
    counting->scrollRowToVisible(500);
    EXPECT_TRUE(NSIntersectsRect(counting->visibleRect(), counting->rectOfRow(500)));
    // The scroller's knob follows, half way down.
    ASSERT_TRUE(scroll->verticalScroller());
    EXPECT_NEAR(scroll->verticalScroller()->floatValue(), 0.5, 0.01);
    pt::renderWindow(*window);
    EXPECT_GT(counting->drawn, 0);
    EXPECT_LE(counting->drawn, static_cast<int>(clip.height / 19) + 2);
}

TEST_F(TableViewTest, EachDrawnCellGetsItsValueBeforeTheDelegateSeesIt) {
    struct Display : public Rows {
        void willDisplayCell(NSTableView*, NSCell* cell, NSTableColumn* column, long row) override {
            seen.push_back(column->identifier() + std::to_string(row) + "=" + cell->stringValue() +
                           (cell == column->dataCell().get() ? "" : " (other cell)"));
        }
        std::vector<std::string> seen;
    };
    auto display = std::make_shared<Display>();
    display->rows = 2;
    table->setDataSource(display);
    table->setDelegate(display);
    add(table);
    pt::renderWindow(*window);
    EXPECT_EQ(display->seen, (std::vector<std::string>{"a0=a0", "b0=b0", "a1=a1", "b1=b1"}));
}

TEST_F(TableViewTest, SelectedRowIsHighlightedUnlessTheStyleIsNone) {
    table->setBackgroundColor(NSColor::blackColor());
    add(table);
    table->selectRowIndexes(NSIndexSet{0}, false);
    NSRect r = table->rectOfRow(0);
    NSPoint p = table->convertPointToView(NSMakePoint(195, NSMidY(r)), nullptr);
    EXPECT_FALSE(near(at(p.x, p.y), 0, 0, 0, 10));
    table->setSelectionHighlightStyle(NSTableViewSelectionHighlightStyleNone);
    EXPECT_TRUE(near(at(p.x, p.y), 0, 0, 0, 10));
}

TEST_F(TableViewTest, InterfaceFileBuildsColumnsCellsAndConnections) {
    auto owner = std::make_shared<Rows>();
    ClassRegistry::shared()
        .registerClass<Rows, NSObject>("TableTestRows")
        .outlet("table", &Rows::setTable)
        .action("press:", &Rows::press);
    const char* xml = R"(<interface owner="TableTestRows">
      <NSTableView outlet="table" frame="0 0 300 200" rowHeight="48" intercellSpacing="0 0"
                   headerHeight="41" allowsEmptySelection="false" selectionHighlightStyle="none"
                   usesAlternatingRowBackgroundColors="true" gridStyleMask="horizontal|vertical"
                   dataSource="owner" delegate="owner" target="owner" action="press:"
                   doubleAction="open:">
        <NSTableColumn identifier="appname" width="200" title="Name">
          <NSButtonCell title="x" buttonType="switch"/>
          <NSTableHeaderCell/>
        </NSTableColumn>
        <NSTableColumn identifier="size" width="80" title="Size"/>
      </NSTableView>
    </interface>)";
    NibLoadResult result = NibLoader::loadData(xml, "Table.ui", owner);
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_TRUE(owner->table);
    NSTableView& t = *owner->table;
    EXPECT_EQ(t.rowHeight(), 48);
    EXPECT_EQ(t.headerView()->frame().size.height, 41);
    EXPECT_FALSE(t.allowsEmptySelection());
    EXPECT_EQ(t.selectionHighlightStyle(), NSTableViewSelectionHighlightStyleNone);
    EXPECT_EQ(t.gridStyleMask(), 3u);
    EXPECT_EQ(t.doubleAction(), SEL("open:"));
    EXPECT_EQ(t.action(), SEL("press:"));
    EXPECT_EQ(t.dataSource(), static_cast<NSTableViewDataSource*>(owner.get()));
    ASSERT_EQ(t.numberOfColumns(), 2);
    NSTableColumn* name = t.tableColumnWithIdentifier("appname");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->width(), 200);
    EXPECT_EQ(name->title(), "Name");  // kept over the header cell that brought no title
    EXPECT_NE(std::dynamic_pointer_cast<NSButtonCell>(name->dataCell()), nullptr);
    EXPECT_EQ(t.frameOfCellAtColumn(1, 1), NSMakeRect(200, 48, 80, 48));
    // The data source is not retained by the table.
    WeakRef<Rows> weak = owner;
    Ref<NSTableView> keep = owner->table;
    owner->table.reset();
    owner.reset();
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(keep->dataSource(), nullptr);

    EXPECT_FALSE(NibLoader::loadData(R"(<interface><NSTableView rowHeight="-3"/></interface>)",
                                     "Bad.ui", nullptr)
                     .ok());
}

TEST_F(TableViewTest, HeaderClickAsksWhetherTheColumnMaySelect) {
    struct Headers : public Rows {
        std::optional<bool> shouldSelectTableColumn(NSTableView*, NSTableColumn* c) override {
            log->push_back("shouldSelectColumn:" + c->identifier());
            return allow;
        }
        void didClickTableColumn(NSTableView*, NSTableColumn* c) override {
            log->push_back("clicked:" + c->identifier());
        }
        bool allow = false;
    };
    auto headers = std::make_shared<Headers>();
    table->setDelegate(headers);
    auto header = table->headerView();
    add(header);
    NSRect r = header->headerRectOfColumn(1);
    click(header->convertPointToView(NSMakePoint(NSMidX(r), NSMidY(r)), nullptr));
    EXPECT_EQ(*headers->log, (Log{"shouldSelectColumn:b", "clicked:b"}));
    EXPECT_EQ(table->selectedColumn(), -1);
    headers->allow = true;
    click(header->convertPointToView(NSMakePoint(NSMidX(r), NSMidY(r)), nullptr));
    EXPECT_EQ(table->selectedColumn(), 1);
}

}  // namespace
