// Scrolling the applications list with its icons shown, seen from the main thread, and the
// memory the list holds, against a table frame without icons and a bare window in the same run.
//
//   bench_scroll [--quick] [FOLDER]
//
// Builds (inside FOLDER, default $TMPDIR or /tmp) a home and a volume root holding 3,000
// application bundles (600 with --quick), each with a 1024 x 1024 PNG icon member, as
// bench_app_scan does. Then it runs two children of its own executable, one after the other,
// both on the headless backend:
//   - a bare window: one empty 800 x 480 NSWindow, shown and drawn; it reports its resident
//     memory (VmRSS). This is the memory reference.
//   - the list: a real AMAppsViewController, loaded from its interface file into an 800 x 480
//     window. Once the scan is over and the visible rows' icons and sizes have arrived, it
//     reports its resident memory ("after start"). It then scrolls through the whole list with
//     wheel events of eight lines, so that every row is displayed and its icon read, lets the
//     last icons arrive and reports its resident memory again ("after scrolling"). Timed: runs
//     of 100 wheel steps of one line from the top of the list (every icon on the way already
//     read), posted through the backend's event queue and delivered by the application's loop
//     (NSApplication::nextEventMatchingMask and sendEvent, the dirty window drawn), main-thread
//     busy time from NSRunLoop's turn observer divided by the steps; best of 3. Reference: the
//     same runs once every row's image is removed, so that each step draws the table without
//     icons.
// Printed: ms per step, the reference and the ratio; resident memory after start and after
// scrolling, the bare window's, and the growth while scrolling. Full runs also print the goals
// (3 ms per step, 60 MB after start, 80 MB after scrolling).
//
// Exits 1 when a step takes more than 12 ms of main-thread time or the memory grows by more
// than 40 MB while scrolling (generous limits for noisy machines); 2 on a setup failure. The
// generated folders are removed at the end.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "appsManager/AMAppsViewController.h"
#include "appsManager/AMPublicUtilities.h"
#include "appsManager/AppsManagerClasses.h"
#include "bench/BenchListLoop.h"
#include "bench/BenchVolume.h"
#include "controls/lists/CustomTableView.h"
#include "controls/lists/ListViewClasses.h"
#include "controls/rowcells/RowCellClasses.h"
#include "platform/appkit/ControlClasses.h"
#include "platform/appkit/ListClasses.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSClipView.h"
#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/appkit/ScrollClasses.h"
#include "platform/appkit/WindowBackend.h"
#include "platform/backend/BackendSelection.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NSDate.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSImage.h"

namespace {

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

constexpr double kGoalStepMs = 3.0;
constexpr double kGoalStartMB = 60.0;
constexpr double kGoalScrolledMB = 80.0;
constexpr double kLimitStepMs = 4 * kGoalStepMs;
constexpr double kLimitGrowthMB = 2 * (kGoalScrolledMB - kGoalStartMB);
constexpr double kTimeoutSeconds = 300.0;
constexpr int kStepsPerRun = 100;
constexpr double kPassLines = 8;  // wheel lines per event while scrolling through the list
// A safety stop: the scroll through the list ends early past this resident size.
constexpr double kMaxResidentMB = 3000;

/// The resident memory of this process in MB (VmRSS), or -1.
double residentMB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return -1;
}

/// Pumps until `done` answers true; false after kTimeoutSeconds.
bool pumpUntil(NSApplication& app, const std::function<bool()>& done) {
    return bench::pumpUntil(app, done, kTimeoutSeconds);
}

/// Pumps for `seconds` (blocks that are still on their way arrive).
void pumpFor(NSApplication& app, double seconds) {
    const auto end = Steady::now() + std::chrono::duration<double>(seconds);
    while (Steady::now() < end)
        bench::pumpOnce(app, 0.005);
}

/// A window like the application's: 800 x 480, borderless, shown.
Ref<NSWindow> makeWindow() {
    auto window = std::make_shared<NSWindow>();
    window->initWithContentRect(NSMakeRect(0, 0, 800, 480), NSWindowStyleMaskBorderless,
                                NSBackingStoreBuffered, false);
    window->setBackgroundColor(NSColor::blackColor());
    return window;
}

/// The bare-window child: prints "rss <MB>".
int runBareWindow() {
    bench::registerListClasses();
    Ref<NSApplication> app = NSApplication::sharedApplication();
    Ref<NSWindow> window = makeWindow();
    window->orderFront();
    window->display();
    pumpFor(*app, 0.2);
    std::printf("rss %.2f\n", residentMB());
    return 0;
}

