// Catches a review dialog that loses or misplaces its headline number or its style, opens with
// the wrong row highlighted or collapsed or with files unticked, shows a wrong tick for a partly
// ticked group, toggles a group the wrong way, leaves Uninstall usable with nothing ticked,
// sums a group's size without its bundle, opens or closes the wrong row, lets two files of one
// name look alike (each file row's tool tip is its full path), or draws a broken dialog.
#include <gtest/gtest.h>

#include <any>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/appsManager/RelatedFilesDialogFixture.h"
#include "appsManager/AMDisclosureArrowCell.h"
#include "appsManager/AMPublicUtilities.h"
#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSTableHeaderView.h"
#include "platform/foundation/NSString.h"
#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSParagraphStyle.h"

using namespace reviewtest;

namespace {

class ReviewTree : public ReviewDialog {
  protected:
    void SetUp() override {
        ReviewDialog::SetUp();
        makeThreeGroups();
        open();
    }
    std::vector<AMAppItem*> ticked() const {
        std::vector<AMAppItem*> out;
        for (const auto& r : controller->selectDeletePath())
            out.push_back(r.get());
        return out;
    }
    std::vector<AMAppItem*> allRecords() const {
        std::vector<AMAppItem*> out;
        for (const auto& g : *list)
            for (const auto& r : g->records())
                out.push_back(r.get());
        return out;
    }
};

TEST_F(ReviewTree, LoadsAClearDialogWithItsButtonsColumnsAndRows) {
    EXPECT_FALSE(window->isOpaque());
    EXPECT_EQ(window->backgroundColor()->alphaComponent(), 0);
    EXPECT_TRUE(window->isMovableByWindowBackground());
    ASSERT_TRUE(controller->nodeLabel() && controller->cancelButton() &&
                controller->uninstallButton());

    struct ButtonCase {
        const char* name;
        Ref<TextImageButton> button;
        const char* base;
        const char* text;
    };
    const ButtonCase buttons[] = {
        {"Cancel", controller->cancelButton(), "btn_popsec", "Cancel"},
        {"Uninstall", controller->uninstallButton(), "btn_poppri", "Uninstall"}};
    for (const ButtonCase& b : buttons) {
        SCOPED_TRACE(b.name);
        EXPECT_TRUE(b.button->isButtonEnabled());
        ASSERT_TRUE(b.button->normalImage() && b.button->activeImage() && b.button->hoverImage() &&
                    b.button->disableImage());
        EXPECT_EQ(b.button->normalImage()->name(), b.base);
        EXPECT_EQ(b.button->activeImage()->name(), std::string(b.base) + "_press");
        EXPECT_EQ(b.button->hoverImage()->name(), std::string(b.base) + "_hover");
        EXPECT_EQ(b.button->disableImage()->name(), std::string(b.base) + "_disable");
        ASSERT_NE(b.button->textField(), nullptr);
        EXPECT_EQ(b.button->textField()->stringValue(), b.text);
        EXPECT_EQ(b.button->textField()->font()->pointSize(), 12);
    }

    // Only the close button shows, and it closes the dialog.
    NSButton* close = window->standardWindowButton(NSWindowCloseButton);
    ASSERT_NE(close, nullptr);
    EXPECT_FALSE(close->isHidden());
    EXPECT_EQ(close->action(), SEL("closeWindow:"));
    EXPECT_EQ(close->target().lock(), controller);
    for (NSWindowButton kind : {NSWindowMiniaturizeButton, NSWindowZoomButton})
        if (NSButton* other = window->standardWindowButton(kind)) {
            EXPECT_TRUE(other->isHidden());
        }

    EXPECT_EQ(outline->rowHeight(), 44);
    ASSERT_TRUE(outline->headerView());
    EXPECT_EQ(outline->headerView()->frame().size.height, 28);
    const char* identifiers[] = {"Name", "Size", "open", "First"};
    ASSERT_EQ(outline->numberOfColumns(), 4);
    for (long i = 0; i < 4; ++i)
        EXPECT_EQ(outline->tableColumns()[std::size_t(i)]->identifier(), identifiers[i]);
    EXPECT_TRUE(std::dynamic_pointer_cast<NewButton>(
        outline->tableColumnWithIdentifier("Name")->dataCell()));
    EXPECT_TRUE(std::dynamic_pointer_cast<AMDisclosureArrowCell>(
        outline->tableColumnWithIdentifier("open")->dataCell()));
}

TEST_F(ReviewTree, HeadlineCountsTheGroupsWithTheNumberInGreenRegularTwentyPointsCentred) {
    auto text = controller->nodeLabel()->attributedStringValue();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->string(), "Do your want to uninstall the selected 3 application(s)?");
    const std::size_t digit = ns::length("Do your want to uninstall the selected ");
    const Ref<NSFont> own = controller->nodeLabel()->font();
    ASSERT_TRUE(own);
    EXPECT_EQ(own->pointSize(), 16);
    bool sawDigit = false;
    for (const NSAttributedString::Run& run : text->runs()) {
        auto style =
            std::any_cast<Ref<NSParagraphStyle>>(run.attributes.at(NSParagraphStyleAttributeName));
        EXPECT_EQ(style->alignment(), NSCenterTextAlignment);
        const bool isDigit = run.range.location == digit;
        if (!isDigit) {
            EXPECT_TRUE(run.range.location + run.range.length <= digit ||
                        run.range.location > digit)
                << run.range.location;
            // The rest of the text keeps the label's own face and colour.
            if (run.attributes.count(NSFontAttributeName)) {
                auto font = std::any_cast<Ref<NSFont>>(run.attributes.at(NSFontAttributeName));
                EXPECT_EQ(font->pointSize(), own->pointSize());
            }
            if (run.attributes.count(NSForegroundColorAttributeName)) {
                auto color =
                    std::any_cast<Ref<NSColor>>(run.attributes.at(NSForegroundColorAttributeName));
                EXPECT_NEAR(color->greenComponent(), 0.949, 1e-3);
            }
            continue;
        }
        sawDigit = true;
        EXPECT_EQ(run.range.length, 1u);
        auto font = std::any_cast<Ref<NSFont>>(run.attributes.at(NSFontAttributeName));
        EXPECT_EQ(font->familyName(), "DejaVu Sans");
        EXPECT_EQ(font->pointSize(), 20);
        auto color = std::any_cast<Ref<NSColor>>(run.attributes.at(NSForegroundColorAttributeName));
        EXPECT_NEAR(color->redComponent(), 49 / 255.0, 1e-6);
        EXPECT_NEAR(color->greenComponent(), 190 / 255.0, 1e-6);
        EXPECT_NEAR(color->blueComponent(), 106 / 255.0, 1e-6);
        EXPECT_EQ(color->alphaComponent(), 1.0);
    }
    EXPECT_TRUE(sawDigit);
}

