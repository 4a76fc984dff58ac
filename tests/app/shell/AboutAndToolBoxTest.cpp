// The About window and the Tool Box screen: their links, the modal loop the About window ends,
// the link colour that follows the pointer, and the panels they paint.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <any>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "controls/buttons/EUHandButton.h"
#include "controls/buttons/TCImageButton.h"
#include "controls/buttons/TCTextLine.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/URLOpener.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSImage.h"
#include "platform/graphics/NSParagraphStyle.h"
#include "platform/testing/RunLoopPump.h"
#include "shell/AboutVersionBgView.h"
#include "shell/ApplicationClasses.h"
#include "shell/OtherAppViewController.h"
#include "shell/TCPreferenceWindowController.h"
#include "shell/ToolBoxBgView.h"
#include "shell/ZRAppDelegate.h"
#include "support/FileFixtures.h"
#include "support/ScopedResources.h"

namespace {

namespace pt = platform::testing;

class ShellWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        registerApplicationClasses();
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
        record = dir / "opened";
        const std::string opener =
            dir.write("opener", "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record + ".tmp'\nmv '" +
                                    record + ".tmp' '" + record + "'\n");
        ::chmod(opener.c_str(), 0755);
        platform::setURLOpenerForTesting(opener);
    }
    void TearDown() override {
        platform::setURLOpenerForTesting("");
        pt::drainQueues();
        for (NSWindow* w : NSWindow::windows())
            if (w->isVisible()) w->orderOut();
        NSApplication::resetSharedApplicationForTesting();
    }
    /// The address the desktop was asked to open last (waits for the opener a while).
    std::string opened() {
        platform::waitForGlobalQueuesForTesting();
        for (int i = 0; i < 200 && fixtures::readFile(record).empty(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::string text = fixtures::readFile(record);
        ::unlink(record.c_str());
        if (!text.empty() && text.back() == '\n') text.pop_back();
        return text;
    }
    /// The colour a view paints at (x, y) of a bitmap of its size (y from the top).
    static NSGraphicsContext::Pixel paintedAt(NSView& view, int x, int y) {
        const NSSize size = view.bounds().size;
        auto context = NSGraphicsContext::contextWithBitmap(static_cast<int>(size.width),
                                                            static_cast<int>(size.height), false);
        auto previous = NSGraphicsContext::currentContext();
        NSGraphicsContext::setCurrentContext(context);
        view.drawRect(view.bounds());
        NSGraphicsContext::setCurrentContext(previous);
        return context->pixelAt(x, y);
    }

    fixtures::TempDir dir;
    std::string record;
    fixtures::ScopedResources resources{UNINSTALLER_RESOURCES_DIR};
    Ref<NSApplication> app;
};

TEST_F(ShellWindows, AboutWindowLinksAndClosesItsModalLoop) {
    auto about = TCPreferenceWindowController::make();
    NSWindow* window = about->window();
    ASSERT_TRUE(window);
    EXPECT_FALSE(window->isOpaque());
    EXPECT_TRUE(window->isMovableByWindowBackground());
    ASSERT_TRUE(about->emilLine() && about->webLine() && about->name() && about->verson());
    EXPECT_EQ(about->name()->stringValue(), "Uninstaller");
    EXPECT_EQ(about->emilLine()->openURL(),
              std::string(TCPreferenceWindowController::kSupportMail));
    EXPECT_EQ(about->webLine()->openURL(), std::string(TCPreferenceWindowController::kProductPage));
    NSButton* close = window->standardWindowButton(NSWindowCloseButton);
    ASSERT_TRUE(close);
    EXPECT_EQ(close->action(), SEL("closeWindow:"));
    EXPECT_EQ(close->target().lock(), about);

    // The close button ends the modal loop the window runs in.
    dispatch_async(dispatch_get_main_queue(), [&] { close->performClick(nullptr); });
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 10 * NSEC_PER_SEC), dispatch_get_main_queue(),
                   [app = app] { app->abortModal(); });
    EXPECT_EQ(app->runModalForWindow(window), NSModalResponseStop);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(ShellWindows, TheMenuOpensANewAboutWindowEachTime) {
    auto delegate = std::make_shared<ZRAppDelegate>();
    TCPreferenceWindowController* first = nullptr;
    for (int opening = 0; opening < 2; ++opening) {
        dispatch_async(dispatch_get_main_queue(), [&] {
            ASSERT_TRUE(delegate->aboutWC());
            EXPECT_EQ(app->modalWindow(), delegate->aboutWC()->window());
            EXPECT_NE(delegate->aboutWC(), first) << "a new window for each opening";
            first = delegate->aboutWC();
            delegate->aboutWC()->closeWindow(nullptr);
        });
        delegate->aboutMenuItemClick(nullptr);
        EXPECT_EQ(app->modalWindow(), nullptr);
    }
}

