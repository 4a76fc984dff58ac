// Catches a language removal dialog that starts without its sliver of bar or with the end panel
// up, switches panels below 100 or not at 100, touches the interface off the main thread,
// builds the end sentence too early or with the size in the wrong range, colour, font or
// alignment, claims success when folders could not be removed, touches a dialog that is gone,
// or whose OK button leaves the modal loop running or the window open (with, without or after
// losing its delegate).
#include "languages/RemoveLagEndWindowController.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/appsManager/EndMessageChecks.h"
#include "app/appsManager/ProgressEndDialogFixture.h"
#include "appsManager/AMPublicUtilities.h"
#include "appsManager/EUProgressView.h"
#include "appsManager/ProgressAndSortClasses.h"
#include "controls/ControlsClasses.h"
#include "languages/RemoveLagEndDelegate.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/foundation/NSString.h"
#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
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

constexpr const char* kSentenceStart =
    "You have successfully removed selected language(s) and saved ";

std::string sentence(const std::string& size) {
    return kSentenceStart + size + " disk space.";
}

class EndRecorder : public NSObject, public RemoveLagEndDelegate {
  public:
    void removelanguageEnd() override {
        ++calls;
        windowVisibleAtCall = window && window->isVisible();
        dialog.reset();
    }
    NSWindow* window = nullptr;
    /// The screen's hold on the dialog, let go when the end is heard (when set).
    Ref<RemoveLagEndWindowController> dialog;
    int calls = 0;
    bool windowVisibleAtCall = false;
};

class RemoveLagEnd : public progresstest::ProgressEndDialog<RemoveLagEndWindowController> {
  protected:
    void SetUp() override {
        RemoveLagEndWindowController::registerClass();  // a second registration is harmless
        ProgressEndDialog::SetUp();
    }
};

// --- Loading ----------------------------------------------------------------------------------

TEST_F(RemoveLagEnd, LoadsAClearDialogWithTheBarAtTwoPercentAndTheEndPanelHidden) {
    EXPECT_FALSE(window->isOpaque());
    EXPECT_EQ(window->backgroundColor()->alphaComponent(), 0);
    EXPECT_TRUE(window->isMovableByWindowBackground());
    EXPECT_EQ(window->frame().size, NSMakeSize(720, 400));
    ASSERT_TRUE(controller->progressView() && controller->endView() && controller->pathLabel() &&
                controller->messageLabel() && controller->okButton());
    EXPECT_TRUE(progressShown());
    EXPECT_TRUE(controller->pathLabel()->isDescendantOf(controller->progressView().get()));
    EXPECT_TRUE(controller->messageLabel()->isDescendantOf(controller->endView().get()));
    // Before any report the path line shows what the interface file gives it.
    EXPECT_EQ(controller->pathLabel()->stringValue(), "");
    EXPECT_EQ(controller->messageLabel()->stringValue(), "");

    auto bar = controller->aProgressView();
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->superview(), controller->progressView().get());
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(bar->frame(), NSMakeRect(32, 285, 656, 8));
    EXPECT_EQ(bar->autoresizingMask(), NSViewWidthSizable);
    EXPECT_NEAR(barWidth(), 656 * 0.02, 1e-4);

    auto ok = controller->okButton();
    EXPECT_TRUE(ok->isDescendantOf(controller->endView().get()));
    EXPECT_TRUE(ok->isButtonEnabled());
    EXPECT_EQ(ok->normalImage()->name(), "btn_popsec");
    EXPECT_EQ(ok->activeImage()->name(), "btn_popsec_press");
    EXPECT_EQ(ok->hoverImage()->name(), "btn_popsec_hover");
    EXPECT_EQ(ok->disableImage()->name(), "btn_popsec_disable");
    ASSERT_NE(ok->textField(), nullptr);
    EXPECT_EQ(ok->textField()->stringValue(), "OK");
    EXPECT_EQ(ok->textField()->font()->pointSize(), 12);
    EXPECT_EQ(ok->target().lock(), controller);
    EXPECT_EQ(ok->action(), SEL("okButtonAction:"));
}

TEST_F(RemoveLagEnd, BarIsHeldByItsPanelOnly) {
    WeakRef<EUProgressView> bar = controller->aProgressView();
    ASSERT_FALSE(bar.expired());
    bar.lock()->removeFromSuperview();
    EXPECT_TRUE(bar.expired());
    EXPECT_EQ(controller->aProgressView(), nullptr);
    // Reports after that still show the path and switch panels.
    controller->changeProgressValue(100, "/Applications/Demo.app/Contents/Resources/fr.lproj");
    EXPECT_EQ(controller->pathLabel()->stringValue(),
              "/Applications/Demo.app/Contents/Resources/fr.lproj");
    EXPECT_TRUE(endShown());
}

// --- Progress reports -------------------------------------------------------------------------

struct Report {
    int percent;
    const char* path;
    double width;
    bool end;
};

