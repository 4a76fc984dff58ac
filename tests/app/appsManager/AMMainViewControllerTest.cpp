// Catches a screen controller that shows the wrong headline or places the summary badly, styles
// the wrong part of the summary, enables Uninstall wrongly, loses a list's ticks or order when
// the sidebar switches, keeps the empty image after a refresh found items, closes the sort
// pop-up at the wrong time (or lets a replaced pop-up's timer close the new one), forwards
// searches to no list, opens a review during a scan, hands the review the wrong groups, or
// drops the wrong rows (or rescans when it should not) after a road.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "appsManager/AMAppItem.h"
#include "appsManager/AMAppsViewController.h"
#include "appsManager/AMMainViewController.h"
#include "appsManager/AMPublicUtilities.h"
#include "appsManager/AMRelatedFilesGroup.h"
#include "appsManager/AMRelatedFilesWindowController.h"
#include "controls/buttons/TCImageButton.h"
#include "controls/lists/CustomTableView.h"
#include "controls/searchbox/NewSearchTextFiled.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSImageView.h"
#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSWindow.h"
#include "platform/foundation/NSIndexSet.h"
#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/testing/ManualClock.h"
#include "platform/testing/RunLoopPump.h"
#include "platform/testing/WindowTesting.h"
#include "shell/ApplicationClasses.h"
#include "support/FileFixtures.h"
#include "support/ScopedResources.h"
#include "windows/PopWindow/StatusAttachedWindow.h"

namespace pt = platform::testing;
namespace fs = std::filesystem;

