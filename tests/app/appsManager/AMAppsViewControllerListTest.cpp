// Catches a catalogue list that sums or labels its ticks wrongly, shows the wrong header check
// box, ticks the wrong row on a click, loses ticks across a search, sorts in the wrong order
// or keeps a sort across a search, computes a row's size more than once or for rows never
// shown, stores a size into another row's item, or draws the list without its dark look.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "CatalogueFixture.h"
#include "appsManager/AMPublicUtilities.h"
#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSClipView.h"
#include "platform/appkit/NSTableHeaderView.h"
#include "platform/graphics/NSImage.h"

namespace {

using namespace catalogue;
namespace fs = std::filesystem;

/// Whether some pixel of `rect` (window coordinates) is within 30 of `r g b`.
bool hasColour(const Ref<NSGraphicsContext>& surface, NSRect rect, int r, int g, int b) {
    if (!surface) return false;
    for (int x = int(rect.origin.x); x < int(NSMaxX(rect)); ++x)
        for (int y = int(rect.origin.y); y < int(NSMaxY(rect)); ++y) {
            Pixel p = surface->pixelAt(x, surface->pixelsHigh() - 1 - y);
            if (std::abs(p.r - r) < 30 && std::abs(p.g - g) < 30 && std::abs(p.b - b) < 30)
                return true;
        }
    return false;
}

class CatalogueListTest : public CatalogueTest {
  protected:
    /// A list of applications named `names` (in that order of creation).
    void listOf(const std::vector<std::string>& names, bool inWindow = false) {
        for (const std::string& name : names)
            application(name);
        makeList(0, {root / "Applications"}, inWindow);
        ASSERT_EQ(list->allApplications().size(), names.size());
    }
    std::string boxImage() const { return list->selectAllBut()->image()->name(); }
    /// The window rectangle of the cell of `identifier` in `row`.
    NSRect cellRect(const std::string& identifier, long row) {
        CustomTableView* table = list->tableView();
        NSRect f = table->frameOfCellAtColumn(table->columnWithIdentifier(identifier), row);
        return table->convertRectToView(f, nullptr);
    }
};

TEST_F(CatalogueListTest, TickSummaryAndSelectAll) {
    listOf({"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"});
    for (const auto& item : list->showAllValues())
        item->setSize("1.00 KB");
    list->showAllValues()[9]->setSize("1.50 MB");

    struct Step {
        const char* what;
        std::function<void()> act;
        int count;
        float total;
        const char* label;
        const char* image;
    } steps[] = {
        {"three rows ticked", [&] { tickRow(0), tickRow(4), tickRow(9); }, 3, 1502000.0f,
         "Selected:  3/10  (1.50 MB)", "halfsel"},
        {"one of them unticked", [&] { tickRow(4); }, 2, 1501000.0f, "Selected:  2/10  (1.50 MB)",
         "halfsel"},
        {"select-all with some ticked ticks all", [&] { list->selectAllButtonAction(nullptr); }, 10,
         1509000.0f, "Selected:  10/10  (1.51 MB)", "sel"},
        {"select-all with all ticked unticks all", [&] { list->selectAllButtonAction(nullptr); }, 0,
         0.0f, " ", "unsel"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        EXPECT_EQ(recorder->lastCount, s.count);
        EXPECT_FLOAT_EQ(recorder->lastTotal, s.total);
        EXPECT_EQ(recorder->lastLabel, s.label);
        EXPECT_EQ(boxImage(), s.image);
        EXPECT_EQ(int(list->uninsatllAppArr().size()), s.count);
        for (const auto& item : list->showAllValues()) {
            const bool ticked =
                std::find(list->uninsatllAppArr().begin(), list->uninsatllAppArr().end(), item) !=
                list->uninsatllAppArr().end();
            EXPECT_EQ(item->bIsSelected(), ticked) << item->name();
        }
    }
    // Select-all ticks in row order; the summary is not recomputed when a size changes.
    list->selectAllButtonAction(nullptr);
    EXPECT_EQ(names(list->uninsatllAppArr()), names(list->showAllValues()));
    const int reports = recorder->states;
    list->showAllValues()[0]->setSize("9.00 GB");
    settle();
    EXPECT_EQ(recorder->states, reports);

    // No selected row: the check box's action does nothing.
    list->selectAllButtonAction(nullptr);
    list->tableView()->deselectAll(nullptr);
    list->selectUninstallApp();
    EXPECT_TRUE(list->uninsatllAppArr().empty());
}

TEST_F(CatalogueListTest, TicksSurviveSearchAndSearchDropsTheSort) {
    listOf({"Alpha", "Beta", "alphabet", "Gamma"});
    const std::vector<std::string> scanOrder = names(list->allApplications());
    auto rowOf = [&](const std::string& name) {
        auto& shown = list->showAllValues();
        return long(std::find_if(shown.begin(), shown.end(),
                                 [&](const auto& i) { return i->name() == name; }) -
                    shown.begin());
    };
    tickRow(rowOf("Alpha"));
    tickRow(rowOf("Beta"));

    list->searchNameWithKey(std::string("ALP"));
    std::vector<std::string> expected;
    for (const std::string& n : scanOrder)
        if (n == "Alpha" || n == "alphabet") expected.push_back(n);
    EXPECT_EQ(names(list->showAllValues()), expected);
    EXPECT_EQ(names(list->uninsatllAppArr()), std::vector<std::string>{"Alpha"});
    EXPECT_EQ(recorder->lastLabel, "Selected:  1/2  (0.00 KB)");

    for (const NSStringOpt& empty : {NSStringOpt(), NSStringOpt(""), NSStringOpt("(null)")}) {
        list->searchNameWithKey(std::string("zzz"));
        EXPECT_TRUE(list->showAllValues().empty());
        EXPECT_EQ(boxImage(), "unsel");
        list->searchNameWithKey(empty);
        EXPECT_EQ(names(list->showAllValues()), scanOrder);
        std::vector<std::string> ticked;
        for (const std::string& n : scanOrder)
            if (n == "Alpha" || n == "Beta") ticked.push_back(n);
        EXPECT_EQ(names(list->uninsatllAppArr()), ticked) << "ticks come back in row order";
    }

    list->sortByType(1, 2);
    EXPECT_EQ(names(list->showAllValues()),
              (std::vector<std::string>{"alphabet", "Gamma", "Beta", "Alpha"}));
    list->searchNameWithKey(std::string("a"));
    EXPECT_EQ(names(list->showAllValues()), scanOrder) << "a search drops the sort";
}

TEST_F(CatalogueListTest, RemovedRowLeavesEveryList) {
    listOf({"A", "B", "C"});
    list->selectAllButtonAction(nullptr);
    const Ref<AMAppItem> gone = list->showAllValues()[1];
    list->removeShownItemAtIndex(1);
    for (const auto* items :
         {&list->showAllValues(), &list->allApplications(), &list->uninsatllAppArr()}) {
        EXPECT_EQ(items->size(), 2u);
        EXPECT_EQ(std::find(items->begin(), items->end(), gone), items->end());
    }
    list->removeShownItemAtIndex(2);
    list->removeShownItemAtIndex(-1);
    EXPECT_EQ(list->showAllValues().size(), 2u);
    list->searchNameWithKey(std::string());
    EXPECT_EQ(list->showAllValues().size(), 2u) << "a search does not bring it back";

    list->clearTickedAndShownItems();
    EXPECT_TRUE(list->showAllValues().empty());
    EXPECT_TRUE(list->uninsatllAppArr().empty());
    EXPECT_EQ(list->allApplications().size(), 2u);
}

TEST_F(CatalogueListTest, SortsByNameOrSizeInBothDirections) {
    listOf({"beta", "Alpha", "alpha", "Beta"});
    itemNamed("beta")->setSize("2.00 KB");
    itemNamed("Alpha")->setSize("0KB");  // not computed yet: counts as 0 bytes
    itemNamed("alpha")->setSize("1.00 MB");
    itemNamed("Beta")->setSize("2.00 KB");
    // Equal sizes keep their current order: put the two 2 KB items in a known order first.
    list->sortByType(1, 1);
    ASSERT_EQ(names(list->showAllValues()),
              (std::vector<std::string>{"Alpha", "Beta", "alpha", "beta"}));
    struct Case {
        int type, upDown;
        std::vector<std::string> order;
    } cases[] = {
        {1, 2, {"beta", "alpha", "Beta", "Alpha"}}, {1, 1, {"Alpha", "Beta", "alpha", "beta"}},
        {2, 1, {"Alpha", "Beta", "beta", "alpha"}}, {2, 2, {"alpha", "Beta", "beta", "Alpha"}},
        {7, 1, {"Alpha", "Beta", "alpha", "beta"}},  // any other type sorts by name
        {1, 0, {"beta", "alpha", "Beta", "Alpha"}},  // any other direction is descending
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.upDown));
        if (c.type == 2) list->sortByType(1, 1);
        list->sortByType(c.type, c.upDown);
        EXPECT_EQ(list->sortType(), c.type);
        EXPECT_EQ(list->sortUpDown(), c.upDown);
        EXPECT_EQ(names(list->showAllValues()), c.order);
        EXPECT_EQ(list->tableView()->numberOfRows(), 4);
    }
    // The full list keeps the scan order.
    std::vector<std::string> all = names(list->allApplications());
    list->sortByType(2, 2);
    EXPECT_EQ(names(list->allApplications()), all);
}

