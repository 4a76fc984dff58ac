// Catches an update dialog that shows the wrong pane for a description, trusts a hostile one
// (too large, too deep, not a dictionary, a build number that is no number, feature values that
// are no strings, feature keys with gaps), lays its feature lines out overlapping or in the
// wrong order, opens a download page that is not a web page, or whose Close, close button and
// fade-out leave the modal loop running or the window invisible for the next check.
#include "shell/EUCheckUpdateWindowController.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "app/shell/UpdateTestSupport.h"
#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSClipView.h"
#include "platform/appkit/URLOpener.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/testing/WindowTesting.h"

namespace {

using namespace update_testing;
using platform::testing::LoopbackServer;

class UpdateDialog : public UpdateFixture {
  protected:
    /// The texts of the feature lines, top to bottom.
    static std::vector<std::string> lineTexts(const EUCheckUpdateWindowController& dialog) {
        std::vector<std::string> texts;
        for (const auto& view : dialog.showVersionScrollView()->subviews())
            if (auto* field = dynamic_cast<NSTextField*>(view.get()))
                texts.push_back(field->stringValue());
        return texts;
    }
    static std::vector<NSTextField*> lines(const EUCheckUpdateWindowController& dialog) {
        std::vector<NSTextField*> fields;
        for (const auto& view : dialog.showVersionScrollView()->subviews())
            fields.push_back(dynamic_cast<NSTextField*>(view.get()));
        return fields;
    }
    /// The colour at (x, y) of the window's content (y from the bottom, as frames are).
    static NSGraphicsContext::Pixel pixel(NSWindow& window, int x, int y) {
        auto surface = pt::renderWindow(window);
        if (!surface) return {};
        return surface->pixelAt(x, surface->pixelsHigh() - 1 - y);
    }
    static bool near(NSGraphicsContext::Pixel p, int r, int g, int b, int tolerance = 6) {
        return std::abs(p.r - r) <= tolerance && std::abs(p.g - g) <= tolerance &&
               std::abs(p.b - b) <= tolerance;
    }
};

TEST_F(UpdateDialog, LoadsItsPanesButtonsAndFeatureListAndStartsChecking) {
    server.serve("/update.plist", description(integer(100), str("1.0")));
    auto dialog = EUCheckUpdateWindowController::make();
    NSWindow* window = dialog->window();
    ASSERT_TRUE(window);
    // Nothing has come back to the main queue yet: the checking pane with its indicator.
    EXPECT_EQ(shownPane(*dialog), Pane::Checking);
    ASSERT_TRUE(dialog->progressBar());
    EXPECT_TRUE(dialog->progressBar()->isAnimating());
    EXPECT_FALSE(window->isOpaque());
    EXPECT_EQ(window->backgroundColor()->alphaComponent(), 0);
    EXPECT_TRUE(window->isMovableByWindowBackground());
    EXPECT_EQ(window->alphaValue(), 0) << "a window not shown yet fades in";
    ASSERT_TRUE(window->animationForKey("alphaValue"));
    EXPECT_EQ(window->delegate(), dialog.get());

    NSButton* close = window->standardWindowButton(NSWindowCloseButton);
    ASSERT_TRUE(close);
    EXPECT_EQ(close->action(), SEL("closeWindow:"));
    EXPECT_EQ(close->target().lock(), dialog);

    auto scroll = dialog->changeValueScrollView();
    ASSERT_TRUE(scroll && dialog->showVersionScrollView() && dialog->versionLabel());
    EXPECT_EQ(scroll->documentView(), dialog->showVersionScrollView().get());
    EXPECT_TRUE(scroll->isDescendantOf(dialog->haveUpdateView().get()));
    ASSERT_TRUE(scroll->wantsLayer() && scroll->layer());
    EXPECT_EQ(scroll->layer()->borderWidth(), 5.0);
    EXPECT_EQ(scroll->layer()->borderColor(), NSColor::redColor());
    EXPECT_EQ(scroll->contentView()->bounds().origin, NSMakePoint(0, 0));

    struct Button {
        TextImageButton* button;
        NSView* pane;
        const char* image;
        const char* label;
        SEL action;
    };
    const Button buttons[] = {
        {dialog->noNetCloseButton(), dialog->noNetworkView().get(), "btn_popsec", "Close",
         SEL("closeWindowAction:")},
        {dialog->proCloseButton(), dialog->noUpdateView().get(), "btn_popsec", "Close",
         SEL("closeWindowAction:")},
        {dialog->newCloseButton(), dialog->haveUpdateView().get(), "btn_popsec", "Close",
         SEL("closeWindowAction:")},
        {dialog->haveLaterButton(), dialog->haveUpdateView().get(), "btn_popsec", "Remind Me Later",
         SEL("closeWindowAction:")},
        {dialog->installButton(), dialog->haveUpdateView().get(), "btn_poppri", "Install Update",
         SEL("updateClickHereAction:")},
    };
    for (const Button& b : buttons) {
        SCOPED_TRACE(b.label);
        ASSERT_TRUE(b.button);
        EXPECT_TRUE(b.button->isDescendantOf(b.pane));
        EXPECT_TRUE(b.button->isButtonEnabled());
        EXPECT_EQ(b.button->normalImage()->name(), b.image);
        EXPECT_EQ(b.button->activeImage()->name(), std::string(b.image) + "_press");
        EXPECT_EQ(b.button->hoverImage()->name(), std::string(b.image) + "_hover");
        EXPECT_EQ(b.button->disableImage()->name(), std::string(b.image) + "_disable");
        ASSERT_TRUE(b.button->textField());
        EXPECT_EQ(b.button->textField()->stringValue(), b.label);
        EXPECT_EQ(b.button->textField()->font()->pointSize(), 12);
        EXPECT_EQ(b.button->action(), b.action);
        EXPECT_EQ(b.button->target().lock(), dialog);
    }
    // The result arrives on the main queue.
    EXPECT_TRUE(pt::runMainLoopUntil([&] { return hasResult(*dialog); }));
    EXPECT_EQ(shownPane(*dialog), Pane::NoUpdate);
    EXPECT_FALSE(dialog->progressBar()->isAnimating());
    EXPECT_TRUE(pt::runMainLoopUntil([&] { return window->alphaValue() == 1; }));
}

TEST_F(UpdateDialog, ThePaneFollowsTheDescriptionAndItsHostileForms) {
    std::string deep = "<dict><key>VersionCheck</key><integer>999</integer><key>1</key>";
    for (int i = 0; i < 600; ++i)
        deep += "<array>";
    for (int i = 0; i < 600; ++i)
        deep += "</array>";
    deep += "</dict>";
    std::string large =
        description(integer(999), str("9.9"), {{"1", str(std::string(300 * 1024, 'x'))}});
    struct Case {
        const char* name;
        std::string body;
        const char* status;
        std::string local;  // the settings' VersionCheck; empty: missing
        Pane pane;
        std::string headline;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"features",
         description(integer(120), str("5.7"),
                     {{"1", str("Faster scans")}, {"2", str("Fewer leftovers")}}),
         "200 OK",
         integer(100),
         Pane::Update,
         "New features of Version 5.7 :",
         {"1:Faster scans", "2:Fewer leftovers"}},
        {"equal builds",
         description(integer(100), str("1.0"), {{"1", str("x")}}),
         "200 OK",
         integer(100),
         Pane::NoUpdate,
         "",
         {}},
        {"older build",
         description(integer(99), str("0.9")),
         "200 OK",
         integer(100),
         Pane::NoUpdate,
         "",
         {}},
        {"string 120 against number 119",
         description(str("120"), str("5.7"), {{"1", str("a")}}),
         "200 OK",
         integer(119),
         Pane::Update,
         "New features of Version 5.7 :",
         {"1:a"}},
        {"local string build",
         description(integer(120), str("5.7")),
         "200 OK",
         str("120"),
         Pane::NoUpdate,
         "",
         {}},
        {"no local build counts as 0",
         description(integer(1), str("0.1")),
         "200 OK",
         "",
         Pane::Update,
         "New features of Version 0.1 :",
         {}},
        {"404",
         description(integer(999), str("9.9")),
         "404 Not Found",
         integer(100),
         Pane::NoUpdate,
         "",
         {}},
        {"empty body", "", "200 OK", integer(100), Pane::NoUpdate, "", {}},
        {"not a property list", "VersionCheck=999", "200 OK", integer(100), Pane::NoUpdate, "", {}},
        {"an array",
         plist("<array><integer>999</integer></array>"),
         "200 OK",
         integer(100),
         Pane::NoUpdate,
         "",
         {}},
        {"build of letters",
         description(str("12a"), str("9.9")),
         "200 OK",
         integer(1),
         Pane::NoUpdate,
         "",
         {}},
        {"build that is a dictionary",
         description("<dict/>", str("9.9")),
         "200 OK",
         "",
         Pane::NoUpdate,
         "",
         {}},
        {"build that is a boolean",
         description("<true/>", str("9.9")),
         "200 OK",
         "",
         Pane::NoUpdate,
         "",
         {}},
        {"no build",
         description("", str("9.9"), {{"1", str("x")}}),
         "200 OK",
         "",
         Pane::NoUpdate,
         "",
         {}},
        {"too large", large, "200 OK", integer(100), Pane::NoUpdate, "", {}},
        {"too deep", plist(deep), "200 OK", integer(100), Pane::NoUpdate, "", {}},
        {"version missing",
         description(integer(120), ""),
         "200 OK",
         integer(100),
         Pane::Update,
         "New features of Version  :",
         {}},
        {"version as a number",
         description(integer(120), "<real>5.5</real>"),
         "200 OK",
         integer(100),
         Pane::Update,
         "New features of Version 5.5 :",
         {}},
        {"gaps, other keys and values that are no strings",
         description(integer(120), str("5.7"),
                     {{"4", str("four")},
                      {"1", str("one")},
                      {"10", str("ten")},
                      {"2", integer(7)},
                      {"3", "<dict><key>a</key><string>b</string></dict>"},
                      {"02", str("leading zero")},
                      {"note", str("not a line")},
                      {"-1", str("negative")}}),
         "200 OK",
         integer(100),
         Pane::Update,
         "New features of Version 5.7 :",
         {"1:one", "4:four", "10:ten"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeSettings(server.url("/update.plist"), c.local);
        server.serve("/update.plist", c.body, c.status);
        auto dialog = checked();
        ASSERT_EQ(shownPane(*dialog), c.pane);
        EXPECT_EQ(lineTexts(*dialog), c.lines);
        if (c.pane == Pane::Update) {
            EXPECT_EQ(dialog->versionLabel()->stringValue(), c.headline);
            for (const std::string& text : lineTexts(*dialog))
                EXPECT_EQ(text.find("(null)"), std::string::npos) << text;
        }
    }
}

TEST_F(UpdateDialog, FeatureLinesStackFromTheTopWithoutOverlap) {
    const std::string longLine =
        "The related-file search now also looks into the containers of sandboxed "
        "applications, their group containers and the saved state of every window, so that "
        "far less is left behind after an uninstall";
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> features;
        std::vector<std::string> prefixes;
    };
    const Case cases[] = {
        {"no feature lines", {}, {}},
        {"three short lines",
         {{"1", "Faster"}, {"2", "Smaller"}, {"3", "Safer"}},
         {"1:", "2:", "3:"}},
        {"a long first line",
         {{"1", longLine}, {"2", "Smaller"}, {"3", "Safer"}},
         {"1:", "2:", "3:"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::pair<std::string, std::string>> entries;
        for (const auto& [key, text] : c.features)
            entries.emplace_back(key, str(text));
        server.serve("/update.plist", description(integer(120), str("5.7"), entries));
        auto dialog = checked();
        ASSERT_EQ(shownPane(*dialog), Pane::Update);
        NSView* document = dialog->showVersionScrollView().get();
        const NSRect frame = document->frame();
        EXPECT_EQ(frame.origin, NSMakePoint(0, 0));
        EXPECT_EQ(frame.size.width, 446);
        auto fields = lines(*dialog);
        ASSERT_EQ(fields.size(), c.prefixes.size());
        if (fields.empty()) {
            EXPECT_EQ(frame.size.height, 260) << "an empty list is 260 points high";
            continue;
        }
        double top = frame.size.height;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            SCOPED_TRACE(i);
            NSTextField* field = fields[i];
            ASSERT_TRUE(field);
            const std::string& value = c.features[i].second;
            EXPECT_EQ(field->stringValue(), c.prefixes[i] + value);
            EXPECT_EQ(field->toolTip(), value);
            EXPECT_EQ(field->frame().origin.x, 0);
            EXPECT_EQ(field->frame().size.width, 446);
            // Directly below the line before: the first line at the top.
            EXPECT_DOUBLE_EQ(field->frame().origin.y + field->frame().size.height, top);
            top = field->frame().origin.y;
            EXPECT_GE(field->frame().size.height, 25);
            EXPECT_EQ(field->font()->pointSize(), 13);
            EXPECT_EQ(field->cell()->lineBreakMode(), NSLineBreakByWordWrapping);
            EXPECT_FALSE(field->isEditable());
            EXPECT_FALSE(field->isBezeled());
            auto colour = field->textColor();
            EXPECT_NEAR(colour->redComponent(), 237 / 255.0, 1e-6);
            EXPECT_NEAR(colour->greenComponent(), 239 / 255.0, 1e-6);
            EXPECT_NEAR(colour->blueComponent(), 240 / 255.0, 1e-6);
        }
        EXPECT_GE(top, 0) << "every line lies inside the list";
        if (std::string(c.name) == "three short lines") {
            EXPECT_EQ(frame.size.height, 260);
            for (std::size_t i = 0; i < 3; ++i)
                EXPECT_EQ(fields[i]->frame(), NSMakeRect(0, 260 - 25.0 * (i + 1), 446, 25));
        }
        if (std::string(c.name) == "a long first line") {
            EXPECT_GT(fields[0]->frame().size.height, 25) << "it wraps at 400 points";
            EXPECT_EQ(fields[1]->frame().size.height, 25);
        }
    }
}

TEST_F(UpdateDialog, TextHeightGrowsWithWrappedLines) {
    auto font = NSFont::systemFontOfSize(13);
    const double one = EUCheckUpdateWindowController::heightForStringDrawing("word", font, 400);
    EXPECT_GT(one, 10);
    EXPECT_LT(one, 25);
    std::string many;
    for (int i = 0; i < 60; ++i)
        many += "word ";
    const double wrapped = EUCheckUpdateWindowController::heightForStringDrawing(many, font, 400);
    EXPECT_GT(wrapped, 2.5 * one);
    EXPECT_LT(EUCheckUpdateWindowController::heightForStringDrawing(many, font, 4000), 1.5 * one);
}

TEST_F(UpdateDialog, NetworkFailuresShowTheNoNetworkPane) {
    // A refused port fails at once.
    const std::string refused =
        "http://127.0.0.1:" + std::to_string(platform::testing::refusedLoopbackPort());
    writeSettings(refused + "/update.plist", integer(100));
    auto start = std::chrono::steady_clock::now();
    auto dialog = checked();
    EXPECT_EQ(shownPane(*dialog), Pane::NoNetwork);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));

