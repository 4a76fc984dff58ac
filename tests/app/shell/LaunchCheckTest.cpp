// Catches a start on a volume folder that is missing or is not a volume going on to show empty
// lists instead of saying what is wrong.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "shell/LaunchCheck.h"
#include "support/FileFixtures.h"

namespace {

TEST(LaunchCheck, NamesWhatIsWrongWithTheVolume) {
    fixtures::TempDir dir;
    dir.mkdir("volume/Applications");
    dir.mkdir("bare/Library");
    dir.write("file", "x");
    const struct {
        std::optional<std::string> root;
        const char* expected;  // nullptr: no problem
    } cases[] = {
        {std::nullopt, nullptr},
        {std::string(), nullptr},
        {dir / "volume", nullptr},
        {dir / "volume/", nullptr},
        {dir / "missing", "is not a folder"},
        {dir / "file", "is not a folder"},
        {dir / "bare", "has no Applications folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.root.value_or("(unset)"));
        fixtures::ScopedEnv root("UNINSTALLER_ROOT", c.root);
        auto problem = LaunchCheck::volumeProblem();
        if (c.expected == nullptr) {
            EXPECT_FALSE(problem) << *problem;
            continue;
        }
        ASSERT_TRUE(problem);
        EXPECT_NE(problem->find(c.expected), std::string::npos) << *problem;
        EXPECT_NE(problem->find(*c.root), std::string::npos) << "names the folder";
        EXPECT_NE(problem->find("UNINSTALLER_ROOT"), std::string::npos) << "says what to set";
    }
}

}  // namespace
