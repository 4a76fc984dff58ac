// Catches a progress dialog whose bar has the wrong width (not full near the end, not capped
// above 100), that touches the interface off the main thread, switches to the end panel before
// the last path is shown or not at all, builds the end message with the size in the wrong
// range, colour, font or alignment, claims success when items could not be removed, or whose
// OK button leaves the modal loop running.
#include "appsManager/UninstallProgressWindowController.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/appsManager/EndMessageChecks.h"
#include "app/appsManager/ProgressEndDialogFixture.h"
#include "appsManager/EUProgressView.h"
#include "appsManager/ProgressAndSortClasses.h"
#include "appsManager/UninstallProgressDelegate.h"
#include "controls/ControlsClasses.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/foundation/NSString.h"
#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSParagraphStyle.h"
#include "platform/testing/RunLoopPump.h"
#include "platform/testing/WindowTesting.h"
#include "services/SettingsFile.h"
#include "support/FileFixtures.h"
#include "support/RealResources.h"
#include "support/ScopedResources.h"
#include "windows/PopWindow/PopWindowClasses.h"
#include "windows/WindowsClasses.h"

namespace pt = platform::testing;

namespace {

/// Runs `work` on a thread of its own and waits for it, then runs the main queue dry.
void fromWorker(const std::function<void()>& work) {
    std::thread worker(work);
    worker.join();
    pt::drainQueues();
}

/// A path label that notes, for each text it is given, whether the end panel was showing.
class RecordingLabel : public NSTextField {
  public:
    void setStringValue(const std::string& text) override {
        NSTextField::setStringValue(text);
        texts.push_back(text);
        endShown.push_back(endView && !endView->isHidden());
    }
    NSView* endView = nullptr;
    std::vector<std::string> texts;
    std::vector<bool> endShown;
};

class EndRecorder : public NSObject, public UninstallProgressDelegate {
  public:
    void uninstallEnd() override {
        ++calls;
        windowVisibleAtCall = window && window->isVisible();
    }
    NSWindow* window = nullptr;
    int calls = 0;
    bool windowVisibleAtCall = false;
};

class UninstallProgress
    : public progresstest::ProgressEndDialog<UninstallProgressWindowController> {};

TEST_F(UninstallProgress, LoadsAClearDialogWithTheBarAtTwoPercentAndTheEndPanelHidden) {
    EXPECT_FALSE(window->isOpaque());
    EXPECT_EQ(window->backgroundColor()->alphaComponent(), 0);
    EXPECT_TRUE(window->isMovableByWindowBackground());
    ASSERT_TRUE(controller->progressView() && controller->endView() && controller->pathLabel() &&
                controller->messageLabel() && controller->okButton());
    EXPECT_FALSE(controller->progressView()->isHidden());
    EXPECT_TRUE(controller->endView()->isHidden());
    EXPECT_TRUE(controller->pathLabel()->isDescendantOf(controller->progressView().get()));

    auto bar = controller->aProgressView();
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->superview(), controller->progressView().get());
    EXPECT_EQ(bar->frame(), NSMakeRect(32, 285, 656, 8));
    EXPECT_EQ(bar->autoresizingMask(), NSViewWidthSizable);
    EXPECT_NEAR(barWidth(), 13.12, 1e-4);
    EXPECT_EQ(bar->progressBar()->frame().size.height, 8);
    EXPECT_EQ(bar->progressBar()->frame().origin, NSMakePoint(0, 0));

    auto ok = controller->okButton();
    EXPECT_TRUE(ok->isButtonEnabled());
    EXPECT_EQ(ok->normalImage()->name(), "btn_popsec");
    EXPECT_EQ(ok->activeImage()->name(), "btn_popsec_press");
    EXPECT_EQ(ok->hoverImage()->name(), "btn_popsec_hover");
    EXPECT_EQ(ok->disableImage()->name(), "btn_popsec_disable");
    ASSERT_NE(ok->textField(), nullptr);
    EXPECT_EQ(ok->textField()->stringValue(), "OK");
    EXPECT_EQ(ok->textField()->font()->pointSize(), 12);
    EXPECT_TRUE(ok->isDescendantOf(controller->endView().get()));
}

