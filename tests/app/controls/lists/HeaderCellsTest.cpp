// Catches header cells that lose the title or its font and colour when made from the old
// cell, fill the header in the wrong colour, place the title at the wrong offset, show the
// sort triangle when no column has priority 0 (or hide it, or misplace it, when one has), do
// not narrow the title for the indicator, or that the list views' interface files leave with
// the platform's header cells and header size.
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
#include "platform/appkit/NibLoader.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/TextLayout.h"
#include "support/FileFixtures.h"
#include "support/ScopedResources.h"

using namespace listtest;

namespace {

const RGB kTitle{117, 118, 121};
const RGB kHost{0, 0, 0};

/// A flipped view that draws one header cell at `cellFrame`, as a header view does, or
/// through its highlight method.
class CellHost : public NSView {
  public:
    bool isFlipped() const override { return true; }
    void drawRect(NSRect) override {
        if (!cell) return;
        if (highlighted)
            cell->highlight(true, cellFrame, this);
        else
            cell->drawWithFrame(cellFrame, this);
    }
    Ref<NSTableHeaderCell> cell;
    NSRect cellFrame = NSMakeRect(20, 0, 200, 41);
    bool highlighted = false;
};

struct HeaderKind {
    const char* name;
    std::function<Ref<DarkHeaderCell>(const NSCell&)> make;
    RGB fill;
    double titleOffset;
};

const HeaderKind kKinds[] = {
    {"CustomHeaderCell",
     [](const NSCell& old) { return Ref<DarkHeaderCell>(CustomHeaderCell::make(old)); },
     {50, 54, 57},
     13},
    {"PopCustomHeaderCell",
     [](const NSCell& old) { return Ref<DarkHeaderCell>(PopCustomHeaderCell::make(old)); },
     {39, 40, 43},
     8},
};

class HeaderCellsTest : public ListWindow {
  protected:
    void SetUp() override {
        ListWindow::SetUp();
        host = std::make_shared<CellHost>();
        host->initWithFrame(NSMakeRect(0, 0, 400, 60));
        window->contentView()->addSubview(host);
    }
    /// Whether a pixel of the rows y0..y1 (host coordinates) between x0 and x1 differs from
    /// `background` by more than a little: something (text, a triangle) is drawn there.
    bool drawnIn(double x0, double x1, double y0, double y1, RGB background) const {
        for (double y = y0; y < y1; ++y)
            for (double x = x0; x < x1; ++x)
                if (!near(px(*host, x + 0.5, y + 0.5), background, 12)) return true;
        return false;
    }