TEST_F(CatalogueListTest, ClickOnTheCheckBoxTicksTheClickedRow) {
    listOf({"A", "B", "C", "D"}, true);
    pt::pumpEvents();
    const std::string third = list->showAllValues()[2]->name();

    click(pointInCell("CheckBox", 2, 18, 24));
    EXPECT_EQ(list->tableView()->selectedRow(), 2);
    EXPECT_EQ(list->selectRow(), 2);
    EXPECT_EQ(list->tableView()->rowNum(), 2);
    EXPECT_EQ(names(list->uninsatllAppArr()), std::vector<std::string>{third});
    EXPECT_EQ(boxImage(), "halfsel");
    auto surface = pt::renderWindow(*window);
    EXPECT_TRUE(hasColour(surface, cellRect("CheckBox", 2), 49, 190, 106)) << "ticked box";
    EXPECT_FALSE(hasColour(surface, cellRect("CheckBox", 1), 49, 190, 106)) << "plain box";

    // A click elsewhere in a row selects it without ticking it.
    click(pointInCell("version", 1, 20, 24));
    EXPECT_EQ(list->selectRow(), 1);
    EXPECT_EQ(list->uninsatllAppArr().size(), 1u);

    click(pointInCell("CheckBox", 2, 18, 24));
    EXPECT_TRUE(list->uninsatllAppArr().empty());
    EXPECT_EQ(boxImage(), "unsel");

    // The header check box ticks every row.
    NSButton* box = list->selectAllBut();
    NSRect r = box->convertRectToView(box->bounds(), nullptr);
    click(NSMakePoint(NSMidX(r), NSMidY(r)));
    EXPECT_EQ(list->uninsatllAppArr().size(), 4u);
    EXPECT_EQ(boxImage(), "sel");

    // The trash button of the selected row asks for its related files.
    NSRect trash = RemoveButtonCell::clickAreaForBounds(list->tableView()->frameOfCellAtColumn(
        list->tableView()->columnWithIdentifier("uninstall"), 1));
    NSPoint p =
        list->tableView()->convertPointToView(NSMakePoint(NSMidX(trash), NSMidY(trash)), nullptr);
    click(p);
    EXPECT_EQ(recorder->related, 1);
}