TEST_F(UninstallProgress, BarWidthFollowsThePercentageFromAWorkerThread) {
    struct Case {
        float percent;
        double width;
    };
    // Within 1 point of the end (99.9 gives 655.34) the bar is drawn full, and above 100 too.
    const Case cases[] = {{0, 0},       {2, 13.12}, {50, 328},  {99, 649.44},
                          {99.9f, 656}, {100, 656}, {250, 656}, {10, 65.6}};
    auto track = controller->aProgressView();
    for (const Case& c : cases) {
        fromWorker([&] { track->changeProgressValue(c.percent); });
        EXPECT_NEAR(barWidth(), c.width, 1e-3) << c.percent;
        EXPECT_EQ(track->progressBar()->frame().size.height, 8) << c.percent;
        EXPECT_EQ(track->progressBar()->frame().origin, NSMakePoint(0, 0)) << c.percent;
    }
}

TEST_F(UninstallProgress, ReportsInCallOrderShowEachPathAndSwitchPanelsAtOneHundred) {
    struct Case {
        int value;
        const char* path;
        double width;
        bool end;
    };
    const Case cases[] = {
        {10, "/Applications/Demo.app", 65.6, false},
        {60, "/Users/me/Library/Caches/com.demo", 393.6, false},
        {99, "/Users/me/Library/Preferences/com.demo.plist", 649.44, false},
        {100, "/Users/me/Library/Logs/Demo", 656, true},
    };
    for (const Case& c : cases) {
        fromWorker([&] { controller->changeProgressValue(c.value, c.path); });
        EXPECT_EQ(controller->pathLabel()->stringValue(), c.path) << c.value;
        EXPECT_NEAR(barWidth(), c.width, 1e-3) << c.value;
        EXPECT_EQ(endShown(), c.end) << c.value;
    }
    EXPECT_TRUE(controller->endView()->isDescendantOf(window->contentView()));
}

TEST_F(UninstallProgress, BurstOfReportsKeepsTheLastPathAndShowsItBeforeTheEndPanel) {
    auto label = std::make_shared<RecordingLabel>();
    label->initWithFrame(NSMakeRect(32, 250, 656, 18));
    label->endView = controller->endView().get();
    controller->progressView()->addSubview(label);
    controller->setPathLabel(label);
    // One worker reports every file without waiting; the main queue runs afterwards.
    fromWorker([&] {
        for (int i = 1; i <= 19; ++i)
            controller->changeProgressValue(i * 5, ns::stringWithFormat("/tmp/file%d", i));
        controller->changeProgressValue(130, "/tmp/last");
    });
    ASSERT_EQ(label->texts.size(), 20u);
    EXPECT_EQ(label->texts[0], "/tmp/file1");
    EXPECT_EQ(label->texts[18], "/tmp/file19");
    EXPECT_EQ(label->texts[19], "/tmp/last");
    EXPECT_EQ(label->stringValue(), "/tmp/last");
    // The panel changed after the path of the 100 % report had been shown, not before.
    for (std::size_t i = 0; i < label->endShown.size(); ++i)
        EXPECT_FALSE(label->endShown[i]) << label->texts[i];
    EXPECT_TRUE(endShown());
    EXPECT_NEAR(barWidth(), 656, 1e-6);
}

struct MessageCase {
    const char* name;
    std::string size;
    bool regularStored;
};

class EndMessage : public UninstallProgress, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(EndMessage, PutsTheSizeInGreenAtSixteenPointsAndCentresTheText) {
    const MessageCase& c = GetParam();
    if (!c.regularStored) {
        // Replaced behind the application's back: the kept copy is dropped.
        dir.write("StringMessage.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict/></plist>)");
        SettingsFile::forget();
    }
    fromWorker([&] { controller->changeLabel(c.size); });

    const std::string want =
        "You have successfully removed the selected application(s) and associated files. "
        "Free up " +
        c.size + " disk space.";
    auto text = controller->messageLabel()->attributedStringValue();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->string(), want);
    const std::size_t start = ns::length(
        "You have successfully removed the selected "
        "application(s) and associated files. Free up ");
    const Ref<NSFont> own = controller->messageLabel()->font();
    const Ref<NSFont> sizeFont =
        c.regularStored ? NSFont::fontWithName("DejaVuSans", 16) : NSFont::systemFontOfSize(16);
    SCOPED_TRACE(c.name);
    endmessage::expectStyled(*text, {endmessage::sizePart(start, c.size)}, sizeFont, own);
}

