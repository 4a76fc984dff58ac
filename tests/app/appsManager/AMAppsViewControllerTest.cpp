// Catches a catalogue scan that walks the wrong folders, lists entries of the wrong kind or
// with the wrong case of extension, walks into bundles or files, lists Apple's own bundles,
// never ends on a cycle of links, duplicates rows when a scan replaces another, reports its
// start and end out of order, or names the list's header wrongly; and an interface file whose
// table lacks a column, puts the size column elsewhere or loses the header check box.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "CatalogueFixture.h"
#include "appsManager/AMPublicUtilities.h"
#include "controls/rowcells/ImageTextCell.h"
#include "controls/rowcells/RSVerticallyCenteredTextFieldCell.h"
#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSButtonCell.h"
#include "platform/appkit/NSTableHeaderView.h"
#include "platform/testing/LogCapture.h"

namespace {

using namespace catalogue;
namespace fs = std::filesystem;

TEST_F(CatalogueTest, SearchFoldersOfEachKindInDomainOrder) {
    const std::string H = home.path(), R = root.path();
    EXPECT_EQ(
        AMPublicUtilities::applicationPaths(),
        (std::vector<std::string>{H + "/Applications", R + "/Applications",
                                  R + "/Network/Applications", R + "/Developer/Applications"}));

    std::vector<std::string> plugins;
    for (const std::string& library : {H + "/Library", R + "/Library"})
        for (const char* sub : {"Address Book Plug-Ins", "Contextual Menu Items", "Dictionaries",
                                "iTunes", "Spotlight", "Screen Savers", "QuickLook", "QuickTime",
                                "Internet Plug-Ins", "Safari"})
            plugins.push_back(library + "/" + sub);
    plugins.push_back(H + "/Library/Input Methods");
    plugins.push_back(R + "/Library/Input Methods");
    EXPECT_EQ(AMPublicUtilities::pluginPaths(), plugins);

    EXPECT_EQ(
        AMPublicUtilities::preferencePanePaths(),
        (std::vector<std::string>{H + "/Library/PreferencePanes", R + "/Library/PreferencePanes"}));

    platform::LogCapture log;
    EXPECT_EQ(AMPublicUtilities::widgetPaths(),
              (std::vector<std::string>{H + "/Library/Widgets", R + "/Library/Widgets"}));
    EXPECT_EQ(log.lines(),
              std::vector<std::string>{"---(\n    \"" + H + "/Library/Widgets\",\n    \"" + R +
                                       "/Library/Widgets\"\n)"});

    // Each call reads the environment again.
    TempDir other;
    fixtures::ScopedEnv moved{"HOME", other.path()};
    EXPECT_EQ(AMPublicUtilities::preferencePanePaths().front(),
              other.path() + "/Library/PreferencePanes");
}

TEST_F(CatalogueTest, EachKindListsItsExtensionsAndWalksOtherFolders) {
    enum Shape { Folder, File, Bundle };
    struct Entry {
        const char* relative;
        Shape shape;
    };
    struct Case {
        const char* what;
        int type;
        std::vector<Entry> entries;
        std::vector<std::string> listed;
    } cases[] = {
        {"applications: bundles at any depth, never inside one, never plain files",
         0,
         {{"Sub/Inner.app", Bundle},
          {"Deep/er/Deepest.app", Bundle},
          {"Outer.app", Bundle},
          {"Outer.app/Contents/Nested.app", Bundle},
          {"Plain.app", File},
          {"Tool.APP/Hidden.app", Bundle},
          {"Empty", Folder}},
         {"Deep/er/Deepest.app", "Outer.app", "Sub/Inner.app", "Tool.APP/Hidden.app"}},
        {"plug-ins: files and folders of eight extensions, capitals walked only as folders",
         1,
         {{"x.plugin", File},
          {"Y.PLUGIN", File},
          {"Caps.PLUGIN/in.plugin", File},
          {"a.app", File},
          {"s.safariextz", File},
          {"c.component", File},
          {"m.mdimporter", File},
          {"q.qlgenerator", File},
          {"d.dictionary", File},
          {"Pack/w.webplugin", Bundle},
          {"Pkg.plugin/Contents/inner.plugin", File},
          {"other.bundle", File}},
         {"Caps.PLUGIN/in.plugin", "Pack/w.webplugin", "Pkg.plugin", "a.app", "c.component",
          "d.dictionary", "m.mdimporter", "q.qlgenerator", "s.safariextz", "x.plugin"}},
        {"preference panes: \"prefPane\" with a capital P only",
         2,
         {{"p.prefPane", Bundle},
          {"p.prefPane/Contents/x.prefPane", File},
          {"q.prefpane", File},
          {"r.PrefPane", File},
          {"Dir/s.prefPane", File}},
         {"Dir/s.prefPane", "p.prefPane"}},
        {"widgets",
         3,
         {{"w.wdgt", Bundle}, {"W.WDGT", File}, {"v.wdgt", File}, {"x.widget", File}},
         {"v.wdgt", "w.wdgt"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string base = root.mkdir("case" + std::to_string(n++));
        for (const Entry& e : c.entries) {
            const std::string path = base + "/" + e.relative;
            if (e.shape == Folder)
                fs::create_directories(path);
            else if (e.shape == File)
                root.write(path.substr(root.path().size() + 1), "plain");
            else
                bundle(path, {{"CFBundleIdentifier", "test.id"}});
        }
        // A missing search folder contributes nothing.
        makeList(c.type, {root / "missing", base});
        std::vector<std::string> listed;
        for (const auto& item : list->allApplications())
            listed.push_back(item->path().substr(base.size() + 1));
        std::sort(listed.begin(), listed.end());
        EXPECT_EQ(listed, c.listed);
        EXPECT_EQ(list->showAllValues().size(), list->allApplications().size());
        list.reset();
    }
}

TEST_F(CatalogueTest, AppleBundlesAreDroppedByCaseSensitivePrefixWithDot) {
    struct Case {
        const char* name;
        const char* identifier;  // nullptr: no Info.plist at all
        bool listed;
    } cases[] = {
        {"Safari", "com.apple.Safari", false}, {"AppleX", "com.applex.tool", true},
        {"Capital", "Com.apple.tool", true},   {"NoDot", "com.apple", true},
        {"Other", "org.example.tool", true},   {"Bare", nullptr, true},
    };
    for (const Case& c : cases) {
        const std::string path = root / (std::string("Applications/") + c.name + ".app");
        if (c.identifier)
            bundle(path, {{"CFBundleIdentifier", c.identifier}});
        else
            bundle(path, {});
    }
    makeList(0, {root / "Applications"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(itemNamed(c.name) != nullptr, c.listed);
    }
    // A bundle without Info.plist: named after its folder, no identifier, version "Unknow".
    AMAppItem* bare = itemNamed("Bare");
    ASSERT_NE(bare, nullptr);
    EXPECT_FALSE(bare->bundleID().has_value() && !bare->bundleID()->empty());
    auto row = std::find_if(list->showAllValues().begin(), list->showAllValues().end(),
                            [&](const auto& item) { return item.get() == bare; }) -
               list->showAllValues().begin();
    EXPECT_EQ(shown("version", long(row)), "Unknow");
    EXPECT_EQ(shown("Size", long(row)), "0KB");
    EXPECT_EQ(shown("system", long(row)), "NO");
}

TEST_F(CatalogueTest, LinkedFoldersAreWalkedAndCyclesEnd) {
    application("Real");
    bundle(root / "Elsewhere/Linked.app", {{"CFBundleIdentifier", "test.linked"}});
    fs::create_directory_symlink(root / "Elsewhere", root / "Applications/Link");
    fs::create_directory_symlink(root / "Applications", root / "Applications/Loop");
    root.mkdir("Applications/Sub");
    fs::create_directory_symlink("..", root / "Applications/Sub/Up");
    fs::create_directory_symlink(".", root / "Applications/Sub/Self");
    for (int type : {0, 1}) {
        SCOPED_TRACE(type);
        makeList(type, {root / "Applications"});
        std::vector<std::string> paths;
        for (const auto& item : list->allApplications())
            paths.push_back(item->path());
        std::sort(paths.begin(), paths.end());
        EXPECT_EQ(paths, (std::vector<std::string>{root / "Applications/Link/Linked.app",
                                                   root / "Applications/Real.app"}));
        list.reset();
    }
}

TEST_F(CatalogueTest, ScanReportsStartAndEndAndLowersTheFlagLast) {
    application("One");
    application("Two");
    makeList(0, {home / "Applications", root / "Applications"});
    EXPECT_EQ(recorder->scanReports(), (std::vector<std::string>{"edit NO", "end", "edit YES"}));
    EXPECT_FALSE(list->isScan());
    EXPECT_EQ(list->allApplications().size(), 2u);
    EXPECT_EQ(recorder->lastCount, 0);
    EXPECT_EQ(recorder->lastLabel, " ");

    // Rescanning starts afresh; a scan started while another runs replaces it, so that no
    // bundle is listed twice.
    list->getApplications();
    list->getApplications();
    waitForScan();
    EXPECT_EQ(list->allApplications().size(), 2u);
    EXPECT_EQ(list->showAllValues().size(), 2u);
}

TEST_F(CatalogueTest, RowsArriveDuringTheScanWhileTicksAndTrashWait) {
    for (const char* name : {"A", "B", "C"})
        application(name);
    recorder->hold();
    makeList(0, {root / "Applications"}, false, false);
    ASSERT_TRUE(pt::runMainLoopUntil(
        [&] { return recorder->isHeldAtEnd() && list->showAllValues().size() == 3; }));
    EXPECT_TRUE(list->isScan());
    EXPECT_EQ(list->tableView()->numberOfRows(), 3);
    EXPECT_EQ(list->tableView()->headerView()->tableView(), list->tableView());
    EXPECT_EQ(column("appname")->title(), "   Applications(Total:3)");

    tickRow(0);
    EXPECT_TRUE(list->uninsatllAppArr().empty()) << "ticks wait for the scan";
    list->uninstallAppButtonAction();
    EXPECT_EQ(recorder->related, 0) << "the trash button waits for the scan";
    list->selectAllButtonAction(nullptr);
    EXPECT_EQ(list->uninsatllAppArr().size(), 3u) << "select-all is not blocked";
    list->selectAllButtonAction(nullptr);

    recorder->release();
    waitForScan();
    tickRow(0);
    EXPECT_EQ(list->uninsatllAppArr().size(), 1u);
    list->uninstallAppButtonAction();
    EXPECT_EQ(recorder->related, 1);
    EXPECT_TRUE(recorder->relatedItemWasNil);
}

TEST_F(CatalogueTest, HeaderTitleNamesTheKindAndCount) {
    struct Case {
        int type;
        int apps;
        const char* title;
    } cases[] = {
        {0, 3, "   Applications(Total:3)"},
        {0, 0, "   Applications(Total:0)"},
        {3, 0, "   Items(Total:0)"},
        {1, 0, "   Items(Total:0)"},
        {7, 0, "(Total:0)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        TempDir folder;
        for (int i = 0; i < c.apps; ++i)
            bundle(folder / ("A" + std::to_string(i) + ".app"), {{"CFBundleName", "x"}});
        makeList(c.type, {folder.path()});
        EXPECT_EQ(column("appname")->title(), c.title);
        list.reset();
    }
    // Without any search folder the header still shows the empty count.
    makeList(3, {});
    EXPECT_EQ(column("appname")->title(), "   Items(Total:0)");
}

TEST_F(CatalogueTest, DelegatesThatDoNotAnswerOrAreGoneAreNotTold) {
    application("A");
    auto plain = std::make_shared<NSObject>();
    list = AMAppsViewController::make();
    list->setDelegate(plain);
    list->setSearchPaths({root / "Applications"});
    ASSERT_NE(list->view(), nullptr);
    waitForScan();
    EXPECT_EQ(list->allApplications().size(), 1u);

    auto gone = std::make_shared<Recorder>();
    list->setDelegate(gone);
    gone.reset();
    list->getApplications();
    waitForScan();
    tickRow(0);
    list->uninstallAppButtonAction();
    EXPECT_EQ(list->uninsatllAppArr().size(), 1u);
}

TEST_F(CatalogueTest, InterfaceFileBuildsTheDarkTable) {
    makeList(0, {});
    NSView* view = list->view();
    EXPECT_EQ(view->frame().size.width, 800);
    EXPECT_EQ(view->frame().size.height, 480);
    CustomTableView* table = list->tableView();
    ASSERT_NE(table, nullptr);
    std::vector<std::string> identifiers;
    for (const auto& c : table->tableColumns())
        identifiers.push_back(c->identifier());
    EXPECT_EQ(identifiers, (std::vector<std::string>{"CheckBox", "appname", "version", "Size",
                                                     "system", "bundleID", "uninstall"}));
    EXPECT_EQ(table->columnWithIdentifier("Size"), 3);
    EXPECT_EQ(table->rowHeight(), 48);
    EXPECT_EQ(table->intercellSpacing().height, 0);
    EXPECT_FALSE(table->allowsMultipleSelection());
    ASSERT_NE(table->headerView(), nullptr);
    EXPECT_EQ(table->headerView()->frame().size.height, 41);
    EXPECT_EQ(table->dataSource(), static_cast<NSTableViewDataSource*>(list.get()));
    EXPECT_EQ(table->delegate(), static_cast<NSTableViewDelegate*>(list.get()));

    NSCell* check = column("CheckBox")->dataCell().get();
    ASSERT_NE(dynamic_cast<NSButtonCell*>(check), nullptr);
    EXPECT_EQ(check->action(), SEL("selectUninstallApp"));
    EXPECT_EQ(check->target().lock().get(), list.get());
    EXPECT_NE(dynamic_cast<ImageTextCell*>(column("appname")->dataCell().get()), nullptr);
    EXPECT_NE(dynamic_cast<RemoveButtonCell*>(column("uninstall")->dataCell().get()), nullptr);
    for (const char* id : {"version", "Size", "system", "bundleID"})
        EXPECT_FALSE(column(id)->isEditable()) << id;
    EXPECT_EQ(list->shouldEditTableColumn(table, column("version"), 0), false);
    EXPECT_EQ(list->shouldSelectTableColumn(table, column("Size")), false);

    NSButton* box = list->selectAllBut();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->superview(), table->headerView().get());
    EXPECT_EQ(box->frame(), NSMakeRect(13, 12, 16, 16));
    EXPECT_EQ(box->image()->name(), "unsel");
    EXPECT_EQ(box->action(), SEL("selectAllButtonAction:"));
    EXPECT_EQ(list->getLanguagsTableHeaderView(), table->headerView().get());
    EXPECT_EQ(table->headerView()->subviews().size(), 1u) << "the check box is added once";
}

}  // namespace