const Report kReports[] = {
    {10, "/Applications/Demo.app/Contents/Resources/de.lproj", 65.6, false},
    {60, "/Applications/Demo.app/Contents/Resources/fr.lproj", 393.6, false},
    {99, "/Applications/Other.app/Contents/Resources/ja.lproj", 649.44, false},
    {100, "/Applications/Other.app/Contents/Resources/zh_CN.lproj", 656, true},
};

TEST_F(RemoveLagEnd, ReportsOnTheMainThreadShowThePathAtOnceAndSwitchPanelsAtOneHundred) {
    for (const Report& r : kReports) {
        SCOPED_TRACE(r.percent);
        controller->changeProgressValue(r.percent, r.path);
        EXPECT_EQ(controller->pathLabel()->stringValue(), r.path);
        EXPECT_EQ(endShown(), r.end);
        EXPECT_EQ(progressShown(), !r.end);
        pt::drainQueues();
        EXPECT_NEAR(barWidth(), r.width, 1e-3);
    }
    EXPECT_TRUE(controller->endView()->isDescendantOf(window->contentView()));
}

TEST_F(RemoveLagEnd, ReportsAboveOneHundredShowTheEndPanelWithAFullBar) {
    controller->changeProgressValue(130, "/tmp/last.lproj");
    pt::drainQueues();
    EXPECT_TRUE(endShown());
    EXPECT_NEAR(barWidth(), 656, 1e-6);
}

TEST_F(RemoveLagEnd, ReportsFromAWorkerThreadLandOnTheMainQueueInCallOrder) {
    std::thread worker([&] {
        for (const Report& r : kReports)
            controller->changeProgressValue(r.percent, r.path);
    });
    worker.join();
    // Nothing has changed until the main queue runs.
    EXPECT_EQ(controller->pathLabel()->stringValue(), "");
    EXPECT_TRUE(progressShown());
    pt::drainQueues();
    EXPECT_EQ(controller->pathLabel()->stringValue(), kReports[3].path);
    EXPECT_TRUE(endShown());
    EXPECT_NEAR(barWidth(), 656, 1e-6);
}

// --- The end sentence -------------------------------------------------------------------------

struct SentenceCase {
    const char* name;
    std::string size;
    bool regularStored;
};

class RemoveLagEndSentence : public RemoveLagEnd,
                             public ::testing::WithParamInterface<SentenceCase> {};

TEST_P(RemoveLagEndSentence, FollowsInTheNextMainQueueTurnWithTheSizeInGreenAtSixteenPoints) {
    const SentenceCase& c = GetParam();
    if (!c.regularStored) {
        // Replaced behind the application's back: the kept copy is dropped.
        dir.write("StringMessage.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict/></plist>)");
        SettingsFile::forget();
    }
    // The screen's progress step reports the last folder and the saved size together.
    controller->changeProgressValue(100, "/tmp/last.lproj");
    controller->changeLabel(c.size);
    EXPECT_TRUE(endShown());
    EXPECT_EQ(controller->messageLabel()->stringValue(), "");
    pt::drainQueues();

    auto text = controller->messageLabel()->attributedStringValue();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->string(), sentence(c.size));
    const std::size_t start = ns::length(kSentenceStart);
    const Ref<NSFont> own = controller->messageLabel()->font();
    const Ref<NSFont> sizeFont =
        c.regularStored ? NSFont::fontWithName("DejaVuSans", 16) : NSFont::systemFontOfSize(16);

    SCOPED_TRACE(c.name);
    endmessage::expectStyled(*text, {endmessage::sizePart(start, c.size)}, sizeFont, own);
}

INSTANTIATE_TEST_SUITE_P(
    RemoveLagEndSizeTexts, RemoveLagEndSentence,
    ::testing::Values(SentenceCase{"megabytes", "12.34 MB", true},
                      // Nothing saved still gives the sentence, with the zero size text.
                      SentenceCase{"zero bytes", AMPublicUtilities::convertVolSpace(0), true},
                      // Two bytes a letter: the range must count characters, not bytes.
                      SentenceCase{"cyrillic unit", "3.2 \u0413\u0411", true},
                      SentenceCase{"no size text", "", true},
                      SentenceCase{"no regular font stored", "512.00 KB", false}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == ' ') ch = '_';
        return name;
    });

