// Catches catalogue walks that enter a folder or list a bundle again when links fan out or lead
// to something already walked (thirty folders linking twice to the next would take 2^29
// visits), that carry a path other than the one first reached or another one on a rescan, and
// rows handed to the table one reload per bundle instead of in batches that keep scan order.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "CatalogueFixture.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/NSBundle.h"

namespace {

using namespace catalogue;
namespace fs = std::filesystem;

std::vector<std::string> pathsOf(const std::vector<Ref<AMAppItem>>& items) {
    std::vector<std::string> paths;
    for (const auto& item : items)
        paths.push_back(item->path());
    return paths;
}

std::vector<std::string> sorted(std::vector<std::string> paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
}

/// Counts the table's reloads: each one asks the data source for the number of rows.
class CountingList : public AMAppsViewController {
  public:
    long numberOfRowsInTableView(NSTableView* table) override {
        ++reloads;
        return AMAppsViewController::numberOfRowsInTableView(table);
    }
    std::atomic<long> reloads{0};
};

TEST_F(CatalogueTest, LinksThatFanOutAreWalkedOnceWithEachBundleOnce) {
    const std::vector<std::string> folders =
        fixtures::makeLinkFanOut(root / "Applications/Start", root / "Chain", 30);
    for (std::size_t i = 0; i < folders.size(); ++i)
        bundle(folders[i] + "/B" + std::to_string(i) + ".app",
               {{"CFBundleIdentifier", "test.b" + std::to_string(i)}});
    // Each bundle carries the path by which the walk first reached its folder.
    std::vector<std::string> expected;
    const std::vector<std::string> reached = fixtures::firstReachedPaths(folders);
    for (std::size_t i = 0; i < reached.size(); ++i)
        expected.push_back(reached[i] + "/B" + std::to_string(i) + ".app");

    for (int type : {0, 1}) {
        SCOPED_TRACE(type);
        makeList(type, {root / "Applications"});  // fails unless the scan ends within 10 s
        const std::vector<std::string> first = pathsOf(list->allApplications());
        EXPECT_EQ(sorted(first), sorted(expected));
        EXPECT_EQ(list->tableView()->numberOfRows(), 30);

        list->getApplications();
        waitForScan();
        EXPECT_EQ(pathsOf(list->allApplications()), first) << "a rescan lists the same paths";
        list.reset();
    }
}

TEST_F(CatalogueTest, AnythingReachedAgainIsListedOnceWithTheFirstPath) {
    // Two search folders, walked in this order; each case returns the one path expected.
    struct Case {
        const char* what;
        std::function<std::string(const std::string& first, const std::string& second)> make;
    } cases[] = {
        {"a link in the first search folder to a folder of the second",
         [](const std::string& first, const std::string& second) {
             bundle(second + "/Real/X.app", {{"CFBundleIdentifier", "test.x"}});
             fs::create_directory_symlink(second + "/Real", first + "/Alias");
             return first + "/Alias/X.app";
         }},
        {"a link in the second search folder to a folder of the first",
         [](const std::string& first, const std::string& second) {
             bundle(first + "/Real/X.app", {{"CFBundleIdentifier", "test.x"}});
             fs::create_directory_symlink(first + "/Real", second + "/Alias");
             return first + "/Real/X.app";
         }},
        {"the second search folder is a link to the first",
         [](const std::string& first, const std::string& second) {
             bundle(first + "/Real/X.app", {{"CFBundleIdentifier", "test.x"}});
             fs::remove(second);
             fs::create_directory_symlink(first, second);
             return first + "/Real/X.app";
         }},
        {"a link to a bundle of the second search folder",
         [](const std::string& first, const std::string& second) {
             bundle(second + "/Y.app", {{"CFBundleIdentifier", "test.y"}});
             fs::create_directory_symlink(second + "/Y.app", first + "/Y.app");
             return first + "/Y.app";
         }},
        {"a link to a bundle beside it: the one listed first",
         [](const std::string& first, const std::string&) {
             bundle(first + "/Z.app", {{"CFBundleIdentifier", "test.z"}});
             fs::create_directory_symlink(first + "/Z.app", first + "/Zed.app");
             for (const auto& entry : fs::directory_iterator(first))
                 return entry.path().string();
             return std::string();
         }},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string folder = root.mkdir("case" + std::to_string(n++));
        const std::string first = folder + "/first", second = folder + "/second";
        fs::create_directories(first);
        fs::create_directories(second);
        const std::string expected = c.make(first, second);
        for (int type : {0, 1}) {
            SCOPED_TRACE(std::string(c.what) + ", kind " + std::to_string(type));
            makeList(type, {first, second});
            EXPECT_EQ(pathsOf(list->allApplications()), std::vector<std::string>{expected});
            list.reset();
        }
    }
}

TEST_F(CatalogueTest, RowsReachTheTableInBatchesInScanOrder) {
    ClassRegistry::shared().registerClass<CountingList, AMAppsViewController>(
        "CatalogueWalkCountingList");
    const int direct = 150, nested = 20;
    for (int i = 0; i < direct; ++i)
        bundle(root / ("Applications/App" + std::to_string(i) + ".app"), {});
    for (int i = 0; i < nested; ++i)
        bundle(root / ("Applications/Sub/Nested" + std::to_string(i) + ".app"), {});
    // Depth first, in listing order: the nested bundles stand where their folder is listed.
    std::vector<std::string> expected;
    for (const auto& entry : fs::directory_iterator(root / "Applications")) {
        if (entry.path().filename() != "Sub") {
            expected.push_back(entry.path().string());
            continue;
        }
        for (const auto& inner : fs::directory_iterator(entry.path()))
            expected.push_back(inner.path().string());
    }

    auto counting = std::make_shared<CountingList>();
    counting->initWithNibName("AMAppsViewController", NSBundle::mainBundle());
    counting->setAppsType(0);
    counting->setDelegate(recorder);
    counting->setSearchPaths({root / "Applications"});
    list = counting;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_NE(list->view(), nullptr);
    waitForScan();
    const auto elapsed = std::chrono::steady_clock::now() - start;

    EXPECT_EQ(pathsOf(list->allApplications()), expected);
    EXPECT_EQ(pathsOf(list->showAllValues()), expected);
    EXPECT_EQ(column("appname")->title(), "   Applications(Total:170)");
    // The reload before the scan, then one per batch: the first row, full batches, batches
    // whose interval ran out, and the end of the folder.
    const long rows = direct + nested;
    const long batches = 1 + rows / static_cast<long>(AMAppsViewController::kRowsPerBatch) +
                         static_cast<long>(elapsed / AMAppsViewController::kBatchInterval) + 1;
    EXPECT_LE(counting->reloads.load(), 1 + batches) << "over " << elapsed.count() << " ns";
    EXPECT_LT(counting->reloads.load(), rows / 2);
}

}  // namespace