    // A server that never answers trips the 5-second probe; the dialog waits on its own
    // thread meanwhile, and nothing was fetched.
    LoopbackServer silent(/*silent=*/true);
    ASSERT_TRUE(silent.ok());
    writeSettings(silent.url("/update.plist"), integer(100));
    start = std::chrono::steady_clock::now();
    auto waiting = EUCheckUpdateWindowController::make();
    ASSERT_TRUE(waiting->window());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3))
        << "the window loads without waiting for the network";
    EXPECT_TRUE(pt::runMainLoopUntil([&] { return hasResult(*waiting); }, 10));
    const double waited =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(shownPane(*waiting), Pane::NoNetwork);
    EXPECT_GE(waited, 4.5);
    EXPECT_LT(waited, 8.0);
    const auto requests = silent.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].rfind("GET / ", 0), 0u) << "only the probe was sent";
}

TEST_F(UpdateDialog, EachPaneDrawsItsOwnRegions) {
    // Panel (51, 55, 58), the grey Close button (84, 89, 93) centred at the bottom of the
    // single-button panes, the red border of the feature list in the update pane.
    struct Case {
        const char* name;
        std::string iniURL;
        std::string body;
        Pane pane;
        bool centredButton, redBorder;
    };
    const std::string refused =
        "http://127.0.0.1:" + std::to_string(platform::testing::refusedLoopbackPort()) + "/u";
    const Case cases[] = {
        {"no network", refused, "", Pane::NoNetwork, true, false},
        {"no update", server.url("/update.plist"), description(integer(100), str("1.0")),
         Pane::NoUpdate, true, false},
        {"update", server.url("/update.plist"),
         description(integer(120), str("5.7"), {{"1", str("Faster")}}), Pane::Update, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeSettings(c.iniURL, integer(100));
        server.serve("/update.plist", c.body);
        auto dialog = checked();
        ASSERT_EQ(shownPane(*dialog), c.pane);
        NSWindow& window = *dialog->window();
        window.orderFront(nullptr);
        ASSERT_TRUE(pt::runMainLoopUntil([&] { return window.alphaValue() == 1; }));
        EXPECT_EQ(near(pixel(window, 216, 44), 84, 89, 93), c.centredButton);
        EXPECT_EQ(near(pixel(window, 39, 200), 255, 0, 0), c.redBorder);
        EXPECT_EQ(near(pixel(window, 480, 200), 255, 0, 0), c.redBorder);
        EXPECT_TRUE(near(pixel(window, 20, 400), 51, 55, 58)) << "the dark panel";
        if (c.pane == Pane::Update) {
            EXPECT_TRUE(near(pixel(window, 42, 44), 84, 89, 93)) << "Close at the left";
            EXPECT_FALSE(near(pixel(window, 378, 44), 51, 55, 58)) << "Install Update is drawn";
        }
        window.orderOut();
    }
}

// The modal loops below end by themselves after 10 seconds if the dialog fails to end them.
class UpdateDialogClosing : public UpdateDialog {
  public:
    void SetUp() override {
        UpdateDialog::SetUp();
        server.serve("/update.plist", description(integer(120), str("5.7"), {{"1", str("a")}}));
        dialog = checked();
        ASSERT_EQ(shownPane(*dialog), Pane::Update);
        window = dialog->window();
        // Faded in, as a person sees it before closing it.
        ASSERT_TRUE(pt::runMainLoopUntil([&] { return window->alphaValue() == 1; }));
    }
    NSModalResponse runModal(std::function<void()> action) {
        dispatch_async(dispatch_get_main_queue(), std::move(action));
        dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 10 * NSEC_PER_SEC),
                       dispatch_get_main_queue(), [app = app] { app->abortModal(); });
        return app->runModalForWindow(window);
    }
    Ref<EUCheckUpdateWindowController> dialog;
    NSWindow* window = nullptr;
};

