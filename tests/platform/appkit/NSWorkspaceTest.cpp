// Catches bundle icons that are decoded too early, read from the wrong member or file, that
// crash or vanish on a broken .icns instead of falling back, icon files of older members (JPEG
// 2000, run-length) drawn as generic icons, and wrong generic icons.
#include "platform/appkit/NSWorkspace.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphics.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "support/FileFixtures.h"
#include "support/ImageFixtures.h"
#include "support/ScopedResources.h"
#include "tests/platform/graphics/IcnsFixtures.h"

namespace {

using fixtures::TempDir;

/// The bytes of a solid PNG of `w` x `h` pixels.
std::string solidPng(const TempDir& dir, int w, int h, const Ref<NSColor>& color) {
    std::string path = dir / "solid.png";
    fixtures::writeSolidPng(path, w, h, color);
    return fixtures::readFile(path);
}

std::string be32(std::uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

/// An .icns container of the given (type, data) members.
std::string icnsOf(const std::vector<std::pair<std::string, std::string>>& members) {
    std::string body;
    for (const auto& [type, data] : members)
        body += type + be32(static_cast<std::uint32_t>(data.size() + 8)) + data;
    return "icns" + be32(static_cast<std::uint32_t>(body.size() + 8)) + body;
}

class WorkspaceIconTest : public ::testing::Test {
  protected:
    /// A bundle at `relative` whose Info.plist names `iconFile` (none when empty) and whose
    /// resources hold `icnsBytes` as AppIcon.icns (none when empty).
    std::string bundle(const std::string& relative, const std::string& iconFile,
                       const std::string& icnsBytes) {
        std::string path = dir.mkdir(relative + "/Contents/Resources");
        std::string key = iconFile.empty()
                              ? std::string()
                              : "<key>CFBundleIconFile</key><string>" + iconFile + "</string>";
        dir.write(relative + "/Contents/Info.plist",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" +
                      key + "</dict></plist>\n");
        if (!icnsBytes.empty()) dir.write(relative + "/Contents/Resources/AppIcon.icns", icnsBytes);
        return dir / relative;
    }

    /// The colour at the centre of the icon drawn into 32 x 32 pixels.
    NSGraphicsContext::Pixel centre(const Ref<NSImage>& icon) {
        auto context = NSGraphicsContext::contextWithBitmap(32, 32);
        NSGraphicsContext::saveGraphicsState();
        NSGraphicsContext::setCurrentContext(context);
        icon->drawInRect(NSMakeRect(0, 0, 32, 32));
        NSGraphicsContext::restoreGraphicsState();
        return context->pixelAt(16, 16);
    }

    TempDir dir;
    fixtures::ScopedResources resources{UNINSTALLER_RESOURCES_DIR};
    Ref<NSWorkspace> workspace = NSWorkspace::sharedWorkspace();
};

// A file icon is 32 points: of its PNG members it decodes the smallest that still draws
// sharply at that size (64 pixels), not the largest, which can be 1024 pixels.
TEST_F(WorkspaceIconTest, BundleIconDecodesTheMemberFitForThirtyTwoPointsOnFirstDraw) {
    // The small red member comes first, the blue one fit for 32 points behind a member that is
    // not PNG, the large green one last: blue must be drawn whichever way the file is named.
    std::string icns = icnsOf({{"ic07", solidPng(dir, 16, 16, NSColor::redColor())},
                               {"is32", std::string(300, '\x7f')},
                               {"ic09", solidPng(dir, 64, 64, NSColor::blueColor())},
                               {"ic08", solidPng(dir, 256, 256, NSColor::greenColor())}});
    for (const char* iconFile : {"AppIcon", "AppIcon.icns"}) {
        SCOPED_TRACE(iconFile);
        std::string app = bundle(std::string("Foo-") + iconFile + ".app", iconFile, icns);
        Ref<NSImage> icon = workspace->iconForFile(app);
        ASSERT_TRUE(icon);
        EXPECT_EQ(icon->sourcePath(), app + "/Contents/Resources/AppIcon.icns");
        EXPECT_FALSE(icon->isDecoded());
        auto p = centre(icon);
        EXPECT_TRUE(p.b > 200 && p.r < 50 && p.g < 50 && p.a > 200)
            << int(p.r) << " " << int(p.g) << " " << int(p.b);
        EXPECT_TRUE(icon->isDecoded());
        EXPECT_FALSE(icon->usesFallback());
        EXPECT_EQ(icon->size(), (NSSize{32, 32}));
        EXPECT_EQ(workspace->iconForFile(app), icon) << "an unchanged icon file is not read again";
    }
    // With no member that large, the largest there is.
    std::string small = icnsOf({{"ic07", solidPng(dir, 16, 16, NSColor::redColor())},
                                {"ic11", solidPng(dir, 32, 32, NSColor::blueColor())}});
    auto p = centre(workspace->iconForFile(bundle("Small.app", "AppIcon", small)));
    EXPECT_TRUE(p.b > 200 && p.r < 50) << int(p.r) << " " << int(p.b);
}

// Icon files made before PNG members hold run-length or JPEG 2000 members only: they draw as
// themselves, from the member fit for 32 points.
TEST_F(WorkspaceIconTest, BundleIconOfOlderMembersDrawsItself) {
    using icnsfixtures::packRunLength, icnsfixtures::plane, icnsfixtures::solidJpeg2000;
    const auto rgb = [](std::uint32_t side, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return packRunLength(plane(side, r)) + packRunLength(plane(side, g)) +
               packRunLength(plane(side, b));
    };
    const auto argb = [&](std::uint32_t side, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return "ARGB" + packRunLength(plane(side, 0xff)) + rgb(side, r, g, b);
    };
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"24-bit with masks", icnsOf({{"is32", rgb(16, 255, 0, 0)},
                                      {"s8mk", plane(16, 0xff)},
                                      {"it32", be32(0) + rgb(128, 0, 0, 255)},
                                      {"t8mk", plane(128, 0xff)},
                                      {"il32", rgb(32, 255, 0, 0)},
                                      {"l8mk", plane(32, 0xff)}})},
        {"JPEG 2000", icnsOf({{"ic11", solidPng(dir, 32, 32, NSColor::redColor())},
                              {"ic07", solidJpeg2000(128, 0, 0, 255)},
                              {"ic08", solidJpeg2000(256, 255, 0, 0)}})},
        {"ARGB", icnsOf({{"ic04", argb(16, 255, 0, 0)}, {"ic05", argb(32, 0, 0, 255)}})},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string app = bundle("Old" + std::to_string(n++) + ".app", "AppIcon", c.bytes);
        Ref<NSImage> icon = workspace->iconForFile(app);
        ASSERT_TRUE(icon);
        auto p = centre(icon);
        EXPECT_FALSE(icon->usesFallback());
        EXPECT_TRUE(p.b > 200 && p.r < 50 && p.g < 50 && p.a > 200)
            << int(p.r) << " " << int(p.g) << " " << int(p.b) << " " << int(p.a);
    }
}

