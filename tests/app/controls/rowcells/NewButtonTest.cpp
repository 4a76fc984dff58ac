// Catches a name cell that misplaces its check box, icon or label, rounds where it must not,
// answers or reports clicks outside its check box, reports them before the clicked row is
// selected, writes to a delegate that does not answer, lets copies drift apart from the
// sub-cells the owner put in, or keeps the owner's label colour.
#include "controls/rowcells/NewButton.h"

#include <gtest/gtest.h>

#include "app/controls/rowcells/RowCellTestWindow.h"
#include "platform/appkit/NibLoader.h"
#include "platform/testing/LogCapture.h"

using namespace rowcelltest;

namespace {

struct SubCells {
    bool check, icon, label;
};

Ref<NewButton> nameCell(SubCells with) {
    auto cell = NewButton::make();
    cell->setBordered(false);
    if (with.check) cell->setSelectImageCell(NSImageCell::make());
    if (with.icon) cell->setIconImageCell(NSImageCell::make());
    if (with.label) {
        auto label = NSTextFieldCell::make();
        label->setStringValue("Preview");
        cell->setLabel(label);
    }
    return cell;
}

TEST(NewButtonGeometry, PlacesItsSubCellsInTheRowFrame) {
    struct Case {
        const char* name;
        NSRect frame;
        SubCells with;
        NSRect check, icon, label;
    };
    const Case cases[] = {
        {"48-point row",
         NSMakeRect(0, 96, 300, 48),
         {true, true, true},
         NSMakeRect(0, 112, 16, 16),
         NSMakeRect(33, 108, 24, 24),
         NSMakeRect(67, 109, 300, 22)},
        {"odd height rounds the boxes up, not the label",
         NSMakeRect(5, 10, 200, 47),
         {true, true, true},
         NSMakeRect(5, 26, 16, 16),
         NSMakeRect(38, 22, 24, 24),
         NSMakeRect(72, 22.5, 300, 22)},
        {"without an icon the label moves in",
         NSMakeRect(5, 10, 200, 48),
         {true, false, true},
         NSMakeRect(5, 26, 16, 16),
         NSZeroRect,
         NSMakeRect(15, 23, 300, 22)},
        {"no sub-cells",
         NSMakeRect(5, 10, 200, 48),
         {false, false, false},
         NSZeroRect,
         NSZeroRect,
         NSZeroRect},
        {"row lower than the boxes",
         NSMakeRect(0, 0, 100, 12),
         {true, true, true},
         NSMakeRect(0, -2, 16, 16),
         NSMakeRect(33, -6, 24, 24),
         NSMakeRect(67, -5, 300, 22)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto cell = nameCell(c.with);
        EXPECT_EQ(cell->selectImageRectForBounds(c.frame), c.check);
        EXPECT_EQ(cell->iconImageRectForBounds(c.frame), c.icon);
        EXPECT_EQ(cell->imageRectForBounds(c.frame), c.label);
    }
    EXPECT_EQ(NewButton::clickAreaForBounds(NSMakeRect(5, 96, 300, 48)),
              NSMakeRect(5, 106, 20, 30));
}

class NewButtonClicks : public RowCellWindow {
  protected:
    void SetUp() override {
        RowCellWindow::SetUp();
        owner = std::make_shared<ListOwner>();
        host = addHost(nullptr, NSZeroRect);
    }
    /// Asks `cell` for a hit test at (dx, dy) from the top-left of `frame` in the host view.
    NSCellHitResult hitAt(NewButton& cell, NSRect frame, double dx, double dy) {
        NSPoint p = host->convertPointToView(NSMakePoint(frame.origin.x + dx, frame.origin.y + dy),
                                             nullptr);
        auto event = NSEvent::mouseEventWithType(NSEventTypeLeftMouseDown, p, 0, 0, window.get());
        return cell.hitTestForEvent(*event, frame, host.get());
    }

    Ref<ListOwner> owner;
    Ref<CellHostView> host;
};

TEST_F(NewButtonClicks, OnlyTheCheckBoxAreaAnswersAndTellsTheDelegate) {
    const NSRect frame = NSMakeRect(10, 48, 300, 48);
    struct Case {
        const char* name;
        double dx, dy;
        bool inside;
    };
    const Case cases[] = {
        {"top-left corner of the area", 0, 10, true},
        {"middle of the check box", 8, 24, true},
        {"last point inside", 19.5, 39.5, true},
        {"on the right edge", 20, 24, false},
        {"1 point right of the area", 21, 24, false},
        {"above the area", 8, 9, false},
        {"on the lower edge", 8, 40, false},
        {"left of the frame", -1, 24, false},
        {"on the icon", 40, 24, false},
        {"on the label", 100, 24, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool withCheckBox : {true, false}) {
            auto cell = nameCell({withCheckBox, true, true});
            cell->setDelegate(owner);
            owner->clicks.clear();
            platform::LogCapture log;
            NSCellHitResult hit = hitAt(*cell, frame, c.dx, c.dy);
            if (c.inside) {
                EXPECT_EQ(hit, NSCellHitTrackableArea);
                ASSERT_EQ(owner->clicks.size(), 1u);
                EXPECT_EQ(owner->clicks[0].cell, cell.get());
                EXPECT_EQ(log.lines(), std::vector<std::string>{"..........."});
            } else {
                EXPECT_EQ(hit, NSCellHitNone);
                EXPECT_TRUE(owner->clicks.empty());
                EXPECT_TRUE(log.lines().empty());
            }
        }
    }
}

TEST_F(NewButtonClicks, ADelegateThatDoesNotAnswerHearsNothingButTheAreaStillTracks) {
    const NSRect frame = NSMakeRect(0, 0, 300, 48);
    auto plain = std::make_shared<NSObject>();
    struct Case {
        const char* name;
        std::function<void(NewButton&)> setDelegate;
    };
    const Case cases[] = {
        {"no delegate", [](NewButton&) {}},
        {"a delegate without the protocol", [&](NewButton& c) { c.setDelegate(plain); }},
        {"a freed delegate",
         [](NewButton& c) {
             auto gone = std::make_shared<ListOwner>();
             c.setDelegate(gone);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto cell = nameCell({true, true, true});
        c.setDelegate(*cell);
        platform::LogCapture log;
        EXPECT_EQ(hitAt(*cell, frame, 8, 24), NSCellHitTrackableArea);
        cell->aaa(nullptr);
        EXPECT_TRUE(log.lines().empty());
    }
}

TEST_F(NewButtonClicks, TheCheckBoxActionTellsTheDelegate) {
    auto cell = nameCell({true, true, true});
    cell->setDelegate(owner);
    platform::LogCapture log;
    cell->aaa(nullptr);
    ASSERT_EQ(owner->clicks.size(), 1u);
    EXPECT_EQ(owner->clicks[0].cell, cell.get());
    EXPECT_EQ(log.lines(), std::vector<std::string>{"..........111."});
}

TEST_F(NewButtonClicks, AListSelectsTheRowBeforeTheDelegateHearsOfTheClick) {
    auto prototype = nameCell({true, true, true});
    auto table = addList(NSMakeRect(0, 0, 300, 200), prototype, owner);
    platform::LogCapture log;
    click(pointInCell(*table, 2, 8, 24));
    ASSERT_EQ(owner->clicks.size(), 1u);
    EXPECT_EQ(owner->clicks[0].selectedRow, 2);
    EXPECT_EQ(table->selectedRow(), 2);
    // The list tracked its own copy of the cell, which shares the owner's sub-cells.
    auto* tracked = dynamic_cast<NewButton*>(owner->clicks[0].cell);
    ASSERT_NE(tracked, nullptr);
    EXPECT_NE(tracked, prototype.get());
    EXPECT_EQ(tracked->selectImageCell(), prototype->selectImageCell());
    EXPECT_EQ(tracked->label(), prototype->label());

    // A click on the label of another row selects that row and tells nobody.
    click(pointInCell(*table, 1, 100, 24));
    EXPECT_EQ(table->selectedRow(), 1);
    EXPECT_EQ(owner->clicks.size(), 1u);
}

TEST(NewButtonCopies, ShareTheSubCellsAndShowTheImageLeftOfTheTitle) {
    auto cell = nameCell({true, true, true});
    cell->setName("com.example.app");
    cell->setState(7);
    cell->setIsSelect(true);
    Ref<NSCell> copied = cell->copy();
    auto copy = std::dynamic_pointer_cast<NewButton>(copied);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->label(), cell->label());
    EXPECT_EQ(copy->iconImageCell(), cell->iconImageCell());
    EXPECT_EQ(copy->selectImageCell(), cell->selectImageCell());
    EXPECT_EQ(copy->imagePosition(), NSImageLeft);
    EXPECT_EQ(copy->state(), 7);
    EXPECT_EQ(copy->name(), "com.example.app");
    EXPECT_TRUE(copy->isSelect());
    // A change made through the copy shows in the original.
    copy->label()->setStringValue("Changed");
    EXPECT_EQ(cell->label()->stringValue(), "Changed");
    // The state is the stored integer alone: any value is kept as given.
    cell->setState(-3);
    EXPECT_EQ(cell->state(), -3);
}

TEST_F(NewButtonClicks, DrawsTheSubCellsInTheirRectanglesWithTheLabelInLightText) {
    auto cell = nameCell({true, true, true});
    cell->selectImageCell()->setImage(solidImage(NSMakeSize(16, 16), NSColor::blueColor()));
    cell->iconImageCell()->setImage(solidImage(NSMakeSize(24, 24), NSColor::redColor()));
    cell->label()->setTextColor(NSColor::blackColor());
    cell->label()->setEditable(true);
    cell->label()->setStringValue("MMMMMMMM");
    host->cell = cell;
    host->cellFrame = NSMakeRect(10, 48, 300, 48);
    EXPECT_TRUE(near(pixelIn(*host, 10 + 8, 48 + 24), 0, 0, 255));   // check box
    EXPECT_TRUE(near(pixelIn(*host, 10 + 45, 48 + 24), 255, 0, 0));  // icon
    EXPECT_TRUE(near(pixelIn(*host, 10 + 30, 48 + 24), 0, 0, 0));    // gap between them
    // The label draws in light text whatever colour the owner gave it, and ends not editable.
    auto surface = pt::renderWindow(*window);
    int light = 0;
    for (int x = 10 + 67; x < 10 + 67 + 100; ++x)
        for (int y = 48 + 13; y < 48 + 35; ++y)
            if (pixelOf(surface, *host, x + 0.5, y + 0.5).r > 200) ++light;
    EXPECT_GT(light, 20);
    EXPECT_NEAR(cell->label()->textColor()->redComponent(), 242 / 255.0, 1e-6);
    EXPECT_NEAR(cell->label()->textColor()->blueComponent(), 242 / 255.0, 1e-6);
    EXPECT_FALSE(cell->label()->isEditable());
}

TEST_F(NewButtonClicks, AnInterfaceFileConnectsTheCheckBoxToTheCell) {
    const char* xml = R"(<interface>
  <NSImageCell id="check" enabled="NO"/>
  <NSTableView>
    <NSTableColumn identifier="name">
      <NewButton id="cell" bordered="NO" selectImageCell="check"/>
    </NSTableColumn>
  </NSTableView>
</interface>)";
    NibLoadResult result = NibLoader::loadData(xml, "Names.ui", nullptr);
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_EQ(result.topLevelObjects.size(), 2u);
    auto check = std::dynamic_pointer_cast<NSImageCell>(result.topLevelObjects[0]);
    auto table = std::dynamic_pointer_cast<NSTableView>(result.topLevelObjects[1]);
    ASSERT_TRUE(check && table);
    auto cell = std::dynamic_pointer_cast<NewButton>(table->tableColumns()[0]->dataCell());
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->selectImageCell(), check);
    EXPECT_TRUE(check->isEnabled());
    EXPECT_TRUE(cell->respondsToSelector(SEL("aaa:")));
    EXPECT_TRUE(cell->respondsToSelector(SEL("changeVlaue:")));
}

}  // namespace
