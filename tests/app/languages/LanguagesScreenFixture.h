#pragma once
// Shared by the Languages screen tests: a volume of applications with localisation folders,
// the screen loaded from its interface file as the application delegate makes it, its scan
// waited for, and gestures at its rows.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "controls/RFOverlayScrollView/RFOverlayScrollView.h"
#include "controls/buttons/TCImageButton.h"
#include "controls/lists/CustemOutlineView.h"
#include "languages/ZRLanguagesViewController.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSImageView.h"
#include "platform/appkit/NSSegmentedControl.h"
#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/NSWindow.h"
#include "platform/foundation/NSIndexSet.h"
#include "platform/testing/LogCapture.h"
#include "platform/testing/RunLoopPump.h"
#include "platform/testing/WindowTesting.h"
#include "shell/ApplicationClasses.h"
#include "support/FileFixtures.h"
#include "support/ScopedResources.h"

namespace languagestest {

namespace fs = std::filesystem;
namespace pt = platform::testing;

class LanguagesScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        registerApplicationClasses();
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
        fs::create_directories(root / "Applications");
    }
    void TearDown() override {
        pt::drainQueues();
        if (window) window->orderOut();
        screen.reset();
        window.reset();
        NSApplication::resetSharedApplicationForTesting();
    }

    /// An application with one folder per {code, bytes}.
    void application(const std::string& name,
                     const std::vector<std::pair<std::string, int>>& folders) {
        const std::string path = root / ("Applications/" + name + ".app");
        fs::create_directories(path + "/Contents/Resources");
        root.write("Applications/" + name + ".app/Contents/Info.plist",
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                   "<key>CFBundleIdentifier</key><string>test." +
                       name + "</string></dict></plist>\n");
        for (const auto& [code, bytes] : folders) {
            const std::string folder = path + "/Contents/Resources/" + code + ".lproj";
            fs::create_directories(folder);
            fixtures::makeFile(folder + "/Localizable.strings", bytes);
        }
    }
    /// Three applications: German in all, French in two, Japanese in one.
    void threeApplications() {
        application("Alpha", {{"de", 1000}, {"fr", 20000}});
        application("beta", {{"de", 300000}, {"ja", 10}});
        application("Gamma", {{"de", 5000}, {"fr", 100}});
    }
    /// Builds the screen as the application delegate does and waits for its scan.
    void openScreen() {
        window = std::make_shared<NSWindow>();
        window->initWithContentRect(NSMakeRect(0, 0, 800, 648), NSWindowStyleMaskBorderless,
                                    NSBackingStoreBuffered, false);
        screen = std::make_shared<ZRLanguagesViewController>();
        screen->initWithNibName("ZRLanguagesViewController", nullptr);
        ASSERT_TRUE(screen->view());
        window->contentView()->addSubview(screen->viewRef());
        screen->setMainWindow(window.get());
        screen->loadData();
        EXPECT_FALSE(screen->segment()->isEnabled());
        EXPECT_TRUE(screen->outlineScrollView()->isHidden());
        EXPECT_FALSE(screen->loadProImageView()->isHidden());
        ASSERT_TRUE(pt::runMainLoopUntil([&] { return !screen->isScanning(); }));
    }
    CustemOutlineView& outline() const { return *screen->outlineView(); }
    std::string header(const char* column) const {
        return outline().tableColumnWithIdentifier(column)->title();
    }
    Ref<ZRTreeNode> top(const std::string& title) const {
        for (const auto& node : screen->shownRootList())
            if (node->title() == title) return node;
        ADD_FAILURE() << "no top node " << title;
        return nullptr;
    }
    static Ref<ZRTreeNode> childOf(const Ref<ZRTreeNode>& node, const std::string& title) {
        for (const auto& child : node->children())
            if (child->title() == title) return std::static_pointer_cast<ZRTreeNode>(child);
        ADD_FAILURE() << "no child " << title;
        return nullptr;
    }
    /// Selects the node's row as a click does and clicks its check box.
    void clickTick(const Ref<ZRTreeNode>& node) {
        long row = outline().rowForItem(node);
        if (row < 0) {
            outline().expandItem(node->faterNode());
            row = outline().rowForItem(node);
        }
        ASSERT_GE(row, 0);
        screen->shouldSelectItem(&outline(), node);
        outline().selectRowIndexes(NSIndexSet::indexSetWithIndex(row), false);
        screen->clickButtonAction(nullptr);
    }
    std::vector<std::string> topTitles() const {
        std::vector<std::string> out;
        for (const auto& node : screen->shownRootList())
            out.push_back(node->title());
        return out;
    }
    void showTree(long segment) {
        screen->segment()->setSelectedSegment(segment);
        screen->changeShowType(screen->segment().get());
    }

    fixtures::TempDir home, root;
    fixtures::ScopedEnv homeEnv{"HOME", home.path()};
    fixtures::ScopedEnv rootEnv{"UNINSTALLER_ROOT", root.path()};
    fixtures::ScopedResources resources{UNINSTALLER_RESOURCES_DIR};
    platform::LogCapture log;
    Ref<NSApplication> app;
    Ref<NSWindow> window;
    Ref<ZRLanguagesViewController> screen;
};

}  // namespace languagestest
