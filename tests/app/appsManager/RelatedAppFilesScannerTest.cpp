// Catches related-file searches that miss or reorder hits (domains, folders, keys, listing
// order), match too much or too little (a key that only begins another word, case, spaces, an
// identifier without a dot), search folders that are not theirs, list a path twice, or carry a
// wrong size text; and catalogue records made through an open folder that differ from those
// made from the full path (identity, parent, date, icon, Info.plist values).
#include "appsManager/RelatedAppFilesScanner.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "appsManager/AMPublicUtilities.h"
#include "appsManager/AMScanFolder.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSFileManager.h"
#include "platform/testing/LogCapture.h"
#include "support/FileFixtures.h"
#include "support/ScopedResources.h"

namespace {

using fixtures::bytesAt;
using fixtures::TempDir;

/// An Info.plist of string keys.
std::string infoPlist(const std::map<std::string, std::string>& keys) {
    std::string body;
    for (const auto& [key, value] : keys)
        body += "<key>" + key + "</key><string>" + value + "</string>";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + body +
           "</dict></plist>\n";
}

std::vector<std::string> pathsOf(const AMAppItemGroup& group) {
    std::vector<std::string> paths;
    for (const auto& item : group)
        paths.push_back(item->path());
    return paths;
}

/// A home folder and a volume root built for each test.
class RelatedFilesTest : public ::testing::Test {
  protected:
    /// A bundle on the volume with the given Info.plist keys; returns its path.
    std::string bundle(const std::string& name, const std::map<std::string, std::string>& keys) {
        std::string relative = "Applications/" + name;
        root.write(relative + "/Contents/Info.plist", infoPlist(keys));
        root.write(relative + "/Contents/MacOS/app", std::string(1500, 'x'));
        return root / relative;
    }
    /// A file of `size` bytes at `relative` inside `base`, folders made on the way.
    static std::string file(const TempDir& base, const std::string& relative, int size = 10) {
        return base.write(relative, std::string(size, 'f'));
    }
    /// The paths that one pass of `folder` for `key` must add: matches in listing order.
    static std::vector<std::string> matches(const std::string& folder,
                                            const std::vector<std::string>& expectedNames) {
        std::vector<std::string> found;
        auto listing = NSFileManager::defaultManager()->contentsOfDirectoryAtPath(folder);
        if (!listing) return found;
        for (const std::string& entry : *listing)
            for (const std::string& name : expectedNames)
                if (entry == name) found.push_back(folder + "/" + entry);
        return found;
    }

