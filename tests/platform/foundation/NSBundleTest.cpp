// Catches bundle look-ups that find the wrong file (a language folder before the resource
// folder, a missing file), misread Info.plist, or lose the main bundle's resources folder; and
// bundles opened through their folder's descriptor that differ from those opened by path.
#include "platform/foundation/NSBundle.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/PropertyList.h"
#include "support/FileFixtures.h"

namespace {

using fixtures::ScopedEnv;
using fixtures::TempDir;

void write(const std::string& path, const std::string& content = "x") {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

/// Foo.app in a temporary folder, with Info.plist, an executable, resources and languages;
/// the user's languages come from LANGUAGE.
class NSBundleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        NSUserDefaults::resetStandardUserDefaults();
        app_ = tmp_ / "Foo.app";
        PlistValue info;
        info.setObject("com.example.foo", "CFBundleIdentifier");
        info.setObject("Foo", "CFBundleExecutable");
        info.setObject("1.2.3", "CFBundleShortVersionString");
        std::filesystem::create_directories(app_ + "/Contents/Resources");
        ASSERT_TRUE(PropertyList::writeFileAtomically(info, app_ + "/Contents/Info.plist"));
        write(app_ + "/Contents/MacOS/Foo");
        write(app_ + "/Contents/Resources/icon.icns");
        write(app_ + "/Contents/Resources/Both.strings", "top");
        write(app_ + "/Contents/Resources/fr.lproj/Both.strings", "fr");
        write(app_ + "/Contents/Resources/fr.lproj/Only.strings", "fr");
        write(app_ + "/Contents/Resources/de.lproj/Only.strings", "de");
        write(app_ + "/Contents/Resources/en.lproj/Only.strings", "en");
        write(app_ + "/Contents/Resources/pt_BR.lproj/Brazil.strings", "pt_BR");
        write(app_ + "/Contents/Resources/Base.lproj/Main.ui", "base");
        write(app_ + "/Contents/Resources/Sub/inner.png", "inner");
        write(app_ + "/Contents/Resources/not-a-folder.lproj", "file");
    }
    void TearDown() override { NSUserDefaults::resetStandardUserDefaults(); }

    std::string resources(const std::string& rel) const {
        return app_ + "/Contents/Resources/" + rel;
    }

    TempDir tmp_;
    ScopedEnv home_{"HOME", tmp_.path()};
    ScopedEnv language_{"LANGUAGE", "fr"};
    std::string app_;
};

TEST_F(NSBundleTest, BundleWithPathNeedsAnExistingFolder) {
    EXPECT_NE(NSBundle::bundleWithPath(app_), nullptr);
    EXPECT_NE(NSBundle::bundleWithPath(app_ + "/"), nullptr);
    EXPECT_EQ(NSBundle::bundleWithPath(tmp_ / "Missing.app"), nullptr);
    EXPECT_EQ(NSBundle::bundleWithPath(app_ + "/Contents/MacOS/Foo"), nullptr) << "a file";
    EXPECT_EQ(NSBundle::bundleWithPath(""), nullptr);
    EXPECT_EQ(NSBundle::bundleWithPath(app_ + "/")->bundlePath(), app_);
}

TEST_F(NSBundleTest, InfoDictionary) {
    auto b = NSBundle::bundleWithPath(app_);
    EXPECT_EQ(b->bundleIdentifier(), std::optional<std::string>("com.example.foo"));
    ASSERT_NE(b->objectForInfoDictionaryKey("CFBundleShortVersionString"), nullptr);
    EXPECT_EQ(b->objectForInfoDictionaryKey("CFBundleShortVersionString")->stringValue(),
              std::optional<std::string>("1.2.3"));
    EXPECT_EQ(b->objectForInfoDictionaryKey("Missing"), nullptr);
    EXPECT_EQ(b->infoDictionary().count(), 3u);
    EXPECT_EQ(b->executablePath(), std::optional<std::string>(app_ + "/Contents/MacOS/Foo"));
    EXPECT_EQ(b->resourcePath(), app_ + "/Contents/Resources");

    // Read once: a later change of the file is not seen by the same object.
    PlistValue other;
    other.setObject("changed", "CFBundleIdentifier");
    ASSERT_TRUE(PropertyList::writeFileAtomically(other, app_ + "/Contents/Info.plist"));
    EXPECT_EQ(b->bundleIdentifier(), std::optional<std::string>("com.example.foo"));
    EXPECT_EQ(NSBundle::bundleWithPath(app_)->bundleIdentifier(),
              std::optional<std::string>("changed"));
}