    Ref<CellHost> host;
};

TEST_F(HeaderCellsTest, MadeFromTheOldCellWithTheHeaderFontAndColourOverTheWholeTitle) {
    for (const HeaderKind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        auto old = NSTableHeaderCell::make("Application name");
        Ref<DarkHeaderCell> cell = kind.make(*old);
        EXPECT_EQ(cell->stringValue(), "Application name");
        EXPECT_EQ(cell->type(), NSTextCellType);
        EXPECT_TRUE(cell->ascending());
        EXPECT_EQ(cell->priority(), 1);
        auto text = cell->attributedStringValue();
        ASSERT_EQ(text->length(), 16u);
        NSRange range{};
        NSAttributes attributes = text->attributesAtIndex(0, &range);
        EXPECT_EQ(range.location, 0u);
        EXPECT_EQ(range.length, 16u);  // one run: the whole title
        auto font = std::any_cast<Ref<NSFont>>(attributes[NSFontAttributeName]);
        EXPECT_EQ(font->pointSize(), 14);
        EXPECT_EQ(font->fontName(), NSFont::systemFontOfSize(14)->fontName());
        auto colour = std::any_cast<Ref<NSColor>>(attributes[NSForegroundColorAttributeName]);
        EXPECT_NEAR(colour->redComponent() * 255, 117, 0.01);
        EXPECT_NEAR(colour->greenComponent() * 255, 118, 0.01);
        EXPECT_NEAR(colour->blueComponent() * 255, 121, 0.01);
        // A copy (the table tracks copies) keeps the class and the sort state.
        cell->setSortAscending(false, 0);
        auto copy = std::dynamic_pointer_cast<DarkHeaderCell>(cell->copy());
        ASSERT_TRUE(copy);
        const NSCell& copied = *copy;
        const NSCell& original = *cell;
        EXPECT_EQ(typeid(copied), typeid(original));
        EXPECT_FALSE(copy->ascending());
        EXPECT_EQ(copy->priority(), 0);
    }
}

TEST_F(HeaderCellsTest, HeaderIsFilledFlatWithTheTitleAtTheClassOffsetAndNoIndicator) {
    for (const HeaderKind& kind : kKinds) {
        for (bool highlighted : {false, true}) {
            SCOPED_TRACE(std::string(kind.name) + (highlighted ? " highlighted" : ""));
            host->cell = kind.make(*NSTableHeaderCell::make("HHHH"));
            host->highlighted = highlighted;
            host->setNeedsDisplay(true);
            render();
            for (NSPoint p :
                 {NSMakePoint(21.5, 1.5), NSMakePoint(210.5, 39.5), NSMakePoint(150.5, 20.5)})
                EXPECT_TRUE(near(px(*host, p.x, p.y), kind.fill))
                    << p.x << "," << p.y << ": " << str(px(*host, p.x, p.y));
            // The title starts a few points below the offset (the line's ascent) and is grey.
            const double top = kind.titleOffset;
            EXPECT_FALSE(drawnIn(20, 120, 0, top, kind.fill));
            EXPECT_TRUE(drawnIn(20, 120, top, top + 14, kind.fill));
            EXPECT_FALSE(drawnIn(20, 120, top + 14, 41, kind.fill));
            bool grey = false;
            for (double x = 20; x < 120 && !grey; ++x)
                for (double y = top; y < top + 14 && !grey; ++y)
                    grey = near(px(*host, x + 0.5, y + 0.5), kTitle, 6);
            EXPECT_TRUE(grey);
            // Priority 1 from creation: the indicator is clear, right of the cell nothing shows.
            EXPECT_FALSE(drawnIn(220, 240, 0, 41, kHost));
        }
    }
}

TEST_F(HeaderCellsTest, PriorityZeroShowsAWhiteTriangleAndNarrowsTheTitle) {
    for (const HeaderKind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        // A right-aligned title ends at the title rectangle's right edge.
        auto old = NSTableHeaderCell::make("HHHHHH");
        old->setAlignment(NSTextAlignmentRight);
        Ref<DarkHeaderCell> cell = kind.make(*old);
        host->cell = cell;
        const double right = 220;  // the cell's right edge
        const double top = kind.titleOffset;
        host->setNeedsDisplay(true);
        render();
        EXPECT_TRUE(drawnIn(right - 6, right, top, top + 14, kind.fill));

        cell->setSortAscending(true, 0);
        EXPECT_FALSE(host->needsDisplay());  // stored only
        host->setNeedsDisplay(true);
        render();
        EXPECT_FALSE(drawnIn(right - 7, right, top, top + 14, kind.fill));
        EXPECT_TRUE(drawnIn(right - 16, right - 8, top, top + 14, kind.fill));
        // Ascending: the triangle stands at heights 13..20, 5..13 right of the edge.
        EXPECT_TRUE(near(px(*host, right + 9.5, 18.5), {255, 255, 255}, 20))
            << str(px(*host, right + 9.5, 18.5));
        EXPECT_FALSE(drawnIn(right, right + 5, 0, 41, kHost));
        EXPECT_FALSE(drawnIn(right + 13, right + 20, 0, 41, kHost));
        EXPECT_FALSE(drawnIn(right + 5, right + 13, 21, 41, kHost));
        EXPECT_FALSE(drawnIn(right + 5, right + 13, 0, 12, kHost));

        // Descending: the triangle points down left of the title's width measured at 13 points.
        cell->setSortAscending(false, 0);
        host->setNeedsDisplay(true);
        render();
        const float tw = static_cast<float>(
            ns::sizeWithAttributes("HHHHHH", {{NSFontAttributeName, NSFont::systemFontOfSize(13)}})
                .width);
        const double a = right - double(tw) - 4;
        EXPECT_TRUE(near(px(*host, a + 4.5, 11.5), {255, 255, 255}, 40))
            << str(px(*host, a + 4.5, 11.5));
        EXPECT_FALSE(drawnIn(right, right + 20, 0, 41, kHost));

        // Back at priority 1 the indicator is clear again.
        cell->setSortAscending(true, 1);
        host->setNeedsDisplay(true);
        render();
        EXPECT_FALSE(drawnIn(right, right + 20, 0, 41, kHost));
    }
}

TEST_F(HeaderCellsTest, InterfaceFilesGiveTheListsTheirHeaderCellsAndHeaderSize) {
    fixtures::TempDir dir;
    dir.mkdir("resources/ui");
    dir.write("resources/ui/Lists.ui", R"(<interface>
  <NSScrollView frame="0 0 800 300">
    <CustomTableView frame="0 0 800 259" rowHeight="48" selectionHighlightStyle="regular">
      <NSTableColumn identifier="name" width="300" title="Name"/>
      <NSTableColumn identifier="size" width="100" title="Size"/>
    </CustomTableView>
  </NSScrollView>
  <CustemOutlineView frame="0 0 600 200">
    <NSTableColumn identifier="lang" width="200" title="Language"/>
  </CustemOutlineView>
  <MyNewOutlineView frame="0 0 600 200">
    <NSTableColumn identifier="file" width="200">
      <NSTableHeaderCell title="File"/>
    </NSTableColumn>
  </MyNewOutlineView>
  <EUCustomOutlineView frame="0 0 600 200" selectionHighlightStyle="regular">
    <NSTableColumn identifier="item" width="200" title="Item"/>
  </EUCustomOutlineView>
</interface>)");
    fixtures::ScopedResources resources(dir / "resources");
    NibLoadResult loaded = NibLoader::load("Lists", nullptr);
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    ASSERT_EQ(loaded.topLevelObjects.size(), 4u);
    auto scroll = std::dynamic_pointer_cast<NSScrollView>(loaded.topLevelObjects[0]);
    ASSERT_TRUE(scroll);
    auto* table = dynamic_cast<CustomTableView*>(scroll->documentView());
    ASSERT_NE(table, nullptr);
    auto custem = std::dynamic_pointer_cast<CustemOutlineView>(loaded.topLevelObjects[1]);
    auto dialog = std::dynamic_pointer_cast<MyNewOutlineView>(loaded.topLevelObjects[2]);
    auto light = std::dynamic_pointer_cast<EUCustomOutlineView>(loaded.topLevelObjects[3]);
    ASSERT_TRUE(custem && dialog && light);

    struct Case {
        NSTableView* view;
        bool pop;
        double height;
        std::vector<std::string> titles;
    } cases[] = {{table, false, 41, {"Name", "Size"}},
                 {custem.get(), false, 41, {"Language"}},
                 {dialog.get(), true, 28, {"File"}}};
    for (const Case& c : cases) {
        ASSERT_TRUE(c.view->headerView());
        EXPECT_EQ(c.view->headerView()->frame().size, NSMakeSize(1000, c.height));
        EXPECT_EQ(c.view->selectionHighlightStyle(), NSTableViewSelectionHighlightStyleNone);
        ASSERT_EQ(c.view->tableColumns().size(), c.titles.size());
        for (std::size_t i = 0; i < c.titles.size(); ++i) {
            NSTableHeaderCell* cell = c.view->tableColumns()[i]->headerCell().get();
            EXPECT_EQ(dynamic_cast<PopCustomHeaderCell*>(cell) != nullptr, c.pop);
            EXPECT_EQ(dynamic_cast<CustomHeaderCell*>(cell) != nullptr, !c.pop);
            EXPECT_EQ(cell->stringValue(), c.titles[i]);
            auto text = cell->attributedStringValue();
            auto font = std::any_cast<Ref<NSFont>>(text->attributeAtIndex(NSFontAttributeName, 0));
            EXPECT_EQ(font->pointSize(), 14);
            auto colour = std::any_cast<Ref<NSColor>>(
                text->attributeAtIndex(NSForegroundColorAttributeName, 0));
            EXPECT_NEAR(colour->redComponent() * 255, 117, 0.01);
        }
    }
    // The light outline keeps the platform's header cells and its own highlight style.
    const NSTableHeaderCell& lightHeader = *light->tableColumns()[0]->headerCell();
    EXPECT_EQ(typeid(lightHeader), typeid(NSTableHeaderCell));
    EXPECT_EQ(light->selectionHighlightStyle(), NSTableViewSelectionHighlightStyleRegular);

    // Shown, the loaded table's header is the dark one with the grey title.
    window->contentView()->addSubview(scroll);
    render();
    NSTableHeaderView& header = *table->headerView();
    EXPECT_TRUE(near(px(header, 290.5, 3.5), {50, 54, 57})) << str(px(header, 290.5, 3.5));
}

}  // namespace