namespace {

class ScreenWindow : public NSWindow {
  public:
    bool canBecomeKeyWindow() const override { return true; }
    bool canBecomeMainWindow() const override { return true; }
};

/// What the review dialogs handed out would have shown: the paths of each group.
struct Reviews {
    int opened = 0;
    std::vector<std::vector<std::string>> groups;
    static void record(AMRelatedFilesWindowController* review, void* context) {
        auto* self = static_cast<Reviews*>(context);
        self->opened++;
        self->groups.clear();
        if (!review->allRelaltedFiles()) return;
        for (const Ref<AMRelatedFilesGroup>& group : *review->allRelaltedFiles()) {
            std::vector<std::string> paths;
            for (const Ref<AMAppItem>& record : group->records())
                paths.push_back(record->path());
            self->groups.push_back(paths);
        }
    }
};

class UninstallScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        registerApplicationClasses();
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
        AMMainViewController::setReviewRunnerForTesting(&Reviews::record, &reviews);
        fs::create_directories(root / "Applications");
        fs::create_directories(home / "Library");
    }
    void TearDown() override {
        if (screen) {
            for (int kind = 0; kind < 4; ++kind)
                if (AMAppsViewController* list = screen->listOfKind(kind)) waitForScan(list);
        }
        pt::drainQueues();
        if (window) window->orderOut();
        screen.reset();
        window.reset();
        AMMainViewController::setReviewRunnerForTesting(nullptr, nullptr);
        NSApplication::resetSharedApplicationForTesting();
    }

    /// An application "<name>.app" of `bytes` bytes in the volume's Applications folder.
    std::string application(const std::string& name, int bytes = 1000) {
        const std::string path = root / ("Applications/" + name + ".app");
        fs::create_directories(path + "/Contents/MacOS");
        std::ofstream(path + "/Contents/Info.plist")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
            << "<key>CFBundleName</key><string>" << name << "</string>"
            << "<key>CFBundleIdentifier</key><string>test." << name << "</string>"
            << "<key>CFBundleShortVersionString</key><string>1.0</string></dict></plist>\n";
        std::ofstream(path + "/Contents/MacOS/main", std::ios::binary) << std::string(bytes, 'x');
        return path;
    }
    /// A file below the home folder (its folders made).
    std::string homeFile(const std::string& relative) {
        const std::string path = home / relative;
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path) << "data";
        return path;
    }

    /// Builds the screen as the application delegate does and waits for the first scan.
    void openScreen() {
        window = std::make_shared<ScreenWindow>();
        window->initWithContentRect(NSMakeRect(0, 0, 800, 648), NSWindowStyleMaskBorderless,
                                    NSBackingStoreBuffered, false);
        screen = std::make_shared<AMMainViewController>();
        screen->initWithNibName("AMMainViewController", nullptr);
        screen->setMainWindow(window.get());
        ASSERT_TRUE(screen->view());
        window->contentView()->addSubview(screen->viewRef());
        screen->loadAmMainVC();
        screen->selectShowTypes(0);
        screen->changeTopBarViewWith(0);
        window->makeKeyAndOrderFront();
        ASSERT_TRUE(screen->currentList());
        waitForScan(screen->currentList());
    }
    /// Turns the main loop until `list`'s scan has ended and its reports (sizes included)
    /// have arrived. A size task waits for the main thread, so the loop must keep turning.
    static void waitForScan(AMAppsViewController* list) {
        EXPECT_TRUE(pt::runMainLoopUntil([&] {
            if (list->isScan()) return false;
            for (const auto& item : list->showAllValues())
                if (item->bIsGetSize() && item->size() == "0KB") return false;
            return true;
        }));
        pt::drainQueues();
    }
    AMAppsViewController* list() const { return screen->currentList(); }
    std::vector<std::string> names(const std::vector<Ref<AMAppItem>>& items) const {
        std::vector<std::string> out;
        for (const auto& item : items)
            out.push_back(item->name());
        return out;
    }
    long rowNamed(const std::string& name) const {
        const auto& shown = list()->showAllValues();
        for (std::size_t row = 0; row < shown.size(); ++row)
            if (shown[row]->name() == name) return static_cast<long>(row);
        return -1;
    }
    /// Selects the row of `name` as a click would and toggles its tick.
    void tick(const std::string& name) {
        const long row = rowNamed(name);
        ASSERT_GE(row, 0) << name;
        list()->shouldSelectRow(list()->tableView(), row);
        list()->tableView()->selectRowIndexes(NSIndexSet::indexSetWithIndex(row), false);
        list()->selectUninstallApp();
    }
    std::string header() const {
        return list()->tableView()->tableColumnWithIdentifier("appname")->title();
    }
    bool shows(NSView* v) const { return v && v->superview() && !v->isHidden(); }

    fixtures::TempDir home, root;
    fixtures::ScopedEnv homeEnv{"HOME", home.path()};
    fixtures::ScopedEnv rootEnv{"UNINSTALLER_ROOT", root.path()};
    fixtures::ScopedResources resources{UNINSTALLER_RESOURCES_DIR};
    Reviews reviews;
    Ref<NSApplication> app;
    Ref<ScreenWindow> window;
    Ref<AMMainViewController> screen;
};

TEST_F(UninstallScreen, HeadlineTextsAndSummaryPlace) {
    openScreen();
    struct Case {
        int entry;
        const char* title;
        const char* subtitle;
    };
    const Case cases[] = {
        {0, "Applications", "Easily and completely uninstall unnecessary applications."},
        {1, "Plugins", "Uninstall useless plug-ins to save more disk space."},
        {2, "PreferencesPanes", "Uninstall useless PreferencesPanes to save more disk space."},
        {3, "Widgets", "Uninstall useless Widgets to save more disk space."},
        {4, "multi-language", "Remove unnecessary multi-language files."},
        {5, " ", " "},
        {6, "Applications", "Easily and completely uninstall unnecessary applications."},
        {-1, "Applications", "Easily and completely uninstall unnecessary applications."},
    };
    for (const Case& c : cases) {
        screen->changeTopBarViewWith(c.entry);
        EXPECT_EQ(screen->titleLabel()->stringValue(), c.title) << c.entry;
        EXPECT_EQ(screen->nodeLabel()->stringValue(), c.subtitle) << c.entry;
        EXPECT_EQ(screen->aSelectType(), c.entry);
        const double w = AMMainViewController::getWidthWithTitle(c.title);
        EXPECT_EQ(screen->selectLabel()->frame().origin, NSMakePoint(w + 21, 584)) << c.entry;
    }
    // The measure is the 24-point text's: a longer title is wider, a blank is narrow.
    const double blank = AMMainViewController::getWidthWithTitle(" ");
    const double apps = AMMainViewController::getWidthWithTitle("Applications");
    EXPECT_GT(apps, 100);
    EXPECT_LT(blank, 20);
    EXPECT_GT(AMMainViewController::getWidthWithTitle("PreferencesPanes"), apps);
}

