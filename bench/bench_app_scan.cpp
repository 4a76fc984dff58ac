// The applications scan of the catalogue list, seen from the main thread, against find on the
// same generated volume.
//
//   bench_app_scan [--quick] [FOLDER]
//
// Builds (inside FOLDER, default $TMPDIR or /tmp) a home and a volume root holding 3,000
// application bundles (600 with --quick): most in Applications/, some in Applications/Utilities/
// and in the home's Applications/. Each is a real .app folder: Contents/Info.plist (XML, with
// CFBundleIdentifier "com.bench.appN", CFBundleName, CFBundleShortVersionString,
// CFBundleIconFile), an executable of a few KB in Contents/MacOS/, the icon as current bundles
// ship it (AppIcon.icns with a 1024 x 1024 PNG member) and a handful of small files in
// Contents/Resources/, so that a size walk has work to do. 50 of them (10 with --quick) are Apple
// bundles ("com.apple.") that the list must leave out. HOME and UNINSTALLER_ROOT name the generated
// folders before anything reads them.
//
// Reference: `find <the search folders> -name '*.app' -prune -print`, best of 3 after a warm
// run, over the folders the scan walks (AMPublicUtilities::applicationPaths, those that exist).
// It reads what the scan's walk reads (every folder down to the bundles, not inside them); the
// scan also opens each bundle's Info.plist and looks for its icon, which find does not, so the
// ratio holds that per-bundle work as well.
//
// Measured: a real AMAppsViewController, loaded from its interface file into an 800 x 480
// window of the headless backend. Loading it starts a first scan, which warms the caches; the
// measured scans are three rescans that follow (getApplications, as the refresh starts it), the
// best of them counting. The main thread runs as the application's loop does
// (NSApplication::nextEventMatchingMask: dirty windows drawn, then one run of the main run
// loop), and NSRunLoop's turn observer gives each turn's busy time, drawing and event handling
// included. Printed: bundles, the reference, the time to the first row (the table's
// numberOfRows above 0), the time to the end of the scan (the scan flag down and every bundle
// listed), its ratio to the reference against the goal of 2x, the longest main thread turn
// while the scans ran, one drawing pass of the full window once the scans are over (best of
// 3), and the sizes computed (items whose size computation was started) against the rows
// displayed in the last scan, first with only the first page ever drawn, then after one scroll
// to the middle of the list.
//
// Exits 1 when the longest turn exceeds 50 ms, when a size was computed for a row never
// displayed, when the first row waited for the whole scan (it neither came in a batch of its
// own nor showed while the scan ran), when the list shows another
// set of bundles than was made, or, with --quick, when the scan takes more than 6x find (a
// generous limit: CI machines are noisy); 2 on a setup failure. The generated folders are removed
// at the end.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "appsManager/AMAppsViewController.h"
#include "appsManager/AMPublicUtilities.h"
#include "appsManager/AppsManagerClasses.h"
#include "bench/BenchListLoop.h"
#include "bench/BenchTiming.h"
#include "bench/BenchVolume.h"
#include "controls/lists/CustomTableView.h"
#include "controls/lists/ListViewClasses.h"
#include "controls/rowcells/RowCellClasses.h"
#include "platform/appkit/ControlClasses.h"
#include "platform/appkit/ListClasses.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSClipView.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/appkit/ScrollClasses.h"
#include "platform/backend/BackendSelection.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSDate.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/graphics/NSColor.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kMaxTurnMs = 50.0;
constexpr double kTimeoutSeconds = 120.0;
constexpr int kScans = 3;
// The goal for the full run, and the limit of the quick run: CI machines are noisy.
constexpr double kGoalRatio = 2.0;
constexpr double kQuickLimitRatio = 6.0;

double msSince(Clock::time_point start, Clock::time_point end) {
    return std::chrono::duration<double, std::milli>(end - start).count();
}

/// The number of lines printed by `command`; -1 when it cannot run or fails.
long countLines(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    long lines = 0;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe))
        if (std::strchr(buffer, '\n')) ++lines;
    return pclose(pipe) == 0 ? lines : -1;
}

/// Pumps until `done` answers true; false after kTimeoutSeconds.
bool pumpUntil(NSApplication& app, const std::function<bool()>& done) {
    return bench::pumpUntil(app, done, kTimeoutSeconds);
}

