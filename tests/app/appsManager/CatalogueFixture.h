#pragma once
// Shared by the catalogue list tests: a home folder and a volume root made for each test, the
// classes and images the list needs, a delegate that records every report (and can hold the
// scanning thread at the scan's end), a window on the headless backend, and bundle makers.

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "appsManager/AMAppsViewController.h"
#include "appsManager/AMAppsViewControllerDelegate.h"
#include "appsManager/AppsManagerClasses.h"
#include "controls/lists/CustomTableView.h"
#include "controls/lists/ListViewClasses.h"
#include "controls/rowcells/RemoveButtonCell.h"
#include "controls/rowcells/RowCellClasses.h"
#include "platform/appkit/ControlClasses.h"
#include "platform/appkit/ListClasses.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/appkit/ScrollClasses.h"
#include "platform/foundation/NSIndexSet.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/testing/RunLoopPump.h"
#include "platform/testing/WindowTesting.h"
#include "support/FileFixtures.h"
#include "support/ScopedResources.h"

namespace catalogue {

namespace pt = platform::testing;
using fixtures::bytesAt;
using fixtures::TempDir;
using Pixel = NSGraphicsContext::Pixel;

/// An Info.plist of string keys.
inline std::string infoPlist(const std::map<std::string, std::string>& keys) {
    std::string body;
    for (const auto& [key, value] : keys)
        body += "<key>" + key + "</key><string>" + value + "</string>";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + body +
           "</dict></plist>\n";
}

/// Records the list's reports. The scanning thread's reports come under a lock; `holdAtEnd`
/// keeps the scanning thread inside getAppEnd until release() (or destruction).
class Recorder : public NSObject, public AMAppsViewControllerDelegate {
  public:
    ~Recorder() override { release(); }
    void isSearchButtonEdit(bool editable) override { add(editable ? "edit YES" : "edit NO"); }
    void getAppEnd() override {
        add("end");
        std::unique_lock<std::mutex> lock(mutex_);
        atEnd_ = true;
        cv_.wait(lock, [this] { return !holdAtEnd_; });
    }
    void changeUninstallState(int count, float totalSize, const std::string& label) override {
        std::lock_guard<std::mutex> lock(mutex_);
        states++;
        lastCount = count;
        lastTotal = totalSize;
        lastLabel = label;
    }
    void searchRelatedFiles(AMAppItem* item) override {
        std::lock_guard<std::mutex> lock(mutex_);
        related++;
        relatedItemWasNil = item == nullptr;
    }

    void hold() {
        std::lock_guard<std::mutex> lock(mutex_);
        holdAtEnd_ = true;
        atEnd_ = false;
    }
    bool isHeldAtEnd() {
        std::lock_guard<std::mutex> lock(mutex_);
        return atEnd_ && holdAtEnd_;
    }
    void release() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            holdAtEnd_ = false;
        }
        cv_.notify_all();
    }
    std::vector<std::string> scanReports() {
        std::lock_guard<std::mutex> lock(mutex_);
        return scanReports_;
    }

    int states = 0;
    int lastCount = -1;
    float lastTotal = -1;
    std::string lastLabel;
    int related = 0;
    bool relatedItemWasNil = false;

  private:
    void add(const std::string& report) {
        std::lock_guard<std::mutex> lock(mutex_);
        scanReports_.push_back(report);
    }
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::string> scanReports_;
    bool holdAtEnd_ = false;
    bool atEnd_ = false;
};

class KeyableWindow : public NSWindow {
  public:
    bool canBecomeKeyWindow() const override { return true; }
    bool canBecomeMainWindow() const override { return true; }
};

class CatalogueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        registerPlatformClasses();
        registerAppKitControlClasses();
        registerAppKitListClasses();
        registerAppKitScrollClasses();
        registerRowCellClasses();
        registerListViewClasses();
        registerAppsManagerClasses();
        RemoveButtonCell::resetClickLatchForTesting();
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
        recorder = std::make_shared<Recorder>();
    }
    void TearDown() override {
        recorder->release();
        if (list) settle();
        if (window) window->orderOut();
        window.reset();
        list.reset();
        pt::drainQueues();
        RemoveButtonCell::resetClickLatchForTesting();
        NSApplication::resetSharedApplicationForTesting();
    }

    /// A bundle folder at `path` with an Info.plist of `keys` (none when empty) and one file of
    /// `bytes` bytes; returns `path`.
    static std::string bundle(const std::string& path,
                              const std::map<std::string, std::string>& keys, int bytes = 1000) {
        namespace fs = std::filesystem;
        fs::create_directories(path + "/Contents/MacOS");
        if (!keys.empty()) std::ofstream(path + "/Contents/Info.plist") << infoPlist(keys);
        std::ofstream(path + "/Contents/MacOS/main", std::ios::binary) << std::string(bytes, 'x');
        return path;
    }
    /// An application bundle "<name>.app" in the volume's Applications folder.
    std::string application(const std::string& name, int bytes = 1000) {
        return bundle(root / ("Applications/" + name + ".app"),
                      {{"CFBundleName", name},
                       {"CFBundleIdentifier", "test." + name},
                       {"CFBundleShortVersionString", "1.0"}},
                      bytes);
    }

    /// A list of `type` over `paths`, its view loaded (which starts the scan); with `inWindow`
    /// its view fills an 800 x 480 window. Waits for the scan to end.
    void makeList(int type, std::vector<std::string> paths, bool inWindow = false,
                  bool wait = true) {
        list = AMAppsViewController::make();
        list->setAppsType(type);
        list->setDelegate(recorder);
        list->setSearchPaths(std::move(paths));
        if (inWindow) {
            window = std::make_shared<KeyableWindow>();
            window->initWithContentRect(NSMakeRect(0, 0, 800, 480), NSWindowStyleMaskBorderless,
                                        NSBackingStoreBuffered, false);
            window->setBackgroundColor(NSColor::blackColor());
            window->contentView()->addSubview(list->viewRef());
            window->makeKeyAndOrderFront();
        } else {
            ASSERT_NE(list->view(), nullptr);
        }
        if (wait) waitForScan();
    }
    /// Turns the main loop until the scan has ended and every queued block (sizes included)
    /// has run.
    void waitForScan() {
        ASSERT_TRUE(pt::runMainLoopUntil([&] { return !list->isScan(); }));
        settle();
    }
    /// Turns the main loop until every size computation started has stored its result (each
    /// fixture bundle holds a file, so a stored size is never "0KB"), then until every queue
    /// is idle. A size task waits for the main thread: blocking the main thread on the global
    /// queues before the sizes are in would never end.
    void settle() {
        EXPECT_TRUE(pt::runMainLoopUntil([&] {
            for (const auto* items : {&list->allApplications(), &list->showAllValues()})
                for (const auto& item : *items)
                    if (item->bIsGetSize() && item->size() == "0KB") return false;
            return true;
        }));
        pt::drainQueues();
    }

    std::vector<std::string> names(const std::vector<Ref<AMAppItem>>& items) const {
        std::vector<std::string> out;
        for (const auto& item : items)
            out.push_back(item->name());
        return out;
    }
    AMAppItem* itemNamed(const std::string& name) const {
        for (const auto& item : list->allApplications())
            if (item->name() == name) return item.get();
        return nullptr;
    }
    NSTableColumn* column(const std::string& identifier) const {
        return list->tableView()->tableColumnWithIdentifier(identifier);
    }
    /// What the table shows in `identifier`'s column of `row`, as text.
    std::string shown(const std::string& identifier, long row) {
        std::any value =
            list->objectValueForTableColumn(list->tableView(), column(identifier), row);
        const auto* text = std::any_cast<std::string>(&value);
        return text ? *text : std::string("<none>");
    }
    /// Selects `row` as a click would and ticks or unticks it through the check box's action.
    void tickRow(long row) {
        list->shouldSelectRow(list->tableView(), row);
        list->tableView()->selectRowIndexes(NSIndexSet::indexSetWithIndex(row), false);
        list->selectUninstallApp();
    }
    /// The window point `dx`, `dy` from the top-left of the cell of `identifier` in `row`.
    NSPoint pointInCell(const std::string& identifier, long row, double dx, double dy) {
        CustomTableView* table = list->tableView();
        NSRect f = table->frameOfCellAtColumn(table->columnWithIdentifier(identifier), row);
        return table->convertPointToView(NSMakePoint(f.origin.x + dx, f.origin.y + dy), nullptr);
    }
    void click(NSPoint p) {
        pt::postClick(*window, p);
        pt::pumpEvents();
    }

    TempDir home, root;
    fixtures::ScopedEnv homeEnv{"HOME", home.path()};
    fixtures::ScopedEnv rootEnv{"UNINSTALLER_ROOT", root.path()};
    fixtures::ScopedResources resources{UNINSTALLER_RESOURCES_DIR};
    Ref<NSApplication> app;
    Ref<Recorder> recorder;
    Ref<KeyableWindow> window;
    Ref<AMAppsViewController> list;
};

}  // namespace catalogue