INSTANTIATE_TEST_SUITE_P(
    SizeTexts, EndMessage,
    ::testing::Values(MessageCase{"megabytes", "12.34 MB", true},
                      // Two bytes a letter: the range must count characters, not bytes.
                      MessageCase{"cyrillic unit", "3.2 \u0413\u0411", true},
                      MessageCase{"no size text", "", true},
                      MessageCase{"no regular font stored", "512 KB", false}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == ' ') ch = '_';
        return name;
    });

TEST_F(UninstallProgress, EndMessageTellsHowManyItemsStayedAndWhatWasFreed) {
    using endmessage::failurePart;
    using endmessage::sizePart;
    const std::string removed =
        "You have successfully removed the selected application(s) and associated files. Free "
        "up ";
    const std::string stayed = " item(s) could not be removed. Freed up ";
    struct Case {
        const char* what;
        int failed;
        std::string size;
        std::string text;
        std::vector<endmessage::Part> parts;
    };
    const Case cases[] = {
        {"every item removed",
         0,
         "1.25 MB",
         removed + "1.25 MB disk space.",
         {sizePart(ns::length(removed), "1.25 MB")}},
        {"one item stayed",
         1,
         "1.25 MB",
         "1" + stayed + "1.25 MB disk space.",
         {failurePart(0, "1"), sizePart(ns::length("1" + stayed), "1.25 MB")}},
        {"every item stayed",
         12,
         "0.00 KB",
         "12" + stayed + "0.00 KB disk space.",
         {failurePart(0, "12"), sizePart(ns::length("12" + stayed), "0.00 KB")}},
        // The size is looked for after the count, not at the count's own digit.
        {"the size begins with the count",
         2,
         "2.00 KB",
         "2" + stayed + "2.00 KB disk space.",
         {failurePart(0, "2"), sizePart(ns::length("2" + stayed), "2.00 KB")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fromWorker([&] { controller->changeLabel(c.size, c.failed); });
        auto text = controller->messageLabel()->attributedStringValue();
        ASSERT_TRUE(text);
        EXPECT_EQ(text->string(), c.text);
        endmessage::expectStyled(*text, c.parts, NSFont::fontWithName("DejaVuSans", 16),
                                 controller->messageLabel()->font());
    }
}

TEST_F(UninstallProgress, EndMessageIsInPlaceWhenTheEndPanelShows) {
    // Reports from the main thread queue their changes too, so the sentence set just before the
    // last report is there when the panel switches, whichever thread reports.
    for (bool onMainThread : {true, false}) {
        SCOPED_TRACE(onMainThread ? "main thread" : "worker");
        controller->changeProgressValue(10, "/tmp/first");
        pt::drainQueues();
        controller->messageLabel()->setStringValue("");
        const auto report = [&] {
            controller->changeLabel("1.00 GB");
            controller->changeProgressValue(100, "/tmp/last");
        };
        if (onMainThread) {
            report();
            EXPECT_FALSE(endShown()) << "the switch waits for the queued sentence";
            pt::drainQueues();
        } else {
            fromWorker(report);
        }
        EXPECT_NE(controller->messageLabel()->stringValue().find("1.00 GB"), std::string::npos);
        EXPECT_TRUE(endShown());
    }
}

enum class Answer { Answering, NotAnswering, None };

class OkButton : public UninstallProgress, public ::testing::WithParamInterface<Answer> {};

TEST_P(OkButton, ClosesTheWindowAndEndsTheModalLoop) {
    auto recorder = std::make_shared<EndRecorder>();
    recorder->window = window;
    auto plain = std::make_shared<NSObject>();
    if (GetParam() == Answer::Answering) controller->setDelegate(recorder);
    if (GetParam() == Answer::NotAnswering) controller->setDelegate(plain);
    controller->changeLabel("12.34 MB");
    controller->changeProgressValue(100, "/tmp/last");

    // A loop that is never stopped is aborted after a while, which the code below reports.
    auto finished = std::make_shared<bool>(false);
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 5 * NSEC_PER_SEC), dispatch_get_main_queue(),
                   [finished, app = app] {
                       if (!*finished) app->abortModal();
                   });
    // The click is posted from inside the loop, once the end panel is up.
    bool endUpAtClick = false;
    dispatch_async(dispatch_get_main_queue(), [&] {
        endUpAtClick = endShown();
        NSRect ok =
            controller->okButton()->convertRectToView(controller->okButton()->bounds(), nullptr);
        pt::postClick(*window, NSMakePoint(NSMidX(ok), NSMidY(ok)));
    });
    NSModalResponse response = app->runModalForWindow(window);
    *finished = true;

    EXPECT_TRUE(endUpAtClick);
    EXPECT_EQ(response, NSModalResponseStop);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(app->modalWindow(), nullptr);
    EXPECT_EQ(recorder->calls, GetParam() == Answer::Answering ? 1 : 0);
    if (GetParam() == Answer::Answering) {
        EXPECT_TRUE(recorder->windowVisibleAtCall);
    }
}

