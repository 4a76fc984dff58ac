// Catches a bundle walk that enters an item, lists a bundle twice when a link leads to it
// again, loses files the rules take as items, walks or lists hidden entries when told not to,
// or skips the end-of-folder call that lets a slow scan show its rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "appsManager/BundleFolderWalk.h"
#include "support/FileFixtures.h"

namespace {

namespace fs = std::filesystem;

TEST(BundleFolderWalk, ListsWhatTheRulesTakeOnceAndNeverEntersIt) {
    fixtures::TempDir root;
    root.mkdir("Apps/A.app/Contents/Inner.app");
    root.mkdir("Apps/Sub/B.app");
    root.mkdir("Apps/.Hidden/C.app");
    root.mkdir("Apps/.D.app");
    root.write("Apps/Readme.app", "a file named like a bundle");
    root.write("Apps/Sub/Note.txt", "");
    fs::create_directory_symlink(root / "Apps/Sub/B.app", root / "Apps/Link.app");
    fs::create_directory_symlink(root / "Apps", root / "Apps/Sub/Loop");
    fs::create_symlink(root / "Nowhere.app", root / "Apps/Dangling.app");

    const auto isApp = [](const std::string& name) {
        return name.size() > 4 && name.ends_with(".app");
    };
    struct Case {
        const char* what;
        bool itemsAreFolders;
        bool skipHidden;
        // Besides A.app and Sub/B.app or Link.app (whichever the listing gives first).
        std::vector<std::string> more;
    } cases[] = {
        {"bundle folders only, hidden entries too", true, false, {".Hidden/C.app", ".D.app"}},
        {"bundle folders only, hidden entries passed over", true, true, {}},
        {"files and dangling links are items too", false, true, {"Readme.app", "Dangling.app"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> found;
        int foldersDone = 0;
        BundleFolderWalk walk(
            {isApp, c.itemsAreFolders, c.skipHidden},
            [&](const std::shared_ptr<const AMScanFolder>& folder, const std::string& name) {
                found.push_back(folder->pathOf(name).substr(root.path().size() + 6));
            },
            [&] { ++foldersDone; });
        walk.walk(root / "Apps");
        walk.walk(root / "Apps/Sub");  // met already in this walk: nothing more

        std::vector<std::string> expected = {"A.app"};
        // B.app is listed once, by the path the walk reached it first.
        const bool linkFirst =
            std::find_if(fs::directory_iterator(root / "Apps"), fs::directory_iterator(),
                         [](const auto& e) {
                             const auto name = e.path().filename();
                             return name == "Link.app" || name == "Sub";
                         })
                ->path()
                .filename() == "Link.app";
        expected.push_back(linkFirst ? "Link.app" : "Sub/B.app");
        expected.insert(expected.end(), c.more.begin(), c.more.end());
        std::sort(found.begin(), found.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(found, expected);
        // Apps and Sub, plus .Hidden when it is walked.
        EXPECT_EQ(foldersDone, c.skipHidden ? 2 : 3);
    }
}

TEST(BundleFolderWalk, NothingToWalkFindsNothing) {
    fixtures::TempDir root;
    root.write("file", "");
    int calls = 0;
    BundleFolderWalk walk(
        {[](const std::string&) { return true; }, false, false},
        [&](const std::shared_ptr<const AMScanFolder>&, const std::string&) { ++calls; },
        [&] { ++calls; });
    walk.walk(root / "missing");
    walk.walk(root / "file");
    walk.walk("");
    EXPECT_EQ(calls, 0);
}

}  // namespace