TEST_F(NSBundleTest, MissingOrMalformedInfoPlistGivesAnEmptyDictionary) {
    struct Case {
        const char* name;
        std::optional<std::string> content;
    } cases[] = {
        {"missing", std::nullopt},
        {"malformed", "<plist><dict><key>CFBundleIdentifier</key>"},
        {"an array", "<plist><array><string>x</string></array></plist>"},
        {"identifier not a string",
         "<plist><dict><key>CFBundleIdentifier</key><integer>5</integer></dict></plist>"},
    };
    for (const auto& c : cases) {
        const std::string path = tmp_ / (std::string("Case-") + c.name + ".app");
        std::filesystem::create_directories(path + "/Contents");
        if (c.content) write(path + "/Contents/Info.plist", *c.content);
        auto b = NSBundle::bundleWithPath(path);
        ASSERT_NE(b, nullptr) << c.name;
        EXPECT_TRUE(b->infoDictionary().isDictionary()) << c.name;
        EXPECT_EQ(b->bundleIdentifier(), std::nullopt) << c.name;
        EXPECT_EQ(b->executablePath(), std::nullopt) << c.name;
    }
}

/// A valid Info.plist of exactly `bytes` bytes, the length made up by a padding string.
std::string paddedInfoPlist(std::size_t bytes) {
    const std::string head =
        "<plist><dict><key>CFBundleIdentifier</key><string>com.example.big</string>"
        "<key>Padding</key><string>";
    const std::string tail = "</string></dict></plist>";
    return head + std::string(bytes - head.size() - tail.size(), 'x') + tail;
}

TEST_F(NSBundleTest, InfoPlistLargerThanTheCapReadsAsMissing) {
    struct Case {
        std::size_t bytes;
        bool read;
    } cases[] = {
        {NSBundle::kMaxInfoPlistBytes, true},
        {NSBundle::kMaxInfoPlistBytes + 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const std::string path = tmp_ / ("Big" + std::to_string(c.bytes) + ".app");
        write(path + "/Contents/Info.plist", paddedInfoPlist(c.bytes));
        ASSERT_EQ(std::filesystem::file_size(path + "/Contents/Info.plist"), c.bytes);
        const std::optional<std::string> identifier =
            c.read ? std::optional<std::string>("com.example.big") : std::nullopt;
        auto b = NSBundle::bundleWithPath(path);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->bundleIdentifier(), identifier);
        EXPECT_TRUE(b->infoDictionary().isDictionary());
        EXPECT_EQ(b->infoDictionary().count(), c.read ? 2u : 0u);
        auto direct = NSBundle::infoDictionaryAtPath(path + "/Contents/Info.plist");
        EXPECT_EQ(direct.has_value(), c.read);
        // The cap is the bundle's: the same file is still a property list to other readers.
        EXPECT_TRUE(NSDictionaryFromFile(path + "/Contents/Info.plist").has_value());
    }
}

