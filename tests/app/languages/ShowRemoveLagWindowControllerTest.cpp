// The confirmation dialog of a language removal: what it opens with, how ticks follow clicks,
// that Cancel deletes nothing and that Remove hands exactly the ticked folders, in tick order,
// to the executor half a second after closing, with every report passed on.

#include <gtest/gtest.h>

#include <any>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "controls/buttons/TextImageButton.h"
#include "controls/lists/MyNewOutlineView.h"
#include "controls/rowcells/NewButton.h"
#include "languages/AMDeleteExecutor.h"
#include "languages/ShowRemoveLagWindowController.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSImageCell.h"
#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/NSWindow.h"
#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/testing/ManualClock.h"
#include "platform/testing/RunLoopPump.h"
#include "platform/testing/WindowTesting.h"
#include "shell/ApplicationClasses.h"
#include "support/FileFixtures.h"
#include "support/ScopedResources.h"

namespace {

namespace fs = std::filesystem;
namespace pt = platform::testing;

/// What the opener is told, from whichever thread tells it.
class Opener : public NSObject, public ShowRemoveLagCleanDelegate {
  public:
    void beginToRemoveSelectLagWithCount(int count) override {
        std::lock_guard lock(mutex);
        begun.push_back(count);
    }
    void deleteRelatedFile(const Ref<ZRTreeNode>& entry) override {
        std::lock_guard lock(mutex);
        removed.push_back(entry->path());
    }
    void deleteRelatedFileFail(const Ref<ZRTreeNode>& entry) override {
        std::lock_guard lock(mutex);
        failed.push_back(entry->path());
    }
    std::size_t reports() {
        std::lock_guard lock(mutex);
        return removed.size() + failed.size();
    }
    std::mutex mutex;
    std::vector<int> begun;
    std::vector<std::string> removed, failed;
};

class RemovalDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        registerApplicationClasses();
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
        opener = std::make_shared<Opener>();
        // German in three applications, French in one.
        german = entry("German", {"Alpha.app", "Beta.app", "Gamma.app"}, "de", "1.00 KB");
        french = entry("French", {"Alpha.app"}, "fr", "2.50 KB");
    }
    void TearDown() override {
        pt::drainQueues();
        if (controller) NSObject::cancelPreviousPerformRequestsWithTarget(controller.get());
        for (NSWindow* w : NSWindow::windows())
            if (w->isVisible()) w->orderOut();
        controller.reset();
        NSApplication::resetSharedApplicationForTesting();
    }

    /// A top node `title` with one leaf per application, each a real folder of `size`.
    Ref<RemovalSelectionEntry> entry(const std::string& title, const std::vector<std::string>& apps,
                                     const std::string& code, const std::string& size) {
        auto top = ZRTreeNode::make();
        top->setTitle(title);
        std::vector<Ref<ZRTreeNode>> leaves;
        for (const std::string& app : apps) {
            const std::string folder = files.mkdir(app + "/Contents/Resources/" + code + ".lproj");
            files.write(app + "/Contents/Resources/" + code + ".lproj/Localizable.strings", "x");
            auto leaf = ZRTreeNode::initLeaf();
            leaf->setTitle(app);
            leaf->setPath(folder);
            leaf->setEntryRecord(platform::recordEntryAtPath(folder));  // as the scan records it
            leaf->setSize(size);
            leaf->setFaterNode(top);
            top->children().push_back(leaf);
            leaves.push_back(leaf);
        }
        return RemovalSelectionEntry::make(top, leaves);
    }
    void open() {
        controller = ShowRemoveLagWindowController::make();
        controller->setDelegate(opener);
        controller->setAllRelaltedFiles({german, french});
        window = controller->window();
        ASSERT_NE(window, nullptr);
        outline = controller->outlineView().get();
        ASSERT_NE(outline, nullptr);
        window->makeKeyAndOrderFront();
        pt::pumpEvents();
    }
    long column(const char* identifier) const { return outline->columnWithIdentifier(identifier); }
    std::string tickOf(const Ref<NSObject>& item) {
        auto cell = std::dynamic_pointer_cast<NewButton>(
            outline->preparedCellAtColumn(column("Name"), outline->rowForItem(item)));
        if (!cell || !cell->selectImageCell() || !cell->selectImageCell()->image()) return "";
        return cell->selectImageCell()->image()->name();
    }
    void clickInOutline(NSPoint point) {
        outline->scrollRowToVisible(outline->rowAtPoint(point));
        pt::postClick(*window, outline->convertPointToView(point, nullptr));
        pt::pumpEvents();
    }
    void clickTick(const Ref<NSObject>& item) {
        const long row = outline->rowForItem(item);
        ASSERT_GE(row, 0);
        NSRect area =
            NewButton::clickAreaForBounds(outline->frameOfCellAtColumn(column("Name"), row));
        clickInOutline(NSMakePoint(NSMidX(area), NSMidY(area)));
    }
    void clickArrow(const Ref<NSObject>& item) {
        NSRect col = outline->rectOfColumn(column("open"));
        NSRect r = outline->rectOfRow(outline->rowForItem(item));
        clickInOutline(NSMakePoint(NSMidX(col), NSMidY(r)));
    }
    std::vector<std::string> tickedPaths() const {
        std::vector<std::string> out;
        for (const auto& leaf : controller->selectDeletePath())
            out.push_back(leaf->path());
        return out;
    }
    const Ref<ZRTreeNode>& leaf(const Ref<RemovalSelectionEntry>& e, std::size_t i) const {
        return e->leaves().at(i);
    }

    fixtures::TempDir files;
    fixtures::ScopedResources resources{UNINSTALLER_RESOURCES_DIR};
    Ref<NSApplication> app;
    Ref<Opener> opener;
    Ref<RemovalSelectionEntry> german, french;
    Ref<ShowRemoveLagWindowController> controller;
    NSWindow* window = nullptr;
    MyNewOutlineView* outline = nullptr;
};

