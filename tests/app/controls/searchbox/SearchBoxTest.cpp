// Catches a search box that reports typing before it is set up, sends the wrong key (nil for
// an empty Return, text for an emptied field), reports Tab or a click elsewhere, cancels a
// search that was already empty or before the field is empty, keeps the clear button in the
// wrong state, needs a delegate that answers its messages, or is wired wrongly in its
// interface file.
#include "controls/searchbox/NewSearchTextFiled.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/controls/ButtonTestWindow.h"
#include "controls/searchbox/NewSearchTextFiledDelegate.h"
#include "controls/searchbox/SearchBoxClasses.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/graphics/NSAttributedString.h"
#include "platform/testing/ManualClock.h"

using namespace buttontest;

namespace {

constexpr unsigned short kReturn = 36, kTab = 48, kDelete = 51;

/// Records every message: "key:<text>", "key:nil", "cancel".
class SearchRecorder : public NSObject, public NewSearchTextFiledDelegate {
  public:
    void doSearchWithKey(const std::optional<std::string>& key) override {
        log.push_back(key ? "key:" + *key : std::string("key:nil"));
    }
    void searchCancelButtonAction() override {
        log.push_back("cancel");
        Ref<NewSearchTextFiled> owner = box.lock();
        textAtCancel = owner ? owner->textField()->stringValue() : "?";
    }
    std::vector<std::string> log;
    std::string textAtCancel = "not sent";
    WeakRef<NewSearchTextFiled> box;
};

class SearchBox : public ::testing::Test {
  protected:
    void SetUp() override {
        registerPlatformClasses();
        registerSearchBoxClasses();
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
        resources = std::make_unique<fixtures::ScopedResources>(UNINSTALLER_RESOURCES_DIR);
        window = makeWindow(NSMakeRect(0, 0, 300, 100));
        window->setBackgroundColor(NSColor::whiteColor());
        window->makeKeyAndOrderFront();
        box = NewSearchTextFiled::make();
        recorder = std::make_shared<SearchRecorder>();
        recorder->box = box;
        box->setSearchDelegate(recorder);
        Ref<NSView> view = box->viewRef();
        ASSERT_TRUE(view);
        view->setFrameOrigin(NSMakePoint(40, 36));
        window->contentView()->addSubview(view);
        field = box->textField();
        ASSERT_TRUE(field && box->searchButton() && box->clearButton());
    }
    void TearDown() override {
        NSObject::cancelPreviousPerformRequestsWithTarget(box.get());
        pt::pumpEvents();
        window->orderOut();
        NSApplication::resetSharedApplicationForTesting();
        // Gone before the next SetUp makes its own: replacing it in place would restore the
        // variable after the new one set it, and the next case would load no resources.
        resources.reset();
    }

    /// A fresh window and search box, for each case of a table.
    void reset() {
        TearDown();
        SetUp();
    }
    /// Lets the delayed set-up run.
    void settle() {
        clock->advance(0.3);
        pt::pumpEvents();
    }
    /// Set up, with the field being edited and nothing recorded yet.
    void startEditing() {
        settle();
        ASSERT_TRUE(window->makeFirstResponder(field.get()));
        ASSERT_TRUE(field->currentEditor());
        recorder->log.clear();
    }
    void type(const std::string& text) {
        for (char c : text) {
            pt::postKey(*window, std::string(1, c));
            pt::pumpEvents();
        }
    }
    void key(unsigned short code) {
        pt::postKey(*window, "", code);
        pt::pumpEvents();
    }
    /// Clicks the middle of `view`.
    void clickOn(NSView& view) {
        NSRect b = view.bounds();
        pt::postClick(*window, view.convertPointToView(NSMakePoint(NSMidX(b), NSMidY(b)), nullptr));
        pt::pumpEvents();
    }
    bool clearShown() { return !box->clearButton()->isHidden(); }
    using Log = std::vector<std::string>;