TEST_F(NSBundleTest, BundleAtAnEntryOfAnOpenFolderIsTheBundleAtItsPath) {
    const std::string flatInfo =
        "<plist><dict><key>CFBundleIdentifier</key><string>com.example.flat</string></dict>"
        "</plist>";
    write(tmp_ / "Flat.app/Info.plist", flatInfo);
    write(tmp_ / "Bare.app/Contents/MacOS/Bare");
    write(tmp_ / "Broken.app/Contents/Info.plist", "<plist><dict>");
    write(tmp_ / "Huge.app/Contents/Info.plist", paddedInfoPlist(NSBundle::kMaxInfoPlistBytes + 1));
    write(tmp_ / "ContentsIsAFile.app/Contents", "x");
    write(tmp_ / "File.app", "x");
    std::filesystem::create_directory_symlink("Foo.app", tmp_ / "Link.app");
    const int folder = ::open(tmp_.path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folder, 0);
    for (const char* name : {"Foo.app", "Flat.app", "Bare.app", "Broken.app", "Huge.app",
                             "ContentsIsAFile.app", "File.app", "Link.app", "Missing.app"}) {
        SCOPED_TRACE(name);
        const std::string path = tmp_ / name;
        auto byPath = NSBundle::bundleWithPath(path);
        auto atEntry = NSBundle::bundleAtEntry(folder, name, path);
        ASSERT_EQ(atEntry != nullptr, byPath != nullptr);
        if (!byPath) continue;
        EXPECT_EQ(atEntry->bundlePath(), byPath->bundlePath());
        EXPECT_EQ(atEntry->isFlat(), byPath->isFlat());
        EXPECT_EQ(atEntry->resourcePath(), byPath->resourcePath());
        EXPECT_EQ(atEntry->infoDictionary(), byPath->infoDictionary());
    }
    ::close(folder);
    EXPECT_TRUE(NSBundle::bundleWithPath(tmp_ / "Flat.app")->isFlat());
    EXPECT_EQ(NSBundle::bundleWithPath(tmp_ / "Flat.app")->bundleIdentifier(), "com.example.flat");
    EXPECT_EQ(NSBundle::bundleWithPath(tmp_ / "Link.app")->bundleIdentifier(), "com.example.foo");
}

TEST_F(NSBundleTest, ExecutablePathNeedsTheFile) {
    std::filesystem::remove(app_ + "/Contents/MacOS/Foo");
    EXPECT_EQ(NSBundle::bundleWithPath(app_)->executablePath(), std::nullopt);
}

