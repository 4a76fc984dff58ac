// Catches outlines that lose rows or levels when items expand and collapse, misplace the
// disclosure triangle, keep selecting rows whose items were hidden, loop forever on a tree
// that contains itself, or ask for the tool tip of another row or an unprepared cell.
#include "platform/appkit/NSOutlineView.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/appkit/ListClasses.h"
#include "platform/appkit/NSTableColumn.h"
#include "support/ControlTestSupport.h"

using namespace controltest;

namespace {

/// A named tree node.
class Node : public NSObject {
  public:
    explicit Node(std::string n) : name(std::move(n)) {}
    std::string name;
    std::vector<Ref<NSObject>> children;
};

/// root: apps (mail (inbox), notes), fonts
class Tree : public NSObject, public NSOutlineViewDataSource, public NSOutlineViewDelegate {
  public:
    Tree() {
        for (const char* n : {"apps", "mail", "inbox", "notes", "fonts"})
            nodes[n] = std::make_shared<Node>(n);
        node("apps")->children = {nodes["mail"], nodes["notes"]};
        node("mail")->children = {nodes["inbox"]};
        top = {nodes["apps"], nodes["fonts"]};
    }
    Node* node(const std::string& n) { return static_cast<Node*>(nodes[n].get()); }
    const std::vector<Ref<NSObject>>& childrenOf(const Ref<NSObject>& item) {
        return item ? static_cast<Node*>(item.get())->children : top;
    }
    long numberOfChildrenOfItem(NSOutlineView*, const Ref<NSObject>& item) override {
        return static_cast<long>(childrenOf(item).size());
    }
    Ref<NSObject> child(NSOutlineView*, long index, const Ref<NSObject>& item) override {
        return childrenOf(item)[std::size_t(index)];
    }
    bool isItemExpandable(NSOutlineView*, const Ref<NSObject>& item) override {
        return !childrenOf(item).empty();
    }
    std::optional<bool> shouldSelectItem(NSOutlineView* outline,
                                         const Ref<NSObject>& item) override {
        asked.push_back(static_cast<Node*>(item.get())->name + "@" +
                        std::to_string(outline->rowForItem(item)));
        return true;
    }
    void outlineViewSelectionDidChange(const NSNotification&) override { ++changes; }

