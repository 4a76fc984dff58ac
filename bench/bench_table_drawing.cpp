// Drawing cost of a long list against a short one, and scrolling through the long one.
//
//   bench_table_drawing [--quick] [--rows N]
//
// A CustomTableView of three text columns and 48-point rows sits in an 800 x 500 scroll view in
// a window of the headless backend. One full frame (the whole window drawn) of a table of N
// rows (default 10,000) is timed against one of a 100-row table in the same run, best of 3 of
// a batch of frames, and the ratio is printed; drawing must follow what is visible, so the
// ratio must stay at most 1.5. Then the long table is scrolled a page at a time from top to
// bottom (the first 40 pages with --quick), drawing each step, and the time per step and the
// total are printed. Exits 1 when the ratio exceeds 1.5 (with --quick too), 2 on a setup
// failure.

#include "bench/BenchTiming.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "controls/lists/CustomTableView.h"
#include "controls/lists/ListViewClasses.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSClipView.h"
#include "platform/appkit/NSScrollView.h"
#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/backend/BackendSelection.h"
#include "platform/graphics/NSColor.h"

namespace {

constexpr double kMaxRatio = 1.5;
constexpr int kFramesPerRun = 20;

/// Rows of three text values, like the application list's name, size and version.
class Rows : public NSObject, public NSTableViewDataSource {
  public:
    explicit Rows(long count) : count_(count) {}
    long numberOfRowsInTableView(NSTableView*) override { return count_; }
    std::any objectValueForTableColumn(NSTableView*, NSTableColumn* column, long row) override {
        const std::string& id = column->identifier();
        if (id == "name") return std::any("Application number " + std::to_string(row));
        if (id == "size") return std::any(std::to_string(row % 997 + 1) + ".5 MB");
        return std::any("Version " + std::to_string(row % 13) + "." + std::to_string(row % 7));
    }

  private:
    long count_;
};

/// A table that counts the rows it draws.
class CountingTable : public CustomTableView {
  public:
    void drawRow(long row, NSRect clipRect) override {
        ++rowsDrawn;
        CustomTableView::drawRow(row, clipRect);
    }
    long rowsDrawn = 0;
};

struct Scene {
    Ref<NSWindow> window;
    Ref<NSScrollView> scroll;
    Ref<CountingTable> table;
    Ref<Rows> rows;
};

Scene makeScene(long rowCount) {
    Scene s;
    s.window = std::make_shared<NSWindow>();
    s.window->initWithContentRect(NSMakeRect(0, 0, 800, 500), NSWindowStyleMaskBorderless,
                                  NSBackingStoreBuffered, false);
    s.window->setBackgroundColor(NSColor::blackColor());
    s.scroll = NSScrollView::make(NSMakeRect(0, 0, 800, 500));
    s.scroll->setHasVerticalScroller(true);
    s.table = std::make_shared<CountingTable>();
    s.table->initWithFrame(NSMakeRect(0, 0, 800, 500));
    s.table->setIntercellSpacing(NSMakeSize(0, 0));
    s.table->setRowHeight(48);
    const struct {
        const char* id;
        const char* title;
        double width;
    } columns[] = {{"name", "Name", 400}, {"size", "Size", 180}, {"version", "Version", 180}};
    for (const auto& c : columns) {
        auto column = NSTableColumn::make(c.id);
        column->setTitle(c.title);
        column->setWidth(c.width);
        s.table->addTableColumn(column);
    }
    s.rows = std::make_shared<Rows>(rowCount);
    s.table->setDataSource(s.rows);
    s.scroll->setDocumentView(s.table);
    s.window->contentView()->addSubview(s.scroll);
    s.window->orderFront();
    s.table->reloadData();
    return s;
}

/// Draws `frames` full frames of the scene's window; false when nothing could be drawn.
bool drawFrames(Scene& s, int frames) {
    for (int i = 0; i < frames; ++i) {
        s.window->display();
        if (!s.window->surface()) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    platform::useHeadlessBackendByDefault();  // windows are image surfaces
    bool quick = false;
    long longRows = 10000;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--quick") {
            quick = true;
        } else if (arg == "--rows" && i + 1 < argc) {
            longRows = std::strtol(argv[++i], nullptr, 10);
        } else {
            std::fprintf(stderr, "usage: %s [--quick] [--rows N]\n", argv[0]);
            return 2;
        }
    }
    if (longRows < 100) {
        std::fprintf(stderr, "--rows must be at least 100\n");
        return 2;
    }
    setenv("PLATFORM_BACKEND", "headless", 0);
    registerPlatformClasses();
    registerListViewClasses();
    NSApplication::sharedApplication();

    Scene shortScene = makeScene(100);
    Scene longScene = makeScene(longRows);
    bool ok = true;
    const double shortMs =
        bench::bestOfThree([&] { return drawFrames(shortScene, kFramesPerRun); }, ok) /
        kFramesPerRun;
    if (!ok) {
        std::fprintf(stderr, "the short table's window could not be drawn\n");
        return 2;
    }
    const double longMs =
        bench::bestOfThree([&] { return drawFrames(longScene, kFramesPerRun); }, ok) /
        kFramesPerRun;
    if (!ok) {
        std::fprintf(stderr, "the long table's window could not be drawn\n");
        return 2;
    }
    longScene.table->rowsDrawn = 0;
    shortScene.table->rowsDrawn = 0;
    drawFrames(longScene, 1);
    drawFrames(shortScene, 1);
    const double ratio = shortMs > 0 ? longMs / shortMs : 0;
    std::printf("one frame, %ld rows: %.3f ms (%ld rows drawn)\n", longRows, longMs,
                longScene.table->rowsDrawn);
    std::printf("one frame, 100 rows: %.3f ms (%ld rows drawn)\n", shortMs,
                shortScene.table->rowsDrawn);
    std::printf("ratio long/short: %.2f (at most %.1f)\n", ratio, kMaxRatio);

    // Scroll the long table a page at a time, drawing each step.
    NSClipView& clip = *longScene.scroll->contentView();
    const double page = clip.bounds().size.height;
    const double bottom = longScene.table->frame().size.height - page;
    const long maxSteps = quick ? 40 : -1;
    long steps = 0;
    longScene.table->rowsDrawn = 0;
    auto start = std::chrono::steady_clock::now();
    for (double y = page; y <= bottom + page && (maxSteps < 0 || steps < maxSteps); y += page) {
        clip.scrollToPoint(NSMakePoint(0, std::min(y, bottom)));
        if (!drawFrames(longScene, 1)) return 2;
        ++steps;
    }
    std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    const double reached = clip.bounds().origin.y;
    std::printf(
        "scrolled %ld pages of %.0f points to y %.0f of %.0f: %.3f ms per step, "
        "%.1f ms total, %.1f rows drawn per step\n",
        steps, page, reached, bottom, steps ? took.count() / double(steps) : 0.0, took.count(),
        steps ? double(longScene.table->rowsDrawn) / double(steps) : 0.0);
    if (!quick && reached < bottom) {
        std::fprintf(stderr, "the scroll did not reach the end of the table\n");
        return 2;
    }
    if (ratio > kMaxRatio) {
        std::fprintf(stderr, "drawing a long table costs %.2f times a short one (limit %.1f)\n",
                     ratio, kMaxRatio);
        return 1;
    }
    return 0;
}