TEST_F(UninstallScreen, SummaryGreensTheCountAndTheNumberOnly) {
    openScreen();
    const float total = 12350000;
    const std::string number = AMPublicUtilities::getSizeNoB(12350000);
    ASSERT_FALSE(number.empty());
    struct Case {
        int count;
        std::string label;
        std::vector<std::string> green;  // the texts expected green, by first occurrence
    };
    const std::vector<Case> cases = {
        {3, "Selected:  3/10  (" + number + " MB)", {"3", number}},
        {7, "Selected:  7/10", {"7"}},
        {3, "Total " + number, {number}},
        {2, "Nothing to say", {}},
        {0, " ", {}},
    };
    Ref<NSColor> labelColour = screen->selectLabel()->textColor();
    ASSERT_TRUE(labelColour);
    for (const Case& c : cases) {
        screen->changeUninstallState(c.count, total, c.label);
        Ref<NSAttributedString> shown = screen->selectLabel()->attributedStringValue();
        ASSERT_TRUE(shown);
        ASSERT_EQ(shown->string(), c.label);
        std::vector<bool> expected(c.label.size(), false);
        for (const std::string& part : c.green) {
            const auto at = c.label.find(part);
            ASSERT_NE(at, std::string::npos);
            std::fill_n(expected.begin() + static_cast<long>(at), part.size(), true);
        }
        for (std::size_t i = 0; i < c.label.size(); ++i) {
            NSAttributes attrs = shown->attributesAtIndex(i);
            Ref<NSColor> colour;
            if (auto it = attrs.find(NSForegroundColorAttributeName); it != attrs.end())
                if (auto* ref = std::any_cast<Ref<NSColor>>(&it->second)) colour = *ref;
            Ref<NSFont> font;
            if (auto it = attrs.find(NSFontAttributeName); it != attrs.end())
                if (auto* ref = std::any_cast<Ref<NSFont>>(&it->second)) font = *ref;
            ASSERT_TRUE(colour) << c.label << " at " << i;
            ASSERT_TRUE(font) << c.label << " at " << i;
            const bool green = std::abs(colour->redComponent() * 255 - 48) < 0.6 &&
                               std::abs(colour->greenComponent() * 255 - 207) < 0.6 &&
                               std::abs(colour->blueComponent() * 255 - 110) < 0.6;
            if (expected[i]) {
                EXPECT_TRUE(green) << c.label << " at " << i;
                EXPECT_EQ(font->pointSize(), 14);
                EXPECT_EQ(font->fontName(), NSFont::systemFontOfSize(14)->fontName());
            } else {
                // The rest keeps the label's own colour.
                EXPECT_FALSE(green) << c.label << " at " << i << " is green";
                EXPECT_NEAR(colour->alphaComponent(), labelColour->alphaComponent(), 0.01)
                    << c.label << " at " << i;
            }
        }
    }
}

