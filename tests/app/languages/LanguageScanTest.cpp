// The language scan: which bundles and folders it offers, and the two trees it builds; an
// oversized Info.plist is not read, and a walk enters no folder or bundle twice however links
// fan out or lead back (thirty folders linking twice to the next would take 2^29 visits).

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "languages/ZRLanguagesViewController.h"
#include "platform/foundation/NSBundle.h"
#include "platform/testing/LogCapture.h"
#include "platform/testing/RunLoopPump.h"
#include "support/FileFixtures.h"

namespace {

namespace fs = std::filesystem;
namespace pt = platform::testing;

class LanguageScan : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(root / "Applications");
        controller = std::make_shared<ZRLanguagesViewController>();
    }
    void TearDown() override {
        pt::drainQueues();
        controller.reset();
    }

    /// A bundle at `relative` below the volume root with one localisation folder per entry of
    /// `folders` ({code, bytes}); no identifier when `identifier` is empty.
    std::string bundle(const std::string& relative, const std::string& identifier,
                       const std::vector<std::pair<std::string, int>>& folders) {
        const std::string path = root / relative;
        fs::create_directories(path + "/Contents/Resources");
        std::string plist =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>";
        if (!identifier.empty())
            plist += "<key>CFBundleIdentifier</key><string>" + identifier + "</string>";
        root.write(relative + "/Contents/Info.plist", plist + "</dict></plist>\n");
        for (const auto& [code, bytes] : folders) {
            const std::string folder = path + "/Contents/Resources/" + code + ".lproj";
            fs::create_directories(folder);
            fixtures::makeFile(folder + "/Localizable.strings", bytes);
        }
        return path;
    }
    static std::vector<std::string> titles(const KBNodeList& nodes) {
        std::vector<std::string> out;
        for (const auto& node : nodes)
            out.push_back(node->title());
        return out;
    }
    static std::vector<std::string> titles(const ZRNodeList& nodes) {
        return titles(KBNodeList(nodes.begin(), nodes.end()));
    }
    static std::vector<std::string> sorted(std::vector<std::string> names) {
        std::sort(names.begin(), names.end());
        return names;
    }
    static ZRTreeNode& at(const KBNodeList& nodes, std::size_t i) {
        return static_cast<ZRTreeNode&>(*nodes.at(i));
    }

    fixtures::TempDir home, root;
    fixtures::ScopedEnv homeEnv{"HOME", home.path()};
    fixtures::ScopedEnv rootEnv{"UNINSTALLER_ROOT", root.path()};
    platform::LogCapture log;
    std::shared_ptr<ZRLanguagesViewController> controller;
};

TEST_F(LanguageScan, OffersEveryLocalisationButPlainEnglish) {
    struct Case {
        std::vector<std::string> codes;
        std::vector<std::string> leaves;  // empty: the bundle is not listed
    } cases[] = {
        {{"Base", "en", "de"}, {"Base", "German"}},
        {{"en", "Base"}, {"Base"}},
        {{"en", "en_GB", "zh-Hans"}, {"English (United Kingdom)", "Chinese (Simplified)"}},
        {{"English", "German", "Japanese"}, {"German", "Japanese"}},  // the old folder names
        {{"en", "xx"}, {"xx"}},  // a code without a name stands for itself
        {{"de"}, {}},            // one localisation offers nothing
        {{"en", "English"}, {}},
        {{}, {}},
    };
    int n = 0;
    for (const Case& c : cases) {
        std::vector<std::pair<std::string, int>> folders;
        for (const std::string& code : c.codes)
            folders.push_back({code, 10});
        const std::string path =
            bundle("Applications/Case" + std::to_string(n++) + ".app", "test.case", folders);
        SCOPED_TRACE(path);
        Ref<ZRTreeNode> node = controller->constructTreeNode(path);
        if (c.leaves.empty()) {
            EXPECT_FALSE(node);
            continue;
        }
        ASSERT_TRUE(node);
        EXPECT_EQ(sorted(titles(node->children())), sorted(c.leaves));
        EXPECT_EQ(node->count(), std::to_string(c.leaves.size()));
    }
    EXPECT_EQ(log.lines().front(), "====::::" + root / "Applications/Case0.app");
}