/// Whether every size computation started has stored its result (each bundle holds files, so
/// a stored size is never "0KB").
bool sizesSettled(const AMAppsViewController& list) {
    return std::none_of(
        list.allApplications().begin(), list.allApplications().end(),
        [](const Ref<AMAppItem>& item) { return item->bIsGetSize() && item->size() == "0KB"; });
}

/// The items of the rows inside the table's visible rectangle.
void noteVisibleRows(const AMAppsViewController& list, std::set<const AMAppItem*>& displayed) {
    CustomTableView* table = list.tableView();
    const NSRange rows = table->rowsInRect(table->visibleRect());
    const auto& shown = list.showAllValues();
    for (std::size_t i = rows.location; i < rows.location + rows.length && i < shown.size(); ++i)
        displayed.insert(shown[i].get());
}

/// The list, noting how many rows the table held when it first held any: the first batch to
/// reach the main thread (each batch reloads the table, which asks for the number of rows).
class BatchWatchingList : public AMAppsViewController {
  public:
    long numberOfRowsInTableView(NSTableView* table) override {
        const long rows = AMAppsViewController::numberOfRowsInTableView(table);
        if (firstBatchRows == 0) firstBatchRows = rows;
        return rows;
    }
    long firstBatchRows = 0;  // main thread only; reset before each scan
};

struct SizeCount {
    long started = 0;
    long outsideDisplayed = 0;
};