TEST_F(UninstallScreen, UninstallButtonFollowsTheTickCount) {
    application("Alpha");
    application("Beta");
    openScreen();
    ASSERT_EQ(list()->showAllValues().size(), 2u);
    EXPECT_FALSE(screen->uninstallButton()->isEnabled()) << "nothing is ticked at the start";
    const std::pair<int, bool> cases[] = {{1, true}, {256, true}, {0, false}, {1, true}};
    for (auto [count, enabled] : cases) {
        screen->changeUninstallState(count, 0, "Selected");
        EXPECT_EQ(screen->uninstallButton()->isEnabled(), enabled) << count;
    }
    // Through the list: ticking one, then unticking the last one.
    screen->changeUninstallState(0, 0, " ");
    tick("Alpha");
    EXPECT_TRUE(screen->uninstallButton()->isEnabled());
    EXPECT_NE(screen->selectLabel()->stringValue(), " ");
    tick("Alpha");
    EXPECT_FALSE(screen->uninstallButton()->isEnabled());
    EXPECT_EQ(screen->selectLabel()->stringValue(), " ");
}

TEST_F(UninstallScreen, SwitchingKindsKeepsTheListItsTicksAndItsOrder) {
    application("Alpha", 100);
    application("Beta", 90000);
    application("Gamma", 5000);
    fs::create_directories(root / "Library/Internet Plug-Ins/Flash.plugin/Contents");
    openScreen();
    AMAppsViewController* apps = list();
    screen->sortActionBy(2, 2);
    const auto order = names(apps->showAllValues());
    tick("Gamma");
    ASSERT_EQ(names(apps->uninsatllAppArr()), std::vector<std::string>{"Gamma"});

    screen->selectShowTypes(1);
    screen->changeTopBarViewWith(1);
    AMAppsViewController* plugins = screen->listOfKind(1);
    ASSERT_TRUE(plugins);
    waitForScan(plugins);
    EXPECT_EQ(list(), plugins);
    EXPECT_FALSE(apps->view()->superview()) << "the applications list stays on screen";
    EXPECT_EQ(plugins->view()->superview(), screen->view());
    EXPECT_FALSE(screen->uninstallButton()->isEnabled()) << "nothing is ticked in plug-ins";

    screen->selectShowTypes(0);
    screen->changeTopBarViewWith(0);
    EXPECT_EQ(screen->listOfKind(0), apps) << "the applications list was made again";
    EXPECT_EQ(screen->listOfKind(1), plugins);
    EXPECT_FALSE(apps->isScan()) << "switching back scanned again";
    EXPECT_EQ(names(apps->showAllValues()), order);
    EXPECT_EQ(names(apps->uninsatllAppArr()), std::vector<std::string>{"Gamma"});
    EXPECT_EQ(apps->view()->superview(), screen->view());
    EXPECT_FALSE(plugins->view()->superview());
    EXPECT_TRUE(screen->uninstallButton()->isEnabled()) << "the kept tick enables Uninstall";
}

TEST_F(UninstallScreen, EmptyWidgetListShowsTheImageUntilRefreshFindsOne) {
    openScreen();
    screen->selectShowTypes(3);
    screen->changeTopBarViewWith(3);
    AMAppsViewController* widgets = list();
    ASSERT_TRUE(widgets);
    waitForScan(widgets);
    EXPECT_TRUE(shows(screen->emptyIcon()));
    EXPECT_FALSE(shows(widgets->view()));

    fs::create_directories(home / "Library/Widgets/Clock.wdgt/Contents");
    std::ofstream(home / "Library/Widgets/Clock.wdgt/Contents/main") << "x";
    screen->refashButtonAction(nullptr);
    EXPECT_FALSE(screen->refreshButton()->isEnabled()) << "refresh stays usable during its scan";
    waitForScan(widgets);
    EXPECT_EQ(widgets->showAllValues().size(), 1u);
    EXPECT_FALSE(shows(screen->emptyIcon()));
    EXPECT_TRUE(shows(widgets->view()));
    // The refresh button comes back a second after the scan ended.
    EXPECT_TRUE(pt::runMainLoopUntil([&] { return screen->refreshButton()->isEnabled(); }, 3));
}