TEST_F(WorkspaceIconTest, BrokenIconFileFallsBackToGenericIconOfItsKind) {
    std::string png = solidPng(dir, 16, 16, NSColor::redColor());
    std::string corruptPng = png.substr(0, 33) + std::string(png.size() - 33, '\0');
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"header only", "icns"},
        {"no PNG member", icnsOf({{"is32", std::string(64, 'x')}})},
        {"member shorter than its header", "icns" + be32(24) + "ic07" + be32(4) + png},
        {"member past the end", "icns" + be32(4000) + "ic07" + be32(3000) + png},
        {"PNG data broken after the header", icnsOf({{"ic07", corruptPng}})},
        {"PNG cut short", icnsOf({{"ic07", png.substr(0, png.size() / 2)}})},
        {"not an icns at all", "GIF89a........"},
    };
    Ref<NSImage> generic = NSImage::imageNamed("generic_app");
    ASSERT_TRUE(generic);
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string app = bundle("Broken" + std::to_string(n++) + ".app", "AppIcon", c.bytes);
        Ref<NSImage> icon = workspace->iconForFile(app);
        ASSERT_TRUE(icon);
        EXPECT_TRUE(icon->isValid());
        EXPECT_TRUE(icon->usesFallback());
        EXPECT_EQ(icon->size(), (NSSize{32, 32}));
        EXPECT_GT(centre(icon).a, 0);
    }
}

TEST_F(WorkspaceIconTest, GenericIconsByKind) {
    dir.mkdir("Plain folder");
    dir.write("notes.txt", "text");
    bundle("NoIcon.app", "", "");
    bundle("MissingIcon.app", "Nothing", "");
    bundle("Escape.app", "../../../notes.txt", "");
    bundle("Sync.prefPane", "", "");
    dir.mkdir("Bare.APP");
    struct Case {
        const char* relative;
        const char* icon;
    } cases[] = {
        {"NoIcon.app", "generic_app"},      {"MissingIcon.app", "generic_app"},
        {"Escape.app", "generic_app"},      {"Bare.APP", "generic_app"},
        {"Plain folder", "generic_folder"}, {"Sync.prefPane", "generic_file"},
        {"notes.txt", "generic_file"},      {"does not exist", "generic_file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.relative);
        Ref<NSImage> icon = workspace->iconForFile(dir / c.relative);
        ASSERT_TRUE(icon);
        EXPECT_EQ(icon->name(), c.icon);
        EXPECT_TRUE(icon->isValid());
    }
}

TEST_F(WorkspaceIconTest, ThousandIconsCostNoDecode) {
    std::string icns = icnsOf({{"ic10", solidPng(dir, 256, 256, NSColor::greenColor())}});
    std::vector<std::string> apps;
    for (int i = 0; i < 1000; ++i)
        apps.push_back(bundle("Many/App" + std::to_string(i) + ".app", "AppIcon", icns));
    auto start = std::chrono::steady_clock::now();
    std::vector<Ref<NSImage>> icons;
    for (const std::string& app : apps)
        icons.push_back(workspace->iconForFile(app));
    double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    int decoded = 0;
    for (const Ref<NSImage>& icon : icons)
        decoded += icon->isDecoded() ? 1 : 0;
    EXPECT_EQ(decoded, 0);
    RecordProperty("iconForFile_1000_ms", std::to_string(ms));
    std::printf("1,000 bundle icons built in %.1f ms, %d decoded\n", ms, decoded);
    EXPECT_EQ(centre(icons.back()).g > 100, true);
}

}  // namespace
