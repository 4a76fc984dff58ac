// Catches list views that show the platform's selection, misplace or mis-size the painted
// highlight, keep redrawing while nothing changes (or miss a new highlighted row), paint the
// wrong row colours, show disclosure triangles, misplace the third column's cells, or leave
// columns without their dark header cells.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "ListTestWindow.h"
#include "controls/lists/CustemOutlineView.h"
#include "controls/lists/CustomHeaderCell.h"
#include "controls/lists/CustomTableView.h"
#include "controls/lists/EUCustomOutlineView.h"
#include "controls/lists/MyNewOutlineView.h"
#include "controls/lists/PopCustomHeaderCell.h"
#include "platform/appkit/NSScrollView.h"
#include "platform/appkit/NSTableHeaderCell.h"
#include "platform/appkit/NSTableHeaderView.h"
#include "platform/foundation/NSIndexSet.h"
#include "platform/graphics/NSFont.h"

using namespace listtest;

namespace {

const RGB kListRow{60, 64, 67};
const RGB kListHighlight{68, 72, 74};  // white at 0.04 over the row
const RGB kDialogRow{51, 55, 58};
const RGB kDialogHighlight{67, 71, 74};  // white at 0.08 over the row

/// Counts the frames and rows a dark list draws, and the frames after which the list had
/// marked itself for display again (the window drops marks made while it draws, so the view's
/// own flag is what shows them).
template <class Base>
class Counting : public Base {
  public:
    void drawRect(NSRect dirty) override {
        ++frames;
        this->setNeedsDisplay(false);
        Base::drawRect(dirty);
        if (this->needsDisplay()) ++rearmed;
    }
    void drawRow(long row, NSRect clip) override {
        ++rowsDrawn;
        Base::drawRow(row, clip);
    }
    int frames = 0;
    int rowsDrawn = 0;
    int rearmed = 0;
};

/// The two lists that share the application-list look, behind one interface.
struct DarkList {
    const char* name;
    std::function<Ref<NSTableView>()> make;
    std::function<void(NSTableView&, int)> setRow;
};

const DarkList kDarkLists[] = {
    {"CustomTableView", [] { return Ref<NSTableView>(std::make_shared<CustomTableView>()); },
     [](NSTableView& t, int row) { static_cast<CustomTableView&>(t).setRowNum(row); }},
    {"CustemOutlineView", [] { return Ref<NSTableView>(std::make_shared<CustemOutlineView>()); },
     [](NSTableView& t, int row) { static_cast<CustemOutlineView&>(t).setRowNum(row); }},
};

class ListViewsTest : public ListWindow {
  protected:
    /// Places `table` as a plain table or an outline with the shared rows.
    void placeAny(const Ref<NSTableView>& table, NSRect frame, double rowHeight = 48) {
        if (auto outline = std::dynamic_pointer_cast<NSOutlineView>(table)) {
            place(outline, frame, rowHeight);
            outline->setDataSource(rows);
        } else {
            place(table, frame, rowHeight);
        }
    }
};

TEST_F(ListViewsTest, DarkListsPaintRowsAndTheRoundedHighlightOfTheChosenRowOnly) {
    for (const DarkList& list : kDarkLists) {
        SCOPED_TRACE(list.name);
        Ref<NSTableView> table = list.make();
        placeAny(table, NSMakeRect(0, 0, 800, 300));
        // The platform counts row 1 as selected and is asked for its regular highlight.
        table->selectRowIndexes(NSIndexSet{1}, false);
        table->setSelectionHighlightStyle(NSTableViewSelectionHighlightStyleRegular);
        render();
        // Row 0 is highlighted before the owner names a row.
        EXPECT_TRUE(near(px(*table, 400.5, 24.5), kListHighlight)) << str(px(*table, 400.5, 24.5));
        EXPECT_TRUE(near(px(*table, 17.5, 24.5), kListHighlight));
        EXPECT_TRUE(near(px(*table, 782.5, 24.5), kListHighlight));
        // Outside x 17..783 the row keeps its fill.
        EXPECT_TRUE(near(px(*table, 10.5, 24.5), kListRow)) << str(px(*table, 10.5, 24.5));
        EXPECT_TRUE(near(px(*table, 790.5, 24.5), kListRow));
        // The selected row shows no platform highlight, only the row fill.
        EXPECT_TRUE(near(px(*table, 400.5, 72.5), kListRow)) << str(px(*table, 400.5, 72.5));
        EXPECT_EQ(table->selectionHighlightStyle(), NSTableViewSelectionHighlightStyleNone);

        list.setRow(*table, -1);
        render();
        for (double y : {24.5, 72.5, 120.5, 168.5})
            EXPECT_TRUE(near(px(*table, 400.5, y), kListRow))
                << y << ": " << str(px(*table, 400.5, y));
        table->removeFromSuperview();
    }
}

TEST_F(ListViewsTest, HighlightKeepsItsFixedWidthAndHeightWhateverTheRowSize) {
    // A narrow table: the highlight does not shrink with it (x 17..783 is clipped at 300).
    auto narrow = std::make_shared<CustomTableView>();
    place(narrow, NSMakeRect(0, 0, 300, 300), 48, 1);
    render();
    EXPECT_TRUE(near(px(*narrow, 295.5, 24.5), kListHighlight)) << str(px(*narrow, 295.5, 24.5));
    EXPECT_TRUE(near(px(*narrow, 10.5, 24.5), kListRow));
    narrow->removeFromSuperview();

    // A 60-point row: the highlight covers its top 48.5 points only.
    auto tall = std::make_shared<CustomTableView>();
    rows->items.resize(4);  // the rows fit in the window, so row 0 is at its top
    place(tall, NSMakeRect(0, 0, 800, 300), 60);
    render();
    EXPECT_TRUE(near(px(*tall, 400.5, 2.5), kListHighlight));
    EXPECT_TRUE(near(px(*tall, 400.5, 47.5), kListHighlight)) << str(px(*tall, 400.5, 47.5));
    EXPECT_TRUE(near(px(*tall, 400.5, 49.5), kListRow)) << str(px(*tall, 400.5, 49.5));
    EXPECT_TRUE(near(px(*tall, 400.5, 58.5), kListRow));
}

TEST_F(ListViewsTest, IdleListsStopRedrawingAndANewRowNumShowsOnTheNextPump) {
    for (const DarkList& list : kDarkLists) {
        SCOPED_TRACE(list.name);
        Ref<NSTableView> table;
        std::function<int()> frames, rowsDrawn, rearmed;
        if (std::string(list.name) == "CustomTableView") {
            auto counting = std::make_shared<Counting<CustomTableView>>();
            frames = [c = counting.get()] { return c->frames; };
            rowsDrawn = [c = counting.get()] { return c->rowsDrawn; };
            rearmed = [c = counting.get()] { return c->rearmed; };
            table = counting;
        } else {
            auto counting = std::make_shared<Counting<CustemOutlineView>>();
            frames = [c = counting.get()] { return c->frames; };
            rowsDrawn = [c = counting.get()] { return c->rowsDrawn; };
            rearmed = [c = counting.get()] { return c->rearmed; };
            table = counting;
        }
        placeAny(table, NSMakeRect(0, 0, 800, 300));
        pt::pumpEvents();
        ASSERT_GT(rowsDrawn(), 0);  // the first frame
        // (The first frame may load the rows, which marks the view once.)
        const int framesBefore = frames(), rowsBefore = rowsDrawn(), rearmedBefore = rearmed();
        const long windowFrames = window->displayCount();
        for (int i = 0; i < 5; ++i)
            pt::pumpEvents();
        EXPECT_EQ(frames(), framesBefore);
        EXPECT_EQ(rowsDrawn(), rowsBefore);
        EXPECT_EQ(window->displayCount(), windowFrames);
        EXPECT_FALSE(table->needsDisplay());
        EXPECT_EQ(rearmed(), rearmedBefore);

        // The same row again asks for nothing; a new one is drawn on the next pump.
        list.setRow(*table, 0);
        EXPECT_FALSE(table->needsDisplay());
        list.setRow(*table, 2);
        EXPECT_TRUE(table->needsDisplay());
        pt::pumpEvents();
        EXPECT_GT(rowsDrawn(), rowsBefore);
        EXPECT_EQ(rearmed(), rearmedBefore);
        render();
        EXPECT_TRUE(near(px(*table, 400.5, 120.5), kListHighlight))
            << str(px(*table, 400.5, 120.5));
        EXPECT_TRUE(near(px(*table, 400.5, 24.5), kListRow));
        table->removeFromSuperview();
    }
}

TEST_F(ListViewsTest, DialogOutlineHighlightsThirtySixPointsFromHalfAPointBelowTheRowTop) {
    auto outline = std::make_shared<MyNewOutlineView>();
    place(outline, NSMakeRect(0, 0, 800, 300), 44);
    outline->setDataSource(rows);
    outline->selectRowIndexes(NSIndexSet{2}, false);
    render();
    EXPECT_EQ(outline->isSelectRow(), 0);
    EXPECT_TRUE(near(px(*outline, 400.5, 1.5), kDialogHighlight)) << str(px(*outline, 400.5, 1.5));
    EXPECT_TRUE(near(px(*outline, 400.5, 35.5), kDialogHighlight))
        << str(px(*outline, 400.5, 35.5));
    EXPECT_TRUE(near(px(*outline, 400.5, 37.5), kDialogRow)) << str(px(*outline, 400.5, 37.5));
    EXPECT_TRUE(near(px(*outline, 400.5, 42.5), kDialogRow));
    // The platform's selected row 2 shows only the row fill.
    EXPECT_TRUE(near(px(*outline, 400.5, 100.5), kDialogRow)) << str(px(*outline, 400.5, 100.5));

    pt::pumpEvents();
    outline->setSelectCellBackgroundColorWithRow(1);
    EXPECT_TRUE(outline->needsDisplay());
    pt::pumpEvents();
    render();
    EXPECT_TRUE(near(px(*outline, 400.5, 44 + 20.5), kDialogHighlight));
    EXPECT_TRUE(near(px(*outline, 400.5, 20.5), kDialogRow));
    outline->setSelectCellBackgroundColorWithRow(-1);
    render();
    for (double y : {20.5, 64.5, 108.5})
        EXPECT_TRUE(near(px(*outline, 400.5, y), kDialogRow)) << y;
}

TEST_F(ListViewsTest, LightOutlinePaintsSelectionOverGroupOverWhite) {
    auto outline = std::make_shared<EUCustomOutlineView>();
    place(outline, NSMakeRect(0, 0, 800, 300), 40);
    outline->setDataSource(rows);
    outline->setIsRootArr({"1", "2"});
    outline->setSelectCellBackgroundColorWithRow(2);
    render();
    struct Case {
        long row;
        RGB colour;
    } cases[] = {
        {0, {255, 255, 255}}, {1, {242, 242, 242}}, {2, {59, 153, 252}}, {3, {255, 255, 255}}};
    for (const Case& c : cases) {
        Pixel p = px(*outline, 400.5, double(c.row) * 40 + 20.5);
        EXPECT_TRUE(near(p, c.colour, 1)) << "row " << c.row << ": " << str(p);
    }
}

TEST_F(ListViewsTest, OutlinesShowNoTriangleAndWidenOnlyTheThirdColumn) {
    rows->expandable = true;
    auto plain = std::make_shared<NSOutlineView>();
    place(plain, NSMakeRect(0, 0, 800, 300));
    plain->setDataSource(rows);
    const NSRect triangle = plain->frameOfOutlineCellAtRow(0);
    ASSERT_FALSE(NSIsEmptyRect(triangle));
    std::vector<Ref<NSOutlineView>> lists = {std::make_shared<CustemOutlineView>(),
                                             std::make_shared<MyNewOutlineView>()};
    for (const Ref<NSOutlineView>& outline : lists) {
        place(outline, NSMakeRect(0, 0, 800, 300));
        outline->setDataSource(rows);
        for (long row : {0L, 3L}) {
            EXPECT_EQ(outline->frameOfOutlineCellAtRow(row), NSZeroRect);
            for (long column : {0L, 1L})
                EXPECT_EQ(outline->frameOfCellAtColumn(column, row),
                          plain->frameOfCellAtColumn(column, row));
            NSRect platform = plain->frameOfCellAtColumn(2, row);
            EXPECT_EQ(outline->frameOfCellAtColumn(2, row),
                      NSMakeRect(platform.origin.x - 10, platform.origin.y,
                                 outline->bounds().size.width, platform.size.height));
        }
        // A click where the triangle would be expands nothing.
        pt::postClick(*window, outline->convertPointToView(
                                   NSMakePoint(NSMidX(triangle), NSMidY(triangle)), nullptr));
        pt::pumpEvents();
        EXPECT_FALSE(outline->isItemExpanded(rows->items[0]));
        EXPECT_EQ(outline->numberOfRows(), 6);
        outline->removeFromSuperview();
    }
    auto custem = std::make_shared<CustemOutlineView>();
    EXPECT_EQ(custem->shouldShowOutlineCellForItem(custem.get(), rows->items[0]),
              std::optional<bool>(false));
}

TEST_F(ListViewsTest, ColumnsGetTheListsHeaderCellsAlsoWhenAddedInCodeOrRetitled) {
    struct Case {
        const char* name;
        Ref<NSTableView> table;
        double headerHeight;
        bool pop;
        RGB fill;
    } cases[] = {
        {"CustomTableView", std::make_shared<CustomTableView>(), 41, false, {50, 54, 57}},
        {"CustemOutlineView", std::make_shared<CustemOutlineView>(), 41, false, {50, 54, 57}},
        {"MyNewOutlineView", std::make_shared<MyNewOutlineView>(), 28, true, {39, 40, 43}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.table->headerView());
        EXPECT_EQ(c.table->headerView()->frame().size, NSMakeSize(1000, c.headerHeight));
        auto scroll = NSScrollView::make(NSMakeRect(0, 0, 800, 300));
        c.table->setIntercellSpacing(NSMakeSize(0, 0));
        for (int i = 0; i < 3; ++i) {
            auto column = NSTableColumn::make("c" + std::to_string(i));
            column->setWidth(150);
            column->setTitle("Title" + std::to_string(i));
            c.table->addTableColumn(column);
        }
        for (const Ref<NSTableColumn>& column : c.table->tableColumns()) {
            NSTableHeaderCell* cell = column->headerCell().get();
            EXPECT_EQ(dynamic_cast<PopCustomHeaderCell*>(cell) != nullptr, c.pop);
            EXPECT_EQ(dynamic_cast<CustomHeaderCell*>(cell) != nullptr, !c.pop);
        }
        EXPECT_EQ(c.table->tableColumns()[1]->title(), "Title1");

        // The owner retitles a column and sets the headers up again.
        NSTableColumn& second = *c.table->tableColumns()[1];
        Ref<NSTableHeaderCell> before = second.headerCell();
        second.setTitle("Size");
        if (auto* t = dynamic_cast<CustomTableView*>(c.table.get())) t->_setupHeaderCell();
        if (auto* o = dynamic_cast<CustemOutlineView*>(c.table.get())) o->_setupHeaderCell();
        if (auto* o = dynamic_cast<MyNewOutlineView*>(c.table.get())) o->_setupHeaderCell();
        Ref<NSTableHeaderCell> after = second.headerCell();
        EXPECT_NE(after, before);
        EXPECT_EQ(after->stringValue(), "Size");
        auto text = after->attributedStringValue();
        auto font = std::any_cast<Ref<NSFont>>(text->attributeAtIndex(NSFontAttributeName, 0));
        EXPECT_EQ(font->pointSize(), 14);

        // The header shows the class's fill inside the scroll view.
        scroll->setDocumentView(c.table);
        window->contentView()->addSubview(scroll);
        render();
        NSTableHeaderView& header = *c.table->headerView();
        EXPECT_EQ(header.frame().size.height, c.headerHeight);
        Pixel fill = px(header, 140.5, 3.5);
        EXPECT_TRUE(near(fill, c.fill)) << str(fill);
        scroll->removeFromSuperview();
    }
}

}  // namespace