TEST_F(ShellWindows, ToolBoxLinkFollowsThePointerAndOpensItsPages) {
    auto toolBox = std::make_shared<OtherAppViewController>();
    toolBox->initWithNibName("OtherAppViewController", nullptr);
    ASSERT_TRUE(toolBox->view());
    ASSERT_TRUE(toolBox->freeDownLoadBut() && toolBox->linkLabel() && toolBox->linkButton());

    Ref<TCImageButton> download = toolBox->freeDownLoadBut();
    EXPECT_TRUE(download->isEnabled());
    EXPECT_EQ(download->target().lock(), toolBox);
    ASSERT_TRUE(download->normalImage() && download->activeImage() && download->hoverImage());
    EXPECT_EQ(download->normalImage()->name(), "btn_pril");
    EXPECT_EQ(download->activeImage()->name(), "btn_pril_press");
    EXPECT_EQ(download->hoverImage()->name(), "btn_pril_hover");
    EXPECT_EQ(download->frame().size, download->normalImage()->size());

    struct Case {
        bool inside;
        double green, alpha;
    } cases[] = {{true, 207 / 255.0, 1.0}, {false, 1.0, 0.8}, {true, 207 / 255.0, 1.0}};
    for (const Case& c : cases) {
        toolBox->mouseInHandButton(c.inside);
        auto colour = toolBox->linkLabel()->textColor();
        ASSERT_TRUE(colour);
        EXPECT_NEAR(colour->greenComponent(), c.green, 1e-3) << c.inside;
        EXPECT_NEAR(colour->alphaComponent(), c.alpha, 1e-3) << c.inside;
    }

    toolBox->marrowgleamLink(nullptr);
    EXPECT_EQ(opened(), OtherAppViewController::kDownloadURL);
    toolBox->linkButtonAction(nullptr);
    EXPECT_EQ(opened(), OtherAppViewController::kProductPage);

    auto text = toolBox->setAddItunesBackup("Learn more", 14);
    ASSERT_TRUE(toolBox->linkLabel()->attributedStringValue());
    EXPECT_EQ(toolBox->linkLabel()->attributedStringValue()->string(), "Learn more");
    ASSERT_EQ(text->runs().size(), 1u);
    const auto runs = text->runs();
    const auto& attributes = runs.front().attributes;
    EXPECT_EQ(std::any_cast<long>(attributes.at(NSUnderlineStyleAttributeName)), 1);
    EXPECT_EQ(std::any_cast<Ref<NSParagraphStyle>>(attributes.at(NSParagraphStyleAttributeName))
                  ->alignment(),
              NSCenterTextAlignment);
}

TEST_F(ShellWindows, PanelsPaintTheirColourWithRoundedCorners) {
    struct Case {
        const char* name;
        Ref<NSView> view;
        int r, g, b, a;  // at the centre, over a transparent bitmap
    } cases[] = {
        {"About", std::make_shared<AboutVersionBgView>(), 59, 63, 66, 255},
        {"Tool Box", std::make_shared<ToolBoxBgView>(), 255, 255, 255, 15},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.view->initWithFrame(NSMakeRect(0, 0, 100, 60));
        const auto centre = paintedAt(*c.view, 50, 30);
        EXPECT_NEAR(centre.a, c.a, 2);
        if (c.a == 255) {
            EXPECT_NEAR(centre.r, c.r, 2);
            EXPECT_NEAR(centre.g, c.g, 2);
            EXPECT_NEAR(centre.b, c.b, 2);
        }
        EXPECT_EQ(paintedAt(*c.view, 0, 0).a, 0) << "the corner is cut";
        EXPECT_NEAR(paintedAt(*c.view, 50, 0).a, c.a, 2) << "the edge is filled";
    }
}

}  // namespace