TEST_F(CatalogueListTest, SizesAreComputedOnceAndOnlyForDisplayedRows) {
    std::vector<std::string> many;
    for (int i = 0; i < 200; ++i)
        many.push_back("App" + std::to_string(1000 + i));
    for (int i = 0; i < 200; ++i)
        application(many[std::size_t(i)], 1000 + i * 37);
    makeList(0, {root / "Applications"}, true);
    pt::renderWindow(*window);
    settle();

    CustomTableView* table = list->tableView();
    const NSRect visible = table->visibleRect();
    const NSRange shownRows = table->rowsInRect(visible);
    ASSERT_GT(shownRows.length, 5u);
    ASSERT_LT(shownRows.length, 15u);
    auto sized = [&] {
        std::vector<long> rows;
        for (long row = 0; row < 200; ++row)
            if (list->showAllValues()[std::size_t(row)]->bIsGetSize()) rows.push_back(row);
        return rows;
    };
    std::vector<long> expected;
    for (long row = long(shownRows.location); row < long(shownRows.location + shownRows.length);
         ++row)
        expected.push_back(row);
    EXPECT_EQ(sized(), expected);
    for (long row = 0; row < 200; ++row) {
        const auto& item = list->showAllValues()[std::size_t(row)];
        const std::string want = item->bIsGetSize()
                                     ? AMPublicUtilities::convertVolSpace(bytesAt(item->path()))
                                     : std::string("0KB");
        EXPECT_EQ(item->size(), want) << row;
    }

    // The first row's bundle grows; scrolling away and back does not compute it again.
    const auto first = list->showAllValues()[0];
    const std::string firstSize = first->size();
    std::ofstream(first->path() + "/Contents/MacOS/more") << std::string(500000, 'y');
    for (int pass = 0; pass < 3; ++pass) {
        table->scrollRowToVisible(199);
        pt::pumpEvents();
        table->scrollRowToVisible(0);
        pt::pumpEvents();
    }
    settle();
    EXPECT_EQ(first->size(), firstSize);
    EXPECT_TRUE(list->showAllValues()[199]->bIsGetSize());
    EXPECT_FALSE(list->showAllValues()[100]->bIsGetSize()) << "never displayed";

    // Select-all over rows never displayed leaves them out of the total.
    list->selectAllButtonAction(nullptr);
    float total = 0;
    for (const auto& item : list->showAllValues())
        if (item->bIsGetSize()) total += float(AMPublicUtilities::volSpaceFromString(item->size()));
    EXPECT_FLOAT_EQ(recorder->lastTotal, total);
}