TEST_F(RemovalDialog, OpensWithEverythingTickedAndAskingForTheNumberOfEntries) {
    open();
    EXPECT_FALSE(window->isOpaque());
    EXPECT_TRUE(window->isMovableByWindowBackground());
    NSButton* close = window->standardWindowButton(NSWindowCloseButton);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->action(), SEL("closeWindow:"));
    const std::pair<Ref<TextImageButton>, const char*> buttons[] = {
        {controller->cancelButton(), "Cancel"}, {controller->uninstallButton(), "Remove"}};
    for (const auto& [button, text] : buttons) {
        ASSERT_TRUE(button);
        EXPECT_TRUE(button->isButtonEnabled()) << text;
        EXPECT_EQ(button->textField()->stringValue(), text);
    }

    EXPECT_EQ(controller->selectDeletePath().size(), 4u);
    EXPECT_TRUE(outline->isItemExpanded(german));
    EXPECT_FALSE(outline->isItemExpanded(french));
    EXPECT_EQ(tickOf(german), "sel");
    EXPECT_EQ(tickOf(french), "sel");
    EXPECT_EQ(outline->isSelectRow(), -1) << "no row is highlighted at first";

    auto question = controller->nodeLabel()->attributedStringValue();
    ASSERT_TRUE(question);
    EXPECT_EQ(question->string(), "Do your want to Remove the selected 2 language(s)?");
    const std::size_t digit = std::string("Do your want to Remove the selected ").size();
    bool sawDigit = false;
    for (const NSAttributedString::Run& run : question->runs()) {
        if (run.range.location != digit) continue;
        sawDigit = true;
        EXPECT_EQ(run.range.length, 1u);
        auto font = std::any_cast<Ref<NSFont>>(run.attributes.at(NSFontAttributeName));
        EXPECT_EQ(font->pointSize(), 20);
        auto color = std::any_cast<Ref<NSColor>>(run.attributes.at(NSForegroundColorAttributeName));
        EXPECT_NEAR(color->greenComponent(), 190 / 255.0, 1e-6);
    }
    EXPECT_TRUE(sawDigit);

    // A group's size counts all of its folders, ticked or not.
    NSTableColumn* size = outline->tableColumnWithIdentifier("Size");
    auto sizeOf = [&](const Ref<NSObject>& item) {
        return std::any_cast<std::string>(
            controller->objectValueForTableColumn(outline, size, item));
    };
    EXPECT_EQ(sizeOf(german), "3.00 KB");
    clickTick(leaf(german, 0));
    EXPECT_EQ(sizeOf(german), "3.00 KB");
    EXPECT_EQ(sizeOf(leaf(german, 1)), "1.00 KB");
}