/// Counts runRootWindow, which closing performs on the dialog's delegate.
class RootWindowRecorder : public NSObject {
  public:
    void runRootWindow() { ++calls; }
    int calls = 0;
    static void registerClass() {
        ClassRegistry::shared()
            .registerClass<RootWindowRecorder, NSObject>("UpdateTestRootWindowRecorder")
            .method("runRootWindow", &RootWindowRecorder::runRootWindow);
    }
};

TEST_F(UpdateDialogClosing, CloseButtonsAndTheWindowsCloseButtonEndTheDialogAlike) {
    RootWindowRecorder::registerClass();
    struct Case {
        const char* name;
        bool withDelegate;
        std::function<void(UpdateDialogClosing&)> close;
    };
    const Case cases[] = {
        {"Close button", false,
         [](UpdateDialogClosing& t) { pt::postClick(*t.window, NSMakePoint(87, 38)); }},
        {"Remind Me Later", true,
         [](UpdateDialogClosing& t) { pt::postClick(*t.window, NSMakePoint(303, 38)); }},
        {"the window's close button", false,
         [](UpdateDialogClosing& t) {
             t.window->standardWindowButton(NSWindowCloseButton)->performClick(nullptr);
         }},
        {"the window's close button with a delegate", true,
         [](UpdateDialogClosing& t) {
             t.window->standardWindowButton(NSWindowCloseButton)->performClick(nullptr);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto recorder = std::make_shared<RootWindowRecorder>();
        dialog->setDelegate(c.withDelegate ? recorder : nullptr);
        EXPECT_EQ(runModal([&] { c.close(*this); }), NSModalResponseStop);
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(app->modalWindow(), nullptr);
        EXPECT_EQ(recorder->calls, c.withDelegate ? 1 : 0);
    }
}

TEST_F(UpdateDialogClosing, CloseCommandFadesOutAndTheNextShowingIsVisible) {
    EXPECT_EQ(runModal([&] {
                  window->performClose(nullptr);
                  // Not closed yet: it fades first.
                  EXPECT_TRUE(window->isVisible());
              }),
              NSModalResponseStop);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->alphaValue(), 1) << "a closed dialog must not come back invisible";

    double alphaShown = -1;
    runModal([&] {
        alphaShown = window->alphaValue();
        dialog->closeWindowAction(nullptr);
    });
    EXPECT_EQ(alphaShown, 1);
    EXPECT_EQ(shownPane(*dialog), Pane::Update) << "the first result stays";
}

TEST_F(UpdateDialogClosing, TerminationFadesOutFirst) {
    int exitCode = -1;
    NSApplication::setExitHandlerForTesting([&](int code) { exitCode = code; });
    EXPECT_EQ(dialog->applicationShouldTerminate(app.get()), NSTerminateCancel);
    EXPECT_TRUE(dialog->shuttingDown());
    EXPECT_TRUE(pt::runMainLoopUntil([&] { return exitCode != -1; }, 5));
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(dialog->applicationShouldTerminate(app.get()), NSTerminateNow);
    NSApplication::setExitHandlerForTesting(nullptr);
}

TEST_F(UpdateDialogClosing, InstallUpdateOpensTheDownloadPageAndStaysOpen) {
    fixtures::TempDir tools;
    const std::string record = tools / "opened";
    const std::string opener =
        tools.write("opener", "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record + ".tmp'\nmv '" +
                                  record + ".tmp' '" + record + "'\n");
    ::chmod(opener.c_str(), 0755);
    platform::setURLOpenerForTesting(opener);
    bool stillOpen = false;
    runModal([&] {
        pt::postClick(*window, NSMakePoint(428, 38));
        dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 300 * NSEC_PER_MSEC),
                       dispatch_get_main_queue(), [&] {
                           stillOpen = window->isVisible() && app->modalWindow() == window;
                           dialog->closeWindowAction(nullptr);
                       });
    });
    EXPECT_TRUE(stillOpen);
    for (int i = 0; i < 200 && fixtures::readFile(record).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(fixtures::readFile(record),
              std::string(EUCheckUpdateWindowController::kDownloadPage) + "\n");

    // Only web pages are opened.
    struct Case {
        const char* address;
        bool opened;
    };
    const Case cases[] = {
        {"http://www.uninstaller.example/download/", true},
        {"https://www.uninstaller.example/download/", true},
        {"file:///etc/passwd", false},
        {"mailto:someone@uninstaller.example", false},
        {"javascript:alert(1)", false},
        {"ftp://www.uninstaller.example/x.dmg", false},
        {"", false},
    };
    platform::setURLOpenerForTesting("true");
    for (const Case& c : cases)
        EXPECT_EQ(EUCheckUpdateWindowController::openDownloadPage(c.address), c.opened)
            << c.address;
    platform::setURLOpenerForTesting("");
}

}  // namespace