    TempDir home, root;
    fixtures::ScopedEnv homeEnv{"HOME", home.path()};
    fixtures::ScopedEnv rootEnv{"UNINSTALLER_ROOT", root.path()};
    fixtures::ScopedResources resources{UNINSTALLER_RESOURCES_DIR};
};

TEST_F(RelatedFilesTest, OrderIsDomainsThenFoldersThenKeysInListingOrder) {
    std::string app =
        bundle("Foo.app", {{"CFBundleName", "Foo"}, {"CFBundleIdentifier", "id.foo"}});
    // Hits and near misses in every searched folder, and hits in folders that are not searched.
    struct Entry {
        const TempDir* base;
        const char* relative;
    } entries[] = {
        {&home, "Library/Preferences/id.foo.plist"},
        {&home, "Library/Preferences/Foo.plist"},
        {&home, "Library/Preferences/foo.bar.plist"},
        {&home, "Library/Preferences/MyFoo.plist"},
        {&home, "Library/Preferences/FooBar.plist"},
        {&home, "Library/Preferences/.foo.lock"},
        {&root, "Library/Preferences/id.foo.plist"},
        {&root, "Library/Preferences/Foo.plist"},
        {&home, "Library/Caches/id.foo/Cache.db"},
        {&home, "Library/Caches/Foo/a"},
        {&home, "Library/Caches/foobar/b"},
        {&home, "Library/Caches/MyFoo/c"},
        {&home, "Library/Caches/Football/e"},
        {&root, "Library/Caches/FOO/d"},
        {&home, "Library/Logs/Foo.log"},
        {&root, "Library/Logs/id.foo.log"},
        {&home, "Library/Saved Application State/id.foo.savedState/window.data"},
        {&root, "Library/Saved Application State/id.foo.savedState/window.data"},
        {&home, "Library/Application Support/id.foo/store"},
        {&home, "Library/Application Support/Foo/store"},
        {&root, "Library/Application Support/Foo/store"},
        {&home, "Downloads/Foo Installer.dmg"},
        {&home, "Downloads/Bar.dmg"},
        {&root, "Downloads/Foo.dmg"},
        {&home, "Library/Application Support/Growl/Tickets/Bar.growlTicket"},
        {&home, "Library/Application Support/Growl/Tickets/foo.growlticket.bak"},
        {&home, "Library/Application Support/Growl/Tickets/Foo.growlTicket"},
        {&home, "Library/Application Support/Growl/Tickets/Foo.plist"},
        {&root, "Library/Application Support/Growl/Tickets/Foo.growlTicket"},
    };
    for (const Entry& e : entries)
        file(*e.base, e.relative);

    std::vector<std::string> expected{app};
    auto add = [&](const std::string& folder, std::vector<std::string> names) {
        for (const std::string& p : matches(folder, names))
            expected.push_back(p);
    };
    const std::string U = home / "Library", L = root / "Library";
    add(U + "/Preferences", {"Foo.plist", "foo.bar.plist"});
    add(U + "/Preferences", {"id.foo.plist"});
    add(L + "/Preferences", {"Foo.plist"});
    add(L + "/Preferences", {"id.foo.plist"});
    add(U + "/Caches", {"Foo"});
    add(U + "/Caches", {"id.foo"});
    add(L + "/Caches", {"FOO"});
    add(U + "/Logs", {"Foo.log"});
    add(L + "/Logs", {"id.foo.log"});
    add(U + "/Saved Application State", {"id.foo.savedState"});
    add(U + "/Application Support", {"Foo"});
    add(U + "/Application Support", {"id.foo"});
    add(L + "/Application Support", {"Foo"});
    add(home / "Downloads", {"Foo Installer.dmg"});
    add(U + "/Application Support/Growl/Tickets", {"Foo.growlTicket", "foo.growlticket.bak"});

    ASSERT_EQ(expected.size(), 18u) << "the fixture holds 17 hits";

    platform::LogCapture log;
    AMAppItemGroup group = RelatedAppFilesScanner::relatedFilesToApplicationAtPath(app);
    EXPECT_EQ(pathsOf(group), expected);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(RelatedFilesTest, KeysMatchAsCaseFreeWholeWordsWithSpacesOptional) {
    struct Case {
        const char* key;
        const char* entry;
        bool found;
    } cases[] = {
        {"Foo", "Foo", true},
        {"Foo", "foo", true},
        {"Foo", "Foo.log", true},
        {"Foo", "Foo Settings.plist", true},
        {"Foo", "foo.cfg", true},
        {"Foo", "FOO-2", true},
        {"Foo", "Football", false},
        {"Foo", "FooBar", false},
        {"Foo", "foobar", false},
        {"Foo", "Foo2.plist", false},
        {"Foo", "Fooé", false},  // a non-ASCII character continues the word
        {"Foo", "MyFoo", false},
        {"Foo", "Fo", false},
        // A one-letter name takes only entries of that word.
        {"A", "A.plist", true},
        {"A", "a Settings", true},
        {"A", "Adobe Photoshop Settings.plist", false},
        {"A", "Ableton", false},
        {"A", "AddressBook", false},
        {"A", "Annual report 2024.pdf", false},
        {"id.foo", "id.foo.plist", true},
        {"id.foo", "id.foo", true},
        {"id.foo", "id.foobar.plist", false},
        {"id.foo", "idxfoo.plist", false},  // a literal search: "." is no wildcard
        {"My App", "my app.plist", true},
        {"My App", "MyApp.savedState", true},
        {"My App", "myapp", true},
        {"My App", "MyApplication", false},
        {"My App", "My Apps", false},
        {"My App", "My-App", false},
        {"My App", "The My App", false},
        {" ", "x", false},  // the key without spaces is empty
        {"Émile", "éMILE.plist", true},
        {"Émile", "Émilie", false},
        {"Straße", "STRASSE", false},
        {"Foo.growlTicket", "foo.growlticket.bak", true},
        {"Foo.growlTicket", "Foo.growlTickets", false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " / " + c.entry);
        std::string folder = home.mkdir("case" + std::to_string(n++));
        file(home, ns::lastPathComponent(folder) + "/" + c.entry);
        AMAppItemGroup result;
        AddPathIfExists(result, folder, c.key);
        EXPECT_EQ(result.size(), c.found ? 1u : 0u);
    }
    AMAppItemGroup result;
    AddPathIfExists(result, home / "missing", "Foo");
    EXPECT_TRUE(result.empty());
}

TEST_F(RelatedFilesTest, FlashInstallerLogIsReportedAndStillTested) {
    file(home, "Library/Logs/FlashPlayerInstallManager.log");
    platform::LogCapture log;
    AMAppItemGroup result;
    AddPathIfExists(result, home / "Library/Logs", "Foo");
    EXPECT_TRUE(result.empty());
    // Each pass whose first test fails on that entry reports it: here the key has spaces, and
    // the second test finds the log.
    AddPathIfExists(result, home / "Library/Logs", "Flash Player Install Manager");
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"Break here!", "Break here!"}));
    EXPECT_EQ(result.size(), 1u);
}