TEST_F(UninstallScreen, SortPopUpCloses) {
    application("Small", 100);
    application("Large", 90000);
    application("Medium", 5000);
    openScreen();
    // Sizes are computed for rows once they are drawn; the size sort below needs all three,
    // or it would keep the folder's listing order.
    AMAppsViewController* apps = list();
    pt::renderWindow(*window);
    EXPECT_TRUE(pt::runMainLoopUntil([&] {
        const auto& items = apps->showAllValues();
        return std::all_of(items.begin(), items.end(),
                           [](const auto& item) { return item->size() != "0KB"; });
    }));
    ManualClock::Installed clock;
    auto turn = [&](double seconds) {
        clock->advance(seconds);
        pt::pumpEvents();
    };
    auto isChild = [&](StatusAttachedWindow* popUp) {
        const auto& children = window->childWindows();
        return std::find(children.begin(), children.end(), popUp) != children.end();
    };

    // Never entered: closes 2 seconds after opening.
    screen->sortButtonAction(nullptr);
    StatusAttachedWindow* popUp = screen->sortAttachedWindow();
    ASSERT_TRUE(popUp);
    EXPECT_TRUE(isChild(popUp));
    turn(1.9);
    EXPECT_EQ(screen->sortAttachedWindow(), popUp);
    turn(0.2);
    EXPECT_FALSE(screen->sortAttachedWindow());
    EXPECT_TRUE(window->childWindows().empty());

    // Entered: stays past the 2 seconds, closes on leaving.
    screen->sortButtonAction(nullptr);
    ASSERT_TRUE(screen->sortAttachedWindow());
    screen->mouseEixtView(false);
    turn(3);
    EXPECT_TRUE(screen->sortAttachedWindow()) << "closed while the pointer was inside";
    screen->mouseEixtView(true);
    EXPECT_FALSE(screen->sortAttachedWindow());
    EXPECT_TRUE(window->childWindows().empty());

    // A choice sorts the current list and closes the pop-up at once.
    screen->sortButtonAction(nullptr);
    screen->mouseEixtView(false);
    screen->sortActionBy(2, 2);
    EXPECT_FALSE(screen->sortAttachedWindow());
    EXPECT_EQ(names(list()->showAllValues()),
              (std::vector<std::string>{"Large", "Medium", "Small"}));
    screen->sortButtonAction(nullptr);
    screen->sortActionBy(1, 1);
    EXPECT_EQ(names(list()->showAllValues()),
              (std::vector<std::string>{"Large", "Medium", "Small"}));
    EXPECT_FALSE(screen->sortAttachedWindow());

    // A second press replaces the pop-up; the first one's timer does not close the second.
    screen->sortButtonAction(nullptr);
    ASSERT_TRUE(screen->sortAttachedWindow());
    // Kept alive here so that the second pop-up cannot take its address.
    auto first = std::dynamic_pointer_cast<StatusAttachedWindow>(
        screen->sortAttachedWindow()->shared_from_this());
    turn(1.5);
    screen->sortButtonAction(nullptr);
    StatusAttachedWindow* second = screen->sortAttachedWindow();
    ASSERT_TRUE(second);
    EXPECT_NE(second, first.get());
    EXPECT_FALSE(isChild(first.get()));
    EXPECT_TRUE(isChild(second));
    turn(1.0);
    EXPECT_EQ(screen->sortAttachedWindow(), second) << "closed by the first pop-up's timer";
    turn(1.1);
    EXPECT_FALSE(screen->sortAttachedWindow());
}