TEST_F(NSBundleTest, PathForResourceSearchOrder) {
    auto b = NSBundle::bundleWithPath(app_);
    struct Case {
        const char* name;
        const char* type;
        std::optional<std::string> expected;
    } cases[] = {
        {"icon", "icns", resources("icon.icns")},
        {"icon.icns", "", resources("icon.icns")},
        {"icon", ".icns", resources("icon.icns")},
        {"Both", "strings", resources("Both.strings")},  // the resource folder comes first
        {"Only", "strings", resources("fr.lproj/Only.strings")},
        {"Main", "ui", resources("Base.lproj/Main.ui")},
        {"Brazil", "strings", std::nullopt},  // pt_BR is not a preferred language
        {"missing", "png", std::nullopt},
        {"icon", "png", std::nullopt},
        {"", "icns", std::nullopt},
        {"Sub", "", resources("Sub")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(b->pathForResource(c.name, c.type), c.expected) << c.name << "." << c.type;
    }
    EXPECT_EQ(b->pathForResource("inner", "png", "Sub"),
              std::optional<std::string>(resources("Sub/inner.png")));
}

TEST_F(NSBundleTest, PreferredLanguagesPickTheLocalisationFolder) {
    struct Case {
        const char* language;
        const char* name;
        std::optional<std::string> expected;
    } cases[] = {
        {"de", "Only", resources("de.lproj/Only.strings")},
        {"de_DE.UTF-8", "Only", resources("de.lproj/Only.strings")},
        {"it:de", "Only", resources("de.lproj/Only.strings")},
        {"it", "Only", resources("en.lproj/Only.strings")},
        {"pt_BR", "Brazil", resources("pt_BR.lproj/Brazil.strings")},
    };
    for (const auto& c : cases) {
        ScopedEnv env("LANGUAGE", c.language);
        NSUserDefaults::resetStandardUserDefaults();
        EXPECT_EQ(NSBundle::bundleWithPath(app_)->pathForResource(c.name, "strings"), c.expected)
            << c.language;
    }
}

TEST_F(NSBundleTest, LocalizationsAreTheLprojFoldersSorted) {
    EXPECT_EQ(NSBundle::bundleWithPath(app_)->localizations(),
              (std::vector<std::string>{"Base", "de", "en", "fr", "pt_BR"}));
    std::filesystem::create_directories(tmp_ / "Bare.app/Contents");
    EXPECT_TRUE(NSBundle::bundleWithPath(tmp_ / "Bare.app")->localizations().empty());
}

TEST_F(NSBundleTest, MainBundleIsTheResourcesFolder) {
    const std::string res = tmp_ / "resources";
    std::filesystem::create_directories(res + "/fr.lproj");
    write(res + "/StringMessage.plist", "<plist><dict/></plist>");
    write(res + "/fr.lproj/Local.strings");
    PlistValue info;
    info.setObject("com.example.uninstaller", "CFBundleIdentifier");
    ASSERT_TRUE(PropertyList::writeFileAtomically(info, res + "/Info.plist"));

    {
        ScopedEnv env("UNINSTALLER_RESOURCES", res);
        NSBundle::setMainBundleForTesting(std::nullopt);
        auto main = NSBundle::mainBundle();
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(main, NSBundle::mainBundle()) << "found once and kept";
        EXPECT_EQ(main->bundlePath(), res);
        EXPECT_EQ(main->resourcePath(), res);
        EXPECT_EQ(main->pathForResource("StringMessage", "plist"),
                  std::optional<std::string>(res + "/StringMessage.plist"));
        EXPECT_EQ(main->pathForResource("Local", "strings"),
                  std::optional<std::string>(res + "/fr.lproj/Local.strings"));
        EXPECT_EQ(main->bundleIdentifier(), std::optional<std::string>("com.example.uninstaller"));
        EXPECT_EQ(main->localizations(), std::vector<std::string>{"fr"});
        char exe[4096];
        const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
        ASSERT_GT(n, 0);
        EXPECT_EQ(main->executablePath(), std::optional<std::string>(std::string(exe, n)));
    }

    NSBundle::setMainBundleForTesting(tmp_ / "elsewhere");
    EXPECT_EQ(NSBundle::mainBundle()->bundlePath(), tmp_ / "elsewhere");
    EXPECT_EQ(NSBundle::mainBundle()->pathForResource("StringMessage", "plist"), std::nullopt);

    {
        // Without the variable: "resources" beside the test executable, or a parent's.
        ScopedEnv env("UNINSTALLER_RESOURCES", std::nullopt);
        NSBundle::setMainBundleForTesting(std::nullopt);
        EXPECT_FALSE(NSBundle::mainBundle()->bundlePath().empty());
    }
    NSBundle::setMainBundleForTesting(std::nullopt);
}

TEST_F(NSBundleTest, AFolderWithoutContentsIsFlat) {
    const std::string flat = tmp_ / "Flat.bundle";
    write(flat + "/data.txt");
    ASSERT_TRUE(PropertyList::writeFileAtomically(
        PlistValue(PlistValue::Dictionary{{"CFBundleIdentifier", PlistValue("flat.id")}}),
        flat + "/Info.plist"));
    auto b = NSBundle::bundleWithPath(flat);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->resourcePath(), flat);
    EXPECT_EQ(b->bundleIdentifier(), std::optional<std::string>("flat.id"));
    EXPECT_EQ(b->pathForResource("data", "txt"), std::optional<std::string>(flat + "/data.txt"));
}

}  // namespace