TEST_F(RelatedFilesTest, NameFallsBackToExecutableAndUnusableKeysStopEarly) {
    file(home, "Library/Caches/Foo/a");
    file(home, "Library/Caches/id.foo/b");
    struct Case {
        const char* what;
        std::map<std::string, std::string> keys;
        std::size_t records;
    } cases[] = {
        {"empty name, executable Foo",
         {{"CFBundleName", ""}, {"CFBundleExecutable", "Foo"}, {"CFBundleIdentifier", "id.foo"}},
         3},
        {"no name, executable Foo",
         {{"CFBundleExecutable", "Foo"}, {"CFBundleIdentifier", "id.foo"}},
         3},
        {"no name, no executable", {{"CFBundleIdentifier", "id.foo"}}, 1},
        {"empty name and executable",
         {{"CFBundleName", ""}, {"CFBundleExecutable", ""}, {"CFBundleIdentifier", "id.foo"}},
         1},
        {"identifier of one space", {{"CFBundleName", "Foo"}, {"CFBundleIdentifier", " "}}, 1},
        {"empty identifier", {{"CFBundleName", "Foo"}, {"CFBundleIdentifier", ""}}, 1},
        {"no identifier", {{"CFBundleName", "Foo"}}, 1},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string app = bundle("Case" + std::to_string(n++) + ".app", c.keys);
        AMAppItemGroup group = RelatedAppFilesScanner::relatedFilesToApplicationAtPath(app);
        ASSERT_EQ(group.size(), c.records);
        EXPECT_EQ(group[0]->path(), app);
    }
    platform::LogCapture log;
    AMAppItemGroup nil = RelatedAppFilesScanner::relatedFilesToApplicationAtPath(std::nullopt);
    EXPECT_EQ(log.lines(), std::vector<std::string>{"......."});
    ASSERT_EQ(nil.size(), 1u);
    EXPECT_EQ(nil[0]->path(), "");
    EXPECT_EQ(nil[0]->size(), AMPublicUtilities::convertVolSpace(0));
}

