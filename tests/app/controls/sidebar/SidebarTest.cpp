// Catches sidebar entries that act without a delegate, send their tag as a number instead of
// text, or draw the wrong look for their state, and panels whose top corners come out rounded.
#include <gtest/gtest.h>

#include <string>

#include "controls/sidebar/LeftTypeButton.h"
#include "controls/sidebar/NewView.h"
#include "platform/appkit/NSImageView.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSWindow.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSImage.h"
#include "platform/testing/WindowTesting.h"
#include "services/TCPublicUtilities.h"
#include "shell/ApplicationClasses.h"
#include "support/FileFixtures.h"
#include "support/ImageFixtures.h"
#include "support/ScopedResources.h"

namespace pt = platform::testing;

namespace {

class Receiver : public NSObject {
  public:
    void pick(const SelectorArg& arg) {
        const auto* text = std::any_cast<std::string>(&arg);
        received.push_back(text ? *text : std::string("<not text>"));
    }
    std::vector<std::string> received;
};

class Sidebar : public ::testing::Test {
  protected:
    void SetUp() override {
        registerApplicationClasses();
        ClassRegistry::shared()
            .registerClass<Receiver, NSObject>("SidebarTestReceiver")
            .action("pick:", &Receiver::pick);
        dir.mkdir("images");
        // The settings file that records the application's font names.
        dir.write("StringMessage.plist",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict/>"
                  "</plist>");
        fixtures::writeSolidPng(dir / "images/tab_on.png", 4, 4, NSColor::blueColor());
        fixtures::writeSolidPng(dir / "images/normal.png", 4, 4, NSColor::redColor());
        fixtures::writeSolidPng(dir / "images/hover.png", 4, 4, NSColor::greenColor());
        resources = std::make_unique<fixtures::ScopedResources>(dir.path());
        window = NSWindow::make(NSMakeRect(0, 0, 240, 60), NSWindowStyleMaskBorderless);
        entry = LeftTypeButton::make();
        entry->setFrame(NSMakeRect(10, 7, 220, 46));
        entry->setNormarlImage(NSImage::imageNamed("normal"), NSImage::imageNamed("hover"),
                               "Plugins");
        window->contentView()->addSubview(entry);
        window->orderFront();
    }
    fixtures::TempDir dir;
    std::unique_ptr<fixtures::ScopedResources> resources;
    Ref<NSWindow> window;
    Ref<LeftTypeButton> entry;
};

TEST_F(Sidebar, ClickPerformsTheActionWithTheTagAsText) {
    pt::postClick(*window, NSMakePoint(100, 30));
    pt::pumpEvents();  // no delegate: nothing happens, nothing crashes
    auto receiver = std::make_shared<Receiver>();
    entry->setDelegate(receiver);
    entry->setButtonAction(SEL("pick:"));
    for (int tag : {0, 4}) {
        entry->setButtonTag(tag);
        pt::postClick(*window, NSMakePoint(100, 30));
        pt::pumpEvents();
    }
    EXPECT_EQ(receiver->received, (std::vector<std::string>{"0", "4"}));
}

TEST_F(Sidebar, TheLookFollowsTheSelectionAtTheNextDrawing) {
    TCPublicUtilities::writRegularFont(NSFont::fontWithName("DejaVuSans", 14));
    TCPublicUtilities::writLightFont(NSFont::fontWithName("DejaVuSans-ExtraLight", 14));
    EXPECT_EQ(entry->iconImageView()->frame(), NSMakeRect(10, 7, 32, 32));
    EXPECT_EQ(entry->titleLabel()->frame(), NSMakeRect(50, 15, 150, 19));
    EXPECT_EQ(entry->selectImageView()->frame(), entry->bounds());
    struct Case {
        bool selected;
        bool backdrop;
        const char* icon;
        const char* font;
    };
    for (const Case& c : {Case{true, true, "hover", "DejaVuSans"},
                          Case{false, false, "normal", "DejaVuSans-ExtraLight"}}) {
        entry->setIsSelect(c.selected);
        entry->setNeedsDisplay(true);
        pt::renderWindow(*window);
        EXPECT_EQ(!entry->selectImageView()->isHidden(), c.backdrop);
        ASSERT_TRUE(entry->iconImageView()->image());
        EXPECT_EQ(entry->iconImageView()->image()->name(), c.icon);
        EXPECT_EQ(entry->titleLabel()->font()->fontName(), c.font);
        auto colour = entry->titleLabel()->textColor();
        if (c.selected) {
            EXPECT_NEAR(colour->greenComponent(), 190 / 255.0, 1e-6);
        } else {
            EXPECT_NEAR(colour->alphaComponent(), 0.5, 1e-6);
        }
    }
}

TEST(SidebarPanel, TopCornersSquareBottomCornersRounded) {
    auto window = NSWindow::make(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskBorderless);
    window->setOpaque(false);
    window->setBackgroundColor(NSColor::clearColor());
    auto panel = std::make_shared<NewView>();
    panel->initWithFrame(NSMakeRect(0, 0, 100, 100));
    window->contentView()->addSubview(panel);
    window->orderFront();
    auto surface = pt::renderWindow(*window);
    ASSERT_TRUE(surface);
    // Pixel rows count from the top: (1, 1) is the top-left corner, (1, 98) the bottom-left.
    EXPECT_GT(surface->pixelAt(1, 1).a, 200);
    EXPECT_GT(surface->pixelAt(98, 1).a, 200);
    EXPECT_LT(surface->pixelAt(1, 98).a, 50);
    EXPECT_LT(surface->pixelAt(98, 98).a, 50);
    EXPECT_GT(surface->pixelAt(50, 50).a, 200);
}

}  // namespace