/// Whether the rows in the visible rectangle have their icons decoded and their sizes in.
bool visibleRowsSettled(const AMAppsViewController& list) {
    CustomTableView* table = list.tableView();
    const NSRange rows = table->rowsInRect(table->visibleRect());
    const auto& shown = list.showAllValues();
    for (std::size_t i = rows.location; i < rows.location + rows.length && i < shown.size(); ++i) {
        const Ref<AMAppItem>& item = shown[i];
        if (item->image() && !item->image()->isDecoded()) return false;
        if (item->size() == "0KB") return false;
    }
    return true;
}

/// Posts one wheel event of `lines` over the middle of the window and lets the loop deliver it
/// and draw the result.
void wheel(NSApplication& app, NSWindow& window, double lines) {
    WindowBackend::shared().postEvent(NSEvent::scrollEventWithLocation(
        NSMakePoint(400, 240), 0, ::Clock::shared()->now(), &window, 0, lines));
    bench::pumpOnce(app, 0);  // delivers the event
    bench::pumpOnce(app, 0);  // draws the dirty window and runs the main queue
}

/// Main-thread ms per wheel step over kStepsPerRun one-line steps from the top; best of 3.
double msPerStep(NSApplication& app, NSWindow& window, NSClipView& clip, double down) {
    double best = 1e300;
    for (int run = 0; run < 4; ++run) {  // the first run warms
        clip.scrollToPoint(NSMakePoint(0, 0));
        pumpFor(app, 0.05);
        double busy = 0;
        NSRunLoop::mainRunLoop().setTurnObserver([&](double seconds) { busy += seconds; });
        for (int step = 0; step < kStepsPerRun; ++step)
            wheel(app, window, down);
        NSRunLoop::mainRunLoop().setTurnObserver(nullptr);
        if (run > 0) best = std::min(best, busy * 1000.0 / kStepsPerRun);
    }
    return best;
}

/// The list child: prints "rss_start", "rss_scrolled", "step_ms", "reference_ms", "rows" and
/// "stopped" lines.
int runList(long expectedRows) {
    bench::registerListClasses();
    Ref<NSApplication> app = NSApplication::sharedApplication();
    Ref<AMAppsViewController> list = AMAppsViewController::make();
    list->setAppsType(0);
    list->setSearchPaths(AMPublicUtilities::applicationPaths());
    Ref<NSWindow> window = makeWindow();
    window->contentView()->addSubview(list->viewRef());
    if (!list->tableView()) {
        std::fprintf(stderr, "the list's interface file did not load\n");
        return 2;
    }
    auto* clip = dynamic_cast<NSClipView*>(list->tableView()->superview());
    if (!clip) {
        std::fprintf(stderr, "the table is not inside a clip view\n");
        return 2;
    }
    window->orderFront();
    if (!pumpUntil(*app, [&] {
            return !list->isScan() &&
                   static_cast<long>(list->allApplications().size()) == expectedRows &&
                   visibleRowsSettled(*list);
        })) {
        std::fprintf(stderr, "the scan or the first page's icons did not arrive\n");
        return 2;
    }
    pumpFor(*app, 0.3);
    std::printf("rss_start %.2f\n", residentMB());

    // Which wheel direction moves down the list.
    const double top = clip->bounds().origin.y;
    wheel(*app, *window, -1);
    const double down = clip->bounds().origin.y > top ? -1 : 1;
    clip->scrollToPoint(NSMakePoint(0, 0));

    // Through the whole list, every row displayed on the way.
    const NSRect doc = list->tableView()->frame();
    bool stopped = false;
    for (;;) {
        const double before = clip->bounds().origin.y;
        wheel(*app, *window, down * kPassLines);
        if (clip->bounds().origin.y <= before) break;  // the end
        if (residentMB() > kMaxResidentMB) {
            stopped = true;
            break;
        }
    }
    if (!pumpUntil(*app, [&] { return visibleRowsSettled(*list); })) {
        std::fprintf(stderr, "the last page's icons did not arrive\n");
        return 2;
    }
    pumpFor(*app, 0.5);
    std::printf("rss_scrolled %.2f\n", residentMB());
    std::printf("stopped %d at %.0f of %.0f points\n", stopped ? 1 : 0,
                clip->bounds().origin.y + clip->bounds().size.height, doc.size.height);
    std::printf("rows %ld\n", static_cast<long>(list->showAllValues().size()));

    std::printf("step_ms %.4f\n", msPerStep(*app, *window, *clip, down));
    for (const Ref<AMAppItem>& item : list->allApplications())
        item->setImage(nullptr);
    list->tableView()->reloadData();
    std::printf("reference_ms %.4f\n", msPerStep(*app, *window, *clip, down));
    std::fflush(stdout);
    window->orderOut();
    return 0;
}