TEST_F(RelatedFilesTest, IdentifierWithoutADotIsNoKey) {
    file(home, "Library/Preferences/com.plist");
    file(home, "Library/Preferences/com.other.plist");
    file(home, "Library/Preferences/Foo.plist");
    file(home, "Library/Caches/foo/x");
    struct Case {
        const char* identifier;
        std::vector<std::string> found;  // below the user's Library folder, in order
    } cases[] = {
        {"com", {"Preferences/Foo.plist", "Caches/foo"}},
        {"foo", {"Preferences/Foo.plist", "Caches/foo"}},  // the name's hits only, once
        {"com.other", {"Preferences/Foo.plist", "Preferences/com.other.plist", "Caches/foo"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.identifier);
        std::string app = bundle("Case" + std::to_string(n++) + ".app",
                                 {{"CFBundleName", "Foo"}, {"CFBundleIdentifier", c.identifier}});
        std::vector<std::string> expected{app};
        for (const std::string& relative : c.found)
            expected.push_back(home / ("Library/" + relative));
        EXPECT_EQ(pathsOf(RelatedAppFilesScanner::relatedFilesToApplicationAtPath(app)), expected);
    }
}

TEST_F(RelatedFilesTest, EveryRecordCarriesItsRealSize) {
    std::string app =
        bundle("Foo.app", {{"CFBundleName", "Foo"}, {"CFBundleIdentifier", "id.foo"}});
    file(home, "Library/Caches/Foo/big", 1234567);
    file(home, "Library/Caches/Foo/nested/small", 4321);
    file(home, "Library/Preferences/id.foo.plist", 777);
    file(root, "Library/Application Support/Foo/data", 2500000);
    home.mkdir("Library/Logs/Foo empty folder");
    AMAppItemGroup group = RelatedAppFilesScanner::relatedFilesToApplicationAtPath(app);
    ASSERT_EQ(group.size(), 5u);
    for (const auto& item : group) {
        SCOPED_TRACE(item->path());
        EXPECT_EQ(item->size(), AMPublicUtilities::convertVolSpace(bytesAt(item->path())));
        EXPECT_EQ(item->size(), RelatedAppFilesScanner::getFileSizeItem(item->path()));
    }
    EXPECT_EQ(group[1]->path(), home / "Library/Preferences/id.foo.plist");
    EXPECT_EQ(group[1]->size(), "0.78 KB");
}

TEST_F(RelatedFilesTest, PathMatchingNameAndIdentifierIsListedOnce) {
    // The identifier begins with the name: every identifier hit is a name hit too.
    std::string app =
        bundle("Foo.app", {{"CFBundleName", "Foo"}, {"CFBundleIdentifier", "Foo.helper"}});
    file(home, "Library/Preferences/Foo.helper.plist");
    file(home, "Library/Preferences/Foo.plist");
    file(home, "Library/Caches/Foo.helper/x");
    AMAppItemGroup group = RelatedAppFilesScanner::relatedFilesToApplicationAtPath(app);
    std::vector<std::string> paths = pathsOf(group);
    std::vector<std::string> expected{app};
    for (const std::string& p :
         matches(home / "Library/Preferences", {"Foo.helper.plist", "Foo.plist"}))
        expected.push_back(p);
    expected.push_back(home / "Library/Caches/Foo.helper");
    EXPECT_EQ(paths, expected);

    // The helper that joins several groups keeps the first record of a path.
    AMAppItemGroup joined;
    for (const auto& item : group)
        EXPECT_TRUE(AMAppendItemUnlessListed(joined, item));
    auto again = RelatedAppFilesScanner::constructItem(group[1]->path(), false);
    EXPECT_FALSE(AMAppendItemUnlessListed(joined, again));
    EXPECT_FALSE(AMAppendItemUnlessListed(joined, nullptr));
    ASSERT_EQ(joined.size(), group.size());
    EXPECT_EQ(joined[1], group[1]);
}

TEST_F(RelatedFilesTest, OversizedInfoPlistReadsAsMissing) {
    // A valid Info.plist one byte over the cap: the name, identifier and version in it are
    // not read, so the bundle is searched for nothing and listed like one without Info.plist.
    const std::string head =
        "<plist><dict><key>CFBundleName</key><string>Foo</string><key>CFBundleIdentifier</key>"
        "<string>com.apple.foo</string><key>CFBundleShortVersionString</key><string>2.1</string>"
        "<key>Padding</key><string>";
    const std::string tail = "</string></dict></plist>";
    const std::string padding(NSBundle::kMaxInfoPlistBytes + 1 - head.size() - tail.size(), 'x');
    root.write("Applications/Foo.app/Contents/Info.plist", head + padding + tail);
    const std::string bundlePath = root / "Applications/Foo.app";
    file(home, "Library/Caches/Foo/a");
    file(home, "Library/Preferences/com.apple.foo.plist");

    AMAppItemGroup group = RelatedAppFilesScanner::relatedFilesToApplicationAtPath(bundlePath);
    EXPECT_EQ(pathsOf(group), std::vector<std::string>{bundlePath});
    auto item = RelatedAppFilesScanner::constructItem(bundlePath, true);
    EXPECT_EQ(item->bundleID(), std::nullopt);
    EXPECT_EQ(item->bundleVersion(), std::nullopt);
    EXPECT_FALSE(item->isSystemApp());
}

TEST_F(RelatedFilesTest, RecordOfAPath) {
    std::string app = bundle("Foo.app", {{"CFBundleName", "Foo"},
                                         {"CFBundleIdentifier", "id.foo"},
                                         {"CFBundleShortVersionString", "2.1"}});
    std::string apple = bundle("Mail.app", {{"CFBundleIdentifier", "com.apple.mail"}});
    std::string notApple = bundle("Fake.app", {{"CFBundleIdentifier", "Com.Apple.fake"}});
    std::string plain = file(home, "Library/Preferences/foo.plist");
    struct Case {
        std::string path;
        const char* name;
        NSStringOpt bundleID;
        NSStringOpt version;
        bool system;
    } cases[] = {
        {app, "Foo", "id.foo", "2.1", false},
        {apple, "Mail", "com.apple.mail", std::nullopt, true},
        {notApple, "Fake", "Com.Apple.fake", std::nullopt, false},
        {plain, "foo.plist", std::nullopt, std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        auto item = RelatedAppFilesScanner::constructItem(c.path, true);
        EXPECT_EQ(item->path(), c.path);
        EXPECT_EQ(item->name(), c.name);
        EXPECT_EQ(item->bundleID(), c.bundleID);
        EXPECT_EQ(item->bundleVersion(), c.version);
        EXPECT_EQ(item->isSystemApp(), c.system);
        EXPECT_EQ(item->isSystemAppStr(), c.system ? "YES" : "NO");
        EXPECT_EQ(item->size(), "0KB");
        ASSERT_TRUE(item->image());
        auto attributes = NSFileManager::defaultManager()->attributesOfItemAtPath(c.path);
        ASSERT_TRUE(attributes);
        EXPECT_DOUBLE_EQ(item->date().timeIntervalSince1970(), attributes->creationDate);
    }
}

TEST_F(RelatedFilesTest, RecordMadeInAnOpenFolderIsTheRecordOfItsPath) {
    const std::string icns = "icns" + std::string("\0\0\0\x08", 4);
    struct Case {
        const char* entry;
        std::function<void(const std::string& path)> make;  // `path` relative to the volume
    } cases[] = {
        {"Foo.app",
         [&](const std::string& path) {
             bundle("Foo.app", {{"CFBundleIdentifier", "id.foo"},
                                {"CFBundleShortVersionString", "2.1"},
                                {"CFBundleIconFile", "AppIcon"}});
             root.write(path + "/Contents/Resources/AppIcon.icns", icns);
         }},
        {"Named.app",
         [&](const std::string& path) {
             bundle("Named.app", {{"CFBundleIconFile", "Named.icns"}});
             root.write(path + "/Contents/Resources/Named.icns", icns);
         }},
        {"IconIsAFolder.app",
         [&](const std::string& path) {
             bundle("IconIsAFolder.app", {{"CFBundleIconFile", "AppIcon"}});
             std::filesystem::create_directories(root /
                                                 (path + "/Contents/Resources/AppIcon.icns"));
         }},
        {"NoIcon.app",
         [&](const std::string&) {
             bundle("NoIcon.app", {{"CFBundleIconFile", "Missing"}});
         }},
        {"Bare.app",
         [&](const std::string& path) {
             std::filesystem::create_directories(root / (path + "/Contents/MacOS"));
         }},
        {"Flat.app",
         [&](const std::string& path) {
             // Info.plist beside the resources: it names the icon, not the record's values.
             root.write(path + "/Info.plist", infoPlist({{"CFBundleIdentifier", "id.flat"},
                                                         {"CFBundleIconFile", "Flat.icns"}}));
             root.write(path + "/Flat.icns", icns);
         }},
        {"Broken.app",
         [&](const std::string& path) {
             root.write(path + "/Contents/Info.plist", "<plist><dict><key>");
         }},
        {"Huge.app",
         [&](const std::string& path) {
             root.write(path + "/Contents/Info.plist",
                        std::string(NSBundle::kMaxInfoPlistBytes + 1, ' ') +
                            infoPlist({{"CFBundleIdentifier", "id.huge"}}));
         }},
        {"Mail.app",
         [&](const std::string&) {
             bundle("Mail.app", {{"CFBundleIdentifier", "com.apple.mail"}});
         }},
        {"Link.app",
         [&](const std::string& path) {
             bundle("Target.app", {{"CFBundleIdentifier", "id.target"}});
             std::filesystem::create_directory_symlink("Target.app", root / path);
         }},
        {"Tool.plugin", [&](const std::string& path) { root.write(path, "x"); }},
    };
    const std::string applications = root / "Applications";
    std::filesystem::create_directories(applications);
    for (const Case& c : cases)
        c.make(std::string("Applications/") + c.entry);
    // Reached directly, and through a link to the folder: records name the real folder.
    std::filesystem::create_directory_symlink(applications, root / "Alias");

    for (const std::string& folderPath : {applications, root / "Alias"}) {
        std::shared_ptr<const AMScanFolder> folder = AMScanFolder::open(folderPath);
        ASSERT_TRUE(folder);
        for (const Case& c : cases) {
            SCOPED_TRACE(folderPath + " " + c.entry);
            const std::string path = folderPath + "/" + c.entry;
            auto made = RelatedAppFilesScanner::constructItemInFolder(*folder, c.entry, true);
            auto expected = RelatedAppFilesScanner::constructItem(path, true);
            EXPECT_EQ(made->path(), path);
            EXPECT_EQ(made->name(), expected->name());
            EXPECT_EQ(made->bundleID(), expected->bundleID());
            EXPECT_EQ(made->bundleVersion(), expected->bundleVersion());
            EXPECT_EQ(made->isSystemApp(), expected->isSystemApp());
            EXPECT_EQ(made->isSystemAppStr(), expected->isSystemAppStr());
            EXPECT_EQ(made->size(), "0KB");
            EXPECT_DOUBLE_EQ(made->date().timeIntervalSince1970(),
                             expected->date().timeIntervalSince1970());
            ASSERT_TRUE(made->entryRecord());
            EXPECT_EQ(made->entryRecord(), expected->entryRecord());
            EXPECT_EQ(made->entryRecord()->parent, std::filesystem::canonical(applications));
            ASSERT_TRUE(made->image() && expected->image());
            EXPECT_EQ(made->image()->sourcePath(), expected->image()->sourcePath());
            EXPECT_EQ(made->image()->size().width, expected->image()->size().width);
        }
    }
    // What the cases stand for, read from the full path.
    auto record = [&](const char* entry) {
        return RelatedAppFilesScanner::constructItem(applications + "/" + entry, true);
    };
    EXPECT_EQ(record("Foo.app")->image()->sourcePath(),
              applications + "/Foo.app/Contents/Resources/AppIcon.icns");
    EXPECT_EQ(record("Flat.app")->image()->sourcePath(), applications + "/Flat.app/Flat.icns");
    EXPECT_EQ(record("Flat.app")->bundleID(), std::nullopt);
    EXPECT_EQ(record("Huge.app")->bundleID(), std::nullopt);
    EXPECT_EQ(record("Link.app")->bundleID(), "id.target");
    EXPECT_EQ(record("Link.app")->entryRecord()->type, S_IFLNK);
    EXPECT_NE(record("IconIsAFolder.app")->image()->sourcePath(),
              applications + "/IconIsAFolder.app/Contents/Resources/AppIcon.icns");
}

}  // namespace