    std::map<std::string, Ref<NSObject>> nodes;
    std::vector<Ref<NSObject>> top;
    std::vector<std::string> asked;
    int changes = 0;
};

/// The tree, answering tool tips: "tip:<name>" for mail and notes (for notes over the cell's
/// left 50 points only), an empty one for apps, none for the others.
class TippingTree : public Tree {
  public:
    void willDisplayCell(NSOutlineView*, NSCell*, NSTableColumn*,
                         const Ref<NSObject>& item) override {
        prepared = static_cast<Node*>(item.get())->name;
    }
    std::optional<std::string> toolTipForCell(NSOutlineView*, NSCell* cell, NSRect* rect,
                                              NSTableColumn* column, const Ref<NSObject>& item,
                                              NSPoint) override {
        const std::string name = static_cast<Node*>(item.get())->name;
        preparedWhenAsked = cell && prepared == name;
        askedColumn = column ? column->identifier() : "";
        if (name == "notes") rect->size.width = 50;
        if (name == "apps") return std::string();
        if (name == "mail" || name == "notes") return "tip:" + name;
        return std::nullopt;
    }
    std::string prepared;
    bool preparedWhenAsked = false;
    std::string askedColumn;
};

class OutlineViewTest : public ControlWindow {
  protected:
    void SetUp() override {
        ControlWindow::SetUp();
        registerAppKitListClasses();
        tree = std::make_shared<Tree>();
        outline = NSOutlineView::make(NSMakeRect(0, 0, 200, 100));
        outline->addTableColumn(NSTableColumn::make("name"));
        outline->setIntercellSpacing(NSMakeSize(0, 0));
        outline->setRowHeight(20);
        outline->setDataSource(tree);
        outline->setDelegate(tree);
    }
    /// The names of the shown rows, each prefixed by its level.
    std::vector<std::string> rows() {
        std::vector<std::string> out;
        for (long r = 0; r < outline->numberOfRows(); ++r)
            out.push_back(std::to_string(outline->levelForRow(r)) +
                          static_cast<Node*>(outline->itemAtRow(r).get())->name);
        return out;
    }
    Ref<Tree> tree;
    Ref<NSOutlineView> outline;
};

using Rows = std::vector<std::string>;

TEST_F(OutlineViewTest, ExpandAndCollapseShowTheRightRowsAtTheRightLevels) {
    EXPECT_EQ(rows(), (Rows{"0apps", "0fonts"}));
    outline->expandItem(tree->nodes["apps"]);
    EXPECT_EQ(rows(), (Rows{"0apps", "1mail", "1notes", "0fonts"}));
    EXPECT_EQ(outline->rowForItem(tree->nodes["fonts"]), 3);
    EXPECT_EQ(outline->rowForItem(tree->nodes["inbox"]), -1);
    EXPECT_EQ(outline->parentForItem(tree->nodes["notes"]), tree->nodes["apps"]);
    EXPECT_EQ(outline->parentForItem(tree->nodes["apps"]), nullptr);
    EXPECT_EQ(outline->levelForItem(tree->nodes["notes"]), 1);

    // Collapsing keeps a child's expansion for the next time its parent opens.
    outline->expandItem(tree->nodes["mail"]);
    outline->collapseItem(tree->nodes["apps"]);
    EXPECT_EQ(rows(), (Rows{"0apps", "0fonts"}));
    outline->expandItem(tree->nodes["apps"]);
    EXPECT_EQ(rows(), (Rows{"0apps", "1mail", "2inbox", "1notes", "0fonts"}));
    outline->collapseItem(nullptr, true);
    EXPECT_EQ(rows(), (Rows{"0apps", "0fonts"}));
    outline->expandItem(nullptr, true);
    EXPECT_EQ(rows().size(), 5u);
    EXPECT_TRUE(outline->isItemExpanded(tree->nodes["mail"]));
    // Leaves do not expand.
    outline->expandItem(tree->nodes["fonts"]);
    EXPECT_FALSE(outline->isItemExpanded(tree->nodes["fonts"]));
}

TEST_F(OutlineViewTest, IndentationAndTriangleFollowTheLevel) {
    outline->setIndentationPerLevel(16);
    outline->expandItem(tree->nodes["apps"], true);
    struct Case {
        const char* item;
        NSRect triangle;
        double cellX;
    } cases[] = {
        {"apps", NSMakeRect(0, 0, 14, 20), 14},
        {"mail", NSMakeRect(16, 20, 14, 20), 30},
        {"inbox", NSZeroRect, 46},  // a leaf has no triangle
    };
    for (const Case& c : cases) {
        long row = outline->rowForItem(tree->nodes[c.item]);
        EXPECT_EQ(outline->frameOfOutlineCellAtRow(row), c.triangle) << c.item;
        EXPECT_EQ(outline->frameOfCellAtColumn(0, row).origin.x, c.cellX) << c.item;
    }
}

TEST_F(OutlineViewTest, ClickOnTriangleTogglesAndClickOnRowSelectsTheItem) {
    add(outline);
    NSRect triangle = outline->frameOfOutlineCellAtRow(0);
    click(outline->convertPointToView(NSMakePoint(NSMidX(triangle), NSMidY(triangle)), nullptr));
    EXPECT_TRUE(outline->isItemExpanded(tree->nodes["apps"]));
    EXPECT_EQ(outline->selectedRow(), -1);  // the triangle does not select
    NSRect notes = outline->frameOfCellAtColumn(0, 2);
    click(outline->convertPointToView(NSMakePoint(NSMidX(notes), NSMidY(notes)), nullptr));
    EXPECT_EQ(tree->asked, std::vector<std::string>{"notes@2"});
    EXPECT_EQ(outline->itemAtRow(outline->selectedRow()), tree->nodes["notes"]);
}

TEST_F(OutlineViewTest, SelectionFollowsItsItemAndDropsHiddenOnes) {
    outline->expandItem(tree->nodes["apps"]);
    outline->selectRowIndexes(NSIndexSet{3}, false);  // fonts
    const int before = tree->changes;
    outline->expandItem(tree->nodes["mail"]);
    EXPECT_EQ(outline->selectedRow(), 4);
    EXPECT_EQ(tree->changes, before);                 // same item, new row: no change
    outline->selectRowIndexes(NSIndexSet{2}, false);  // inbox
    outline->collapseItem(tree->nodes["apps"]);
    EXPECT_EQ(outline->selectedRow(), -1);
    EXPECT_EQ(tree->changes, before + 2);
    // An item removed from the tree leaves the selection on reload.
    outline->selectRowIndexes(NSIndexSet{1}, false);  // fonts
    tree->top.pop_back();
    outline->reloadData();
    EXPECT_EQ(outline->selectedRow(), -1);
    EXPECT_EQ(outline->numberOfRows(), 1);
}

TEST_F(OutlineViewTest, TreeContainingItselfIsShownWithoutLooping) {
    tree->node("inbox")->children = {tree->nodes["apps"]};
    outline->expandItem(nullptr, true);
    EXPECT_EQ(rows(), (Rows{"0apps", "1mail", "2inbox", "3apps", "1notes", "0fonts"}));
}

TEST_F(OutlineViewTest, ToolTipIsTheDelegatesAnswerForThePreparedCellUnderThePointer) {
    auto tipping = std::make_shared<TippingTree>();
    outline->setDataSource(tipping);
    outline->setDelegate(tipping);
    outline->expandItem(tipping->nodes["apps"]);
    ASSERT_EQ(outline->numberOfRows(), 4);  // apps, mail, notes, fonts
    struct Case {
        long row;
        std::optional<std::string> tip;
        double width;  // of the area reported
    } cases[] = {
        {0, std::nullopt, 0},  // an empty answer is no tool tip
        {1, "tip:mail", outline->frameOfCellAtColumn(0, 1).size.width},
        {2, "tip:notes", 50},
        {3, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        NSRect cell = outline->frameOfCellAtColumn(0, c.row);
        NSRect area = NSZeroRect;
        EXPECT_EQ(outline->toolTipAtPoint(NSMakePoint(NSMidX(cell), NSMidY(cell)), &area), c.tip);
        EXPECT_TRUE(tipping->preparedWhenAsked);
        EXPECT_EQ(tipping->askedColumn, "name");
        if (!c.tip) continue;
        EXPECT_EQ(area.origin.x, cell.origin.x);
        EXPECT_EQ(area.origin.y, cell.origin.y);
        EXPECT_EQ(area.size.width, c.width);
    }
    EXPECT_EQ(outline->toolTipAtPoint(NSMakePoint(10, 95)), std::nullopt) << "below the rows";
    outline->setDelegate(nullptr);
    NSRect mail = outline->frameOfCellAtColumn(0, 1);
    EXPECT_EQ(outline->toolTipAtPoint(NSMakePoint(NSMidX(mail), NSMidY(mail))), std::nullopt);
}

TEST_F(OutlineViewTest, InterfaceFileConnectsTheOutlineProtocols) {
    struct Owner : public Tree {
        void setOutline(const Ref<NSOutlineView>& o) { outlineRef = o; }
        Ref<NSOutlineView> outlineRef;
    };
    ClassRegistry::shared()
        .registerClass<Owner, NSObject>("OutlineTestOwner")
        .outlet("outline", &Owner::setOutline);
    auto owner = std::make_shared<Owner>();
    NibLoadResult result = NibLoader::loadData(
        R"(<interface owner="OutlineTestOwner">
             <NSOutlineView outlet="outline" indentationPerLevel="20" dataSource="owner"
                            delegate="owner"><NSTableColumn identifier="name"/></NSOutlineView>
           </interface>)",
        "Outline.ui", owner);
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_TRUE(owner->outlineRef);
    EXPECT_EQ(owner->outlineRef->indentationPerLevel(), 20);
    EXPECT_EQ(owner->outlineRef->numberOfRows(), 2);
    EXPECT_EQ(owner->outlineRef->outlineTableColumn()->identifier(), "name");
}

}  // namespace