INSTANTIATE_TEST_SUITE_P(UninstallDelegates, OkButton,
                         ::testing::Values(Answer::Answering, Answer::NotAnswering, Answer::None),
                         [](const auto& info) {
                             switch (info.param) {
                                 case Answer::Answering:
                                     return std::string("Answering");
                                 case Answer::NotAnswering:
                                     return std::string("NotAnswering");
                                 default:
                                     return std::string("NoDelegate");
                             }
                         });

TEST_F(UninstallProgress, OkActionPerformedFromTheMainQueueEndsTheModalLoop) {
    auto finished = std::make_shared<bool>(false);
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 5 * NSEC_PER_SEC), dispatch_get_main_queue(),
                   [finished, app = app] {
                       if (!*finished) app->abortModal();
                   });
    dispatch_async(dispatch_get_main_queue(), [&] { controller->okButtonAction(nullptr); });
    EXPECT_EQ(app->runModalForWindow(window), NSModalResponseStop);
    *finished = true;
    EXPECT_FALSE(window->isVisible());
}

TEST_F(UninstallProgress, DrawsTheGreenBarOverTheFaintTrack) {
    window->makeKeyAndOrderFront();
    auto near = [](NSGraphicsContext::Pixel p, int r, int g, int b) {
        return std::abs(p.r - r) <= 6 && std::abs(p.g - g) <= 6 && std::abs(p.b - b) <= 6;
    };
    // Track: white at alpha 0.2 over the dialog's panel, whose colour is read beside the bar.
    const auto panel = pixel(300, 330);
    auto track = [&](int channel) { return channel + (255 - channel) / 5; };
    const int tr = track(panel.r), tg = track(panel.g), tb = track(panel.b);
    ASSERT_LT(panel.r, 120);  // a dark panel, not the clear window
    ASSERT_EQ(panel.a, 255);
    struct Case {
        float percent;
        double x;
        bool green;
    };
    const Case cases[] = {
        {2, 38, true},    {2, 60, false},   {2, 680, false},  // 13.12 points of bar
        {50, 300, true},  {50, 365, false},                   // 328 points
        {100, 684, true}, {100, 36, true},                    // full
    };
    for (const Case& c : cases) {
        controller->aProgressView()->changeProgressValue(c.percent);
        pt::drainQueues();
        auto p = pixel(c.x, 289);
        SCOPED_TRACE(std::to_string(c.percent) + " at x " + std::to_string(c.x));
        if (c.green)
            EXPECT_TRUE(near(p, 48, 207, 110)) << int(p.r) << " " << int(p.g) << " " << int(p.b);
        else
            EXPECT_TRUE(near(p, tr, tg, tb)) << int(p.r) << " " << int(p.g) << " " << int(p.b);
    }
    // Above and below the 8-point track the panel shows.
    auto above = pixel(300, 296);
    EXPECT_TRUE(near(above, panel.r, panel.g, panel.b)) << int(above.r) << " " << int(above.g);
    auto below = pixel(300, 282);
    EXPECT_TRUE(near(below, panel.r, panel.g, panel.b)) << int(below.r) << " " << int(below.g);
}

}  // namespace