TEST_F(RemoveLagEnd, SentenceTellsHowManyFoldersStayedAndWhatWasSaved) {
    using endmessage::failurePart;
    using endmessage::sizePart;
    const std::string stayed = " language folder(s) could not be removed. Saved ";
    struct Case {
        const char* what;
        int failed;
        std::string size;
        std::string text;
        std::vector<endmessage::Part> parts;
    };
    const Case cases[] = {
        {"every folder removed",
         0,
         "20.00 KB",
         sentence("20.00 KB"),
         {sizePart(ns::length(kSentenceStart), "20.00 KB")}},
        {"one folder stayed",
         1,
         "20.00 KB",
         "1" + stayed + "20.00 KB disk space.",
         {failurePart(0, "1"), sizePart(ns::length("1" + stayed), "20.00 KB")}},
        {"every folder stayed",
         3,
         "0.00 KB",
         "3" + stayed + "0.00 KB disk space.",
         {failurePart(0, "3"), sizePart(ns::length("3" + stayed), "0.00 KB")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        controller->changeLabel(c.size, c.failed);
        pt::drainQueues();
        auto text = controller->messageLabel()->attributedStringValue();
        ASSERT_TRUE(text);
        EXPECT_EQ(text->string(), c.text);
        endmessage::expectStyled(*text, c.parts, NSFont::fontWithName("DejaVuSans", 16),
                                 controller->messageLabel()->font());
    }
}

TEST_F(RemoveLagEnd, SentenceForADialogGoneMeanwhileTouchesNothing) {
    Ref<NSTextField> label = controller->messageLabel();
    WeakRef<RemoveLagEndWindowController> weak = controller;
    controller->changeLabel("12.34 MB");
    window->orderOut();
    window = nullptr;
    controller.reset();
    EXPECT_TRUE(weak.expired());  // the queued sentence does not keep the dialog alive
    pt::drainQueues();
    EXPECT_EQ(label->stringValue(), "");
}

// --- OK -----------------------------------------------------------------------------------

enum class Delegate { Answering, NotAnswering, None, Gone };

class RemoveLagEndOk : public RemoveLagEnd, public ::testing::WithParamInterface<Delegate> {};

TEST_P(RemoveLagEndOk, ClosesTheWindowAndEndsTheModalLoop) {
    auto recorder = std::make_shared<EndRecorder>();
    recorder->window = window;
    auto plain = std::make_shared<NSObject>();
    switch (GetParam()) {
        case Delegate::Answering:
            controller->setDelegate(recorder);
            break;
        case Delegate::NotAnswering:
            controller->setDelegate(plain);
            break;
        case Delegate::Gone: {
            auto gone = std::make_shared<EndRecorder>();
            controller->setDelegate(gone);
            break;
        }
        case Delegate::None:
            break;
    }
    window->center();
    bool endUpAtClick = false;
    NSModalResponse response = runModal(window, [&] {
        controller->changeProgressValue(100, "/tmp/last.lproj");
        controller->changeLabel("12.34 MB");
        endUpAtClick = endShown();
        NSRect ok =
            controller->okButton()->convertRectToView(controller->okButton()->bounds(), nullptr);
        pt::postClick(*window, NSMakePoint(NSMidX(ok), NSMidY(ok)));
    });

    EXPECT_TRUE(endUpAtClick);
    EXPECT_EQ(response, NSModalResponseStop);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(app->modalWindow(), nullptr);
    pt::drainQueues();
    EXPECT_EQ(controller->messageLabel()->stringValue(), sentence("12.34 MB"));
    EXPECT_EQ(recorder->calls, GetParam() == Delegate::Answering ? 1 : 0);
    if (GetParam() == Delegate::Answering) {
        EXPECT_TRUE(recorder->windowVisibleAtCall);
    }
}

INSTANTIATE_TEST_SUITE_P(RemoveLagEndDelegates, RemoveLagEndOk,
                         ::testing::Values(Delegate::Answering, Delegate::NotAnswering,
                                           Delegate::None, Delegate::Gone),
                         [](const auto& info) {
                             switch (info.param) {
                                 case Delegate::Answering:
                                     return std::string("Answering");
                                 case Delegate::NotAnswering:
                                     return std::string("NotAnswering");
                                 case Delegate::Gone:
                                     return std::string("DelegateGone");
                                 default:
                                     return std::string("NoDelegate");
                             }
                         });

TEST_F(RemoveLagEnd, OkStillClosesWhenTheDelegateLetsTheDialogGo) {
    // The screen holds the dialog only until it hears the end, as it would after a removal.
    // A dialog that does not keep itself alive through the action reads freed memory here,
    // which the sanitizer build reports.
    auto screen = std::make_shared<EndRecorder>();
    screen->dialog = controller;
    screen->window = window;
    controller->setDelegate(screen);
    WeakRef<RemoveLagEndWindowController> weak = controller;
    Ref<NSWindow> keepWindow = controller->windowRef();
    controller.reset();

    NSModalResponse response = runModal(window, [&] {
        if (auto dialog = weak.lock()) dialog->okButtonAction(nullptr);
    });
    EXPECT_EQ(response, NSModalResponseStop);
    EXPECT_EQ(screen->calls, 1);
    EXPECT_TRUE(weak.expired());
    EXPECT_FALSE(keepWindow->isVisible());
    EXPECT_EQ(app->modalWindow(), nullptr);
    window = nullptr;
}

}  // namespace