TEST_F(UninstallScreen, SearchBoxMessagesFilterTheCurrentList) {
    application("Photo Tool");
    application("Painter");
    application("Notes");
    openScreen();
    screen->doSearchWithKey(std::string("p"));
    EXPECT_EQ(list()->showAllValues().size(), 2u);
    screen->searchCancelButtonAction();
    EXPECT_EQ(list()->showAllValues().size(), 3u);
    screen->doSearchWithKey(std::string("NOTE"));
    EXPECT_EQ(names(list()->showAllValues()), std::vector<std::string>{"Notes"});
    screen->doSearchWithKey(std::nullopt);
    EXPECT_EQ(list()->showAllValues().size(), 3u);
    // While another screen is shown, nothing is forwarded.
    AMAppsViewController* apps = list();
    screen->changeTopBarViewWith(4);
    screen->doSearchWithKey(std::string("Notes"));
    screen->selectAllButtonAction(nullptr);
    EXPECT_EQ(apps->showAllValues().size(), 3u);
    EXPECT_TRUE(apps->uninsatllAppArr().empty());
}

TEST_F(UninstallScreen, SearchTypedJustAfterARefreshIsEmptiedWithItsBox) {
    application("Photo Tool");
    application("Painter");
    application("Notes");
    openScreen();
    screen->refashButtonAction(nullptr);
    waitForScan(list());
    // Typed before the refresh button comes back, a second after the scan ended.
    NSTextField* field = screen->seachTextField()->textField().get();
    field->setStringValue("Pa");
    screen->doSearchWithKey(std::string("Pa"));
    ASSERT_EQ(names(list()->showAllValues()), std::vector<std::string>{"Painter"});
    ASSERT_TRUE(pt::runMainLoopUntil([&] { return screen->refreshButton()->isEnabled(); }, 3));
    EXPECT_EQ(field->stringValue(), "");
    EXPECT_EQ(list()->showAllValues().size(), 3u) << "filtered by a key the box no longer shows";
}

TEST_F(UninstallScreen, TrashButtonDuringAScanOpensNoReview) {
    application("Alpha");
    openScreen();
    list()->tableView()->selectRowIndexes(NSIndexSet::indexSetWithIndex(0), false);
    list()->setIsScan(true);
    list()->uninstallAppButtonAction();
    pt::drainQueues();
    EXPECT_EQ(reviews.opened, 0);
    EXPECT_FALSE(screen->relatedFilesWinController());
    list()->setIsScan(false);
    list()->uninstallAppButtonAction();
    EXPECT_TRUE(pt::runMainLoopUntil([&] { return reviews.opened == 1; }));
    EXPECT_TRUE(screen->isUninsatllOne());
}

TEST_F(UninstallScreen, TickedRoadReviewsOneGroupPerItemThenRescans) {
    const std::string alpha = application("Alpha");
    const std::string beta = application("Beta");
    application("Gamma");
    const std::string alphaPrefs = homeFile("Library/Preferences/test.Alpha.plist");
    homeFile("Library/Caches/Alpha/cache.db");
    const std::string alphaCache = home / "Library/Caches/Alpha";
    const std::string betaLog = homeFile("Library/Logs/Beta.log");
    openScreen();
    tick("Beta");
    tick("Alpha");
    screen->uninstallAllSelectApps(nullptr);
    ASSERT_TRUE(pt::runMainLoopUntil([&] { return reviews.opened == 1; }));
    EXPECT_FALSE(screen->isUninsatllOne());
    ASSERT_EQ(reviews.groups.size(), 2u);
    // In tick order; each group's first record is its bundle.
    auto has = [](const std::vector<std::string>& group, const std::string& path) {
        return std::find(group.begin(), group.end(), path) != group.end();
    };
    EXPECT_EQ(reviews.groups[0].front(), beta);
    EXPECT_TRUE(has(reviews.groups[0], betaLog));
    EXPECT_FALSE(has(reviews.groups[0], alphaPrefs));
    EXPECT_EQ(reviews.groups[1].front(), alpha);
    EXPECT_TRUE(has(reviews.groups[1], alphaPrefs));
    EXPECT_TRUE(has(reviews.groups[1], alphaCache));

    // The review removed Alpha only; the list is emptied and scanned again.
    fs::remove_all(alpha);
    screen->completeCleanRelatedFiles();
    EXPECT_TRUE(list()->uninsatllAppArr().empty());
    waitForScan(list());
    auto shown = names(list()->showAllValues());
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, (std::vector<std::string>{"Beta", "Gamma"}));
    EXPECT_TRUE(list()->uninsatllAppArr().empty());
    EXPECT_EQ(header(), "   Applications(Total:2)");
    EXPECT_FALSE(screen->uninstallButton()->isEnabled());
}