TEST_F(LanguageScan, LeavesCarryTheirFolderAndTheApplicationTheTotal) {
    const std::string path =
        bundle("Applications/Editor.app", "test.editor", {{"Base", 3000}, {"de", 1500000}});
    Ref<ZRTreeNode> app = controller->constructTreeNode(path);
    ASSERT_TRUE(app);
    EXPECT_FALSE(app->isLeaf());
    EXPECT_EQ(app->size(), "1.50 MB");
    EXPECT_EQ(app->count(), "2");
    EXPECT_TRUE(app->path().empty());
    EXPECT_FALSE(app->faterNode());
    for (std::size_t i = 0; i < 2; ++i) {
        ZRTreeNode& leaf = at(app->children(), i);
        const bool base = leaf.title() == "Base";
        SCOPED_TRACE(leaf.title());
        EXPECT_TRUE(leaf.isLeaf());
        EXPECT_EQ(leaf.path(), path + "/Contents/Resources/" + (base ? "Base" : "de") + ".lproj");
        EXPECT_EQ(leaf.size(), base ? "3.00 KB" : "1.50 MB");
        EXPECT_EQ(leaf.faterNode(), app);
        EXPECT_EQ(leaf.selectState(), 0);
    }
}

TEST_F(LanguageScan, WalkFindsApplicationsInFoldersButNotInsideBundles) {
    const std::vector<std::pair<std::string, int>> two = {{"Base", 10}, {"fr", 10}};
    bundle("Applications/Top.app", "test.top", two);
    bundle("Applications/Utilities/Tool Kit.app", "test.tool", two);
    bundle("Applications/Top.app/Contents/Helper.app", "test.helper", two);
    bundle("Applications/Apple.app", "com.apple.notes", two);
    bundle("Applications/Apple.app/Contents/Inner.app", "test.inner", two);
    bundle("Applications/Anonymous.app", "", two);
    bundle("Applications/.Hidden/Secret.app", "test.secret", two);
    bundle("Applications/Single.app", "test.single", {{"de", 10}});
    bundle("Applications/Upper.APP", "test.upper", two);  // not an application by its name
    fs::create_directory_symlink(root / "Applications", root / "Applications/Utilities/Loop");
    root.write("Applications/Readme.app", "a file, not a bundle");
    // A valid Info.plist just over the size cap reads as missing: no identifier.
    bundle("Applications/Huge.app", "", two);
    const std::string head =
        "<plist><dict><key>CFBundleIdentifier</key><string>test.huge"
        "</string><key>Padding</key><string>";
    const std::string tail = "</string></dict></plist>";
    root.write("Applications/Huge.app/Contents/Info.plist",
               head +
                   std::string(NSBundle::kMaxInfoPlistBytes + 1 - head.size() - tail.size(), 'x') +
                   tail);

    controller->enumerateLanguages(root / "Applications");
    EXPECT_EQ(sorted(titles(controller->scanAppLanguages())),
              (std::vector<std::string>{"Tool Kit.app", "Top.app"}));
    controller->enumerateLanguages(root / "Missing");
    EXPECT_EQ(controller->scanAppLanguages().size(), 2u) << "a missing folder adds nothing";
}

TEST_F(LanguageScan, LinksThatFanOutAreWalkedOnceWithEachApplicationOnce) {
    const std::vector<std::string> folders =
        fixtures::makeLinkFanOut(root / "Applications/Start", root / "Chain", 30);
    std::vector<std::string> expected;  // the first path of each application's German folder
    const std::vector<std::string> reached = fixtures::firstReachedPaths(folders);
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const std::string name = "App" + std::to_string(i) + ".app";
        bundle(folders[i].substr(root.path().size() + 1) + "/" + name,
               "test.app" + std::to_string(i), {{"Base", 10}, {"de", 10}});
        expected.push_back(reached[i] + "/" + name + "/Contents/Resources/de.lproj");
    }
    // A bundle reached through a link to it and directly is listed once.
    fs::create_directory_symlink(folders[3] + "/App3.app", root / "Applications/Shortcut.app");

    const auto start = std::chrono::steady_clock::now();
    controller->enumerateLanguages(root / "Applications");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    std::vector<std::string> german;
    for (const auto& app : controller->scanAppLanguages())
        for (const auto& leaf : app->children())
            if (leaf->title() == "German") german.push_back(static_cast<ZRTreeNode&>(*leaf).path());
    ASSERT_EQ(controller->scanAppLanguages().size(), 30u);
    // The shortcut is met first when Applications lists it before the chain's start.
    for (const auto& entry : fs::directory_iterator(root / "Applications")) {
        if (entry.path().filename() == "Shortcut.app")
            expected[3] = root / "Applications/Shortcut.app/Contents/Resources/de.lproj";
        if (entry.path().filename() == "Start") break;
    }
    EXPECT_EQ(sorted(german), sorted(expected));
}