TEST_F(ReviewTree, OpensWithRowZeroHighlightedAndExpandedAndEveryRecordTicked) {
    EXPECT_EQ(outline->isSelectRow(), 0);
    EXPECT_TRUE(outline->isItemExpanded(group(0)));
    EXPECT_FALSE(outline->isItemExpanded(group(1)));
    // Group 0, its three records (the bundle again first), then groups 1 and 2.
    ASSERT_EQ(outline->numberOfRows(), 6);
    EXPECT_EQ(outline->itemAtRow(0), group(0));
    EXPECT_EQ(outline->itemAtRow(1), records(0)[0]);
    EXPECT_EQ(outline->itemAtRow(4), group(1));
    EXPECT_EQ(controller->rootArr(), (std::vector<std::string>{"0", "4", "5"}));
    EXPECT_EQ(outline->isRootArr(), controller->rootArr());
    EXPECT_EQ(ticked(), allRecords());

    outline->expandItem(nullptr, true);
    ASSERT_EQ(outline->numberOfRows(), 9);
    for (long row = 0; row < outline->numberOfRows(); ++row)
        EXPECT_EQ(tickOf(row), "sel") << row;
}

TEST_F(ReviewTree, TicksFollowClicksOnRecordsAndGroups) {
    struct Step {
        const char* what;
        long row;  // clicked check box
        const char* groupTick;
        const char* fileTick;  // of row 2
        std::size_t tickedCount;
    };
    // Row 0 is Alpha's group, rows 1 to 3 its records.
    const Step steps[] = {
        {"unticking one file makes the group partly ticked", 2, "halfsel", "unsel", 5},
        {"the partly ticked group ticks all of its records", 0, "sel", "sel", 6},
        {"the fully ticked group unticks all", 0, "unsel", "unsel", 3},
        {"a file of an unticked group", 2, "halfsel", "sel", 4},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        clickTick(s.row);
        EXPECT_EQ(outline->selectedRow(), s.row);
        EXPECT_EQ(controller->selectCell(), outline->itemAtRow(s.row));
        EXPECT_EQ(tickOf(0), s.groupTick);
        EXPECT_EQ(tickOf(2), s.fileTick);
        EXPECT_EQ(controller->selectDeletePath().size(), s.tickedCount);
    }
    // Retaken records go to the end, in group order.
    EXPECT_EQ(controller->selectDeletePath().back(), records(0)[1]);
    // Other groups were never touched.
    EXPECT_EQ(tickOf(4), "sel");
    EXPECT_EQ(tickOf(5), "sel");
}