TEST_F(UninstallScreen, OneRowRoadJoinsTheChosenRowsFilesOnce) {
    const std::string foo = application("Foo");
    const std::string fooPro = application("Foo Pro");
    const std::string shared = homeFile("Library/Logs/Foo Pro.log");
    const std::string own = homeFile("Library/Preferences/test.Foo.plist");
    openScreen();
    CustomTableView* table = list()->tableView();
    table->setAllowsMultipleSelection(true);
    NSIndexSet rows = NSIndexSet::indexSetWithIndex(rowNamed("Foo"));
    rows.addIndex(rowNamed("Foo Pro"));
    table->selectRowIndexes(rows, false);
    ASSERT_EQ(table->selectedRowIndexes().count(), 2u);
    list()->uninstallAppButtonAction();
    ASSERT_TRUE(pt::runMainLoopUntil([&] { return reviews.opened == 1; }));
    EXPECT_TRUE(screen->isUninsatllOne());
    ASSERT_EQ(reviews.groups.size(), 1u);
    const auto& group = reviews.groups[0];
    for (const std::string& path : {foo, fooPro, shared, own})
        EXPECT_EQ(std::count(group.begin(), group.end(), path), 1) << path;
    std::vector<std::string> sorted = group;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end())
        << "a path is listed twice";
}

TEST_F(UninstallScreen, OneRowRoadDropsTheRowOnlyWhenItsBundleWent) {
    for (bool removed : {true, false}) {
        SCOPED_TRACE(removed ? "bundle removed" : "bundle still there");
        fs::remove_all(root / "Applications");
        application("Alpha");
        application("Beta");
        application("Gamma");
        reviews = Reviews();
        openScreen();
        ASSERT_EQ(header(), "   Applications(Total:3)");
        tick("Gamma");
        const long row = rowNamed("Beta");
        list()->tableView()->selectRowIndexes(NSIndexSet::indexSetWithIndex(row), false);
        Ref<AMAppItem> beta = list()->showAllValues()[static_cast<std::size_t>(row)];
        const std::vector<Ref<AMAppItem>> before = list()->showAllValues();
        list()->uninstallAppButtonAction();
        ASSERT_TRUE(pt::runMainLoopUntil([&] { return reviews.opened == 1; }));
        EXPECT_EQ(screen->selectedRow(), row);
        if (removed) fs::remove_all(beta->path());
        screen->completeCleanRelatedFiles();
        EXPECT_FALSE(list()->isScan()) << "a one-row road rescans";
        pt::drainQueues();
        std::vector<Ref<AMAppItem>> expected = before;
        if (removed) expected.erase(expected.begin() + row);
        EXPECT_EQ(list()->showAllValues(), expected) << "other rows must be the same items";
        const auto& all = list()->allApplications();
        EXPECT_EQ(std::count(all.begin(), all.end(), beta), removed ? 0 : 1);
        EXPECT_EQ(names(list()->uninsatllAppArr()), std::vector<std::string>{"Gamma"});
        EXPECT_EQ(list()->numberOfRowsInTableView(list()->tableView()),
                  static_cast<long>(expected.size()));
        EXPECT_EQ(header(), removed ? "   Applications(Total:2)" : "   Applications(Total:3)");
        TearDown();
        SetUp();
    }
}

}  // namespace
