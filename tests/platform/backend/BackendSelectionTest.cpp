// Catches a start-up that picks real windows where there is no display (or against an explicit
// request for the headless backend), or that fails instead of falling back to image surfaces;
// and windows made before any backend was chosen, which must stop with a message, not draw
// nowhere.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/appkit/WindowBackend.h"
#include "platform/backend/BackendSelection.h"
#include "platform/backend/HeadlessBackend.h"
#include "platform/testing/LogCapture.h"

namespace {

using platform::BackendKind;

TEST(BackendSelection, ChoosesByRequestAndDisplay) {
    const struct {
        const char* requested;
        bool display;
        BackendKind expected;
    } cases[] = {
        {"", true, BackendKind::Sdl},
        {"", false, BackendKind::Headless},
        {"sdl", true, BackendKind::Sdl},
        {"sdl", false, BackendKind::Headless},
        {"headless", true, BackendKind::Headless},
        {"headless", false, BackendKind::Headless},
        {"vulkan", true, BackendKind::Sdl},
        {"vulkan", false, BackendKind::Headless},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "'" << c.requested << "' display " << c.display);
        EXPECT_EQ(platform::chooseBackendKind(c.requested, c.display), c.expected);
    }
}

// Restores an environment variable when the test ends.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(BackendSelection, FallsBackToHeadlessWhenSdlHasNoDisplay) {
    platform::LogCapture log;
    {
        ScopedEnv backend("PLATFORM_BACKEND", "sdl");
        ScopedEnv display("DISPLAY", nullptr);
        ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
        EXPECT_EQ(platform::installDefaultBackend(), BackendKind::Headless);
        EXPECT_NE(dynamic_cast<HeadlessBackend*>(&WindowBackend::shared()), nullptr);
    }
    {
        // A named display that cannot be reached falls back too.
        ScopedEnv backend("PLATFORM_BACKEND", nullptr);
        ScopedEnv display("DISPLAY", ":2147483");
        ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
        ScopedEnv driver("SDL_VIDEODRIVER", "x11");
        EXPECT_EQ(platform::installDefaultBackend(), BackendKind::Headless);
        EXPECT_NE(dynamic_cast<HeadlessBackend*>(&WindowBackend::shared()), nullptr);
    }
    EXPECT_EQ(log.lines().size(), 1u) << "the fallback is said once";
    WindowBackend::setShared(nullptr);
}

TEST(BackendSelection, AnApplicationWithoutAWindowSystemInstallsNothingAndSaysWhy) {
    auto before = std::make_shared<HeadlessBackend>();
    WindowBackend::setShared(before);
    const struct {
        const char* display;
        const char* expected;
    } cases[] = {
        {nullptr, "DISPLAY"},
        {":2147483", "DISPLAY=:2147483"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.display ? c.display : "(unset)");
        ScopedEnv backend("PLATFORM_BACKEND", nullptr);
        ScopedEnv display("DISPLAY", c.display);
        ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
        ScopedEnv driver("SDL_VIDEODRIVER", "x11");
        std::string problem;
        EXPECT_FALSE(platform::installApplicationBackend(&problem));
        EXPECT_NE(problem.find(c.expected), std::string::npos) << problem;
        EXPECT_NE(problem.find("PLATFORM_BACKEND=headless"), std::string::npos) << problem;
        EXPECT_EQ(&WindowBackend::shared(), before.get()) << "no backend installed";
    }
    ScopedEnv backend("PLATFORM_BACKEND", "headless");
    ScopedEnv display("DISPLAY", nullptr);
    std::string problem;
    EXPECT_EQ(platform::installApplicationBackend(&problem), BackendKind::Headless);
    EXPECT_TRUE(problem.empty());
    WindowBackend::setShared(nullptr);
}

TEST(BackendSelection, AResetInstallsTheDefaultBackend) {
    platform::useHeadlessBackendByDefault();
    auto other = std::make_shared<HeadlessBackend>();
    WindowBackend::setShared(other);
    WindowBackend::setShared(nullptr);
    EXPECT_NE(&WindowBackend::shared(), other.get());
    EXPECT_NE(dynamic_cast<HeadlessBackend*>(&WindowBackend::shared()), nullptr);
}

TEST(BackendSelectionDeathTest, WindowsBeforeAnyBackendWasChosenStopWithAMessage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            WindowBackend::setFallbackFactory(nullptr);
            WindowBackend::setShared(nullptr);
            WindowBackend::shared();
        },
        "no window backend");
}

}  // namespace