TEST_F(ReviewTree, UninstallIsUsableExactlyWhileSomethingIsTicked) {
    // Collapse nothing: rows 0 (Alpha), 1-3, 4 (Beta), 5 (Gamma).
    for (long row : {0L, 4L, 5L}) {
        EXPECT_TRUE(controller->uninstallButton()->isButtonEnabled()) << row;
        clickTick(row);
    }
    EXPECT_TRUE(controller->selectDeletePath().empty());
    EXPECT_FALSE(controller->uninstallButton()->isButtonEnabled());
    // An unusable button ignores the click: nothing happens later.
    pt::postClick(*window, middleOf(*controller->uninstallButton()));
    pt::pumpEvents();
    EXPECT_TRUE(window->isVisible());

    clickTick(3);
    EXPECT_TRUE(controller->uninstallButton()->isButtonEnabled());
    EXPECT_EQ(controller->selectDeletePath(), (std::vector<Ref<AMAppItem>>{records(0)[2]}));
}

TEST_F(ReviewTree, GroupRowsShowTheSumOfTheirRecordsAndRecordsTheirOwnSize) {
    NSTableColumn* size = outline->tableColumnWithIdentifier("Size");
    NSTableColumn* first = outline->tableColumnWithIdentifier("First");
    NSTableColumn* name = outline->tableColumnWithIdentifier("Name");
    auto value = [&](NSTableColumn* c, const Ref<NSObject>& item) {
        std::any v = controller->objectValueForTableColumn(outline, c, item);
        const auto* s = std::any_cast<std::string>(&v);
        return s ? *s : std::string("<none>");
    };
    const std::uint64_t alpha = 2000000 + 1500 + 500000;
    struct Case {
        const char* what;
        Ref<NSObject> item;
        NSTableColumn* column;
        std::string want;
    };
    const Case cases[] = {
        {"Alpha's group, bundle included", group(0), size,
         AMPublicUtilities::convertVolSpace(alpha)},
        {"the group's other columns too", group(0), first,
         AMPublicUtilities::convertVolSpace(alpha)},
        {"the group row is named after its bundle", group(0), name, "Alpha"},
        {"Alpha's bundle row alone", records(0)[0], size, "2.00 MB"},
        {"a file row", records(0)[2], size, "500.00 KB"},
        {"a file row shows nothing in other columns", records(0)[2], first, "<none>"},
        {"Beta's group", group(1), size, AMPublicUtilities::convertVolSpace(3250000 + 10000)},
        {"a group of one bundle", group(2), size, "1.00 MB"},
        {"no item", nullptr, size, "<none>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(value(c.column, c.item), c.want) << c.what;
    // The drawn cell shows the sum as well.
    EXPECT_EQ(outline->preparedCellAtColumn(column("Size"), 0)->stringValue(),
              AMPublicUtilities::convertVolSpace(alpha));

    // An empty group shows and draws nothing.
    auto empty = AMRelatedFilesGroup::make();
    EXPECT_EQ(value(size, empty), "<none>");
    EXPECT_EQ(value(name, empty), "<none>");
    EXPECT_EQ(controller->numberOfChildrenOfItem(outline, empty), 0);
    EXPECT_EQ(controller->child(outline, 0, empty), nullptr);
    EXPECT_EQ(controller->child(outline, 3, nullptr), nullptr);
}

TEST_F(ReviewTree, TheArrowOpensAndClosesTheClickedGroupOnly) {
    auto arrowOf = [&](long row) {
        Ref<NSCell> cell = outline->preparedCellAtColumn(column("open"), row);
        return cell->image() ? cell->image()->name() : std::string("<none>");
    };
    EXPECT_EQ(arrowOf(0), "arrow_w_open");
    EXPECT_EQ(arrowOf(1), "<none>");
    EXPECT_EQ(arrowOf(4), "arrow_w");

    clickArrow(4);  // Beta opens below Alpha's records
    EXPECT_TRUE(outline->isItemExpanded(group(1)));
    EXPECT_TRUE(outline->isItemExpanded(group(0)));
    EXPECT_EQ(outline->numberOfRows(), 8);
    EXPECT_EQ(arrowOf(4), "arrow_w_open");
    EXPECT_EQ(outline->isSelectRow(), -1);
    EXPECT_EQ(controller->selectCell(), nullptr);
    EXPECT_EQ(controller->rootArr(), (std::vector<std::string>{"0", "4", "7"}));
    EXPECT_EQ(outline->isRootArr(), controller->rootArr());

    clickArrow(0);  // Alpha closes
    EXPECT_FALSE(outline->isItemExpanded(group(0)));
    EXPECT_EQ(outline->numberOfRows(), 5);
    EXPECT_EQ(arrowOf(0), "arrow_w");
    EXPECT_EQ(controller->rootArr(), (std::vector<std::string>{"0", "1", "4"}));

    // A click in the arrow column of a file row changes nothing.
    clickArrow(2);
    EXPECT_EQ(outline->numberOfRows(), 5);
    // Ticks are not touched by the arrow.
    EXPECT_EQ(controller->selectDeletePath().size(), 6u);
}

TEST_F(ReviewTree, ChoosingTheHighlightedRowAgainRemovesTheHighlight) {
    // A click on a row's name (not its check box) selects and highlights it.
    auto clickName = [&](long row) {
        NSRect cell = outline->frameOfCellAtColumn(column("Name"), row);
        clickInOutline(NSMakePoint(cell.origin.x + 200, NSMidY(cell)));
    };
    clickName(2);
    EXPECT_EQ(outline->isSelectRow(), 2);
    clickName(4);
    EXPECT_EQ(outline->isSelectRow(), 4);
    EXPECT_EQ(controller->selectDeletePath().size(), 6u);  // no tick changed
    // The same item chosen again (selection moved away and back programmatically).
    controller->shouldSelectItem(outline, outline->itemAtRow(4));
    controller->outlineViewSelectionDidChange(NSNotification("", nullptr));
    EXPECT_EQ(outline->isSelectRow(), -1);
    controller->sohwSystemNode();
    EXPECT_FALSE(controller->uninstallButton()->isButtonEnabled());
}

TEST_F(ReviewTree, NoEditingAndNoColumnSelection) {
    for (const auto& c : outline->tableColumns()) {
        EXPECT_EQ(controller->shouldEditTableColumn(outline, c.get(), group(0)),
                  std::optional<bool>(false));
        EXPECT_EQ(controller->shouldSelectTableColumn(outline, c.get()),
                  std::optional<bool>(false));
    }
}

TEST_F(ReviewDialog, FileRowsCarryTheirFullPathAsToolTip) {
    makeGroups({{{"Alpha", "Applications/Alpha.app", "2.00 MB"},
                 {"Alpha", "Library/Caches/Alpha", "1.00 KB"},
                 {"Alpha", "Library/Application Support/Alpha", "3.00 KB"}},
                {{"Beta", "Applications/Beta.app", "1.00 MB"}}});
    open();
    outline->expandItem(group(1));
    ASSERT_EQ(outline->numberOfRows(), 6);  // Alpha and its three files, Beta and its one
    for (long row = 0; row < outline->numberOfRows(); ++row) {
        SCOPED_TRACE(row);
        Ref<NSObject> item = outline->itemAtRow(row);
        auto record = std::dynamic_pointer_cast<AMAppItem>(item);
        const std::optional<std::string> expected =
            record ? std::optional<std::string>(record->path()) : std::nullopt;
        for (const char* identifier : {"Name", "Size", "open"}) {
            SCOPED_TRACE(identifier);
            const NSPoint point = NSMakePoint(NSMidX(outline->rectOfColumn(column(identifier))),
                                              NSMidY(outline->rectOfRow(row)));
            EXPECT_EQ(outline->toolTipAtPoint(point), expected);
        }
    }
    // The three rows named Alpha tell their files apart.
    EXPECT_EQ(outline->toolTipAtPoint(NSMakePoint(10, NSMidY(outline->rectOfRow(2)))),
              files / "Library/Caches/Alpha");
    EXPECT_EQ(outline->toolTipAtPoint(NSMakePoint(10, NSMidY(outline->rectOfRow(3)))),
              files / "Library/Application Support/Alpha");
}

TEST_F(ReviewDialog, DrawsAPolishedDarkDialogForTwoGroups) {
    makeGroups({{{"Alpha", "Applications/Alpha.app", "182.40 MB"},
                 {"com.alpha.Alpha.plist", "Library/Preferences/com.alpha.Alpha.plist", "4.10 KB"},
                 {"com.alpha.Alpha", "Library/Caches/com.alpha.Alpha", "12.52 MB"}},
                {{"Beta Studio", "Applications/Beta Studio.app", "1.21 GB"},
                 {"Beta Studio", "Library/Application Support/Beta Studio", "88.00 MB"}}});
    open();
    auto surface = pt::renderWindow(*window);
    ASSERT_TRUE(surface);
    if (const char* path = std::getenv("REVIEW_DIALOG_PNG")) {
        EXPECT_TRUE(pt::renderWindowToPNG(*window, path));
    }
    auto px = [&](double x, double y) {
        return surface->pixelAt(int(x), surface->pixelsHigh() - 1 - int(y));
    };
    auto near = [](NSGraphicsContext::Pixel p, int r, int g, int b, int tolerance = 8) {
        return std::abs(p.r - r) <= tolerance && std::abs(p.g - g) <= tolerance &&
               std::abs(p.b - b) <= tolerance;
    };
    // The panel grey between the headline and the list; the corners stay clear.
    EXPECT_TRUE(near(px(360, 386), 51, 55, 58));
    EXPECT_EQ(px(0.5, 0.5).a, 0);
    // Row 0 carries the highlight (white at 0.08 over the dialog row), row 2 does not.
    NSRect row0 = outline->convertRectToView(outline->rectOfRow(0), nullptr);
    NSRect row2 = outline->convertRectToView(outline->rectOfRow(2), nullptr);
    EXPECT_TRUE(near(px(NSMidX(row0) + 100, NSMaxY(row0) - 18), 67, 71, 74));
    EXPECT_TRUE(near(px(NSMidX(row2) + 100, NSMaxY(row2) - 18), 51, 55, 58));
    // The arrow of group 0 is drawn in white in the arrow column.
    NSRect arrow = outline->convertRectToView(outline->rectOfColumn(column("open")), nullptr);
    bool white = false;
    for (double x = arrow.origin.x; x < NSMaxX(arrow); x += 1) {
        for (double y = NSMaxY(row0) - 44; y < NSMaxY(row0); y += 1) {
            if (px(x, y).r > 200 && px(x, y).g > 200) white = true;
        }
    }
    EXPECT_TRUE(white);
    // The primary button shows green (its rim and its label) on the dark dialog.
    NSRect face = controller->uninstallButton()->convertRectToView(
        controller->uninstallButton()->bounds(), nullptr);
    int green = 0;
    for (double x = face.origin.x; x < NSMaxX(face); x += 1) {
        for (double y = face.origin.y; y < NSMaxY(face); y += 1) {
            auto p = px(x, y);
            if (p.g > p.r + 40 && p.g > 120) ++green;
        }
    }
    EXPECT_GT(green, 100);
}

}  // namespace
