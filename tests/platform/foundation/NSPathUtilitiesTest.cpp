// Catches standard folders off the volume root or home, out of domain order, or with "//".
#include "platform/foundation/NSPathUtilities.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/FileFixtures.h"

namespace {

using fixtures::ScopedEnv;
using Paths = std::vector<std::string>;

struct Case {
    NSSearchPathDirectory directory;
    NSSearchPathDomainMask domains;
    Paths expected;  // "<home>" and "<root>" are replaced before comparing
};

std::string substitute(std::string path, const std::string& home, const std::string& root) {
    for (auto [token, value] : {std::pair<std::string, std::string>{"<home>", home},
                                std::pair<std::string, std::string>{"<root>", root}}) {
        if (path.rfind(token, 0) == 0) path = value + path.substr(token.size());
    }
    return path;
}

void checkTable(const std::vector<Case>& cases, const std::string& home, const std::string& root,
                bool expandTilde) {
    for (const Case& c : cases) {
        Paths expected;
        for (const auto& p : c.expected)
            expected.push_back(substitute(p, home, root));
        EXPECT_EQ(NSSearchPathForDirectoriesInDomains(c.directory, c.domains, expandTilde),
                  expected)
            << "directory " << c.directory << " domains " << c.domains << " root '" << root
            << "' tilde " << expandTilde;
    }
}

const std::vector<Case>& table() {
    static const std::vector<Case> cases = {
        {NSLibraryDirectory,
         NSAllDomainsMask,
         {"<home>/Library", "<root>/Library", "<root>/Network/Library", "<root>/System/Library"}},
        {NSApplicationDirectory,
         NSAllDomainsMask,
         {"<home>/Applications", "<root>/Applications", "<root>/Network/Applications",
          "<root>/System/Applications"}},
        {NSApplicationDirectory,
         NSLocalDomainMask | NSUserDomainMask,
         {"<home>/Applications", "<root>/Applications"}},
        {NSAdminApplicationDirectory, NSLocalDomainMask, {"<root>/Applications/Utilities"}},
        {NSCachesDirectory,
         NSUserDomainMask | NSLocalDomainMask,
         {"<home>/Library/Caches", "<root>/Library/Caches"}},
        {NSApplicationSupportDirectory,
         NSUserDomainMask | NSLocalDomainMask,
         {"<home>/Library/Application Support", "<root>/Library/Application Support"}},
        {NSPreferencePanesDirectory,
         NSUserDomainMask | NSLocalDomainMask,
         {"<home>/Library/PreferencePanes", "<root>/Library/PreferencePanes"}},
        {NSDownloadsDirectory, NSAllDomainsMask, {"<home>/Downloads"}},
        {NSDesktopDirectory, NSAllDomainsMask, {"<home>/Desktop"}},
        {NSDocumentDirectory, NSLocalDomainMask, {}},
        {NSUserDirectory, NSAllDomainsMask, {"<root>/Users", "<root>/Network/Users"}},
        {NSLibraryDirectory, NSSystemDomainMask, {"<root>/System/Library"}},
        {NSLibraryDirectory, 0, {}},
    };
    return cases;
}

TEST(NSPathUtilitiesSearchPaths, UserAndLocalDomainsWithAndWithoutVolumeRoot) {
    fixtures::TempDir home;
    fixtures::TempDir volume;
    ScopedEnv setHome("HOME", home.path());
    {
        ScopedEnv noRoot("UNINSTALLER_ROOT", std::nullopt);
        checkTable(table(), home.path(), "", true);
        checkTable(table(), "~", "", false);
        EXPECT_EQ(NSSearchPathForDirectoriesInDomains(NSLibraryDirectory, NSLocalDomainMask, true),
                  Paths{"/Library"})
            << "no double slash at the root";
    }
    {
        ScopedEnv withRoot("UNINSTALLER_ROOT", volume.path() + "//");
        checkTable(table(), home.path(), volume.path(), true);
        checkTable(table(), "~", volume.path(), false);
    }
    {
        ScopedEnv emptyRoot("UNINSTALLER_ROOT", std::string());
        checkTable(table(), home.path(), "", true);
    }
}

TEST(NSPathUtilitiesSearchPaths, FollowsEnvironmentChanges) {
    ScopedEnv root("UNINSTALLER_ROOT", std::string("/vol/one"));
    ScopedEnv home("HOME", std::string("/home/first"));
    EXPECT_EQ(NSSearchPathForDirectoriesInDomains(NSCachesDirectory, NSUserDomainMask, true),
              Paths{"/home/first/Library/Caches"});
    setenv("UNINSTALLER_ROOT", "/vol/two/", 1);
    setenv("HOME", "/home/second", 1);
    EXPECT_EQ(NSSearchPathForDirectoriesInDomains(NSCachesDirectory, NSUserDomainMask, true),
              Paths{"/home/second/Library/Caches"});
    EXPECT_EQ(platformVolumeRoot(), "/vol/two");
    EXPECT_EQ(platformVolumePath("Applications"), "/vol/two/Applications");
}

TEST(NSPathUtilitiesFolders, HomeTemporaryAndVolumeRoot) {
    struct RootCase {
        std::optional<std::string> env;
        const char* root;
        const char* applications;
    } roots[] = {
        {std::nullopt, "/", "/Applications"},
        {std::string(""), "/", "/Applications"},
        {std::string("/"), "/", "/Applications"},
        {std::string("/mnt/mac///"), "/mnt/mac", "/mnt/mac/Applications"},
    };
    for (const RootCase& c : roots) {
        ScopedEnv root("UNINSTALLER_ROOT", c.env);
        EXPECT_EQ(platformVolumeRoot(), c.root) << c.env.value_or("(unset)");
        EXPECT_EQ(platformVolumePath("Applications"), c.applications);
    }

    {
        ScopedEnv home("HOME", std::string("/somewhere/home"));
        EXPECT_EQ(NSHomeDirectory(), "/somewhere/home");
    }
    {
        ScopedEnv home("HOME", std::nullopt);  // falls back to the passwd entry
        EXPECT_FALSE(NSHomeDirectory().empty());
        EXPECT_EQ(NSHomeDirectory().front(), '/');
    }
    {
        ScopedEnv tmp("TMPDIR", std::string("/var/tmp/x"));
        EXPECT_EQ(NSTemporaryDirectory(), "/var/tmp/x/");
    }
    {
        ScopedEnv tmp("TMPDIR", std::nullopt);
        EXPECT_EQ(NSTemporaryDirectory(), "/tmp/");
    }
}

}  // namespace
