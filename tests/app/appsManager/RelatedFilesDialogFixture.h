#pragma once
// Shared by the review-dialog tests: a fresh application on the headless backend, a temporary
// resources folder (the real interface files and images, stand-in check boxes where the real
// ones are missing, the settings file with the regular font), fixture files on disk, groups of
// records for them, the dialog loaded and shown, and gestures at rows and buttons.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "appsManager/AMAppItem.h"
#include "appsManager/AMRelatedFilesGroup.h"
#include "appsManager/AMRelatedFilesWindowController.h"
#include "appsManager/AppsManagerClasses.h"
#include "appsManager/ProgressAndSortClasses.h"
#include "appsManager/RelatedFilesCleanDelegate.h"
#include "controls/ControlsClasses.h"
#include "controls/buttons/TextImageButton.h"
#include "controls/lists/ListViewClasses.h"
#include "controls/lists/MyNewOutlineView.h"
#include "controls/rowcells/NewButton.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSImageCell.h"
#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSImage.h"
#include "platform/testing/RunLoopPump.h"
#include "platform/testing/WindowTesting.h"
#include "support/FileFixtures.h"
#include "support/ScopedResources.h"
#include "windows/PopWindow/PopWindowClasses.h"
#include "windows/WindowsClasses.h"

namespace reviewtest {

namespace pt = platform::testing;
namespace fs = std::filesystem;

/// Counts completeCleanRelatedFiles.
class CleanRecorder : public NSObject, public RelatedFilesCleanDelegate {
  public:
    void completeCleanRelatedFiles() override { ++calls; }
    int calls = 0;
};

/// One record of the fixture: a name, a path below the fixture folder and a size text.
struct Record {
    const char* name;
    const char* path;
    const char* size;
};

class ReviewDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        registerPlatformClasses();
        registerControlsClasses();
        registerListViewClasses();
        registerWindowsClasses();
        registerPopWindowClasses();
        registerProgressAndSortClasses();
        registerAppsManagerClasses();
        makeResources();
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
        recorder = std::make_shared<CleanRecorder>();
    }
    void TearDown() override {
        pt::drainQueues();
        NSObject::cancelPreviousPerformRequestsWithTarget(controller.get());
        for (NSWindow* w : NSWindow::windows())
            if (w->isVisible()) w->orderOut();
        controller.reset();
        NSApplication::resetSharedApplicationForTesting();
    }

    /// The resources: links to the real interface files and images, with plain check boxes
    /// standing in for any of "sel", "unsel" and "halfsel" that the images lack.
    void makeResources() {
        const fs::path real = fs::path(UNINSTALLER_RESOURCES_DIR);
        fs::create_directory_symlink(real / "ui", fs::path(res.path()) / "ui");
        res.mkdir("images");
        for (const auto& entry : fs::directory_iterator(real / "images"))
            fs::create_symlink(entry.path(), fs::path(res / "images") / entry.path().filename());
        const std::pair<const char*, const char*> boxes[] = {
            {"sel", "<rect x='1' y='1' width='14' height='14' rx='3' fill='rgb(49,190,106)'/>"},
            {"halfsel", "<rect x='1' y='1' width='14' height='14' rx='3' fill='rgb(49,190,106)'/>"
                        "<rect x='4' y='7' width='8' height='2' fill='white'/>"},
            {"unsel", "<rect x='1.5' y='1.5' width='13' height='13' rx='3' fill='none' "
                      "stroke='rgb(160,160,160)'/>"}};
        for (const auto& [name, body] : boxes) {
            const std::string file = std::string("images/") + name + ".svg";
            if (fs::exists(real / file)) continue;
            res.write(file, std::string("<svg xmlns='http://www.w3.org/2000/svg' width='16' "
                                        "height='16' viewBox='0 0 16 16'>") +
                                body + "</svg>");
        }
        res.write("StringMessage.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>FontLight</key><string>DejaVuSans</string>
  <key>FontRegular</key><string>DejaVuSans</string>
</dict></plist>)");
        resources = std::make_unique<fixtures::ScopedResources>(res.path());
    }

    /// A record for a fixture file made on disk (folders for paths ending in ".app").
    Ref<AMAppItem> record(const Record& r) {
        const std::string full = files / r.path;
        if (std::string(r.path).ends_with(".app"))
            files.write(std::string(r.path) + "/Contents/Info.plist", "<plist/>");
        else
            files.write(r.path, "data");
        auto item = AMAppItem::make();
        item->setName(r.name);
        item->setPath(full);
        item->setEntryRecord(platform::recordEntryAtPath(full));  // as discovery records it
        item->setSize(r.size);
        item->setImage(NSImage::imageNamed(std::string(r.path).ends_with(".app") ? "generic_app"
                                                                                 : "generic_file"));
        return item;
    }
    /// One group per entry of `groups`, kept in `list` (the opener's list).
    void makeGroups(const std::vector<std::vector<Record>>& groups) {
        std::vector<AMAppItemGroup> made;
        for (const auto& g : groups) {
            AMAppItemGroup records;
            for (const Record& r : g)
                records.push_back(record(r));
            made.push_back(records);
        }
        list = AMRelatedFilesGroup::listOfGroups(made);
    }
    /// Three bundles: Alpha with two files, Beta with one, Gamma alone.
    void makeThreeGroups() {
        makeGroups({{{"Alpha", "Applications/Alpha.app", "2.00 MB"},
                     {"com.alpha.plist", "Library/Preferences/com.alpha.plist", "1.50 KB"},
                     {"com.alpha", "Library/Caches/com.alpha", "500.00 KB"}},
                    {{"Beta", "Applications/Beta.app", "3.25 MB"},
                     {"Beta", "Library/Logs/Beta", "10.00 KB"}},
                    {{"Gamma", "Applications/Gamma.app", "1.00 MB"}}});
    }
    /// Makes the dialog for `list`, loads and shows it.
    void open() {
        controller = AMRelatedFilesWindowController::make();
        controller->setDelegate(recorder);
        controller->setAllRelaltedFiles(list);
        window = controller->window();
        ASSERT_NE(window, nullptr);
        outline = controller->outlineView().get();
        ASSERT_NE(outline, nullptr);
        window->makeKeyAndOrderFront();
        pt::pumpEvents();
    }

    long column(const char* identifier) const { return outline->columnWithIdentifier(identifier); }
    /// The name cell as prepared for `row`.
    Ref<NewButton> nameCell(long row) {
        return std::dynamic_pointer_cast<NewButton>(
            outline->preparedCellAtColumn(column("Name"), row));
    }
    /// The check-box image name of `row`.
    std::string tickOf(long row) {
        Ref<NewButton> cell = nameCell(row);
        if (!cell || !cell->selectImageCell() || !cell->selectImageCell()->image()) return "";
        return cell->selectImageCell()->image()->name();
    }
    /// Clicks at `point` of the outline (its own flipped coordinates).
    void clickInOutline(NSPoint point) {
        outline->scrollRowToVisible(outline->rowAtPoint(point));
        pt::postClick(*window, outline->convertPointToView(point, nullptr));
        pt::pumpEvents();
    }
    /// Clicks the check box of `row`.
    void clickTick(long row) {
        NSRect area =
            NewButton::clickAreaForBounds(outline->frameOfCellAtColumn(column("Name"), row));
        clickInOutline(NSMakePoint(NSMidX(area), NSMidY(area)));
    }
    /// Clicks the arrow column of `row`.
    void clickArrow(long row) {
        NSRect col = outline->rectOfColumn(column("open"));
        NSRect r = outline->rectOfRow(row);
        clickInOutline(NSMakePoint(NSMidX(col), NSMidY(r)));
    }
    /// The middle of `view` in window coordinates.
    static NSPoint middleOf(NSView& view) {
        NSRect r = view.convertRectToView(view.bounds(), nullptr);
        return NSMakePoint(NSMidX(r), NSMidY(r));
    }
    long rowOf(const Ref<NSObject>& item) const { return outline->rowForItem(item); }
    Ref<NSObject> group(std::size_t index) const { return (*list)[index]; }
    const AMAppItemGroup& records(std::size_t index) const { return (*list)[index]->records(); }

    fixtures::TempDir res;
    fixtures::TempDir files;
    std::unique_ptr<fixtures::ScopedResources> resources;
    Ref<NSApplication> app;
    Ref<CleanRecorder> recorder;
    Ref<AMRelatedFilesGroupList> list;
    Ref<AMRelatedFilesWindowController> controller;
    NSWindow* window = nullptr;
    MyNewOutlineView* outline = nullptr;
};

}  // namespace reviewtest