SizeCount countSizes(const AMAppsViewController& list,
                     const std::set<const AMAppItem*>& displayed) {
    SizeCount count;
    for (const Ref<AMAppItem>& item : list.allApplications()) {
        if (!item->bIsGetSize()) continue;
        ++count.started;
        if (!displayed.count(item.get())) ++count.outsideDisplayed;
    }
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    platform::useHeadlessBackendByDefault();  // windows are image surfaces
    const std::optional<bench::Arguments> arguments = bench::parseArguments(argc, argv);
    if (!arguments) return 2;
    const bool quick = arguments->quick;
    const int bundles = quick ? 600 : 3000;
    const int appleBundles = quick ? 10 : 50;

    const std::string top = bench::makeScratchFolder(arguments->base, "bench-app-scan");
    if (top.empty()) return 2;
    bench::RemoveOnExit cleanup{top};
    if (top.find('\'') != std::string::npos) {
        std::fprintf(stderr, "the folder %s cannot be quoted for find\n", top.c_str());
        return 2;
    }
    const fs::path home = fs::path(top) / "home", root = fs::path(top) / "root";
    std::error_code error;
    fs::create_directories(home, error);
    fs::create_directories(root, error);
    if (!fs::is_directory(home) || !fs::is_directory(root)) {
        std::fprintf(stderr, "cannot make the home and the volume under %s\n", top.c_str());
        return 2;
    }
    setenv("HOME", home.c_str(), 1);
    setenv("UNINSTALLER_ROOT", root.c_str(), 1);
    setenv("PLATFORM_BACKEND", "headless", 0);
    bench::findResources();

    const std::string icon = bench::makeIcon(top);
    if (icon.empty()) {
        std::fprintf(stderr, "cannot draw the bundles' icon\n");
        return 2;
    }
    bench::Volume volume;
    if (!bench::makeVolume(home, root, bundles, appleBundles, icon, volume)) {
        std::fprintf(stderr, "cannot write the bundles under %s\n", top.c_str());
        return 2;
    }
    const long expectedRows = static_cast<long>(volume.listedIdentifiers.size());

    // The reference over the folders the scan walks.
    const std::vector<std::string> searchPaths = AMPublicUtilities::applicationPaths();
    std::string findCommand = "find";
    for (const std::string& folder : searchPaths)
        if (fs::is_directory(folder)) findCommand += " '" + folder + "'";
    findCommand += " -name '*.app' -prune -print";
    bool ok = true;
    long found = 0;
    const double findMs = bench::bestOfThree(
        [&] {
            found = countLines(findCommand);
            return found == bundles;
        },
        ok);
    if (!ok) {
        std::fprintf(stderr, "find listed %ld bundles of %d\n", found, bundles);
        return 2;
    }

    bench::registerListClasses();
    Ref<NSApplication> app = NSApplication::sharedApplication();

    // The list in its window: loading its view starts a first scan, which warms the caches
    // (and the drawing of the first page) for both sides. The measured scan is the rescan
    // that follows, as the application's refresh starts it.
    ClassRegistry::shared().registerClass<BatchWatchingList, AMAppsViewController>(
        "BenchBatchWatchingList");
    auto list = std::make_shared<BatchWatchingList>();
    list->initWithNibName("AMAppsViewController", NSBundle::mainBundle());
    list->setAppsType(0);
    list->setSearchPaths(searchPaths);
    auto window = std::make_shared<NSWindow>();
    window->initWithContentRect(NSMakeRect(0, 0, 800, 480), NSWindowStyleMaskBorderless,
                                NSBackingStoreBuffered, false);
    window->setBackgroundColor(NSColor::blackColor());
    window->contentView()->addSubview(list->viewRef());
    if (!list->tableView()) {
        std::fprintf(stderr, "the list's interface file did not load\n");
        return 2;
    }
    window->orderFront();
    if (!pumpUntil(*app, [&] {
            return !list->isScan() &&
                   static_cast<long>(list->allApplications().size()) == expectedRows &&
                   sizesSettled(*list);
        })) {
        std::fprintf(stderr, "the warm-up scan did not end\n");
        return 2;
    }
    bench::pumpOnce(*app, 0);

    // The rescan, three times: the best time counts; every run must keep the main thread
    // responsive and show its first row while it runs. The rows displayed are those of the
    // last run, whose sizes are checked below.
    std::set<const AMAppItem*> displayed;
    double longestTurnMs = 0;
    long turns = 0;
    bool scanRunningAtFirstRow = true;
    // The first row must not wait for the whole scan: it comes in a batch of its own, or at
    // least shows while the scan runs (a scan faster than one drawing pass may be over before
    // the main thread next looks).
    bool firstRowWaited = false;
    long largestFirstBatch = 0;
    double firstRowMs = 0, endMs = 0;
    for (int run = 0; run < kScans; ++run) {
        if (run > 0 && !pumpUntil(*app, [&] { return sizesSettled(*list); })) {
            std::fprintf(stderr, "the sizes of the displayed rows never arrived\n");
            return 2;
        }
        displayed.clear();
        bool runningAtFirstRow = false;
        Clock::time_point firstRow{}, scanEnd{};
        bool sawFirstRow = false, sawEnd = false;
        NSRunLoop::mainRunLoop().setTurnObserver([&](double seconds) {
            if (sawEnd) return;
            ++turns;
            longestTurnMs = std::max(longestTurnMs, seconds * 1000.0);
            // The rows seen here are the ones the next drawing pass draws.
            noteVisibleRows(*list, displayed);
            const long rows = list->tableView()->numberOfRows();
            if (!sawFirstRow && rows > 0) {
                sawFirstRow = true;
                firstRow = Clock::now();
                runningAtFirstRow = list->isScan();
            }
            if (!list->isScan() && rows == expectedRows) {
                sawEnd = true;
                scanEnd = Clock::now();
            }
        });
        const Clock::time_point start = Clock::now();
        list->firstBatchRows = 0;
        list->getApplications();
        const bool ended = pumpUntil(*app, [&] { return sawEnd; });
        NSRunLoop::mainRunLoop().setTurnObserver(nullptr);
        if (!ended) {
            std::fprintf(stderr, "the scan did not end within %.0f s (%zu of %ld rows)\n",
                         kTimeoutSeconds, list->showAllValues().size(), expectedRows);
            return 2;
        }
        const bool running = runningAtFirstRow && firstRow < scanEnd;
        scanRunningAtFirstRow = scanRunningAtFirstRow && running;
        largestFirstBatch = std::max(largestFirstBatch, list->firstBatchRows);
        firstRowWaited = firstRowWaited || (!running && list->firstBatchRows >= expectedRows);
        const double thisEndMs = msSince(start, scanEnd);
        if (run == 0 || thisEndMs < endMs) {
            endMs = thisEndMs;
            firstRowMs = msSince(start, firstRow);
        }
    }
    // Draw what the last turn left dirty, then let the started sizes arrive.
    bench::pumpOnce(*app, 0);
    noteVisibleRows(*list, displayed);
    if (!pumpUntil(*app, [&] { return sizesSettled(*list); })) {
        std::fprintf(stderr, "the sizes of the displayed rows never arrived\n");
        return 2;
    }
    const SizeCount firstPage = countSizes(*list, displayed);
    // What one drawing pass of the full window costs now (icons decoded, sizes in).
    const double frameMs = bench::bestOfThree(
        [&] {
            window->display();
            return window->surface() != nullptr;
        },
        ok);
    const long firstPageRows = static_cast<long>(displayed.size());

    // One scroll to the middle: the sizes must follow the rows displayed there.
    auto* clip = dynamic_cast<NSClipView*>(list->tableView()->superview());
    if (!clip) {
        std::fprintf(stderr, "the table is not inside a clip view\n");
        return 2;
    }
    const NSRect middle = list->tableView()->rectOfRow(expectedRows / 2);
    clip->scrollToPoint(NSMakePoint(0, middle.origin.y));
    noteVisibleRows(*list, displayed);
    bench::pumpOnce(*app, 0);
    noteVisibleRows(*list, displayed);
    if (!pumpUntil(*app, [&] { return sizesSettled(*list); })) {
        std::fprintf(stderr, "the sizes of the scrolled-to rows never arrived\n");
        return 2;
    }
    const SizeCount afterScroll = countSizes(*list, displayed);
    const long afterScrollRows = static_cast<long>(displayed.size());

    // The list shows every bundle made, and no Apple one.
    std::set<std::string> listed;
    for (const Ref<AMAppItem>& item : list->allApplications())
        listed.insert(item->bundleID().value_or(""));
    const bool rightBundles = listed == volume.listedIdentifiers;

    const double ratio = findMs > 0 ? endMs / findMs : 0.0;
    std::printf("bundles: %d (%d Apple, %ld listed of %ld expected)\n", bundles, volume.apple,
                static_cast<long>(list->allApplications().size()), expectedRows);
    std::printf("reference (find, best of 3): %.1f ms\n", findMs);
    std::printf("time to first row (in the best scan): %.1f ms%s\n", firstRowMs,
                scanRunningAtFirstRow ? " (scan still running)" : " (scan already over)");
    std::printf("first batch to reach the table: at most %ld rows of %ld\n", largestFirstBatch,
                expectedRows);
    std::printf("time to end of scan (best of %d): %.1f ms\n", kScans, endMs);
    if (quick)
        std::printf("ratio to find: %.2fx (goal %.0fx; this quick run fails past %.0fx)\n", ratio,
                    kGoalRatio, kQuickLimitRatio);
    else
        std::printf("ratio to find: %.2fx (goal %.0fx)\n", ratio, kGoalRatio);
    std::printf("longest main-thread turn during the scan: %.2f ms of %ld turns (limit %.0f)\n",
                longestTurnMs, turns, kMaxTurnMs);
    std::printf("one drawing pass of the window after the scan: %.2f ms\n", frameMs);
    std::printf("sizes computed, first page only: %ld for %ld rows displayed (%ld elsewhere)\n",
                firstPage.started, firstPageRows, firstPage.outsideDisplayed);
    std::printf(
        "sizes computed, after a scroll to the middle: %ld for %ld rows displayed "
        "(%ld elsewhere)\n",
        afterScroll.started, afterScrollRows, afterScroll.outsideDisplayed);

    window->orderOut();
    window.reset();
    list.reset();
    pumpUntil(*app, [&] { return !NSRunLoop::mainRunLoop().runMode(NSDefaultRunLoopMode, 0); });

    int status = 0;
    if (!rightBundles) {
        std::fprintf(stderr, "the list shows other bundles than were made\n");
        status = 1;
    }
    if (longestTurnMs > kMaxTurnMs) {
        std::fprintf(stderr, "a main-thread turn took %.1f ms (limit %.0f)\n", longestTurnMs,
                     kMaxTurnMs);
        status = 1;
    }
    if (firstPage.outsideDisplayed > 0 || afterScroll.outsideDisplayed > 0 ||
        afterScroll.started <= firstPage.started) {
        std::fprintf(stderr, "sizes do not follow the displayed rows\n");
        status = 1;
    }
    if (quick && ratio > kQuickLimitRatio) {
        std::fprintf(stderr, "the scan took %.2fx find (limit %.0fx)\n", ratio, kQuickLimitRatio);
        status = 1;
    }
    if (firstRowWaited) {
        std::fprintf(stderr, "the first row waited for the whole scan\n");
        status = 1;
    }
    return status;
}
