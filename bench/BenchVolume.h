#pragma once
// A generated macOS-like volume for the benchmarks: application bundles as current ones ship
// (Info.plist, a small executable, a 1024 x 1024 PNG icon member in AppIcon.icns, a handful of
// resources), spread over the local Applications folder, its Utilities and the home's
// Applications, some of them Apple bundles that the list leaves out.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <system_error>

#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphics.h"
#include "platform/graphics/NSGraphicsContext.h"

namespace bench {

/// What the volume benchmarks are given: `--quick` and the folder to work in ($TMPDIR or /tmp
/// when none is named); nullopt, after the usage line on stderr, for an unknown option.
struct Arguments {
    bool quick = false;
    std::string base;
};
inline std::optional<Arguments> parseArguments(int argc, char** argv) {
    Arguments parsed;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0) {
            parsed.quick = true;
        } else if (argv[i][0] == '-') {
            std::fprintf(stderr, "usage: %s [--quick] [FOLDER]\n", argv[0]);
            return std::nullopt;
        } else {
            parsed.base = argv[i];
        }
    }
    if (parsed.base.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        parsed.base = tmp && *tmp ? tmp : "/tmp";
    }
    return parsed;
}

/// A new folder "<base>/<prefix>-XXXXXX"; "" (after a line on stderr) when it cannot be made.
inline std::string makeScratchFolder(const std::string& base, const std::string& prefix) {
    std::string top = base + "/" + prefix + "-XXXXXX";
    if (!mkdtemp(top.data())) {
        std::fprintf(stderr, "cannot make a folder in %s\n", base.c_str());
        return {};
    }
    return top;
}

/// Removes a generated folder however main returns.
struct RemoveOnExit {
    std::string path;
    ~RemoveOnExit() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
};

/// Writes `bytes` to `path`; false on failure.
inline bool writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return bool(out);
}

/// A bundle's Info.plist (XML) naming its identifier, name, version and icon file.
inline std::string infoPlist(const std::string& identifier, const std::string& name, int n) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n<dict>\n"
           "  <key>CFBundleIdentifier</key>\n  <string>" +
           identifier + "</string>\n  <key>CFBundleName</key>\n  <string>" + name +
           "</string>\n  <key>CFBundleExecutable</key>\n  <string>" + name +
           "</string>\n  <key>CFBundleShortVersionString</key>\n  <string>" +
           std::to_string(1 + n % 9) + "." + std::to_string(n % 13) +
           "</string>\n  <key>CFBundleIconFile</key>\n  <string>AppIcon</string>\n"
           "  <key>CFBundlePackageType</key>\n  <string>APPL</string>\n"
           "</dict>\n</plist>\n";
}

/// An application icon as bundles ship it: an .icns holding one 1024 x 1024 PNG member (a
/// grid of colours, so that scaling has detail to keep). "" on failure.
inline std::string makeIcon(const std::filesystem::path& scratch) {
    Ref<NSGraphicsContext> context = NSGraphicsContext::contextWithBitmap(1024, 1024);
    if (!context) return {};
    NSGraphicsContext::setCurrentContext(context);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            NSColor::colorWithCalibratedRed(x / 31.0, y / 31.0, ((x * 7 + y * 3) % 32) / 31.0, 1.0)
                ->setFill();
            NSRectFill(NSMakeRect(x * 32, y * 32, 32, 32));
        }
    NSGraphicsContext::setCurrentContext(nullptr);
    const std::filesystem::path png = scratch / "icon.png";
    if (!context->writePNG(png.string())) return {};
    std::ifstream in(png, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(png);
    if (data.empty()) return {};
    auto be32 = [](std::size_t value) {
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[std::size_t(i)] = static_cast<char>((value >> (24 - 8 * i)) & 0xff);
        return bytes;
    };
    return "icns" + be32(16 + data.size()) + "ic10" + be32(8 + data.size()) + data;
}

/// One bundle "<name>.app" in `folder`.
inline bool makeBundle(const std::filesystem::path& folder, const std::string& name,
                       const std::string& identifier, int n, const std::string& icon) {
    const std::filesystem::path contents = folder / (name + ".app") / "Contents";
    std::error_code error;
    std::filesystem::create_directories(contents / "MacOS", error);
    std::filesystem::create_directories(contents / "Resources" / "en.lproj", error);
    if (error) return false;
    bool ok = writeFile(contents / "Info.plist", infoPlist(identifier, name, n));
    ok = ok && writeFile(contents / "PkgInfo", "APPL????");
    ok = ok && writeFile(contents / "Resources" / "AppIcon.icns", icon);
    ok = ok && writeFile(contents / "MacOS" / name, std::string(2048 + (n % 7) * 1024, 'x'));
    const char* resources[] = {"Assets.car", "MainMenu.nib", "Credits.rtf", "Help.html"};
    for (int i = 0; i < 4 && ok; ++i)
        ok = writeFile(contents / "Resources" / resources[i],
                       std::string(200 + ((n + i) % 5) * 300, 'r'));
    ok = ok && writeFile(contents / "Resources" / "en.lproj" / "Localizable.strings",
                         "\"OK\" = \"OK\";\n\"Cancel\" = \"Cancel\";\n");
    return ok;
}

/// What a generated volume holds.
struct Volume {
    std::set<std::string> listedIdentifiers;  // what the list must show
    int apple = 0;
};

/// `count` bundles over the user's Applications, the local Applications and its Utilities;
/// every count/apple-th one (from the local folders) is an Apple bundle.
inline bool makeVolume(const std::filesystem::path& home, const std::filesystem::path& root,
                       int count, int apple, const std::string& icon, Volume& made) {
    const std::filesystem::path local = root / "Applications", utilities = local / "Utilities",
                                user = home / "Applications";
    const int appleEvery = std::max(1, count / std::max(1, apple));
    for (int n = 0; n < count; ++n) {
        // Of ten bundles: eight in Applications, one in Utilities, one in the home's folder.
        const int slot = n % 10;
        const std::filesystem::path& folder = slot == 9 ? user : (slot == 8 ? utilities : local);
        const bool isApple = made.apple < apple && slot != 9 && n % appleEvery == 1;
        const std::string identifier =
            (isApple ? "com.apple.app" : "com.bench.app") + std::to_string(n);
        const std::string name = (isApple ? "Apple Tool " : "Bench App ") + std::to_string(n);
        if (!makeBundle(folder, name, identifier, n, icon)) return false;
        if (isApple)
            ++made.apple;
        else
            made.listedIdentifiers.insert(identifier);
    }
    return true;
}

/// The interface files and images: the source tree's resources folder, unless
/// UNINSTALLER_RESOURCES names one.
inline void findResources() {
    if (const char* set = std::getenv("UNINSTALLER_RESOURCES"); set && *set) return;
    const std::filesystem::path candidate =
        std::filesystem::path(__FILE__).parent_path().parent_path() / "resources";
    if (std::filesystem::exists(candidate / "ui" / "AMAppsViewController.ui"))
        setenv("UNINSTALLER_RESOURCES", candidate.c_str(), 1);
}

}  // namespace bench