TEST_F(LanguageScan, LanguageTreeGathersEachLanguageOnceWithItsApplications) {
    bundle("Applications/One.app", "test.one", {{"Base", 1000}, {"de", 2000}});
    bundle("Applications/Two.app", "test.two", {{"de", 500}, {"fr", 4000}});
    controller->enumerateLanguages(root / "Applications");
    controller->buildLanguagesTree();
    const ZRNodeList& apps = controller->scanAppLanguages();
    const ZRNodeList& groups = controller->scanLanguageApps();
    ASSERT_EQ(apps.size(), 2u);
    ASSERT_EQ(groups.size(), 3u);

    // Groups come in the order their language is first met.
    std::vector<std::string> expected;
    for (const auto& app : apps)
        for (const auto& leaf : app->children())
            if (std::find(expected.begin(), expected.end(), leaf->title()) == expected.end())
                expected.push_back(leaf->title());
    EXPECT_EQ(titles(groups), expected);

    auto german = std::find_if(groups.begin(), groups.end(),
                               [](const auto& g) { return g->title() == "German"; });
    ASSERT_NE(german, groups.end());
    EXPECT_EQ((*german)->count(), "2");
    EXPECT_EQ((*german)->size(), "2.50 KB");
    EXPECT_EQ(titles((*german)->children()), titles(apps));
    for (const auto& child : (*german)->children()) {
        auto& entry = static_cast<ZRTreeNode&>(*child);
        SCOPED_TRACE(entry.title());
        EXPECT_TRUE(entry.isLeaf());
        EXPECT_EQ(entry.faterNode(), *german);
        EXPECT_EQ(entry.path(),
                  root / ("Applications/" + entry.title() + "/Contents/Resources/de.lproj"));
        // The two trees hold distinct nodes, so their ticks are independent.
        for (const auto& app : apps)
            for (const auto& leaf : app->children())
                EXPECT_NE(leaf.get(), child.get());
    }
    for (const auto& group : groups) {
        SCOPED_TRACE(group->title());
        EXPECT_FALSE(group->isLeaf());
        EXPECT_FALSE(group->faterNode());
        const ZRTreeNode& first = at(group->children(), 0);
        auto app = std::find_if(apps.begin(), apps.end(),
                                [&](const auto& a) { return a->title() == first.title(); });
        ASSERT_NE(app, apps.end());
        EXPECT_EQ(first.image(), (*app)->image()) << "an application leaf shows its bundle";
        for (const auto& leaf : (*app)->children())
            if (leaf->title() == group->title()) {
                EXPECT_EQ(group->image(), static_cast<ZRTreeNode&>(*leaf).image());
            }
    }
}

TEST_F(LanguageScan, LoadDataInstallsBothTreesOnTheMainQueueOnce) {
    bundle("Applications/One.app", "test.one", {{"Base", 1000}, {"de", 2000}});
    controller->loadData();
    EXPECT_TRUE(controller->appLanguages().empty()) << "installed before the scan finished";
    ASSERT_TRUE(pt::runMainLoopUntil([&] { return !controller->isScanning(); }));
    EXPECT_EQ(titles(controller->appLanguages()), std::vector<std::string>{"One.app"});
    EXPECT_EQ(sorted(titles(controller->languageApps())),
              (std::vector<std::string>{"Base", "German"}));
    EXPECT_EQ(controller->selectTreeNode(), controller->languageApps().front())
        << "the tree shown first";
    EXPECT_TRUE(controller->scanAppLanguages().empty());

    bundle("Applications/Two.app", "test.two", {{"Base", 1000}, {"de", 2000}});
    controller->loadData();
    EXPECT_FALSE(controller->isScanning());
    pt::drainQueues();
    EXPECT_EQ(controller->appLanguages().size(), 1u) << "there is no rescan";
    EXPECT_EQ(controller->scanCount(), 2);
}

TEST_F(LanguageScan, AnEmptyVolumeSelectsNothing) {
    controller->loadData();
    ASSERT_TRUE(pt::runMainLoopUntil([&] { return !controller->isScanning(); }));
    EXPECT_TRUE(controller->appLanguages().empty());
    EXPECT_TRUE(controller->languageApps().empty());
    EXPECT_FALSE(controller->selectTreeNode());
}

}  // namespace