    ManualClock::Installed clock;
    std::unique_ptr<fixtures::ScopedResources> resources;
    Ref<NSApplication> app;
    Ref<KeyableWindow> window;
    Ref<NewSearchTextFiled> box;
    Ref<SearchRecorder> recorder;
    Ref<NSTextField> field;
};

TEST_F(SearchBox, IsSetUpAfterAFifthOfASecondAndReportsNothingBefore) {
    EXPECT_TRUE(box->clearButton()->isHidden());
    ASSERT_TRUE(window->makeFirstResponder(field.get()));
    type("a");
    EXPECT_EQ(field->stringValue(), "a");
    EXPECT_TRUE(recorder->log.empty());  // not the field's delegate yet
    EXPECT_EQ(field->delegate(), nullptr);
    clock->advance(0.25);
    pt::pumpEvents();
    EXPECT_EQ(field->delegate(), nullptr);

    clock->advance(0.05);
    pt::pumpEvents();
    EXPECT_EQ(field->delegate(), static_cast<NSTextFieldDelegate*>(box.get()));
    EXPECT_FALSE(field->isBordered());
    EXPECT_FALSE(field->drawsBackground());
    EXPECT_TRUE(field->wantsLayer());
    ASSERT_TRUE(field->backgroundColor());
    EXPECT_EQ(field->backgroundColor()->alphaComponent(), 0);
    Ref<NSAttributedString> placeholder = field->cell()->placeholderAttributedString();
    ASSERT_TRUE(placeholder);
    EXPECT_EQ(placeholder->string(), "Search");
    const auto runs = placeholder->runs();
    ASSERT_EQ(runs.size(), 1u);  // one colour over the whole text
    EXPECT_EQ(runs[0].range.length, 6u);
    auto colour = std::any_cast<Ref<NSColor>>(
        placeholder->attributeAtIndex(NSForegroundColorAttributeName, 0));
    ASSERT_TRUE(colour);
    EXPECT_NEAR(colour->redComponent(), 177 / 255.0, 1e-6);
    EXPECT_NEAR(colour->greenComponent(), 179 / 255.0, 1e-6);
    EXPECT_NEAR(colour->blueComponent(), 180 / 255.0, 1e-6);
    EXPECT_EQ(colour->alphaComponent(), 1);
    Ref<NSColor> caret = window->fieldEditor(false, field.get())->insertionPointColor();
    EXPECT_EQ(caret->redComponent(), 1);
    EXPECT_EQ(caret->greenComponent(), 1);
    EXPECT_EQ(caret->blueComponent(), 1);
    // The rounded dark field is drawn over the white window.
    EXPECT_TRUE(near(pixelAt(*window, 40 + 110, 36 + 14), 43, 46, 49, 20));
}

TEST_F(SearchBox, TypingALetterAndDeletingItSearchesForItThenForNil) {
    startEditing();
    type("a");
    EXPECT_EQ(recorder->log, Log({"key:a"}));
    EXPECT_TRUE(clearShown());
    key(kDelete);
    EXPECT_EQ(recorder->log, Log({"key:a", "key:nil"}));
    EXPECT_FALSE(clearShown());
}

TEST_F(SearchBox, OnlyReturnEndsEditingWithASearch) {
    struct Case {
        const char* name;
        std::string text;
        std::function<void()> end;
        Log expected;
        bool blackened;
    };
    const Case cases[] = {
        {"Return in an empty field sends the empty text",
         "",
         [this] { key(kReturn); },
         {"key:"},
         true},
        {"Return sends the text", "ab", [this] { key(kReturn); }, {"key:ab"}, true},
        {"Tab sends nothing", "ab", [this] { key(kTab); }, {}, false},
        {"focus going elsewhere sends nothing",
         "ab",
         [this] { window->makeFirstResponder(nullptr); },
         {},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        startEditing();
        type(c.text);
        recorder->log.clear();
        c.end();
        EXPECT_EQ(recorder->log, c.expected);
        Ref<NSColor> background = field->backgroundColor();
        EXPECT_EQ(
            background && background->alphaComponent() == 1 && background->redComponent() == 0,
            c.blackened);
    }
}

TEST_F(SearchBox, TheSearchButtonSearchesForTheTextAsItStands) {
    settle();
    clickOn(*box->searchButton());
    EXPECT_EQ(recorder->log, Log({"key:"}));  // even when empty
    field->setStringValue("xcode");
    clickOn(*box->searchButton());
    EXPECT_EQ(recorder->log, Log({"key:", "key:xcode"}));
}

TEST_F(SearchBox, ClearingCancelsOnlyASearchThatHeldText) {
    // An empty field: nothing is sent and the button stays hidden.
    startEditing();
    box->clearTextFieldAction(nullptr);
    EXPECT_TRUE(recorder->log.empty());
    EXPECT_FALSE(clearShown());

    // A field with text, cleared through its button while it is edited.
    ASSERT_TRUE(window->makeFirstResponder(field.get()));
    type("ab");
    ASSERT_TRUE(clearShown());
    recorder->log.clear();
    clickOn(*box->clearButton());
    EXPECT_EQ(recorder->log, Log({"cancel"}));
    EXPECT_EQ(recorder->textAtCancel, "");  // the field was already empty
    EXPECT_EQ(field->stringValue(), "");
    EXPECT_FALSE(clearShown());
    EXPECT_EQ(field->currentEditor(), nullptr);  // the field gave up the focus
    EXPECT_NE(window->firstResponder(), static_cast<NSResponder*>(field.get()));

    // Cleared again: already empty, so nothing more.
    box->clearTextFieldAction(nullptr);
    EXPECT_EQ(recorder->log, Log({"cancel"}));
}

TEST_F(SearchBox, ADelegateThatAnswersNeitherMessageLeavesTheBoxWorking) {
    struct Case {
        const char* name;
        Ref<NSObject> delegate;
    };
    const Case cases[] = {
        {"an object that adopts nothing", std::make_shared<NSObject>()},
        {"no delegate", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        box->setSearchDelegate(c.delegate);
        startEditing();
        type("q");
        EXPECT_TRUE(clearShown());
        key(kReturn);
        clickOn(*box->clearButton());
        EXPECT_FALSE(clearShown());
        EXPECT_EQ(field->stringValue(), "");
        EXPECT_TRUE(field->cell()->placeholderAttributedString());
        EXPECT_TRUE(recorder->log.empty());
    }
    // A delegate that has gone away is not messaged either.
    reset();
    startEditing();
    Ref<NSObject> gone = std::make_shared<SearchRecorder>();
    box->setSearchDelegate(gone);
    gone.reset();
    type("q");
    EXPECT_TRUE(clearShown());
    EXPECT_EQ(box->searchDelegate(), nullptr);
}

TEST_F(SearchBox, EnablingReachesTheFieldAndBothButtons) {
    settle();
    for (bool enabled : {false, true}) {
        SCOPED_TRACE(enabled);
        box->setEnabled(enabled);
        EXPECT_EQ(field->isEnabled(), enabled);
        EXPECT_EQ(box->searchButton()->isEnabled(), enabled);
        EXPECT_EQ(box->clearButton()->isEnabled(), enabled);
    }
}

TEST_F(SearchBox, SettingTheTitleEmptiesTheFieldQuietly) {
    startEditing();
    type("zip");
    ASSERT_TRUE(clearShown());
    recorder->log.clear();
    box->setTitleWithMnemonic("ignored");
    EXPECT_EQ(field->stringValue(), "");
    EXPECT_FALSE(clearShown());
    EXPECT_TRUE(recorder->log.empty());
}

}  // namespace