TEST_F(RemovalDialog, TicksFollowClicksAndKeepTheOrderOfTicking) {
    open();
    const std::string a = leaf(german, 0)->path(), b = leaf(german, 1)->path(),
                      c = leaf(german, 2)->path(), f = leaf(french, 0)->path();
    struct Step {
        Ref<NSObject> clicked;
        std::vector<std::string> ticked;
        const char* germanTick;
        bool removable;
    } steps[] = {
        {german, {f}, "unsel", true},  // a fully ticked group unticks all of its folders
        {german, {f, a, b, c}, "sel", true},
        {leaf(german, 1), {f, a, c}, "halfsel", true},
        {german, {f, a, c, b}, "sel", true},  // only the missing folder joins, at the end
        {french, {a, c, b}, "sel", true},
        {german, {}, "unsel", false},  // nothing left: Remove is unusable
        {leaf(german, 2), {c}, "halfsel", true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(std::to_string(&s - steps));
        clickTick(s.clicked);
        EXPECT_EQ(tickedPaths(), s.ticked);
        EXPECT_EQ(tickOf(german), s.germanTick);
        EXPECT_EQ(controller->uninstallButton()->isButtonEnabled(), s.removable);
    }
}

TEST_F(RemovalDialog, HighlightFollowsSelectionAndTheArrow) {
    open();
    const long row = outline->rowForItem(leaf(german, 1));
    controller->shouldSelectItem(outline, leaf(german, 1));
    EXPECT_EQ(outline->isSelectRow(), row);
    controller->outlineViewSelectionDidChange(NSNotification("", nullptr));
    EXPECT_EQ(outline->isSelectRow(), row) << "a newly approved row stays highlighted";
    controller->outlineViewSelectionDidChange(NSNotification("", nullptr));
    EXPECT_EQ(outline->isSelectRow(), -1) << "a change without a new row removes it";

    controller->shouldSelectItem(outline, french);
    clickArrow(french);
    EXPECT_TRUE(outline->isItemExpanded(french));
    EXPECT_EQ(outline->isSelectRow(), -1);
    clickArrow(german);
    EXPECT_FALSE(outline->isItemExpanded(german));
    EXPECT_EQ(controller->rootArr(), (std::vector<std::string>{"0", "1"}));
}

TEST_F(RemovalDialog, CancelAndTheCloseButtonDeleteNothing) {
    for (const char* action : {"clickedCancelBtn:", "closeWindow:"}) {
        SCOPED_TRACE(action);
        open();
        controller->performSelector(SEL(action), std::string());
        EXPECT_FALSE(window->isVisible());
        // Longer than the half second a removal waits before it starts.
        EXPECT_FALSE(pt::runMainLoopUntil([] { return false; }, 0.7));
        EXPECT_FALSE(controller->deleteExecutor());
        EXPECT_TRUE(opener->begun.empty());
        for (const auto& e : {german, french})
            for (const auto& l : e->leaves())
                EXPECT_TRUE(fs::exists(l->path()));
    }
}

TEST_F(RemovalDialog, RemoveHandsTheTickedFoldersOverHalfASecondAfterClosing) {
    open();
    clickTick(leaf(german, 1));  // keep one folder
    const std::vector<std::string> ticked = tickedPaths();
    ManualClock::Installed clock;
    controller->clickedDeleteBtn(nullptr);
    EXPECT_FALSE(window->isVisible()) << "the dialog closes at once";
    clock->advance(0.4);
    pt::pumpEvents();
    EXPECT_FALSE(controller->deleteExecutor());
    clock->advance(0.2);
    pt::pumpEvents();
    ASSERT_TRUE(controller->deleteExecutor());
    EXPECT_EQ(controller->allSelectCount(), 3);
    std::vector<std::string> handed;
    for (const auto& l : controller->deleteExecutor()->trashFiles())
        handed.push_back(l->path());
    EXPECT_EQ(handed, ticked);
    EXPECT_EQ(opener->begun, std::vector<int>{3});

    pt::drainQueues();
    EXPECT_EQ(opener->reports(), 3u);
    EXPECT_EQ(opener->removed, ticked) << "every report passes on, in deletion order";
    for (const std::string& path : ticked)
        EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(fs::exists(leaf(german, 1)->path()));
}

}  // namespace