TEST_F(CatalogueListTest, ArrivingSizesGoToTheirOwnItemAfterRowsMoved) {
    std::vector<std::string> apps;
    for (int i = 0; i < 30; ++i) {
        apps.push_back("S" + std::to_string(100 + i));
        application(apps.back(), 2000 + i * 1111);
    }
    makeList(0, {root / "Applications"}, true);
    // Start the size tasks, then move every row before they report.
    pt::renderWindow(*window);
    list->sortByType(1, 2);
    pt::renderWindow(*window);
    list->searchNameWithKey(std::string("S12"));
    pt::renderWindow(*window);
    settle();
    int computed = 0;
    for (const auto& item : list->allApplications()) {
        if (!item->bIsGetSize()) continue;
        ++computed;
        EXPECT_EQ(item->size(), AMPublicUtilities::convertVolSpace(bytesAt(item->path())))
            << item->name();
    }
    EXPECT_GT(computed, 10);
}

TEST_F(CatalogueListTest, RendersAsADarkList) {
    listOf({"Calculator Pro", "Notes Plus", "Photo Lab", "Terminal X", "Zip Tool"}, true);
    pt::renderWindow(*window);
    settle();
    tickRow(1);
    click(pointInCell("version", 3, 20, 24));
    settle();
    auto surface = pt::renderWindow(*window);
    ASSERT_NE(surface, nullptr);
    if (const char* dir = std::getenv("CATALOGUE_PNG_DIR"))
        pt::renderWindowToPNG(*window, std::string(dir) + "/catalogue.png");
    TempDir out;
    EXPECT_TRUE(pt::renderWindowToPNG(*window, out / "catalogue.png"));

    // Rows in the panel colour, the header darker, the rows' texts light, the ticked box green.
    NSRect row0 = cellRect("system", 0);
    EXPECT_TRUE(
        hasColour(surface, NSMakeRect(NSMaxX(row0) - 6, row0.origin.y + 2, 4, 4), 60, 64, 67));
    NSTableHeaderView* header = list->tableView()->headerView().get();
    NSRect h = header->convertRectToView(header->bounds(), nullptr);
    EXPECT_TRUE(hasColour(surface, NSMakeRect(500, h.origin.y + 2, 4, 4), 50, 54, 57));
    EXPECT_TRUE(hasColour(surface, cellRect("version", 0), 242, 242, 242)) << "version text";
    EXPECT_TRUE(hasColour(surface, cellRect("CheckBox", 1), 49, 190, 106));
    EXPECT_FALSE(hasColour(surface, cellRect("CheckBox", 0), 49, 190, 106));
    // Below the last row the table keeps the dark background.
    EXPECT_TRUE(hasColour(surface, NSMakeRect(400, 20, 4, 4), 60, 64, 67));
}

}  // namespace