/// Runs this executable with `args` and returns its "key value" lines; nil when it fails.
std::optional<std::map<std::string, std::string>> runChild(const std::string& self,
                                                           const std::vector<std::string>& args) {
    std::string command = "'" + self + "'";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return std::nullopt;
    std::map<std::string, std::string> values;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        std::string line(buffer);
        while (!line.empty() && line.back() == '\n')
            line.pop_back();
        const std::size_t space = line.find(' ');
        if (space != std::string::npos) values[line.substr(0, space)] = line.substr(space + 1);
    }
    const int status = pclose(pipe);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return values;
}

double number(const std::map<std::string, std::string>& values, const std::string& key) {
    auto it = values.find(key);
    return it == values.end() ? -1 : std::atof(it->second.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    setenv("PLATFORM_BACKEND", "headless", 0);
    platform::useHeadlessBackendByDefault();  // windows are image surfaces
    if (argc >= 2 && std::strcmp(argv[1], "--bare-window") == 0) return runBareWindow();
    if (argc >= 3 && std::strcmp(argv[1], "--list") == 0) return runList(std::atol(argv[2]));

    const std::optional<bench::Arguments> arguments = bench::parseArguments(argc, argv);
    if (!arguments) return 2;
    const bool quick = arguments->quick;
    const int bundles = quick ? 600 : 3000;
    const int appleBundles = quick ? 10 : 50;

    const std::string top = bench::makeScratchFolder(arguments->base, "bench-scroll");
    if (top.empty()) return 2;
    bench::RemoveOnExit cleanup{top};
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
    bench::findResources();
    const std::string icon = bench::makeIcon(top);
    bench::Volume volume;
    if (icon.empty() || !bench::makeVolume(home, root, bundles, appleBundles, icon, volume)) {
        std::fprintf(stderr, "cannot write the bundles under %s\n", top.c_str());
        return 2;
    }
    const long expectedRows = static_cast<long>(volume.listedIdentifiers.size());

    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        std::fprintf(stderr, "cannot find this executable\n");
        return 2;
    }
    self[length] = '\0';
    auto bare = runChild(self, {"--bare-window"});
    auto measured = runChild(self, {"--list", std::to_string(expectedRows)});
    if (!bare || !measured) {
        std::fprintf(stderr, "a measuring child failed\n");
        return 2;
    }
    const double bareMB = number(*bare, "rss");
    const double startMB = number(*measured, "rss_start");
    const double scrolledMB = number(*measured, "rss_scrolled");
    const double stepMs = number(*measured, "step_ms");
    const double referenceMs = number(*measured, "reference_ms");
    const double growthMB = scrolledMB - startMB;

    std::printf("bundles: %d (%ld rows listed)\n", bundles, expectedRows);
    std::printf("main-thread time per wheel step, icons shown (best of 3): %.2f ms\n", stepMs);
    std::printf("reference, the same steps without icons (best of 3): %.2f ms\n", referenceMs);
    std::printf("ratio: %.2f\n", referenceMs > 0 ? stepMs / referenceMs : 0.0);
    std::printf("resident memory after start: %.1f MB, after scrolling through: %.1f MB\n", startMB,
                scrolledMB);
    std::printf(
        "reference, a bare window: %.1f MB (after start %+.1f MB, after scrolling %+.1f MB)\n",
        bareMB, startMB - bareMB, scrolledMB - bareMB);
    std::printf("growth while scrolling: %.1f MB\n", growthMB);
    if (measured->count("stopped") && measured->at("stopped").rfind("1", 0) == 0)
        std::printf("the scroll stopped early (memory past %.0f MB): %s\n", kMaxResidentMB,
                    measured->at("stopped").c_str());
    if (!quick)
        std::printf("goals: %.0f ms per step, %.0f MB after start, %.0f MB after scrolling\n",
                    kGoalStepMs, kGoalStartMB, kGoalScrolledMB);

    int status = 0;
    if (stepMs > kLimitStepMs) {
        std::fprintf(stderr, "a wheel step took %.1f ms of main-thread time (limit %.0f)\n", stepMs,
                     kLimitStepMs);
        status = 1;
    }
    if (growthMB > kLimitGrowthMB) {
        std::fprintf(stderr, "memory grew by %.1f MB while scrolling (limit %.0f)\n", growthMB,
                     kLimitGrowthMB);
        status = 1;
    }
    return status;
}
